// SPDX-License-Identifier: GPL-3.0-or-later
// The batch shrink dialog: layout, folder pickers, a run on the worker and its end.
#include "core/image/jpeg_codec.h"
#include "core/image/picture_reading.h"
#include "windows/application.h"
#include "windows/batch_shrink_dialog.h"
#include "windows/clamping_spin_box.h"
#include "windows/modal_driver.h"

#include <QApplication>
#include <QCheckBox>
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

QByteArray ReadFileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QLineEdit *field(const BatchShrinkDialog &dialog, const char *name)
{
    return Control<QLineEdit>(&dialog, name);
}

QPushButton *button(const BatchShrinkDialog &dialog, const char *name)
{
    return Control<QPushButton>(&dialog, name);
}

struct Folders {
    QTemporaryDir dir;
    QString source, destination, extensionsFile;
    Folders()
    {
        QDir(dir.path()).mkdir(QStringLiteral("in"));
        QDir(dir.path()).mkdir(QStringLiteral("out"));
        source = dir.filePath(QStringLiteral("in")) + u'/';
        destination = dir.filePath(QStringLiteral("out")) + u'/';
        extensionsFile = dir.filePath(QStringLiteral("jpeg.dat"));
        QFile dat(extensionsFile);
        dat.open(QIODevice::WriteOnly);
        dat.write("\"1\",\"1\",\"JPEG\",\"jpg\"\r\n");
    }
};

// Runs the dialog over the two folders and returns the text of the message box that ends the
// run ("" when none came within 20 s).
QString runForMessage(BatchShrinkDialog &dialog, const Folders &f)
{
    dialog.show();
    field(dialog, "sourceField")->setText(f.source);
    field(dialog, "destinationField")->setText(f.destination);
    QString message;
    OnNextModal("QMessageBox", [&](QWidget *m) {
        message = qobject_cast<QMessageBox *>(m)->text();
        static_cast<QDialog *>(m)->accept();
    });
    button(dialog, "startButton")->click();
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
    void startWithAnEmptyFieldSaysWhatToDo();
    void intoItsOwnFolderAsksFirst();
    void pickerSetsAFolderWithOneSlashAndCancelKeepsIt();
    void runShrinksEveryListedFileAndGivesTheControlsBack();
    void damagedFilesAreListedAtTheEnd();
    void missingExtensionFileIsReported();
};

void TestShrinkDialog::startWithAnEmptyFieldSaysWhatToDo()
{
    Folders f;
    BatchShrinkDialog dialog(f.extensionsFile);
    dialog.show();
    field(dialog, "sourceField")->setText(f.source);
    Control<QProgressBar>(&dialog, "progressBar")->setValue(40); // as a last run left it
    QString message;
    OnNextModal("QMessageBox", [&](QWidget *m) {
        message = qobject_cast<QMessageBox *>(m)->text();
        static_cast<QDialog *>(m)->accept();
    });
    button(dialog, "startButton")->click();
    QVERIFY2(message.contains(QStringLiteral("保存先フォルダ")), qPrintable(message));
    QVERIFY(!dialog.running());
    QVERIFY(button(dialog, "startButton")->isEnabled());
    QCOMPARE(Control<QProgressBar>(&dialog, "progressBar")->value(), 0);
}

// Into its own folder, every original would be replaced by its shrunk copy: a No keeps them.
void TestShrinkDialog::intoItsOwnFolderAsksFirst()
{
    Folders f;
    const QString original = f.source + QStringLiteral("a.jpg");
    WriteJpegFile(original, pattern(400, 300));
    QVERIFY(QFile::link(f.source, f.dir.filePath(QStringLiteral("link"))));
    BatchShrinkDialog dialog(f.extensionsFile);
    dialog.show();
    field(dialog, "sourceField")->setText(f.source);
    // The same folder reached through a link and "..": it is still the source.
    field(dialog, "destinationField")->setText(f.dir.filePath(QStringLiteral("out/../link/")));
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QString question;
        OnNextModal("QMessageBox", [&](QWidget *m) {
            question = qobject_cast<QMessageBox *>(m)->text();
            qobject_cast<QMessageBox *>(m)->button(answer)->click();
        });
        QSignalSpy finished(&dialog, &BatchShrinkDialog::runFinished);
        button(dialog, "startButton")->click();
        QVERIFY2(question.contains(QStringLiteral("同じフォルダ")), qPrintable(question));
        if (answer == QMessageBox::Yes)
            QVERIFY(finished.wait(20000));
        QCOMPARE(ReadJpeg(original).width(), answer == QMessageBox::Yes ? 200 : 400);
    }
}

void TestShrinkDialog::pickerSetsAFolderWithOneSlashAndCancelKeepsIt()
{
    Folders f;
    BatchShrinkDialog dialog(f.extensionsFile);
    dialog.show();
    OnNextModal("QFileDialog", [&](QWidget *m) {
        QCOMPARE(m->windowTitle(), QStringLiteral("フォルダを選択してください"));
        auto *picker = qobject_cast<QFileDialog *>(m);
        picker->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
            ->setText(f.dir.filePath(QStringLiteral("in")));
        static_cast<QDialog *>(picker)->accept();
    });
    button(dialog, "sourceButton")->click();
    QCOMPARE(field(dialog, "sourceField")->text(), f.source);
    OnNextModal("QFileDialog", [](QWidget *m) { static_cast<QDialog *>(m)->reject(); });
    button(dialog, "sourceButton")->click();
    QCOMPARE(field(dialog, "sourceField")->text(), f.source); // a cancelled picker leaves the field
}

void TestShrinkDialog::runShrinksEveryListedFileAndGivesTheControlsBack()
{
    Folders f;
    JpegMetadata copyright;
    copyright.iptc << QByteArray("Photoshop 3.0\0"
                                 "8BIM",
                                 18);
    WriteJpegFile(f.source + QStringLiteral("a.jpg"), pattern(1600, 1200), kJpegQuality, copyright);
    WriteJpegFile(f.source + QStringLiteral("b.jpg"), pattern(480, 640));
    WriteJpegFile(f.source + QStringLiteral("c.JPG"), pattern(300, 300));
    BatchShrinkDialog dialog(f.extensionsFile);
    dialog.show();
    field(dialog, "sourceField")->setText(f.source);
    field(dialog, "destinationField")->setText(f.destination);
    QSignalSpy finished(&dialog, &BatchShrinkDialog::runFinished);
    button(dialog, "startButton")->click();
    QVERIFY(dialog.running());
    for (const char *name : {"widthSpin", "keepMetadataCheck", "sourceButton", "destinationButton",
                             "startButton", "closeButton"})
        QVERIFY2(!Control<QWidget>(&dialog, name)->isEnabled(), name);
    QTest::keyClick(&dialog, Qt::Key_Escape); // cannot be closed while running
    QVERIFY(dialog.isVisible());
    QVERIFY(finished.wait(20000));
    QVERIFY(button(dialog, "startButton")->isEnabled());
    QVERIFY(Control<QWidget>(&dialog, "widthSpin")->isEnabled());
    auto *progress = Control<QProgressBar>(&dialog, "progressBar");
    QCOMPARE(progress->maximum(), 3);
    QCOMPARE(progress->value(), 3);
    QCOMPARE(ReadJpeg(f.destination + QStringLiteral("a.jpg")).size(), QSize(200, 150));
    QCOMPARE(ReadJpeg(f.destination + QStringLiteral("b.jpg")).size(), QSize(150, 200));
    QCOMPARE(ReadJpeg(f.destination + QStringLiteral("c.JPG")).size(), QSize(200, 200));
    // The end of a long run is said in the dialog: how many files, and where.
    const QString status = Control<QLabel>(&dialog, "statusLabel")->toolTip();
    QVERIFY2(status.startsWith(QStringLiteral("3 個")) && status.contains(f.destination),
             qPrintable(status));
    // The photo's metadata is kept unless the box is cleared (the mistake: the choice not reaching
    // the run).
    const QString shrunk = f.destination + QStringLiteral("a.jpg");
    QCOMPARE(ReadJpegMetadata(ReadFileBytes(shrunk)).iptc, copyright.iptc);
    Control<QCheckBox>(&dialog, "keepMetadataCheck")->setChecked(false);
    button(dialog, "startButton")->click();
    QVERIFY(finished.wait(20000));
    QVERIFY(ReadJpegMetadata(ReadFileBytes(shrunk)).isEmpty());
}

void TestShrinkDialog::damagedFilesAreListedAtTheEnd()
{
    Folders f;
    WriteJpegFile(f.source + QStringLiteral("good.jpg"), pattern(400, 300));
    QFile broken(f.source + QStringLiteral("broken.jpg"));
    broken.open(QIODevice::WriteOnly);
    broken.write("\xff\xd8\xff\xe0 truncated");
    broken.close();
    BatchShrinkDialog dialog(f.extensionsFile);
    const QString message = runForMessage(dialog, f);
    QVERIFY2(message.contains(QStringLiteral("broken.jpg")), qPrintable(message));
    QVERIFY(!message.contains(QStringLiteral("good.jpg")));
    QVERIFY(QFile::exists(f.destination + QStringLiteral("good.jpg")));
    QVERIFY(!QFile::exists(f.destination + QStringLiteral("broken.jpg")));
    QTRY_VERIFY(button(dialog, "closeButton")->isEnabled());
}

void TestShrinkDialog::missingExtensionFileIsReported()
{
    Folders f;
    QFile::remove(f.extensionsFile);
    WriteJpegFile(f.source + QStringLiteral("a.jpg"), pattern(400, 300));
    BatchShrinkDialog dialog(f.extensionsFile);
    const QString message = runForMessage(dialog, f);
    QVERIFY2(message.contains(QStringLiteral("jpeg.dat")), qPrintable(message));
    QVERIFY(button(dialog, "startButton")->isEnabled());
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
