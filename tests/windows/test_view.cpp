// SPDX-License-Identifier: GPL-3.0-or-later
// The view of the main window: the zoom menu, the mouse and keys on a zoomed canvas, the
// readouts, dropped and recent pictures, the position dialog, and the grid in the output dialog.
#include "core/image/picture.h"
#include "core/image/picture_reading.h"
#include "core/image/plugin_reading.h"
#include "pictures.h"
#include "windows/application.h"
#include "windows/canvas_widget.h"
#include "windows/clamping_spin_box.h"
#include "windows/frame_placing.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/output_dialog.h"
#include "windows/program_folder.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

namespace {

struct Program {
    ProgramFolder folder;
    std::unique_ptr<MainWindow> form;
    CanvasWidget *canvas = nullptr;

    explicit Program(const QByteArray &ini = "[set]\r\nImageWidth=2\r\nImageHeight=2\r\n")
        : folder({}, ini)
    {
        form = std::make_unique<MainWindow>(folder.paths());
        form->show();
        form->activateWindow();
        canvas = Control<CanvasWidget>(form.get(), "canvas");
    }
    QPoint frame() { return form->frame().position(); }
    QString label(const char *name) const { return Control<QLabel>(form.get(), name)->text(); }
    QAction *action(const char *name) const { return Control<QAction>(form.get(), name); }
    QString save(const QImage &picture, const QString &name) const
    {
        const QString path = folder.file(name);
        picture.save(path);
        return path;
    }
};

void sendMouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Drags files onto target and drops them there; tells whether the drag was accepted.
bool dropFiles(QWidget *target, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

QString iniValue(const QByteArray &ini, const QByteArray &section, const QByteArray &key)
{
    bool inSection = false;
    for (const QByteArray &raw : ini.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('['))
            inSection = line == '[' + section + ']';
        else if (inSection && line.startsWith(key + '='))
            return QString::fromUtf8(line.mid(key.size() + 1));
    }
    return {};
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestView : public QObject {
    Q_OBJECT

  private slots:
    void zoomMenuStepsFitsAndIsKept();
    void pressOnAZoomedCanvasPicksThePixelUnderThePointer();
    void transparencyShowsTheSameCheckerboardAtEveryZoom();
    void pressInsideGrabsAndHeldBeyondTheEdgeScrolls();
    void keysMoveTheFrame();
    void readoutsFollowTheFrameAndThePointer();
    void positionDialogPlacesTheFrame();
    void droppedPictureLoadsAndIsRemembered();
    void dropOnTheOutputDialogInAlphaModeSetsTheBlendPicture();
    void gridDirectionCutsTheSheet();
};

// Catches shortcuts bound to nothing, a canvas not resized with the zoom, fit-to-window that
// ignores the room, a wheel zoom about the corner instead of the pointer, and the zoom stored
// into section "set" or not at all.
void TestView::zoomMenuStepsFitsAndIsKept()
{
    const QByteArray ini = "[set]\r\nImageWidth=2\r\nImageHeight=2\r\nRWidth=7\r\n";
    Program p(ini);
    QVERIFY(QTest::qWaitForWindowActive(p.form.get()));
    QList<QAction *> bar = p.form->menuBar()->actions();
    QCOMPARE(bar.indexOf(Control<QMenu>(p.form.get(), "viewMenu")->menuAction()),
             bar.indexOf(Control<QMenu>(p.form.get(), "editMenu")->menuAction()) + 1);
    p.form->takeNewPicture(Numbered(8, 8));
    QCOMPARE(p.label("zoomLabel"), QStringLiteral("100%"));

    QTest::keyClick(p.form.get(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(p.canvas->size(), QSize(16, 16));
    QTest::keyClick(p.form.get(), Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(p.canvas->size(), QSize(24, 24)); // 300 %
    QTest::keyClick(p.form.get(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(p.label("zoomLabel"), QStringLiteral("200%"));
    QTest::keyClick(p.form.get(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(p.canvas->size(), QSize(8, 8));
    QTest::keyClick(p.form.get(), Qt::Key_9, Qt::ControlModifier);
    QCOMPARE(p.canvas->size(), QSize(256, 256)); // 3200 %: the greatest zoom, well inside
    QCOMPARE(p.label("zoomLabel"), QStringLiteral("3200%"));

    // Ctrl + wheel zooms about the pointer; the wheel alone leaves the zoom alone.
    QWheelEvent down(QPointF(100, 100), p.canvas->mapToGlobal(QPointF(100, 100)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(p.canvas, &down);
    QCOMPARE(p.label("zoomLabel"), QStringLiteral("2400%"));
    QWheelEvent plain(QPointF(100, 100), p.canvas->mapToGlobal(QPointF(100, 100)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(p.canvas, &plain);
    QCOMPARE(p.label("zoomLabel"), QStringLiteral("2400%"));

    // About the pointer: the picture point under it stays under it, though the view scrolls.
    p.form->takeNewPicture(Numbered(1000, 800));
    p.form->showActualSize();
    QWidget *viewport = Control<QScrollArea>(p.form.get(), "canvasArea")->viewport();
    const QPoint pointer = p.canvas->mapTo(viewport, QPoint(200, 150));
    QWheelEvent up(QPointF(200, 150), p.canvas->mapToGlobal(QPointF(200, 150)), QPoint(),
                   QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(p.canvas, &up);
    QCOMPARE(p.canvas->size(), QSize(2000, 1600));
    QCOMPARE(p.canvas->mapTo(viewport, QPoint(400, 300)), pointer);
    p.form->zoomIn(); // 300 %, so that the stored zoom is one of the menu's

    p.form->close();
    const QByteArray stored = fileBytes(p.folder.file(QStringLiteral("set.ini")));
    QCOMPARE(iniValue(stored, "view", "Zoom"), QStringLiteral("300"));
    QVERIFY(stored.startsWith("[set]\r\nImageWidth=2\r\nImageHeight=2\r\nRWidth=7\r\n"));
    MainWindow next(p.folder.paths());
    QCOMPARE(Control<QLabel>(&next, "zoomLabel")->text(), QStringLiteral("300%"));
}

// At 800 % a press anywhere in a picture pixel's square must put the frame on that pixel, and the
// frame must be drawn on that square's edge with the cut's own pixels showing inside. Catches
// mouse positions taken as picture pixels (the frame far off, clamped) and marks that hide the
// cut's edge pixels.
void TestView::pressOnAZoomedCanvasPicksThePixelUnderThePointer()
{
    Program p;
    QVERIFY(QTest::qWaitForWindowExposed(p.form.get()));
    const QImage sprite = Numbered(8, 8);
    p.form->takeNewPicture(sprite);
    for (int i = 0; i < 4; ++i)
        p.form->zoomIn(); // 200, 300, 400, 600
    p.form->zoomIn();     // 800
    QCOMPARE(p.canvas->size(), QSize(64, 64));
    sendMouse(p.canvas, QEvent::MouseButtonPress, {39, 23}, Qt::LeftButton); // in (4, 2)'s square
    sendMouse(p.canvas, QEvent::MouseButtonRelease, {39, 23}, Qt::NoButton);
    QCOMPARE(p.frame(), QPoint(4, 2));
    sendMouse(p.canvas, QEvent::MouseButtonPress, {32, 16}, Qt::LeftButton); // its first pixel
    sendMouse(p.canvas, QEvent::MouseMove, {63, 63}, Qt::LeftButton);        // the last pixel
    QCOMPARE(p.frame(), QPoint(6, 6)); // clamped for the 2 x 2 cut
    sendMouse(p.canvas, QEvent::MouseMove, {40, 16}, Qt::LeftButton);
    sendMouse(p.canvas, QEvent::MouseButtonRelease, {0, 0}, Qt::NoButton);
    QCOMPARE(p.frame(), QPoint(5, 2));

    const QImage shown = p.canvas->grab().toImage();
    QCOMPARE(QColor(shown.pixel(40, 16)), QColor(Qt::black)); // on the cut's edge
    QCOMPARE(QColor(shown.pixel(55, 31)), QColor(Qt::black));
    QCOMPARE(QColor(shown.pixel(39, 20)), QColor(Qt::white)); // just outside
    QCOMPARE(QColor(shown.pixel(56, 20)), QColor(Qt::white));
    QCOMPARE(shown.pixel(41, 17), sprite.pixel(5, 2));   // the cut's corner pixel shows
    QCOMPARE(shown.pixel(38, 17), sprite.pixel(4, 2));   // a sharp square, no blending
    QCOMPARE(p.form->frame().rect(), QRect(5, 2, 2, 2)); // cut as at 100 %
}

// Transparency shows as one checkerboard of 8-pixel squares on screen, fixed to the canvas, at
// every zoom. Catches the squares scaled with the zoom, transparency shown over white at zooms
// other than 100 % (or as black), and alpha averaged apart from its colour below 100 %.
void TestView::transparencyShowsTheSameCheckerboardAtEveryZoom()
{
    Program p;
    QVERIFY(QTest::qWaitForWindowExposed(p.form.get()));
    QImage picture(64, 64, QImage::Format_ARGB32);
    picture.fill(qRgba(0, 0, 0, 0));
    for (int y = 0; y < 64; ++y)
        for (int x = 32; x < 64; ++x)
            picture.setPixel(x, y, qRgba(0, 0, 255, 255)); // the right half opaque blue
    p.form->takeNewPicture(picture);
    const auto checker = [](int x, int y) {
        return (x / 8 + y / 8) % 2 == 0 ? qRgb(255, 255, 255) : qRgb(204, 204, 204);
    };
    // 67 % on the way down, then 50 %, 100 % and 200 %, each with the canvas's width.
    const std::pair<void (MainWindow::*)(), int> zooms[] = {{&MainWindow::zoomOut, 0},
                                                            {&MainWindow::zoomOut, 32},
                                                            {&MainWindow::showActualSize, 64},
                                                            {&MainWindow::zoomIn, 128}};
    for (const auto &[command, width] : zooms) {
        (p.form.get()->*command)();
        if (width == 0)
            continue;
        const QImage shown = p.canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.width(), width);
        const int half = width / 2;
        for (int y = 6; y < shown.height(); y += 3) // below the frame's marks at the top left
            for (int x = 6; x < shown.width(); x += 3)
                QCOMPARE(shown.pixel(x, y), x < half ? checker(x, y) : qRgb(0, 0, 255));
    }
}

// A press inside the frame grabs it where it was pressed; outside, the corner jumps to the
// pointer; held beyond the view's edge, the pointer scrolls the view and the frame follows.
// Catches the old jump of the corner on a grab, a grab offset taken in view pixels at a zoom, a
// cursor that gives no sign of the grab, and a drag that stops at the view's edge.
void TestView::pressInsideGrabsAndHeldBeyondTheEdgeScrolls()
{
    Program p("[set]\r\nImageWidth=40\r\nImageHeight=30\r\n");
    QVERIFY(QTest::qWaitForWindowExposed(p.form.get()));
    p.form->takeNewPicture(Numbered(2000, 1500)); // fitted to the window
    p.form->showActualSize();
    p.form->zoomIn(); // 200 %: view pixels are not picture pixels
    MoveFrame(*p.form, {10, 10});
    sendMouse(p.canvas, QEvent::MouseMove, {50, 50}, Qt::NoButton); // picture (25, 25)
    QCOMPARE(p.canvas->cursor().shape(), Qt::SizeAllCursor);
    sendMouse(p.canvas, QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    QCOMPARE(p.frame(), QPoint(10, 10));                              // grabbed, not moved
    sendMouse(p.canvas, QEvent::MouseMove, {80, 70}, Qt::LeftButton); // 15 and 10 pixels on
    QCOMPARE(p.frame(), QPoint(25, 20));
    sendMouse(p.canvas, QEvent::MouseButtonRelease, {80, 70}, Qt::NoButton);
    sendMouse(p.canvas, QEvent::MouseMove, {400, 400}, Qt::NoButton);
    QCOMPARE(p.canvas->cursor().shape(), Qt::ArrowCursor);
    sendMouse(p.canvas, QEvent::MouseButtonPress, {400, 400}, Qt::LeftButton); // outside
    QCOMPARE(p.frame(), QPoint(200, 200));

    // Held beyond the right edge of the view, the view scrolls and the frame goes with it.
    auto *area = p.form->findChild<QScrollArea *>(QStringLiteral("canvasArea"));
    const int viewRight = area->viewport()->width();
    const QPoint beyond = p.canvas->mapFrom(area->viewport(), QPoint(viewRight + 30, 200));
    sendMouse(p.canvas, QEvent::MouseMove, beyond, Qt::LeftButton);
    const int scrolledFrom = area->horizontalScrollBar()->value();
    const int frameFrom = p.frame().x();
    QTRY_VERIFY(area->horizontalScrollBar()->value() > scrolledFrom + 60);
    QVERIFY(p.frame().x() > frameFrom + 30);
    sendMouse(p.canvas, QEvent::MouseButtonRelease, beyond, Qt::NoButton);
}

// Catches arrow keys that reach the scroll area or a button instead of the frame, steps of the
// wrong size, a frame pushed past the picture by keys, and a position readout left behind.
void TestView::keysMoveTheFrame()
{
    Program p("[set]\r\nImageWidth=30\r\nImageHeight=20\r\n");
    QVERIFY(QTest::qWaitForWindowActive(p.form.get()));
    p.form->takeNewPicture(Numbered(100, 60));
    QVERIFY(p.canvas->hasFocus()); // a new picture's frame takes the keys
    auto *area = p.form->findChild<QScrollArea *>(QStringLiteral("canvasArea"));
    p.form->findChild<QPushButton *>(QStringLiteral("loadButton"))->setFocus();
    QTest::mouseClick(area->viewport(), Qt::LeftButton, Qt::NoModifier,
                      area->viewport()->rect().bottomRight() - QPoint(5, 5)); // the grey
    QVERIFY(p.canvas->hasFocus());
    QCOMPARE(p.frame(), QPoint(0, 0));
    // Outside the frame a click puts its corner there (inside, it would grab the frame).
    QTest::mouseClick(p.canvas, Qt::LeftButton, Qt::NoModifier, QPoint(35, 25));
    QTest::mouseClick(p.canvas, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(p.canvas->hasFocus());
    QCOMPARE(p.frame(), QPoint(5, 5));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QPoint expected;
    } presses[] = {
        {Qt::Key_Right, Qt::NoModifier, {6, 5}},
        {Qt::Key_Down, Qt::ShiftModifier, {6, 15}},
        {Qt::Key_Right, Qt::ControlModifier, {36, 15}}, // the next tile: one cut width
        {Qt::Key_Down, Qt::ControlModifier, {36, 35}},
        {Qt::Key_Down, Qt::ControlModifier, {36, 40}}, // stops at 60 - 20
        {Qt::Key_Right, Qt::ShiftModifier, {46, 40}},
        {Qt::Key_Home, Qt::NoModifier, {0, 0}},
        {Qt::Key_Left, Qt::ShiftModifier, {0, 0}},
    };
    for (const auto &press : presses) {
        QTest::keyClick(QApplication::focusWidget(), press.key, press.modifiers);
        QCOMPARE(p.frame(), press.expected);
        QCOMPARE(p.label("positionLabel"),
                 QStringLiteral("%1, %2").arg(press.expected.x()).arg(press.expected.y()));
    }
}

// Catches a cursor readout in view pixels instead of picture pixels, the colour of another pixel,
// and a readout left standing once the pointer is off the picture.
void TestView::readoutsFollowTheFrameAndThePointer()
{
    Program p;
    QVERIFY(QTest::qWaitForWindowExposed(p.form.get()));
    const QImage picture = Numbered(30, 20);
    p.form->takeNewPicture(picture);
    p.form->zoomIn(); // 200 %
    p.form->zoomIn(); // 300 %
    sendMouse(p.canvas, QEvent::MouseMove, {29, 11}, Qt::NoButton);
    const QRgb c = picture.pixel(9, 3);
    QCOMPARE(p.label("cursorLabel"),
             QStringLiteral("9, 3  (%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c)));
    QCOMPARE(p.frame(), QPoint(0, 0)); // hovering moves nothing
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(p.canvas, &leave);
    QCOMPARE(p.label("cursorLabel"), QStringLiteral("-"));
}

// Catches the dialog offering another position than the frame's, a typed value past the edge
// taken as it is, and the readout's double click doing nothing.
void TestView::positionDialogPlacesTheFrame()
{
    Program p("[set]\r\nImageWidth=30\r\nImageHeight=20\r\n");
    QVERIFY(QTest::qWaitForWindowExposed(p.form.get()));
    p.form->takeNewPicture(Numbered(100, 60));
    MoveFrame(*p.form, {7, 9});
    ModalScript script;
    script.then(QStringLiteral("FramePositionDialog"), [](QWidget *dialog) {
        auto *x = Control<ClampingSpinBox>(dialog, "xSpin");
        auto *y = Control<ClampingSpinBox>(dialog, "ySpin");
        QCOMPARE(x->value(), 7);
        QCOMPARE(y->value(), 9);
        x->findChild<QLineEdit *>()->setText(QStringLiteral("500")); // beyond 100 - 30
        y->setValue(12);
        QTimer::singleShot(0, Control<QPushButton>(dialog, "okButton"), &QPushButton::click);
    });
    p.action("framePositionAction")->trigger();
    QVERIFY(script.done());
    QCOMPARE(p.frame(), QPoint(70, 12));

    ModalScript again;
    again.then(QStringLiteral("FramePositionDialog"), [](QWidget *dialog) {
        QCOMPARE(Control<ClampingSpinBox>(dialog, "xSpin")->value(), 70);
        Cancel(dialog);
    });
    QTest::mouseDClick(Control<QLabel>(p.form.get(), "positionLabel"), Qt::LeftButton);
    QVERIFY(again.done());
    QCOMPARE(p.frame(), QPoint(70, 12));
}

// A drop loads as the import dialog's 決定 does and lands in the recent files, which reopen it and
// are kept in set.ini. Catches a drop that skips the reading rules (an unreadable file taken), an
// accepted drag of two files, a recent list in the wrong order, and one lost at shut-down.
void TestView::droppedPictureLoadsAndIsRemembered()
{
    Program p;
    QVERIFY(QTest::qWaitForWindowExposed(p.form.get()));
    const QString first = p.save(Numbered(40, 30), QStringLiteral("first.bmp"));
    const QString second = p.save(Numbered(20, 10), QStringLiteral("二つ目.bmp"));
    QVERIFY(!dropFiles(p.form.get(), {first, second}));
    QVERIFY(dropFiles(p.form.get(), {first}));
    QTRY_COMPARE(p.form->document().picture().size(), QSize(40, 30));
    QVERIFY(p.form->hasPicture());
    QVERIFY(dropFiles(p.form.get(), {second}));
    QTRY_COMPARE(p.form->document().picture(), ReadPictureFile(second));

    QVERIFY(QFile(p.folder.file(QStringLiteral("text.bmp"))).open(QIODevice::WriteOnly));
    QString error;
    OnNextModal("QMessageBox", [&](QWidget *box) {
        error = static_cast<QMessageBox *>(box)->text();
        static_cast<QMessageBox *>(box)->accept();
    });
    QVERIFY(dropFiles(p.form.get(), {p.folder.file(QStringLiteral("text.bmp"))}));
    QTRY_VERIFY(!error.isEmpty());
    QCOMPARE(p.form->document().picture(),
             ReadPictureFile(second)); // the unreadable file changed nothing

    auto *recent = Control<QMenu>(p.form.get(), "recentMenu");
    QCOMPARE(recent->actions().size(), 2);
    QVERIFY(recent->actions()[0]->text().endsWith(QStringLiteral("二つ目.bmp")));
    recent->actions()[1]->trigger(); // first.bmp again
    QCOMPARE(p.form->document().picture().size(), QSize(40, 30));
    p.form->close();
    const QByteArray stored = fileBytes(p.folder.file(QStringLiteral("set.ini")));
    QCOMPARE(iniValue(stored, "recent", "File1"), '"' + first + '"');
    QCOMPARE(iniValue(stored, "recent", "File2"), '"' + second + '"');
}

// Catches a drop on the output dialog that the window never reads, and one taken in a mode that
// has no blend picture.
void TestView::dropOnTheOutputDialogInAlphaModeSetsTheBlendPicture()
{
    Program p("[set]\r\nImageWidth=20\r\nImageHeight=20\r\n");
    p.form->takeNewPicture(Numbered(60, 40));
    const QString blend = p.save(Numbered(10, 10), QStringLiteral("blend.bmp"));
    auto *dialog = Control<OutputDialog>(p.form.get(), "OutputDialog");
    bool droppedInSequence = true;
    ModalScript script;
    script.then(QStringLiteral("OutputDialog"), [&](QWidget *) {
        droppedInSequence = dropFiles(dialog, {blend});
        Cancel(dialog);
    });
    script.then(QStringLiteral("OutputDialog"), [&](QWidget *) {
        QVERIFY(dropFiles(dialog, {blend}));
        QCOMPARE(Control<QLabel>(dialog, "blendPictureLabel")->text(),
                 QStringLiteral("合成用画像: blend.bmp"));
        Cancel(dialog);
    });
    p.form->saveSequence();
    p.form->saveBlend();
    QVERIFY(script.done());
    QVERIFY(!droppedInSequence);
    QCOMPARE(p.form->document().blendPicture().pixel(9, 9), Numbered(10, 10).pixel(9, 9));
}

// Catches the dialog's gap and skip choices not reaching the run, the steps left showing when
// they do not apply, and a message that hides the tiles left out.
void TestView::gridDirectionCutsTheSheet()
{
    Program p("[set]\r\nImageWidth=10\r\nImageHeight=10\r\n");
    QImage sheet = Numbered(34, 10); // three tiles 2 pixels apart, the last one plain
    for (int y = 0; y < 10; ++y)
        for (int x = 24; x < 34; ++x)
            sheet.setPixel(x, y, qRgb(0, 0, 0));
    p.form->takeNewPicture(sheet);
    auto *dialog = Control<OutputDialog>(p.form.get(), "OutputDialog");
    const QString base = p.folder.file(QStringLiteral("tile"));
    ModalScript script;
    script.then(QStringLiteral("OutputDialog"), [&](QWidget *) {
        Control<QRadioButton>(dialog, "gridRadio")->click();
        QVERIFY(!Control<QGroupBox>(dialog, "stepBox")->isVisible());
        Control<ClampingSpinBox>(dialog, "gridGapXSpin")->setValue(2);
        Control<QCheckBox>(dialog, "skipEmptyCheck")->setChecked(true);
        QTimer::singleShot(0, Control<QPushButton>(dialog, "saveButton"), &QPushButton::click);
    });
    script.then(QStringLiteral("framesSaveDialog"), [&](QWidget *m) { AcceptFile(m, base); });
    QString said;
    script.then(QStringLiteral("OutputDialog"), [&](QWidget *m) {
        auto *status = Control<QLabel>(dialog, "statusLabel");
        WhenReady([status] { return !status->toolTip().isEmpty(); },
                  [&, status, m] {
                      said = status->toolTip();
                      Cancel(m);
                  });
    });
    p.form->saveSequence();
    QVERIFY(script.done());
    QCOMPARE(said,
             QStringLiteral("2 個のファイルを書き込みました: ") + base +
                 QStringLiteral("001.bmp ～ tile002.bmp (単色のタイル 1 個は書き出していません)"));
    const QStringList written =
        QDir(p.folder.dir.path()).entryList({QStringLiteral("tile*.bmp")}, QDir::Files, QDir::Name);
    QCOMPARE(written, (QStringList{"tile001.bmp", "tile002.bmp"}));
    QCOMPARE(ReadPictureFile(p.folder.file(QStringLiteral("tile002.bmp")))
                 .convertToFormat(kPictureFormat),
             sheet.copy(12, 0, 10, 10));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestView test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_view.moc"
