// The main window's commands with their dialogs: import, cut size, save and sequences, save of the
// whole picture, undo, about.
#include "core/base/app_paths.h"
#include "core/image/picture_io.h"
#include "windows/about_dialog.h"
#include "windows/cut_size_dialog.h"
#include "windows/import_dialog.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/output_dialog.h"
#include "windows/program_folder.h"
#include "windows/window_support.h"

#include "windows/clamping_spin_box.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>

namespace {

QImage numbered(int width, int height)
{
    QImage picture(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x % 250 + 3, y % 250 + 3, (x * y) % 256));
    return picture;
}

struct Program {
    ProgramFolder folder;
    QTemporaryDir &dir = folder.dir;
    std::unique_ptr<MainWindow> form;

    explicit Program(
        const QByteArray &presets = "A\r\n16\r\n16\r\n\r\n0\r\n0\r\nSVGA\r\n800\r\n600\r\n")
        : folder(presets)
    {
        form = std::make_unique<MainWindow>(folder.paths());
        form->show();
    }
    Workspace &ws() { return form->workspace(); }
    QString file(const QString &name) const { return folder.file(name); }

    // Loads a picture through the import dialog as a user would (the field already chosen).
    void load(const QImage &picture, const QString &name = QStringLiteral("picture.bmp"))
    {
        QVERIFY(picture.save(file(name)));
        form->Form2->Edit1->setText(file(name));
        ModalScript script;
        script.then(QStringLiteral("Form2"), [](QWidget *) {});
        QTimer::singleShot(0, form->Form2->Button2, &QPushButton::click);
        form->Button4Click();
    }
};

QStringList bmpFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

  private slots:
    void importBrowsesPreviewsAndTakesTheWorkingPicture();
    void importOfAnUnreadableFileKeepsTheWorkspace();
    void importOfAVanishedFileClosesSilently();
    void importAsCompositingPicturePadsWhite();
    void cutSizeDialogLimitsAndPresets();
    void outputDialogShowsWhatEachModeNeeds();
    void continuousModeResetsStepAndDirection();
    void cutSizeStepFollowsTheDirection();
    void singleCutCancelClosesAndWritesNothing();
    void singleCutWritesTheCut();
    void continuousCutWritesEveryPositionAndReturns();
    void continuousCutAtTheEdgeSavesOneFile();
    void failedSequenceKeepsTheDialogAndTheFrame();
    void fadeWritesTwentyOneFrames();
    void savePictureAddsTheExtensionOnlyWhenMissing();
    void undoReturnsToTheLoadedPicture();
    void aboutShowsTheVersion();
};

void TestDialogs::importBrowsesPreviewsAndTakesTheWorkingPicture()
{
    Program p;
    const QString jpeg = p.file(QStringLiteral("写真.JPG")); // capitals and a Japanese name
    const QImage picture = numbered(320, 200);
    QVERIFY(picture.save(jpeg, "JPEG", 95));

    ModalScript script;
    script.then(QStringLiteral("Form2"), pressLater(p.form->Form2->Button1))
        .then(QStringLiteral("OpenDialog1"), [&](QWidget *m) { AcceptFile(m, jpeg); })
        .then(QStringLiteral("Form2"), [&](QWidget *) {
            QCOMPARE(p.form->Form2->Edit1->text(), jpeg);
            QCOMPARE(p.form->Form2->Image3->size(), QSize(320, 200));
            p.form->Form2->Button2->click();
        });
    p.form->Button4Click();
    QVERIFY(script.done());

    const Workspace &ws = p.ws();
    QCOMPARE(ws.PictureLoaded, 1);
    QCOMPARE(ws.WorkImage.size(), QSize(320, 200));
    QCOMPARE(ws.WorkImage, ReadJpeg(jpeg));
    QCOMPARE(ws.UndoImage, ws.WorkImage);
    QCOMPARE(QSize(ws.CanvasWidth, ws.CanvasHeight), QSize(320, 200));
    QCOMPARE(QSize(ws.CutWidth, ws.CutHeight), QSize(100, 100));
    QVERIFY(p.form->Button1->isEnabled());
    QCOMPARE(p.form->Label9->text(), QStringLiteral("320"));
}

void TestDialogs::importOfAnUnreadableFileKeepsTheWorkspace()
{
    Program p;
    QFile broken(p.file(QStringLiteral("broken.jpg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("\xff\xd8\xff\xe0 not really a picture");
    broken.close();
    p.form->Form2->Edit1->setText(broken.fileName());

    bool stayedOpen = false;
    QString message;
    ModalScript script;
    script.then(QStringLiteral("Form2"), pressLater(p.form->Form2->Button2))
        .then(QStringLiteral("QMessageBox"), [&](QWidget *m) {
            message = qobject_cast<QMessageBox *>(m)->text();
            Cancel(m);
            QTimer::singleShot(0, [&] {
                stayedOpen = p.form->Form2->isVisible();
                p.form->Form2->Button3->click();
            });
        });
    p.form->Button4Click();
    QTRY_VERIFY(script.done());
    QVERIFY(stayedOpen);
    QVERIFY2(message.contains(QStringLiteral("broken.jpg")), qPrintable(message));
    QCOMPARE(p.ws().PictureLoaded, 0);
    QCOMPARE(p.ws().WorkImage.size(), QSize(200, 100));
}

void TestDialogs::importOfAVanishedFileClosesSilently()
{
    Program p;
    p.form->Form2->Edit1->setText(p.file(QStringLiteral("gone.bmp")));
    ModalScript script;
    script.then(QStringLiteral("Form2"), pressLater(p.form->Form2->Button2));
    p.form->Button4Click();
    QVERIFY(script.done());
    QVERIFY(!p.form->Form2->isVisible());
    QCOMPARE(p.ws().PictureLoaded, 0);
}

void TestDialogs::importAsCompositingPicturePadsWhite()
{
    Program p;
    p.load(numbered(300, 200));
    p.ws().CutWidth = 120;
    p.ws().CutHeight = 100;
    const QImage work = p.ws().WorkImage;
    QVERIFY(numbered(100, 80).save(p.file(QStringLiteral("blend.bmp"))));
    p.form->Form2->Edit1->setText(p.file(QStringLiteral("blend.bmp")));
    p.ws().ImportTarget = 2;
    QTimer::singleShot(0, p.form->Form2->Button2, &QPushButton::click);
    p.form->Form2->exec();

    const QImage blend = p.ws().BlendImage;
    QCOMPARE(blend.size(), QSize(120, 100));
    QCOMPARE(blend.pixel(99, 79), numbered(100, 80).pixel(99, 79));
    QCOMPARE(blend.pixel(100, 10), qRgb(255, 255, 255));
    QCOMPARE(blend.pixel(10, 80), qRgb(255, 255, 255));
    QCOMPARE(p.ws().WorkImage, work);
}

void TestDialogs::cutSizeDialogLimitsAndPresets()
{
    Program p;
    CutSizeDialog *dialog = p.form->Form3;
    ModalScript script;
    script.then(QStringLiteral("Form3"), [&](QWidget *) {
        QCOMPARE(dialog->SpinEdit1->maximum(), 1500);
        QCOMPARE(dialog->SpinEdit2->maximum(), 1500);
        QCOMPARE(dialog->SpinEdit1->minimum(), 3);
        QCOMPARE(dialog->ComboBox1->count(), 2); // the empty name is not listed
        QCOMPARE(dialog->ComboBox1->itemText(1), QStringLiteral("SVGA"));
        dialog->Button2->click();
    });
    p.form->Button2Click();
    QVERIFY(script.done());
    QCOMPARE(p.ws().CutWidth, 100);

    p.load(numbered(640, 480));
    p.ws().FrameX = 50;
    ModalScript second;
    second.then(QStringLiteral("Form3"), [&](QWidget *) {
        QCOMPARE(dialog->SpinEdit1->maximum(), 640);
        QCOMPARE(dialog->SpinEdit2->maximum(), 480);
        QCOMPARE(dialog->SpinEdit1->value(), 100);
        dialog->ComboBox1->setCurrentIndex(1);
        dialog->Button1->click();
    });
    p.form->Button2Click();
    QVERIFY(second.done());
    QCOMPARE(QSize(p.ws().CutWidth, p.ws().CutHeight), QSize(640, 480));
    QCOMPARE(p.ws().FrameX, 0);
    QCOMPARE(p.form->Label4->text(), QStringLiteral("640"));

    // The choice survives; typed values are pulled into range when the field is left.
    ModalScript third;
    third.then(QStringLiteral("Form3"), [&](QWidget *) {
        QCOMPARE(dialog->ComboBox1->currentText(), QStringLiteral("SVGA"));
        QCOMPARE(dialog->ComboBox1->count(), 2); // not filled again
        dialog->ComboBox1->setCurrentIndex(-1);
        dialog->SpinEdit1->findChild<QLineEdit *>()->setText(QStringLiteral("2"));
        dialog->SpinEdit2->findChild<QLineEdit *>()->setText(QStringLiteral("9999"));
        dialog->Button1->click();
    });
    p.form->Button2Click();
    QVERIFY(third.done());
    QCOMPARE(QSize(p.ws().CutWidth, p.ws().CutHeight), QSize(3, 480));
}

void TestDialogs::outputDialogShowsWhatEachModeNeeds()
{
    Program p;
    p.load(numbered(1000, 800));
    p.ws().CutWidth = 200;
    p.ws().CutHeight = 100;
    OutputDialog *d = p.form->Form4;
    struct Expect {
        void (MainWindow::*command)();
        QString title;
        bool steps, option, compositing;
        QString group, first, second;
    };
    const Expect rows[] = {
        {&MainWindow::Button1Click,
         QStringLiteral("画像切り取り"),
         false,
         false,
         false,
         {},
         {},
         {}},
        {&MainWindow::Button5Click, QStringLiteral("アルファ合成"), false, true, true,
         QStringLiteral("オプション"), QStringLiteral("ノーマル"),
         QStringLiteral("白を透過させる")},
        {&MainWindow::Button7Click, QStringLiteral("フェードアウト"), false, true, false,
         QStringLiteral("色を選択してください"), QStringLiteral("白"), QStringLiteral("黒")},
        {&MainWindow::Button3Click,
         QStringLiteral("連続画像切り取り"),
         true,
         false,
         false,
         {},
         {},
         {}},
    };
    for (const Expect &e : rows) {
        ModalScript script;
        script.then(QStringLiteral("Form4"), [&](QWidget *) {
            QCOMPARE(d->Label1->text(), e.title);
            QCOMPARE(d->GroupBox1->isVisible(), e.steps);
            QCOMPARE(d->GroupBox2->isVisible(), e.steps);
            QCOMPARE(d->GroupBox3->isVisible(), e.option);
            QCOMPARE(d->Button3->isVisible(), e.compositing);
            if (e.option) {
                QCOMPARE(d->GroupBox3->title(), e.group);
                QCOMPARE(d->RadioButton9->text(), e.first);
                QCOMPARE(d->RadioButton10->text(), e.second);
                QVERIFY(d->RadioButton9->isChecked());
            }
            QCOMPARE(d->Image1->size(), QSize(200, 100));
            QCOMPARE(d->Image1->pixmap().toImage().convertToFormat(QImage::Format_BGR888),
                     p.ws().WorkImage.copy(0, 0, 200, 100));
            d->Button2->click();
        });
        (p.form.get()->*e.command)();
        QVERIFY(script.done());
    }
}

void TestDialogs::continuousModeResetsStepAndDirection()
{
    Program p;
    p.load(numbered(300, 200));
    OutputDialog *d = p.form->Form4;
    ModalScript script;
    script.then(QStringLiteral("Form4"), [&](QWidget *) {
        d->RadioButton3->click();
        d->RadioButton7->click();
        QCOMPARE(p.ws().FrameStep, 3);
        QCOMPARE(p.ws().FrameDirection, Direction::Up);
        d->Button2->click();
    });
    p.form->Button3Click();
    ModalScript again;
    again.then(QStringLiteral("Form4"), [&](QWidget *) {
        QVERIFY(d->RadioButton1->isChecked());
        QVERIFY(d->RadioButton4->isChecked());
        QCOMPARE(p.ws().FrameStep, 15);
        QCOMPARE(p.ws().FrameDirection, Direction::Right);
        d->Button2->click();
    });
    p.form->Button3Click();
    QVERIFY(script.done() && again.done());
}

void TestDialogs::cutSizeStepFollowsTheDirection()
{
    Program p;
    p.load(numbered(900, 700));
    p.ws().CutWidth = 300;
    p.ws().CutHeight = 200;
    OutputDialog *d = p.form->Form4;
    ModalScript script;
    script.then(QStringLiteral("Form4"), [&](QWidget *) {
        d->RadioButton11->click(); // amount first, direction right already chosen
        QCOMPARE(p.ws().FrameStep, 300);
        d->RadioButton6->click();
        QCOMPARE(p.ws().FrameStep, 200);
        d->RadioButton5->click();
        QCOMPARE(p.ws().FrameStep, 300);
        d->RadioButton2->click();
        d->RadioButton7->click(); // direction first, then the amount
        d->RadioButton11->click();
        QCOMPARE(p.ws().FrameStep, 200);
        d->Button2->click();
    });
    p.form->Button3Click();
    QVERIFY(script.done());
}

void TestDialogs::singleCutCancelClosesAndWritesNothing()
{
    Program p;
    p.load(numbered(300, 200));
    ModalScript script;
    script.then(QStringLiteral("Form4"), pressLater(p.form->Form4->Button1))
        .then(QStringLiteral("SaveDialog1"), Cancel);
    p.form->Button1Click();
    QVERIFY(script.done());
    QVERIFY(!p.form->Form4->isVisible());
    QVERIFY(bmpFiles(p.dir.path()).contains(QStringLiteral("picture.bmp")));
    QCOMPARE(bmpFiles(p.dir.path()).size(), 1);
}

void TestDialogs::singleCutWritesTheCut()
{
    Program p;
    p.load(numbered(300, 200));
    p.ws().CutWidth = 40;
    p.ws().CutHeight = 30;
    p.ws().FrameX = 10;
    p.ws().FrameY = 20;
    ModalScript script;
    script.then(QStringLiteral("Form4"), pressLater(p.form->Form4->Button1))
        .then(QStringLiteral("SaveDialog1"),
              [&](QWidget *m) { AcceptFile(m, p.file(QStringLiteral("cut"))); });
    p.form->Button1Click();
    QVERIFY(script.done());
    const QImage cut = ReadBmp(p.file(QStringLiteral("cut.bmp"))); // ".bmp" added by the dialog
    QCOMPARE(cut.convertToFormat(QImage::Format_BGR888), numbered(300, 200).copy(10, 20, 40, 30));
}

void TestDialogs::continuousCutWritesEveryPositionAndReturns()
{
    Program p;
    p.load(numbered(100, 60));
    p.ws().CutWidth = 40;
    p.ws().CutHeight = 60;
    QDir(p.dir.path()).mkdir(QStringLiteral("anim"));
    ModalScript script;
    script.then(QStringLiteral("Form4"), pressLater(p.form->Form4->Button1))
        .then(QStringLiteral("SaveDialog2"),
              [&](QWidget *m) { AcceptFile(m, p.file(QStringLiteral("anim/walk"))); });
    p.form->Button3Click();
    QVERIFY(script.done());
    const QStringList frames = bmpFiles(p.file(QStringLiteral("anim")));
    QCOMPARE(frames, (QStringList{"walk001.bmp", "walk002.bmp", "walk003.bmp", "walk004.bmp",
                                  "walk005.bmp"}));
    const QImage last = ReadBmp(p.file(QStringLiteral("anim/walk005.bmp")));
    QCOMPARE(last.convertToFormat(QImage::Format_BGR888), numbered(100, 60).copy(60, 0, 40, 60));
    QCOMPARE(p.ws().FrameX, 0);
    QVERIFY(!p.form->Form4->isVisible());
    QCOMPARE(p.form->Form4->ProgressBar1->value(), 0);
}

void TestDialogs::continuousCutAtTheEdgeSavesOneFile()
{
    Program p;
    p.load(numbered(100, 60));
    p.ws().CutWidth = 40;
    p.ws().FrameX = 60; // against the right edge: only the start fits
    ModalScript script;
    script.then(QStringLiteral("Form4"), pressLater(p.form->Form4->Button1))
        .then(QStringLiteral("SaveDialog1"), [&](QWidget *m) {
            Cancel(m); // cancelling this one keeps the sequence dialog open
            QTimer::singleShot(0, [&] {
                QVERIFY(p.form->Form4->isVisible());
                p.form->Form4->Button2->click();
            });
        });
    p.form->Button3Click();
    QTRY_VERIFY(script.done());
    QCOMPARE(script.seen, (QStringList{"Form4", "SaveDialog1"}));
}

void TestDialogs::failedSequenceKeepsTheDialogAndTheFrame()
{
    Program p;
    p.load(numbered(100, 60));
    p.ws().CutWidth = 40;
    p.ws().FrameX = 5;
    QString message;
    ModalScript script;
    script.then(QStringLiteral("Form4"), pressLater(p.form->Form4->Button1))
        .then(QStringLiteral("SaveDialog2"),
              [&](QWidget *m) { AcceptFile(m, p.file(QStringLiteral("missing/walk"))); })
        .then(QStringLiteral("QMessageBox"), [&](QWidget *m) {
            message = qobject_cast<QMessageBox *>(m)->text();
            Cancel(m);
            QTimer::singleShot(0, [&] {
                QVERIFY(p.form->Form4->isVisible());
                p.form->Form4->Button2->click();
            });
        });
    p.form->Button3Click();
    QTRY_VERIFY(script.done());
    QVERIFY2(message.contains(QStringLiteral("walk001.bmp")), qPrintable(message));
    QCOMPARE(p.ws().FrameX, 5);
}

void TestDialogs::fadeWritesTwentyOneFrames()
{
    Program p;
    p.load(numbered(64, 48));
    p.ws().CutWidth = 8;
    p.ws().CutHeight = 6;
    ModalScript script;
    script
        .then(QStringLiteral("Form4"),
              [&](QWidget *) {
                  p.form->Form4->RadioButton10->click(); // black
                  QTimer::singleShot(0, p.form->Form4->Button1, &QPushButton::click);
              })
        .then(QStringLiteral("SaveDialog2"),
              [&](QWidget *m) { AcceptFile(m, p.file(QStringLiteral("fade"))); });
    p.form->Button7Click();
    QVERIFY(script.done());
    QCOMPARE(bmpFiles(p.dir.path()).filter(QStringLiteral("fade")).size(), 21);
    const QImage first = ReadBmp(p.file(QStringLiteral("fade001.bmp")));
    QCOMPARE(first.pixel(3, 3), qRgb(0, 0, 0));
    const QImage last = ReadBmp(p.file(QStringLiteral("fade021.bmp")));
    QCOMPARE(last.convertToFormat(QImage::Format_BGR888), numbered(64, 48).copy(0, 0, 8, 6));
}

void TestDialogs::savePictureAddsTheExtensionOnlyWhenMissing()
{
    Program p;
    p.load(numbered(30, 20));
    const struct {
        QString typed;
        int filter;
        QString written;
    } rows[] = {{QStringLiteral("shot"), 0, QStringLiteral("shot.bmp")},
                {QStringLiteral("two.BMP"), 0, QStringLiteral("two.BMP")},
                {QStringLiteral("photo"), 1, QStringLiteral("photo.jpg")},
                {QStringLiteral("photo2.jpg"), 1, QStringLiteral("photo2.jpg")}};
    for (const auto &row : rows) {
        ModalScript script;
        script.then(QStringLiteral("SaveDialog1"),
                    [&](QWidget *m) { AcceptFile(m, p.file(row.typed), row.filter); });
        p.form->S2Click();
        QVERIFY(script.done());
        QVERIFY2(QFileInfo::exists(p.file(row.written)), qPrintable(row.written));
    }
    QCOMPARE(ReadPicture(p.file(QStringLiteral("photo.jpg"))).size(), QSize(30, 20));
    QVERIFY(!QFileInfo::exists(p.file(QStringLiteral("two.BMP.bmp"))));
    // The filter chosen last stays selected for the next save.
    QCOMPARE(SelectedFilterIndex(p.form->SaveDialog1), 1);
}

void TestDialogs::undoReturnsToTheLoadedPicture()
{
    Program p;
    const QImage loaded = numbered(80, 60);
    p.load(loaded);
    p.ws().CutWidth = 70;
    p.form->PutEditResult(numbered(40, 30), EditResultKind::ChangesSize);
    QCOMPARE(p.ws().CutWidth, 40);
    p.form->Undo1->trigger();
    QCOMPARE(p.ws().WorkImage.convertToFormat(QImage::Format_BGR888), loaded);
    QCOMPARE(QSize(p.ws().CanvasWidth, p.ws().CanvasHeight), QSize(80, 60));
    QCOMPARE(p.form->Label9->text(), QStringLiteral("80"));
    p.form->Undo1->trigger(); // again: the same
    QCOMPARE(p.ws().WorkImage.convertToFormat(QImage::Format_BGR888), loaded);
}

void TestDialogs::aboutShowsTheVersion()
{
    Program p;
    ModalScript script;
    script.then(QStringLiteral("AboutDialog"), [&](QWidget *about) {
        QCOMPARE(about->findChild<QLabel *>(QStringLiteral("titleLabel"))->text(),
                 QStringLiteral("MOKARAN"));
        QCOMPARE(about->findChild<QLabel *>(QStringLiteral("versionLabel"))->text(),
                 QStringLiteral("ver 1.32  (2008.06.07)"));
        QCOMPARE(about->windowTitle(), QStringLiteral("バージョン情報"));
        about->findChild<QPushButton *>(QStringLiteral("closeButton"))->click();
    });
    p.form->About1->trigger();
    QVERIFY(script.done());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestDialogs test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dialogs.moc"
