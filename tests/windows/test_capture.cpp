// SPDX-License-Identifier: GPL-3.0-or-later
// Screen and active-window capture on a real X display (Xvfb with a window manager).
#include "core/base/app_paths.h"
#include "core/image/picture.h"
#include "windows/application.h"
#include "windows/canvas_widget.h"
#include "windows/clamping_spin_box.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/program_folder.h"
#include "windows/screen_capture.h"
#include "windows/value_dialog.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

constexpr QRgb kWindowColour = 0xff20c040; // a green no desktop default uses

// A plain window of one colour and a known size.
class ColourWindow : public QWidget {
  public:
    ColourWindow()
    {
        setWindowTitle(QStringLiteral("capture target"));
        setFixedSize(300, 200);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(kWindowColour));
        setPalette(pal);
        move(200, 150);
    }
};

int countColour(const QImage &picture, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += picture.pixel(x, y) == colour;
    return count;
}

struct Program {
    ProgramFolder folder;
    std::unique_ptr<MainWindow> form;
    Program() { form = std::make_unique<MainWindow>(folder.paths()); }
};

void showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    window->raise();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

} // namespace

class TestCapture : public QObject {
    Q_OBJECT

  private slots:
    void screenHasTheScreensSize();
    void activeWindowComesWithItsFrame();
    void captureCommandTakesTheWindowBehind();
    void shrinkingCaptureAcceptedAndCancelled();
};

void TestCapture::screenHasTheScreensSize()
{
    const QImage screen = CaptureScreen();
    QCOMPARE(screen.size(), QGuiApplication::primaryScreen()->geometry().size());
    QCOMPARE(screen.format(), kPictureFormat);
}

void TestCapture::activeWindowComesWithItsFrame()
{
    ColourWindow window;
    showActive(&window);
    QTest::qWait(200); // let the window manager draw the frame
    const QImage shot = CaptureActiveWindow();
    QCOMPARE(countColour(shot, kWindowColour), 300 * 200); // the whole inside, exactly once
    QVERIFY2(shot.height() > 200 + 10, "the title bar belongs to the picture");
    QVERIFY(shot.width() >= 300);
    QCOMPARE(shot.pixel(shot.width() / 2, shot.height() - 100), kWindowColour);
}

void TestCapture::captureCommandTakesTheWindowBehind()
{
    ColourWindow window;
    Program p;
    showActive(&window);
    showActive(p.form.get());
    QVERIFY(!Control<QMenu>(p.form.get(), "editMenu")->menuAction()->isEnabled());
    Control<QAction>(p.form.get(), "captureWindowAction")->trigger();
    QVERIFY(!p.form->isVisible()); // out of the way until the timer fires
    QTRY_VERIFY_WITH_TIMEOUT(p.form->isVisible(), 5000);
    const PictureDocument &document = p.form->document();
    QCOMPARE(countColour(document.picture(), kWindowColour), 300 * 200);
    QCOMPARE(document.loadedPicture(), document.picture());
    QVERIFY(p.form->hasPicture());
    QVERIFY(Control<QMenu>(p.form.get(), "editMenu")->menuAction()->isEnabled());
    QVERIFY(Control<QPushButton>(p.form.get(), "saveCutButton")->isEnabled());
    QVERIFY(Control<CanvasWidget>(p.form.get(), "canvas")->isVisible());
    QCOMPARE(Control<CanvasWidget>(p.form.get(), "canvas")->size(), document.size());
}

void TestCapture::shrinkingCaptureAcceptedAndCancelled()
{
    Program p;
    showActive(p.form.get());
    p.form->settings().shrinkWidth = 640;
    auto *dialog = Control<ValueDialog>(p.form.get(), "ValueDialog");
    bool asked = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() == dialog) {
            asked = true;
            QCOMPARE(Control<ClampingSpinBox>(dialog, "numberSpin")->maximum(), 1280);
            Control<QPushButton>(dialog, "okButton")->click();
        }
    });
    poll.start();
    Control<QAction>(p.form.get(), "captureScreenShrunkAction")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(asked && p.form->isVisible(), 5000);
    QCOMPARE(p.form->document().picture().size(), QSize(640, 512));
    QCOMPARE(p.form->document().loadedPicture().size(), QSize(640, 512));
    // The shrink is the first step of the capture's history: 取り消し brings back the full size.
    auto *undo = Control<QAction>(p.form.get(), "undoAction");
    QCOMPARE(undo->text(), QStringLiteral("取り消し: 縮小"));
    undo->trigger();
    QCOMPARE(p.form->document().picture().size(), QSize(1280, 1024));

    QObject::disconnect(&poll, nullptr, nullptr, nullptr);
    asked = false;
    bool askedToSave = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QStringLiteral("unsavedEditsBox")) {
            // The shrink taken back is an edit the new capture would lose: let it go.
            askedToSave = true;
            Control<QPushButton>(modal, "discardButton")->click();
        } else if (modal == dialog) {
            asked = true;
            Control<QPushButton>(dialog, "cancelButton")->click();
        }
    });
    Control<QAction>(p.form.get(), "captureScreenShrunkAction")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(asked && p.form->isVisible(), 5000);
    QCOMPARE(p.form->document().picture().size(), QSize(1280, 1024)); // kept at full size
    QCOMPARE(p.form->document().loadedPicture().size(), QSize(1280, 1024));
    QVERIFY(!undo->isEnabled() && !Control<QAction>(p.form.get(), "redoAction")->isEnabled());
    QCOMPARE(p.form->settings().shrinkWidth, 640);
    QVERIFY(askedToSave);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestCapture test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_capture.moc"
