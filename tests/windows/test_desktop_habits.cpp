// SPDX-License-Identifier: GPL-3.0-or-later
// What users of desktop programs take for granted: edits never lost without a question, a title
// that names the picture, a new picture shown whole, dialogs on the main window wherever it is,
// and saved files named as typed.
#include "core/image/plugin_reading.h"
#include "windows/application.h"
#include "windows/frame_placing.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/output_dialog.h"
#include "windows/program_folder.h"

#include "pictures.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QtTest>

namespace {

struct Program {
    ProgramFolder folder;
    MainWindow form{folder.paths()};
    Program()
    {
        form.show();
        form.activateWindow();
    }
    QString picture(const char *name, QSize size) const
    {
        const QString path = folder.file(QLatin1String(name));
        Numbered(size.width(), size.height()).save(path);
        return path;
    }
    void blur() { Control<QAction>(&form, "blurAction")->trigger(); }
};

// Answers the question about unsaved edits with the button of that name, once it shows.
void answer(const char *button, bool *asked)
{
    OnNextModal("QMessageBox", [button, asked](QWidget *box) {
        *asked = box->objectName() == QStringLiteral("unsavedEditsBox");
        Control<QPushButton>(box, button)->click();
    });
}

} // namespace

class TestDesktopHabits : public QObject {
    Q_OBJECT
  private slots:
    void editsAreNeverLostWithoutAQuestion();
    void titleNamesThePictureAndANewPictureShowsWhole();
    void dialogsOpenOnTheMainWindowWhereverItIs();
    void savedPictureIsNamedAsTyped();
    void stoppedRunLeavesWholeFrames();
    void helpOpensInAWindowOfItsOwnWithoutABrowser();
};

// Catches a question missing before another picture, a drop or quitting; one asked without edits
// (or after every edit was taken back, or once saved); キャンセル that still loads or quits; and
// 保存 that lets the picture go although its save was cancelled.
void TestDesktopHabits::editsAreNeverLostWithoutAQuestion()
{
    Program p;
    const QString first = p.picture("first.png", {40, 30});
    const QString second = p.picture("second.png", {20, 10});
    p.form.openPicture(first);
    p.blur();
    const QImage edited = p.form.document().picture();

    bool asked = false;
    answer("cancelButton", &asked);
    p.form.openPicture(second); // from 最近使ったファイル or a drop alike
    QVERIFY(asked);
    QCOMPARE(p.form.document().picture(), edited);
    answer("cancelButton", &asked);
    QVERIFY(!p.form.close());
    QVERIFY(asked && p.form.isVisible());
    // 保存 whose file dialog is cancelled keeps everything too.
    answer("saveButton", &asked);
    OnNextModal("QFileDialog", Cancel);
    p.form.openPicture(second);
    QCOMPARE(p.form.document().picture(), edited);

    answer("discardButton", &asked);
    p.form.openPicture(second);
    QCOMPARE(p.form.document().size(), QSize(20, 10));
    // Edits all taken back, or saved: nothing to ask about.
    p.blur();
    Control<QAction>(&p.form, "undoAction")->trigger();
    p.form.openPicture(first);
    QCOMPARE(p.form.document().size(), QSize(40, 30));
    p.blur();
    const QString saved = p.folder.file(QStringLiteral("saved.png"));
    answer("saveButton", &asked);
    OnNextModal("QFileDialog", [&](QWidget *dialog) { AcceptFile(dialog, saved); });
    QVERIFY(p.form.close());
    QCOMPARE(ReadPictureFile(saved).convertToFormat(QImage::Format_RGB32),
             p.form.document().picture().convertToFormat(QImage::Format_RGB32));
}

// Catches a title that stays "MOKARAN" with a picture, a mark that stays after a save or is never
// shown, and a new picture shown at the last one's zoom (a small one tiny, a large one cut).
void TestDesktopHabits::titleNamesThePictureAndANewPictureShowsWhole()
{
    Program p;
    QCOMPARE(p.form.windowTitle(), QStringLiteral("MOKARAN"));
    p.form.openPicture(p.picture("large.png", {3000, 2000}));
    QCOMPARE(p.form.windowTitle(), QStringLiteral("large.png - MOKARAN"));
    auto *zoom = Control<QLabel>(&p.form, "zoomLabel");
    QVERIFY2(zoom->text() != QStringLiteral("100%"), qPrintable(zoom->text())); // fitted
    p.blur();
    QCOMPARE(p.form.windowTitle(), QStringLiteral("large.png* - MOKARAN"));
    bool asked = false;
    answer("discardButton", &asked);
    p.form.openPicture(p.picture("small.png", {30, 20}));
    QCOMPARE(zoom->text(), QStringLiteral("100%"));
    QCOMPARE(p.form.windowTitle(), QStringLiteral("small.png - MOKARAN"));
}

// Catches a dialog that opens where it last closed although the main window has moved far away,
// and one that forgets the place the user gave it while the main window stayed.
void TestDesktopHabits::dialogsOpenOnTheMainWindowWhereverItIs()
{
    Program p;
    p.form.openPicture(p.picture("p.png", {300, 200}));
    auto *about = Control<QDialog>(&p.form, "AboutDialog");
    QPoint centre;
    OnNextModal("AboutDialog", [&](QWidget *d) {
        centre = d->frameGeometry().center();
        d->move(d->pos() + QPoint(40, 30)); // the user moves it aside
        Cancel(d);
    });
    p.form.showAbout();
    // Centres of odd and even widths differ by the rounding of each.
    QVERIFY((centre - p.form.frameGeometry().center()).manhattanLength() <= 4);
    QPoint again;
    OnNextModal("AboutDialog", [&](QWidget *d) {
        again = d->pos();
        Cancel(d);
    });
    p.form.showAbout();
    QCOMPARE(again, about->pos()); // where the user left it, on the main window still
    p.form.move(p.form.pos() + QPoint(600, 400));
    OnNextModal("AboutDialog", [&](QWidget *d) {
        centre = d->frameGeometry().center();
        Cancel(d);
    });
    p.form.showAbout();
    QVERIFY(p.form.frameGeometry().contains(centre));
}

// Catches JPEG data written under a .png name typed with the JPEG filter chosen (or the name
// made "whole2.png.jpg"), a name without a known extension left without one, and a file replaced
// without a question.
void TestDesktopHabits::savedPictureIsNamedAsTyped()
{
    Program p;
    p.form.openPicture(p.picture("p.png", {30, 20}));
    const struct {
        const char *typed;
        int filter; // BMP, JPEG, PNG, WebP
        const char *written;
        ContentKind kind;
    } rows[] = {{"whole2.png", 1, "whole2.png", ContentKind::Png},
                {"photo", 1, "photo.jpg", ContentKind::Jpeg},
                {"notes.txt", 3, "notes.txt.webp", ContentKind::Webp},
                {"Shot.BMP", 2, "Shot.BMP", ContentKind::Bmp}};
    for (const auto &row : rows) {
        OnNextModal("QFileDialog", [&](QWidget *dialog) {
            AcceptFile(dialog, p.folder.file(QLatin1String(row.typed)), row.filter);
        });
        p.form.savePicture();
        const QString written = p.folder.file(QLatin1String(row.written));
        QFile file(written);
        QVERIFY2(file.open(QIODevice::ReadOnly), row.written);
        QCOMPARE(ContentKindOf(file.read(16), {}), row.kind);
    }
    // An existing file: asked about, and left alone when the answer is no.
    const QByteArray before = [&] {
        QFile f(p.folder.file(QStringLiteral("whole2.png")));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    p.blur();
    QString question;
    OnNextModal("QFileDialog", [&](QWidget *dialog) {
        AcceptFile(dialog, p.folder.file(QStringLiteral("whole2.png")), 2);
    });
    OnNextModal(
        "QMessageBox",
        [&](QWidget *box) {
            question = qobject_cast<QMessageBox *>(box)->text();
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::No)->click();
        },
        nullptr);
    p.form.savePicture();
    QVERIFY2(question.contains(QStringLiteral("whole2.png")), qPrintable(question));
    QFile after(p.folder.file(QStringLiteral("whole2.png")));
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

// Catches a run that cannot be stopped, a stopped run that leaves a frame half written or a
// temporary file behind (the PNG frames are encoded ahead on other threads), a message that
// miscounts what is on disk, and more than a thousand files started without a question.
void TestDesktopHabits::stoppedRunLeavesWholeFrames()
{
    Program p;
    const QImage picture = Numbered(1100, 40);
    p.form.takeNewPicture(picture);
    SetCutSize(p.form, {40, 40}); // 1 pixel a step: 1,061 frames
    auto *dialog = Control<OutputDialog>(&p.form, "OutputDialog");
    auto *bar = Control<QProgressBar>(dialog, "progressBar");
    // 停止 pressed as the 20th file is reported written, as a user's click would be taken then.
    connect(bar, &QProgressBar::valueChanged, dialog, [dialog](int value) {
        if (value == 20)
            Control<QPushButton>(dialog, "cancelButton")->click();
    });
    for (const char *format : {"bmpRadio", "pngRadio"}) {
        QDir folder(p.folder.file(QLatin1String(format)));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        QString asked;
        QString said;
        ModalScript script;
        script
            .then(QStringLiteral("OutputDialog"),
                  [&](QWidget *) {
                      Control<QRadioButton>(dialog, "step1Radio")->click();
                      Control<QRadioButton>(dialog, format)->click();
                      QTimer::singleShot(0, Control<QPushButton>(dialog, "saveButton"),
                                         &QPushButton::click);
                  })
            .then(QStringLiteral("QMessageBox"),
                  [&](QWidget *box) {
                      asked = qobject_cast<QMessageBox *>(box)->text();
                      qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
                  })
            .then(QStringLiteral("framesSaveDialog"),
                  [&](QWidget *m) { AcceptFile(m, folder.filePath(QStringLiteral("run"))); })
            .then(QStringLiteral("OutputDialog"), [&](QWidget *m) {
                auto *status = Control<QLabel>(dialog, "statusLabel");
                WhenReady([status] { return !status->toolTip().isEmpty(); },
                          [&, status, m] {
                              said = status->toolTip();
                              Cancel(m);
                          });
            });
        p.form.saveSequence();
        QTRY_VERIFY(script.done());
        QCOMPARE(asked, QStringLiteral("1061 個のファイルを書き出します。続けますか?"));
        const QString extension = QLatin1String(format).startsWith('b') ? "bmp" : "png";
        QCOMPARE(said,
                 QStringLiteral("停止しました。20 個のファイルを書き込みました: %1 ～ run020.%2")
                     .arg(folder.filePath("run001." + extension), extension));
        const QStringList files = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
        QCOMPARE(files.size(), 20);
        for (int k = 1; k <= 20; ++k) {
            const QString name =
                QStringLiteral("run%1.%2").arg(k, 3, 10, QLatin1Char('0')).arg(extension);
            QCOMPARE(files[k - 1], name);
            QCOMPARE(PixelsOf(folder.filePath(name)), picture.copy(k - 1, 0, 40, 40));
        }
        QVERIFY(!Control<QPushButton>(dialog, "cancelButton")->isVisible());
    }
}

// Catches F1 doing nothing, or naming a path to open, where no browser is there to show the help
// (as off screen, where the desktop opens no links), and a help page shown without its pictures.
void TestDesktopHabits::helpOpensInAWindowOfItsOwnWithoutABrowser()
{
    Program p;
    p.folder.write(QStringLiteral("help.html"),
                   "<html><body><h1>Help</h1><img src=\"shot.png\" alt=\"shot\"></body></html>");
    QImage(4, 3, QImage::Format_RGB32).save(p.folder.file(QStringLiteral("shot.png")));
    Control<QAction>(&p.form, "helpAction")->trigger(); // F1
    auto *window = p.form.findChild<QDialog *>(QStringLiteral("HelpWindow"));
    QVERIFY(window && window->isVisible());
    auto *browser = Control<QTextBrowser>(window, "helpBrowser");
    QCOMPARE(browser->document()->toPlainText().trimmed().left(4), QStringLiteral("Help"));
    const QVariant picture = browser->document()->resource(QTextDocument::ImageResource,
                                                           QUrl(QStringLiteral("shot.png")));
    QVERIFY(picture.isValid());
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestDesktopHabits test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_desktop_habits.moc"
