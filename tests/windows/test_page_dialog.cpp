// SPDX-License-Identifier: GPL-3.0-or-later
// The page maker's window: layout, making a page, saving and opening projects through the dialogs.
#include "core/page/page.h"
#include "windows/application.h"
#include "windows/modal_driver.h"
#include "windows/page_maker_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <deque>
#include <functional>

namespace {

// The fourteen fields in the order of PageProject::texts, the boxes in the order of PageSection.
const char *const kFieldNames[] = {
    "titleField",     "pictureUrlField", "textField",      "link1TextField", "link1UrlField",
    "link2TextField", "link2UrlField",   "link3TextField", "link3UrlField",  "link4TextField",
    "link4UrlField",  "link5TextField",  "link5UrlField",  "text2Field",
};
const char *const kBoxNames[] = {
    "omitPictureBox", "omitTextBox",  "omitLink1Box", "omitLink2Box",
    "omitLink3Box",   "omitLink4Box", "omitLink5Box", "omitText2Box",
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A form shown as the program shows it, with a folder for its files.
struct Fixture {
    QTemporaryDir dir;
    PageMakerDialog form;
    Fixture() { form.show(); }
    QString file(const QString &name) const { return dir.filePath(name); }

    QLineEdit *field(const char *name) { return Control<QLineEdit>(&form, name); }
    QCheckBox *box(const char *name) { return Control<QCheckBox>(&form, name); }
    QPushButton *button(const char *name) { return Control<QPushButton>(&form, name); }
    void fill(const QString &prefix)
    {
        for (size_t i = 0; i < std::size(kFieldNames); ++i)
            field(kFieldNames[i])->setText(prefix + QString::number(i + 1));
    }
    QStringList texts()
    {
        QStringList result;
        for (const char *name : kFieldNames)
            result << field(name)->text();
        return result;
    }
};

// The patterns Qt takes from a name filter: those inside its last brackets.
QStringList patternsOf(const QString &filter)
{
    const QRegularExpression lastBrackets(QStringLiteral("\\(([^()]*)\\)$"));
    return lastBrackets.match(filter).captured(1).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class TestPageDialog : public QObject {
    Q_OBJECT

  private slots:
    void fieldsAndBoxesKeepTheirPlaceInTheValues();
    void makingAPageWritesTheChosenFile();
    void savedProjectOpensAgainAndKeepsTheTicks();
    void cancellingTheOpenKeepsTheFields();
    void failuresShowTheErrorBoxAndChangeNothing();
    void openDialogListsBothProjectExtensions();
    void closeButtonHidesTheForm();
};

// A field read into the wrong place of the project would put every page and project file out of
// order, and a save followed by an open would not show it.
void TestPageDialog::fieldsAndBoxesKeepTheirPlaceInTheValues()
{
    Fixture f;
    QCOMPARE(f.form.omissions().omitted, PageOmissions{}.omitted); // nothing left out at first
    f.fill(QStringLiteral("field"));
    const PageProject typed = f.form.project();
    QCOMPARE(QStringList(typed.texts.begin(), typed.texts.end()), f.texts());

    PageProject shown;
    for (size_t i = 0; i < shown.texts.size(); ++i)
        shown.texts[i] = QStringLiteral("shown") + QString::number(i + 1);
    f.form.setProject(shown);
    QCOMPARE(f.texts(), QStringList(shown.texts.begin(), shown.texts.end()));

    for (size_t i = 0; i < std::size(kBoxNames); ++i) {
        QCheckBox *box = f.box(kBoxNames[i]);
        box->setChecked(true);
        PageOmissions expected;
        expected.omitted[i] = true;
        QVERIFY2(f.form.omissions().omitted == expected.omitted, kBoxNames[i]);
        box->setChecked(false);
    }
}

void TestPageDialog::makingAPageWritesTheChosenFile()
{
    Fixture f;
    f.field("titleField")->setText(QStringLiteral("タイトル<&>"));
    f.field("text2Field")->setText(QStringLiteral("末尾"));
    f.box("omitPictureBox")->setChecked(true);
    f.box("omitLink3Box")->setChecked(true);
    const QString page = f.file(QStringLiteral("page.html"));
    QFile old(page);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'o')); // longer than the page: nothing of it may remain
    old.close();

    ModalScript script; // the name is typed without its extension
    script.then(QStringLiteral("pageSaveDialog"),
                [&](QWidget *m) { AcceptFile(m, f.file(QStringLiteral("page"))); });
    f.button("makePageButton")->click();
    QVERIFY(script.done());

    const QByteArray bytes = readFile(page);
    QCOMPARE(bytes, EncodePage(f.form.project(), f.form.omissions()));
    QVERIFY(bytes.startsWith("<HTML><HEAD><TITLE>\x83\x5E\x83\x43\x83\x67\x83\x8B<&></TITLE>"));
    QCOMPARE(bytes.count("\r\n"), 12); // two of the fourteen lines left out
    QVERIFY(!bytes.contains("<IMG"));
}

void TestPageDialog::savedProjectOpensAgainAndKeepsTheTicks()
{
    Fixture f;
    f.fill(QStringLiteral("項目"));
    f.field("link2TextField")->setText(QStringLiteral("<b>～①</b>"));
    const QStringList saved = f.texts();

    ModalScript save;
    save.then(QStringLiteral("projectSaveDialog"),
              [&](QWidget *m) { AcceptFile(m, f.file(QStringLiteral("作品"))); });
    f.button("saveProjectButton")->click();
    QVERIFY(save.done());
    const QString project = f.file(QStringLiteral("作品.mkp"));
    QVERIFY(readFile(project).startsWith("vermkrn1.00\r\n"));

    f.fill(QStringLiteral("changed"));
    f.box("omitTextBox")->setChecked(true);
    f.box("omitText2Box")->setChecked(true);
    ModalScript open;
    open.then(QStringLiteral("projectOpenDialog"), [&](QWidget *m) { AcceptFile(m, project); });
    f.button("openProjectButton")->click();
    QVERIFY(open.done());

    QCOMPARE(f.texts(), saved);
    QCOMPARE(f.form.omissions().omitted,
             (std::array<bool, 8>{false, true, false, false, false, false, false, true}));
}

void TestPageDialog::cancellingTheOpenKeepsTheFields()
{
    Fixture f;
    f.fill(QStringLiteral("typed"));
    const QStringList before = f.texts();
    ModalScript script;
    script.then(QStringLiteral("projectOpenDialog"), Cancel);
    f.button("openProjectButton")->click();
    QVERIFY(script.done());
    QCOMPARE(f.texts(), before);
}

void TestPageDialog::failuresShowTheErrorBoxAndChangeNothing()
{
    Fixture f;
    f.fill(QStringLiteral("keep"));
    const QStringList before = f.texts();
    const QString missing = f.file(QStringLiteral("missing.mkp"));
    QString openMessage;
    ModalScript open;
    open.then(QStringLiteral("projectOpenDialog"), [&](QWidget *m) { AcceptFile(m, missing); })
        .then(QStringLiteral("QMessageBox"), [&](QWidget *m) {
            openMessage = qobject_cast<QMessageBox *>(m)->text();
            qobject_cast<QMessageBox *>(m)->done(QMessageBox::Ok);
        });
    f.button("openProjectButton")->click();
    QVERIFY(open.done());
    QVERIFY2(openMessage.contains(missing), qPrintable(openMessage));
    QCOMPARE(f.texts(), before);

    f.field("textField")->setText(QStringLiteral("😀"));
    const QString page = f.file(QStringLiteral("emoji.html"));
    QString pageMessage;
    ModalScript save;
    save.then(QStringLiteral("pageSaveDialog"), [&](QWidget *m) { AcceptFile(m, page); })
        .then(QStringLiteral("QMessageBox"), [&](QWidget *m) {
            pageMessage = qobject_cast<QMessageBox *>(m)->text();
            qobject_cast<QMessageBox *>(m)->done(QMessageBox::Ok);
        });
    f.button("makePageButton")->click();
    QVERIFY(save.done());
    QVERIFY2(pageMessage.contains(QStringLiteral("「テキスト」")), qPrintable(pageMessage));
    QVERIFY(!QFile::exists(page));
}

void TestPageDialog::openDialogListsBothProjectExtensions()
{
    Fixture f;
    const struct {
        const char *name;
        QStringList patterns;
        QString suffix;
        QFileDialog::AcceptMode mode;
    } rows[] = {
        {"pageSaveDialog", {"*.html"}, "html", QFileDialog::AcceptSave},
        {"projectSaveDialog", {"*.mkp"}, "mkp", QFileDialog::AcceptSave},
        {"projectOpenDialog", {"*.mkp", "*.ihp"}, "ihp", QFileDialog::AcceptOpen},
    };
    for (const auto &row : rows) {
        auto *dialog = Control<QFileDialog>(&f.form, row.name);
        QCOMPARE(dialog->nameFilters().size(), 1);
        QCOMPARE(patternsOf(dialog->nameFilters().front()), row.patterns);
        QCOMPARE(dialog->defaultSuffix(), row.suffix);
        QCOMPARE(dialog->acceptMode(), row.mode);
        if (row.mode == QFileDialog::AcceptSave)
            QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    }
}

void TestPageDialog::closeButtonHidesTheForm()
{
    Fixture f;
    f.field("pictureUrlField")->setText(QStringLiteral("kept"));
    QTest::mouseClick(f.button("closeButton"), Qt::LeftButton);
    QVERIFY(!f.form.isVisible());
    f.form.show(); // created once: the texts are there at the next opening
    QCOMPARE(f.field("pictureUrlField")->text(), QStringLiteral("kept"));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestPageDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_page_dialog.moc"
