// SPDX-License-Identifier: GPL-3.0-or-later
// The interface in the locale's language: English under an English locale, Japanese under C, the
// translation found beside the program as a build or an unpacked copy has it.
#include "core/base/interface_language.h"
#include "core/base/io_error.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/program_folder.h"
#include "windows/window_support.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

// A program folder with the translations the build made, beside the executable as a build has
// them, and the English help.
struct TranslatedFolder : ProgramFolder {
    TranslatedFolder() : ProgramFolder("任意切り取りサイズ\r\n100\r\n100\r\n")
    {
        QDir().mkpath(dir.filePath(QStringLiteral("translations")));
        QFile::copy(QStringLiteral(MOKARAN_TEST_TRANSLATIONS "/mokaran_en.qm"),
                    dir.filePath(QStringLiteral("translations/mokaran_en.qm")));
        write(QStringLiteral("help.en.html"), "<html></html>");
    }
};

void useLocale(const char *lang)
{
    for (const char *name : {"MOKARAN_LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        qunsetenv(name);
    qputenv("LANG", lang);
}

QStringList itemTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *item : menu->actions()) {
        if (!item->isSeparator())
            texts << item->text();
    }
    return texts;
}

// Every caption of the window and of the dialogs it made is whole: a label ends before what
// stands right of it on its row, a button's text fits inside the button.
void checkCaptionsFit(const QWidget *window)
{
    QList<const QWidget *> roots{window};
    for (const QDialog *dialog : window->findChildren<QDialog *>())
        roots << dialog;
    for (const QWidget *root : roots) {
        for (const QWidget *caption : root->findChildren<QWidget *>()) {
            const auto *label = qobject_cast<const QLabel *>(caption);
            const auto *box = qobject_cast<const QAbstractButton *>(caption);
            const QString text = label ? label->text() : box ? box->text() : QString();
            if (text.isEmpty() || (box && !qobject_cast<const QRadioButton *>(box) &&
                                   !qobject_cast<const QCheckBox *>(box)))
                continue;
            const QRect place = caption->geometry();
            for (const QWidget *sibling :
                 caption->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                const QRect other = sibling->geometry();
                const bool sameRow = other.top() <= place.bottom() && other.bottom() >= place.top();
                if (sibling != caption && sameRow && other.left() > place.left())
                    QVERIFY2(
                        other.left() > place.right(),
                        qPrintable(text + QStringLiteral(" runs into ") + sibling->objectName()));
            }
        }
        // Nothing placed by hand reaches past the right edge of what holds it, where it is cut.
        // A holder that a layout sizes has its width only once shown.
        for (const QWidget *control : root->findChildren<QWidget *>()) {
            const QWidget *holder = control->parentWidget();
            if (control->isWindow() || holder->layout() ||
                (!holder->isWindow() && holder->parentWidget()->layout()) ||
                qobject_cast<const QAbstractScrollArea *>(holder) ||
                qobject_cast<const QAbstractScrollArea *>(holder->parentWidget()) ||
                holder->inherits("QAbstractSpinBox") || holder->inherits("QComboBox"))
                continue;
            QVERIFY2(control->geometry().right() < holder->width(),
                     qPrintable(control->objectName() + QStringLiteral(" is cut off by ") +
                                holder->objectName()));
        }
        for (const QAbstractButton *button : root->findChildren<QAbstractButton *>()) {
            if (button->text().isEmpty())
                continue;
            const bool box = qobject_cast<const QRadioButton *>(button) ||
                             qobject_cast<const QCheckBox *>(button);
            const int needed =
                box ? button->sizeHint().width()
                    : button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&'));
            QVERIFY2(needed <= button->width() - (box ? 0 : 4),
                     qPrintable(button->text() + QStringLiteral(" is cut off")));
        }
    }
}

} // namespace

class TestInterfaceLanguage : public QObject {
    Q_OBJECT
  private slots:
    void cLocaleKeepsJapanese();
    void englishLocaleShowsEnglish();
};

// Catches the English translation loaded where the locale is C (as on a system nobody chose a
// language for), which would change every text existing users know.
void TestInterfaceLanguage::cLocaleKeepsJapanese()
{
    TranslatedFolder folder;
    useLocale("C.UTF-8");
    QCOMPARE(InstallProgramTranslation(folder.paths()), QStringLiteral("ja"));
    MainWindow form(folder.paths());
    QCOMPARE(Control<QMenu>(&form, "fileMenu")->title(), QStringLiteral("ファイル(&F)"));
    QCOMPARE(Control<QPushButton>(&form, "loadButton")->text(),
             QStringLiteral("画像ファイル読込み"));
    QCOMPARE(IoErrorText(2), QStringLiteral("ファイルが見つかりません"));
    QCOMPARE(QFileInfo(LocalizedDataFile(folder.paths(), QStringLiteral("help.html"))).fileName(),
             QStringLiteral("help.html"));
    checkCaptionsFit(&form);
}

// Catches a translation the program does not find beside itself or installs after the forms are
// built, texts made in code or in the core left in Japanese, the Japanese help opened for an
// English reader, and an English caption too long for its place.
void TestInterfaceLanguage::englishLocaleShowsEnglish()
{
    TranslatedFolder folder;
    useLocale("en_US.UTF-8");
    QCOMPARE(InstallProgramTranslation(folder.paths()), QStringLiteral("en"));
    MainWindow form(folder.paths());
    QCOMPARE(Control<QMenu>(&form, "fileMenu")->title(), QStringLiteral("&File"));
    QCOMPARE(itemTexts(Control<QMenu>(&form, "fileMenu")),
             QStringList({"&Load Picture...", "&Save Picture As...", "Recent &Files", "&Quit"}));
    QCOMPARE(Control<QPushButton>(&form, "loadButton")->text(), QStringLiteral("Load Picture..."));
    QCOMPARE(Control<QLabel>(&form, "cutSizeCaption")->text(), QStringLiteral("Cut size"));
    QCOMPARE(Control<QAction>(&form, "undoAction")->text(), QStringLiteral("&Undo"));
    QCOMPARE(IoErrorText(2), QStringLiteral("File not found"));
    QCOMPARE(QFileInfo(LocalizedDataFile(folder.paths(), QStringLiteral("help.html"))).fileName(),
             QStringLiteral("help.en.html"));
    checkCaptionsFit(&form);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestInterfaceLanguage test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_interface_language.moc"
