// SPDX-License-Identifier: GPL-3.0-or-later
// 取り消し and やり直し in the MenuEdit menu: the pictures they bring back and the items' states.
#include "cli/cli.h"
#include "core/image/bmp_format.h"
#include "core/image/pattern.h"
#include "core/image/picture_reading.h"
#include "core/image/plugin_reading.h"
#include "windows/application.h"
#include "windows/clamping_spin_box.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/program_folder.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

// One edit given through the menu and the same edit as the command line's operation.
struct MenuEdit {
    const char *action;
    QStringList operation;
    std::function<void(QWidget *)> answer; // fills in the value dialog, if the edit asks
    QString name;
};

std::function<void(QWidget *)> wholeNumber(int value)
{
    return [value](QWidget *d) {
        Control<ClampingSpinBox>(d, "numberSpin")->setValue(value);
        Control<QPushButton>(d, "okButton")->click();
    };
}

std::function<void(QWidget *)> hundredths(int value)
{
    return [value](QWidget *d) {
        Control<QScrollBar>(d, "fractionBar")->setValue(value);
        Control<QPushButton>(d, "okButton")->click();
    };
}

struct Program {
    ProgramFolder folder;
    MainWindow form{folder.paths()};
    Program()
    {
        form.show();
        form.activateWindow();
    }
    QAction *item(const char *name) { return Control<QAction>(&form, name); }
    void give(const MenuEdit &edit)
    {
        if (edit.answer)
            OnNextModal("ValueDialog", edit.answer);
        item(edit.action)->trigger();
    }
    void press(QKeyCombination keys)
    {
        // A closed value dialog leaves no window active here, where a window manager would
        // activate the main window again.
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, keys.key(), keys.keyboardModifiers());
    }
};

} // namespace

class TestEditHistory : public QObject {
    Q_OBJECT

  private slots:
    void stepsMatchTheCommandLineAndNameTheirEdit();
    void memoryBoundDropsTheOldestStep();
};

// Mistakes: a step that puts back the wrong picture, canvas or labels; the steps' pictures copied
// instead of shared; an item enabled without a step or named after the wrong edit; a shortcut
// missing; 元に戻す not itself a step; a new picture that keeps the old history.
void TestEditHistory::stepsMatchTheCommandLineAndNameTheirEdit()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.bmp"));
    WriteBmp24File(source, Pattern(640, 480));
    const MenuEdit edits[] = {
        {"blurAction", {QStringLiteral("--blur")}, nullptr, QStringLiteral("ぼかし")},
        {"resizeAction",
         {QStringLiteral("--resize"), QStringLiteral("320")},
         wholeNumber(320),
         QStringLiteral("拡大縮小")},
        {"contrastAction",
         {QStringLiteral("--contrast"), QStringLiteral("0.5")},
         hundredths(50),
         QStringLiteral("コントラスト強調")},
        {"rotateAction",
         {QStringLiteral("--rotate"), QStringLiteral("90")},
         wholeNumber(90),
         QStringLiteral("回転")},
        {"levelsAction", {QStringLiteral("--levels")}, nullptr, QStringLiteral("レベル補正")},
    };
    // What `mokaran edit` writes for the first `done` edits.
    const auto commandLine = [&](int done) {
        if (done == 0)
            return ReadPictureFile(source);
        const QString out = dir.filePath(QStringLiteral("out%1.bmp").arg(done));
        QStringList args{QStringLiteral("edit"), source, out};
        for (int i = 0; i < done; ++i)
            args << edits[i].operation;
        if (RunCommandLine(args) != 0)
            qFatal("mokaran edit failed");
        return ReadPictureFile(out);
    };

    Program p;
    QVERIFY(QTest::qWaitForWindowActive(&p.form));
    p.form.takeNewPicture(ReadPictureFile(source));
    QImage after[6]; // the working picture after each number of edits, to see it shared
    const auto check = [&](int done, int made) {
        QCOMPARE(To24Bit(p.form.document().picture()), To24Bit(commandLine(done)));
        QCOMPARE(p.form.document().picture().constBits(), after[done].constBits());
        QCOMPARE(p.form.document().size(), p.form.document().picture().size());
        QCOMPARE(Control<QLabel>(&p.form, "pictureWidthLabel")->text(),
                 QString::number(p.form.document().picture().width()));
        QCOMPARE(p.item("undoAction")->isEnabled(), done > 0);
        QCOMPARE(p.item("undoAction")->text(),
                 done > 0 ? QStringLiteral("取り消し: ") + edits[done - 1].name
                          : QStringLiteral("取り消し"));
        QCOMPARE(p.item("redoAction")->isEnabled(), done < made);
        QCOMPARE(p.item("redoAction")->text(), done < made
                                                   ? QStringLiteral("やり直し: ") + edits[done].name
                                                   : QStringLiteral("やり直し"));
    };
    after[0] = p.form.document().picture();
    check(0, 0);
    for (int i = 0; i < 5; ++i) {
        p.give(edits[i]);
        after[i + 1] = p.form.document().picture();
    }
    check(5, 5);
    for (int done = 4; done >= 2; --done) {
        p.press(Qt::CTRL | Qt::Key_Z);
        check(done, 5);
    }
    p.press(Qt::CTRL | Qt::Key_Y);
    check(3, 5);

    p.item("revertAction")->trigger();
    QCOMPARE(p.form.document().picture().constBits(), after[0].constBits());
    QCOMPARE(p.item("undoAction")->text(), QStringLiteral("取り消し: 元に戻す"));
    QVERIFY(!p.item("redoAction")->isEnabled()); // a new step ends the way forward
    p.item("undoAction")->trigger();
    QCOMPARE(p.form.document().picture().constBits(), after[3].constBits());
    p.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    QCOMPARE(p.form.document().picture().constBits(), after[0].constBits());

    p.form.takeNewPicture(Pattern(50, 40));
    QVERIFY(!p.item("undoAction")->isEnabled() && !p.item("redoAction")->isEnabled());
    QCOMPARE(p.item("undoAction")->text(), QStringLiteral("取り消し"));
    QCOMPARE(p.form.document().history().byteCount(), 0);
}

// Mistakes: the window's edits recorded past the bound, or the newest step dropped instead of the
// oldest.
void TestEditHistory::memoryBoundDropsTheOldestStep()
{
    Program p;
    p.form.takeNewPicture(Pattern(320, 240));
    p.form.document().history().setByteLimit(2 * p.form.document().picture().sizeInBytes());
    QImage blurred[3];
    for (QImage &picture : blurred) {
        p.item("blurAction")->trigger();
        picture = p.form.document().picture();
    }
    p.item("undoAction")->trigger();
    p.item("undoAction")->trigger();
    QCOMPARE(p.form.document().picture().constBits(), blurred[0].constBits());
    QVERIFY(!p.item("undoAction")->isEnabled()); // the loaded picture's step went first
    QVERIFY(p.form.document().history().byteCount() <=
            2 * p.form.document().picture().sizeInBytes());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestEditHistory test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_edit_history.moc"
