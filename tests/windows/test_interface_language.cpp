// SPDX-License-Identifier: GPL-3.0-or-later
// The interface in the locale's language: English under an English locale, Japanese under C, the
// translation found beside the program as a build or an unpacked copy has it; and in each
// language, and at a larger font, every form keeps its invariants (form_invariants.h).
#include "core/base/interface_language.h"
#include "core/base/io_error.h"
#include "windows/application.h"
#include "windows/form_invariants.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/program_folder.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
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

// The button Return presses in each of the program's own dialogs; none in the others.
const char *defaultButtonOf(const QWidget *window)
{
    static const QHash<QString, const char *> kDefaults = {
        {QStringLiteral("ValueDialog"), "okButton"},
        {QStringLiteral("FramePositionDialog"), "okButton"},
        {QStringLiteral("CutSizeDialog"), "okButton"},
        {QStringLiteral("OutputDialog"), "saveButton"},
        {QStringLiteral("BatchShrinkDialog"), "startButton"},
        {QStringLiteral("AboutDialog"), "closeButton"}};
    return kDefaults.value(window->objectName(), nullptr);
}

// The main window and every dialog it made, each shown so that its layouts size it, keep the
// form invariants.
void checkForms(MainWindow &form)
{
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStringList problems = FormProblems(&form, nullptr);
    for (QDialog *dialog : form.findChildren<QDialog *>()) {
        if (qobject_cast<QFileDialog *>(dialog))
            continue; // Qt's own
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        problems << FormProblems(dialog, defaultButtonOf(dialog));
        dialog->hide();
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

} // namespace

class TestInterfaceLanguage : public QObject {
    Q_OBJECT
  private slots:
    void cLocaleKeepsJapanese();
    void englishLocaleShowsEnglish();
    void largerFontKeepsEveryFormWhole();
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
             QStringLiteral("画像ファイル読込み(&L)"));
    QCOMPARE(IoErrorText(2), QStringLiteral("ファイルが見つかりません"));
    QCOMPARE(QFileInfo(LocalizedDataFile(folder.paths(), QStringLiteral("help.html"))).fileName(),
             QStringLiteral("help.html"));
    checkForms(form);
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
    QCOMPARE(Control<QPushButton>(&form, "loadButton")->text(), QStringLiteral("&Load Picture..."));
    QCOMPARE(Control<QLabel>(&form, "cutSizeCaption")->text(), QStringLiteral("Cut size"));
    QCOMPARE(Control<QAction>(&form, "undoAction")->text(), QStringLiteral("&Undo"));
    QCOMPARE(IoErrorText(2), QStringLiteral("File not found"));
    QCOMPARE(QFileInfo(LocalizedDataFile(folder.paths(), QStringLiteral("help.html"))).fileName(),
             QStringLiteral("help.en.html"));
    checkForms(form);
}

// Catches forms that fit only the font they were drawn with: a desktop font half as large again
// must leave every caption whole and nothing overlapping.
void TestInterfaceLanguage::largerFontKeepsEveryFormWhole()
{
    TranslatedFolder folder;
    useLocale("C.UTF-8");
    InstallProgramTranslation(folder.paths());
    const QFont desktop = QApplication::font();
    QFont larger = desktop;
    larger.setPointSizeF(desktop.pointSizeF() * 1.5);
    QApplication::setFont(larger);
    {
        MainWindow form(folder.paths());
        checkForms(form);
    }
    QApplication::setFont(desktop);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestInterfaceLanguage test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_interface_language.moc"
