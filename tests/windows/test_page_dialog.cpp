// The page maker's window: layout, making a page, saving and opening projects through the dialogs.
#include "core/page/page.h"
#include "windows/modal_driver.h"
#include "windows/page_maker_dialog.h"
#include "windows/window_support.h"

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

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A form shown as the program shows it, with a folder for its files.
struct Fixture {
    QTemporaryDir dir;
    PageMakerDialog form{nullptr};
    Fixture() { form.show(); }
    QString file(const QString &name) const { return dir.filePath(name); }

    QLineEdit *edit(int number)
    {
        return form.findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(number));
    }
    QCheckBox *tick(int number)
    {
        return form.findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(number));
    }
    void fill(const QString &prefix)
    {
        for (int i = 1; i <= 14; ++i)
            edit(i)->setText(prefix + QString::number(i));
    }
    QStringList texts()
    {
        QStringList result;
        for (int i = 1; i <= 14; ++i)
            result << edit(i)->text();
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
    void fieldsStandWhereTheFormPutsThem();
    void captionsTicksAndButtons();
    void makingAPageWritesTheChosenFile();
    void savedProjectOpensAgainAndKeepsTheTicks();
    void cancellingTheOpenKeepsTheFields();
    void failuresShowTheErrorBoxAndChangeNothing();
    void openDialogListsBothProjectExtensions();
    void closeButtonHidesTheForm();
};

void TestPageDialog::fieldsStandWhereTheFormPutsThem()
{
    Fixture f;
    QCOMPARE(f.form.objectName(), QStringLiteral("Form5"));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("簡易ホームページ作成"));
    QCOMPARE(f.form.size(), QSize(736, 414));
    QCOMPARE(f.form.minimumSize(), f.form.maximumSize());

    const QRect edits[] = {
        {96, 40, 217, 21},   {112, 96, 257, 21},  {48, 152, 321, 21},  {104, 208, 257, 21},
        {104, 232, 257, 21}, {104, 288, 257, 21}, {104, 312, 257, 21}, {104, 360, 257, 21},
        {104, 384, 257, 21}, {472, 208, 257, 21}, {472, 232, 257, 21}, {470, 288, 257, 21},
        {470, 312, 257, 21}, {408, 368, 321, 21},
    };
    const QList<QLineEdit *> members = {
        f.form.Edit1,  f.form.Edit2,  f.form.Edit3,  f.form.Edit4,  f.form.Edit5,
        f.form.Edit6,  f.form.Edit7,  f.form.Edit8,  f.form.Edit9,  f.form.Edit10,
        f.form.Edit11, f.form.Edit12, f.form.Edit13, f.form.Edit14,
    };
    for (int i = 0; i < 14; ++i) {
        QLineEdit *edit = f.edit(i + 1);
        QVERIFY2(edit, qPrintable(QStringLiteral("Edit%1").arg(i + 1)));
        QCOMPARE(edit, members[i]);
        QCOMPARE(edit->geometry(), edits[i]);
        QVERIFY(edit->text().isEmpty());
    }

    const QPoint ticks[] = {{80, 72},  {80, 128},  {80, 184},  {80, 264},
                            {80, 336}, {448, 184}, {448, 264}, {448, 344}};
    for (int i = 0; i < 8; ++i) {
        QCheckBox *tick = f.tick(i + 1);
        QVERIFY2(tick, qPrintable(QStringLiteral("CheckBox%1").arg(i + 1)));
        QCOMPARE(tick->pos(), ticks[i]);
        QCOMPARE(tick->text(), QStringLiteral("使用しない"));
        QVERIFY(!tick->isChecked());
    }
}

void TestPageDialog::captionsTicksAndButtons()
{
    Fixture f;
    const struct {
        const char *name;
        QPoint at;
        const char *text;
        bool heading;
    } labels[] = {
        {"Label1", {8, 12}, "携帯用ホームページが簡単に作成できます。", false},
        {"Label2", {48, 40}, "タイトル", false},
        {"Label3", {8, 72}, "画像", true},
        {"Label4", {16, 96}, "ファイル存在ＵＲＬ", false},
        {"Label5", {8, 128}, "テキスト", true},
        {"Label6", {8, 184}, "リンク１", true},
        {"Label7", {32, 208}, "表示テキスト", false},
        {"Label8", {32, 232}, "リンク先ＵＲＬ", false},
        {"Label9", {8, 264}, "リンク２", true},
        {"Label10", {32, 288}, "表示テキスト", false},
        {"Label11", {32, 312}, "リンク先ＵＲＬ", false},
        {"Label12", {8, 336}, "リンク３", true},
        {"Label14", {32, 384}, "リンク先ＵＲＬ", false},
        {"Label15", {376, 184}, "リンク４", true},
        {"Label16", {400, 208}, "表示テキスト", false},
        {"Label18", {376, 264}, "リンク５", true},
        {"Label20", {398, 312}, "リンク先ＵＲＬ", false},
        {"Label21", {376, 344}, "テキスト", true},
    };
    for (const auto &row : labels) {
        auto *label = f.form.findChild<QLabel *>(QLatin1String(row.name));
        QVERIFY2(label, row.name);
        QCOMPARE(label->pos(), row.at);
        QCOMPARE(label->text(), QString::fromUtf8(row.text));
        QCOMPARE(label->font().pixelSize(), row.heading ? 16 : 12);
        QCOMPARE(label->palette().color(QPalette::WindowText) == QColor(Qt::blue), row.heading);
    }

    const struct {
        const char *name;
        QRect geometry;
        const char *caption;
    } buttons[] = {
        {"Button1", {424, 16, 153, 25}, "ＨＴＭＬを作成する"},
        {"Button2", {424, 48, 153, 25}, "作成データを保存する"},
        {"Button3", {424, 80, 153, 25}, "作成データを開く"},
        {"Button4", {616, 80, 75, 25}, "閉じる"},
    };
    for (const auto &row : buttons) {
        auto *button = f.form.findChild<QPushButton *>(QLatin1String(row.name));
        QVERIFY2(button, row.name);
        QCOMPARE(button->geometry(), row.geometry);
        QCOMPARE(button->text(), QString::fromUtf8(row.caption));
    }
}

void TestPageDialog::makingAPageWritesTheChosenFile()
{
    Fixture f;
    f.edit(1)->setText(QStringLiteral("タイトル<&>"));
    f.edit(14)->setText(QStringLiteral("末尾"));
    f.tick(1)->setChecked(true);
    f.tick(5)->setChecked(true);
    const QString page = f.file(QStringLiteral("page.html"));
    QFile old(page);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'o')); // longer than the page: nothing of it may remain
    old.close();

    ModalScript script; // the name is typed without its extension
    script.then(QStringLiteral("SaveDialog1"),
                [&](QWidget *m) { AcceptFile(m, f.file(QStringLiteral("page"))); });
    f.form.Button1Click();
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
    f.edit(6)->setText(QStringLiteral("<b>～①</b>"));
    const QStringList saved = f.texts();

    ModalScript save;
    save.then(QStringLiteral("SaveDialog2"),
              [&](QWidget *m) { AcceptFile(m, f.file(QStringLiteral("作品"))); });
    f.form.Button2Click();
    QVERIFY(save.done());
    const QString project = f.file(QStringLiteral("作品.mkp"));
    QVERIFY(readFile(project).startsWith("vermkrn1.00\r\n"));

    f.fill(QStringLiteral("changed"));
    f.tick(2)->setChecked(true);
    f.tick(8)->setChecked(true);
    ModalScript open;
    open.then(QStringLiteral("OpenDialog1"), [&](QWidget *m) { AcceptFile(m, project); });
    f.form.Button3Click();
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
    script.then(QStringLiteral("OpenDialog1"), Cancel);
    f.form.Button3Click();
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
    open.then(QStringLiteral("OpenDialog1"), [&](QWidget *m) { AcceptFile(m, missing); })
        .then(QStringLiteral("QMessageBox"), [&](QWidget *m) {
            openMessage = qobject_cast<QMessageBox *>(m)->text();
            qobject_cast<QMessageBox *>(m)->done(QMessageBox::Ok);
        });
    f.form.Button3Click();
    QVERIFY(open.done());
    QVERIFY2(openMessage.contains(missing), qPrintable(openMessage));
    QCOMPARE(f.texts(), before);

    f.edit(3)->setText(QStringLiteral("😀"));
    const QString page = f.file(QStringLiteral("emoji.html"));
    QString pageMessage;
    ModalScript save;
    save.then(QStringLiteral("SaveDialog1"), [&](QWidget *m) { AcceptFile(m, page); })
        .then(QStringLiteral("QMessageBox"), [&](QWidget *m) {
            pageMessage = qobject_cast<QMessageBox *>(m)->text();
            qobject_cast<QMessageBox *>(m)->done(QMessageBox::Ok);
        });
    f.form.Button1Click();
    QVERIFY(save.done());
    QVERIFY2(pageMessage.contains(QStringLiteral("「テキスト」")), qPrintable(pageMessage));
    QVERIFY(!QFile::exists(page));
}

void TestPageDialog::openDialogListsBothProjectExtensions()
{
    Fixture f;
    const struct {
        QFileDialog *dialog;
        QStringList patterns;
        QString suffix;
        QFileDialog::AcceptMode mode;
    } rows[] = {
        {f.form.SaveDialog1, {"*.html"}, "html", QFileDialog::AcceptSave},
        {f.form.SaveDialog2, {"*.mkp"}, "mkp", QFileDialog::AcceptSave},
        {f.form.OpenDialog1, {"*.mkp", "*.ihp"}, "ihp", QFileDialog::AcceptOpen},
    };
    for (const auto &row : rows) {
        QCOMPARE(row.dialog->nameFilters().size(), 1);
        QCOMPARE(patternsOf(row.dialog->nameFilters().front()), row.patterns);
        QCOMPARE(row.dialog->defaultSuffix(), row.suffix);
        QCOMPARE(row.dialog->acceptMode(), row.mode);
        QVERIFY(row.dialog->testOption(QFileDialog::DontConfirmOverwrite));
    }
}

void TestPageDialog::closeButtonHidesTheForm()
{
    Fixture f;
    f.edit(2)->setText(QStringLiteral("kept"));
    QTest::mouseClick(f.form.Button4, Qt::LeftButton);
    QVERIFY(!f.form.isVisible());
    f.form.show(); // created once: the texts are there at the next opening
    QCOMPARE(f.edit(2)->text(), QStringLiteral("kept"));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestPageDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_page_dialog.moc"
