// The batch shrink dialog: layout, folder pickers, a run on the worker and its end.
#include "core/image/picture_io.h"
#include "windows/batch_shrink_dialog.h"
#include "windows/clamping_spin_box.h"
#include "windows/modal_driver.h"
#include "windows/window_support.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QImage pattern(int width, int height)
{
    QImage picture(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, 90));
    return picture;
}

struct Folders {
    QTemporaryDir dir;
    QString source, destination, jpegDat;
    Folders()
    {
        QDir(dir.path()).mkdir(QStringLiteral("in"));
        QDir(dir.path()).mkdir(QStringLiteral("out"));
        source = dir.filePath(QStringLiteral("in")) + u'/';
        destination = dir.filePath(QStringLiteral("out")) + u'/';
        jpegDat = dir.filePath(QStringLiteral("jpeg.dat"));
        QFile dat(jpegDat);
        dat.open(QIODevice::WriteOnly);
        dat.write("\"1\",\"1\",\"JPEG\",\"jpg\"\r\n");
    }
};

// Runs the dialog over the two folders and returns the text of the message box that ends the
// run ("" when none came within 20 s).
QString runForMessage(BatchShrinkDialog &dialog, const Folders &f)
{
    dialog.show();
    dialog.Edit1->setText(f.source);
    dialog.Edit2->setText(f.destination);
    QString message;
    OnNextModal("QMessageBox", [&](QWidget *m) {
        message = qobject_cast<QMessageBox *>(m)->text();
        static_cast<QDialog *>(m)->accept();
    });
    dialog.Button3Click();
    QElapsedTimer waited;
    waited.start();
    while (message.isEmpty() && waited.elapsed() < 20000)
        QTest::qWait(50);
    return message;
}

} // namespace

class TestShrinkDialog : public QObject {
    Q_OBJECT

  private slots:
    void layoutAndStartState();
    void startWithAnEmptyFieldDoesNothing();
    void pickerSetsAFolderWithOneSlashAndCancelKeepsIt();
    void runShrinksEveryListedFileAndGivesTheControlsBack();
    void damagedFilesAreListedAtTheEnd();
    void missingExtensionFileIsReported();
};

void TestShrinkDialog::layoutAndStartState()
{
    BatchShrinkDialog dialog(QStringLiteral("/nonexistent/jpeg.dat"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("フォルダ内JPEGファイル変換ツール"));
    QCOMPARE(dialog.size(), QSize(404, 242));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowSystemMenuHint));
    QCOMPARE(dialog.Edit1->geometry(), QRect(32, 40, 297, 20));
    QCOMPARE(dialog.Button1->geometry(), QRect(336, 40, 49, 25));
    QCOMPARE(dialog.Edit2->geometry(), QRect(32, 88, 297, 20));
    QCOMPARE(dialog.SpinEdit1->geometry(), QRect(32, 144, 57, 21));
    QCOMPARE(dialog.ProgressBar1->geometry(), QRect(32, 205, 185, 10));
    QCOMPARE(dialog.Button3->text(), QStringLiteral("縮小開始"));
    QCOMPARE(dialog.Button4->geometry(), QRect(312, 200, 75, 25));
    QCOMPARE(dialog.Label3->text(), QStringLiteral("縮小サイズ幅"));
    QVERIFY(dialog.Edit1->isReadOnly() && dialog.Edit1->focusPolicy() == Qt::NoFocus);
    QCOMPARE(dialog.SpinEdit1->value(), 200);
    QCOMPARE(dialog.SpinEdit1->minimum(), 15);
    QCOMPARE(dialog.SpinEdit1->maximum(), 3000);
    // Tab runs Button1, Button2, Button3, Button4, SpinEdit1; the folder fields are skipped.
    const auto nextTabStop = [](QWidget *w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    QCOMPARE(nextTabStop(dialog.Button1), dialog.Button2);
    QCOMPARE(nextTabStop(dialog.Button2), dialog.Button3);
    QCOMPARE(nextTabStop(dialog.Button3), dialog.Button4);
    QWidget *afterButton4 = nextTabStop(dialog.Button4);
    QVERIFY(afterButton4 == dialog.SpinEdit1 || afterButton4->parentWidget() == dialog.SpinEdit1);
}

void TestShrinkDialog::startWithAnEmptyFieldDoesNothing()
{
    Folders f;
    BatchShrinkDialog dialog(f.jpegDat);
    dialog.Edit1->setText(f.source);
    dialog.Button3Click();
    QVERIFY(!dialog.running());
    QVERIFY(dialog.Button3->isEnabled());
}

void TestShrinkDialog::pickerSetsAFolderWithOneSlashAndCancelKeepsIt()
{
    Folders f;
    BatchShrinkDialog dialog(f.jpegDat);
    dialog.show();
    OnNextModal("QFileDialog", [&](QWidget *m) {
        QCOMPARE(m->windowTitle(), QStringLiteral("フォルダを選択してください"));
        auto *picker = qobject_cast<QFileDialog *>(m);
        picker->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
            ->setText(f.dir.filePath(QStringLiteral("in")));
        static_cast<QDialog *>(picker)->accept();
    });
    dialog.Button1Click();
    QCOMPARE(dialog.Edit1->text(), f.source);
    OnNextModal("QFileDialog", [](QWidget *m) { static_cast<QDialog *>(m)->reject(); });
    dialog.Button1Click();
    QCOMPARE(dialog.Edit1->text(), f.source); // a cancelled picker leaves the field
}

void TestShrinkDialog::runShrinksEveryListedFileAndGivesTheControlsBack()
{
    Folders f;
    WriteJpegFile(f.source + QStringLiteral("a.jpg"), pattern(1600, 1200));
    WriteJpegFile(f.source + QStringLiteral("b.jpg"), pattern(480, 640));
    WriteJpegFile(f.source + QStringLiteral("c.JPG"), pattern(300, 300));
    BatchShrinkDialog dialog(f.jpegDat);
    dialog.show();
    dialog.Edit1->setText(f.source);
    dialog.Edit2->setText(f.destination);
    QSignalSpy finished(&dialog, &BatchShrinkDialog::runFinished);
    dialog.Button3Click();
    QVERIFY(dialog.running());
    for (QWidget *w : std::initializer_list<QWidget *>{
             dialog.SpinEdit1, dialog.Button1, dialog.Button2, dialog.Button3, dialog.Button4})
        QVERIFY(!w->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Escape); // cannot be closed while running
    QVERIFY(dialog.isVisible());
    QVERIFY(finished.wait(20000));
    QVERIFY(dialog.Button3->isEnabled() && dialog.SpinEdit1->isEnabled());
    QCOMPARE(dialog.ProgressBar1->maximum(), 3);
    QCOMPARE(dialog.ProgressBar1->value(), 3);
    QCOMPARE(ReadJpeg(f.destination + QStringLiteral("a.jpg")).size(), QSize(200, 150));
    QCOMPARE(ReadJpeg(f.destination + QStringLiteral("b.jpg")).size(), QSize(150, 200));
    QCOMPARE(ReadJpeg(f.destination + QStringLiteral("c.JPG")).size(), QSize(200, 199));
}

void TestShrinkDialog::damagedFilesAreListedAtTheEnd()
{
    Folders f;
    WriteJpegFile(f.source + QStringLiteral("good.jpg"), pattern(400, 300));
    QFile broken(f.source + QStringLiteral("broken.jpg"));
    broken.open(QIODevice::WriteOnly);
    broken.write("\xff\xd8\xff\xe0 truncated");
    broken.close();
    BatchShrinkDialog dialog(f.jpegDat);
    const QString message = runForMessage(dialog, f);
    QVERIFY2(message.contains(QStringLiteral("broken.jpg")), qPrintable(message));
    QVERIFY(!message.contains(QStringLiteral("good.jpg")));
    QVERIFY(QFile::exists(f.destination + QStringLiteral("good.jpg")));
    QVERIFY(!QFile::exists(f.destination + QStringLiteral("broken.jpg")));
    QTRY_VERIFY(dialog.Button4->isEnabled());
}

void TestShrinkDialog::missingExtensionFileIsReported()
{
    Folders f;
    QFile::remove(f.jpegDat);
    WriteJpegFile(f.source + QStringLiteral("a.jpg"), pattern(400, 300));
    BatchShrinkDialog dialog(f.jpegDat);
    const QString message = runForMessage(dialog, f);
    QVERIFY2(message.contains(QStringLiteral("jpeg.dat")), qPrintable(message));
    QVERIFY(dialog.Button3->isEnabled());
    QVERIFY(QDir(f.destination).isEmpty());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestShrinkDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_shrink_dialog.moc"
