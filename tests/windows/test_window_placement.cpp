// SPDX-License-Identifier: GPL-3.0-or-later
// Where the windows open, on a real X display with a window manager (Xvfb with openbox): the main
// window's stored place and size from one run to the next, and each dialog's place from one
// opening to the next.
#include "core/workspace/settings.h"
#include "windows/application.h"
#include "windows/main_window.h"
#include "windows/program_folder.h"
#include "windows/screen_placement.h"

#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QScreen>
#include <QtTest>
#include <X11/Xlib.h>
#include <limits>
#include <memory>

namespace {

// The openbox configurations beside this file: "framed" (openbox's own theme, borders on every
// side) and "sideless" (a title bar and nothing else).
const QString kOpenboxFolder = QStringLiteral(MOKARAN_TEST_OPENBOX_FOLDER);

Display *xDisplay()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

// The window that holds the window manager's selection of the screen: it changes when another
// window manager takes over.
unsigned long windowManagerOwner()
{
    Display *display = xDisplay();
    return display ? XGetSelectionOwner(display, XInternAtom(display, "WM_S0", False)) : 0;
}

// Whether the window manager that held the selection through `replaced` has gone and another one
// frames the windows mapped from now on. A window mapped between the two would go unframed.
bool windowManagerReplaced(unsigned long replaced)
{
    Display *display = xDisplay();
    const unsigned long owner = windowManagerOwner();
    XWindowAttributes attributes;
    return owner != 0 && owner != replaced &&
           !XGetWindowAttributes(display, replaced, &attributes) &&
           XGetWindowAttributes(display, DefaultRootWindow(display), &attributes) &&
           (attributes.all_event_masks & SubstructureRedirectMask) != 0;
}

// The window manager's frame around a top-level window as X has it (the child of the root window
// that holds the window), not as Qt reports it; null until the frame is on screen.
QRect frameOnScreen(const QWidget *window)
{
    Display *display = xDisplay();
    if (!display)
        return {};
    const Window root = DefaultRootWindow(display);
    Window frame = window->winId();
    for (;;) {
        Window rootReturn = 0;
        Window parent = 0;
        Window *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, frame, &rootReturn, &parent, &children, &count))
            return {};
        if (children)
            XFree(children);
        if (parent == root)
            break;
        frame = parent;
    }
    XWindowAttributes attributes;
    if (frame == window->winId() || !XGetWindowAttributes(display, frame, &attributes) ||
        attributes.map_state != IsViewable)
        return {};
    const int border = 2 * attributes.border_width;
    return {attributes.x, attributes.y, attributes.width + border, attributes.height + border};
}

bool waitUntilFramed(const QWidget *window)
{
    return QTest::qWaitFor([window] { return !frameOnScreen(window).isNull(); });
}

SettingsRecord storedSettings(const ProgramFolder &folder)
{
    SettingsRecord stored;
    ReadSettings(folder.file(QStringLiteral("set.ini")), stored);
    return stored;
}

QByteArray placementIni(int posX, int posY, int posW, int posH)
{
    return QStringLiteral("[set]\r\nPosX=%1\r\nPosY=%2\r\nPosW=%3\r\nPosH=%4\r\n")
        .arg(posX)
        .arg(posY)
        .arg(posW)
        .arg(posH)
        .toLatin1();
}

// One run of the program with an 800 x 600 window stored: start, show, wait for the window
// manager, close. The outer size, as Qt stores it and as X shows it, is the stored one once the
// inside is fitted to the frame. frame: what the frame adds to the inside.
void runOnce(const ProgramFolder &folder, QSize *frame)
{
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(waitUntilFramed(&form));
    QTRY_COMPARE(form.frameGeometry().size(), QSize(800, 600));
    QTRY_COMPARE(frameOnScreen(&form).size(), QSize(800, 600));
    *frame = QSize(800, 600) - form.size();
    form.close();
}

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

} // namespace

class TestWindowPlacement : public QObject {
    Q_OBJECT

  private slots:
    void cleanupTestCase();
    void outerSizeSurvivesRestarts_data();
    void outerSizeSurvivesRestarts();
    void storedPlaceIsBroughtOntoAScreen_data();
    void storedPlaceIsBroughtOntoAScreen();
    void absurdPlaceOpensOnThePrimaryScreen();
    void dialogsOpenWhereTheyOpenedFirst();

  private:
    void useWindowManager(const QString &configuration);
    std::unique_ptr<QProcess> m_openbox; // the window manager this test started, if any
    QString m_configuration;
};

// Runs openbox with one of the configurations beside this file in place of the window manager
// the display has, and waits until it has taken the screen over.
void TestWindowPlacement::useWindowManager(const QString &configuration)
{
    if (m_configuration == configuration)
        return;
    const unsigned long before = windowManagerOwner();
    QVERIFY2(before != 0, "the test runs on an X display with a window manager (run_with_x.sh)");
    const QString folder = kOpenboxFolder + u'/' + configuration;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder); // where its theme is found
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder);
    auto openbox = std::make_unique<QProcess>();
    openbox->setProcessEnvironment(environment);
    openbox->start(QStringLiteral("openbox"),
                   {QStringLiteral("--replace"), QStringLiteral("--config-file"),
                    folder + QStringLiteral("/rc.xml")});
    QVERIFY(openbox->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(windowManagerReplaced(before), 20000);
    if (m_openbox)
        m_openbox->waitForFinished(); // the one replaced leaves by itself
    m_openbox = std::move(openbox);
    m_configuration = configuration;
}

void TestWindowPlacement::cleanupTestCase()
{
    if (m_openbox) {
        m_openbox->terminate();
        m_openbox->waitForFinished();
    }
}

void TestWindowPlacement::outerSizeSurvivesRestarts_data()
{
    QTest::addColumn<QString>("configuration");
    QTest::addColumn<bool>("sideBorders");
    QTest::newRow("frame on every side") << QStringLiteral("framed") << true;
    QTest::newRow("title bar only") << QStringLiteral("sideless") << false;
}

// Catches a frame taken off the stored size only when it has both a width and a height: under a
// frame without side borders the window then grows by its title bar at every run.
void TestWindowPlacement::outerSizeSurvivesRestarts()
{
    QFETCH(QString, configuration);
    QFETCH(bool, sideBorders);
    useWindowManager(configuration);
    ProgramFolder folder({}, placementIni(60, 40, 800, 600));
    for (int run = 1; run <= 3; ++run) {
        QSize frame;
        runOnce(folder, &frame);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(frame.width() > 0, sideBorders); // the frame is the one the row is about
        QVERIFY(frame.height() > 0);
        const SettingsRecord stored = storedSettings(folder);
        QCOMPARE(
            QRect(stored.windowLeft, stored.windowTop, stored.windowWidth, stored.windowHeight),
            QRect(40, 60, 800, 600));
    }
}

void TestWindowPlacement::storedPlaceIsBroughtOntoAScreen_data()
{
    // The stored left, top, width and height as numbers: a QRect cannot hold every stored value.
    QTest::addColumn<QList<int>>("stored");
    QTest::addColumn<QList<QRect>>("screens"); // available areas, the primary first
    QTest::addColumn<QRect>("expected");
    const QList<QRect> one = {QRect(0, 0, 1280, 1000)};
    // A primary screen with a panel on top, a second screen to its right, a small third below.
    const QList<QRect> three = {QRect(0, 30, 1280, 994), QRect(1280, 0, 1920, 1080),
                                QRect(0, 1024, 640, 480)};
    const auto row = [](const char *name, QList<int> stored, const QList<QRect> &screens,
                        QRect expected) { QTest::newRow(name) << stored << screens << expected; };
    row("on a screen: kept", {40, 300, 800, 600}, one, QRect(40, 300, 800, 600));
    row("sticking out at the bottom: pulled up", {40, 900, 800, 600}, one,
        QRect(40, 400, 800, 600));
    row("too small: raised", {0, 0, 600, -5}, one, QRect(0, 0, 750, 550));
    row("off to the right: moved in", {3000, 100, 800, 600}, one, QRect(480, 100, 800, 600));
    row("only a corner showing: moved in", {-726, -515, 800, 550}, one, QRect(0, 0, 800, 550));
    row("absurd size: the screen's", {0, 0, 1000000000, 1000000000}, one, QRect(0, 0, 1280, 1000));
    row("extreme values: no overflow", {kIntMax, kIntMin, kIntMax, kIntMax}, one,
        QRect(0, 0, 1280, 1000));
    row("second screen: kept there", {2000, 200, 800, 600}, three, QRect(2000, 200, 800, 600));
    row("above the panel: moved below it", {100, 0, 800, 600}, three, QRect(100, 30, 800, 600));
    row("corner off, most on the second screen", {1300, -20, 800, 600}, three,
        QRect(1300, 0, 800, 600));
    row("absurd on the second screen: that screen's", {2000, 10, 99999, 99999}, three,
        QRect(1280, 0, 1920, 1080));
    row("screen smaller than the minimum: the minimum", {10, 1100, 2000, 2000}, three,
        QRect(0, 1024, 750, 550));
    row("where no screen is: the primary", {-5000, 5000, 800, 600}, three, QRect(0, 424, 800, 600));
}

// Catches a stored place that opens off every screen (after a monitor was removed), a stored
// size taken as it is however large, and sums of either that overflow.
void TestWindowPlacement::storedPlaceIsBroughtOntoAScreen()
{
    QFETCH(QList<int>, stored);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, expected);
    QCOMPARE(PlaceOnScreens(stored[0], stored[1], stored[2], stored[3], QSize(750, 550), screens),
             expected);
}

// Catches the stored place being applied as it is on a real display, and an absurd size
// written back at the end of the run.
void TestWindowPlacement::absurdPlaceOpensOnThePrimaryScreen()
{
    useWindowManager(QStringLiteral("framed"));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ProgramFolder folder({}, placementIni(-40000, 99999, 1000000000, 2500));
    {
        MainWindow form(folder.paths());
        form.show();
        QVERIFY(waitUntilFramed(&form));
        QTRY_COMPARE(frameOnScreen(&form), area);
        form.close();
    }
    const SettingsRecord stored = storedSettings(folder);
    QCOMPARE(QRect(stored.windowLeft, stored.windowTop, stored.windowWidth, stored.windowHeight),
             area);
}

// Catches dialogs kept between openings that the window manager puts lower by the height of the
// title bar from their second or third opening.
void TestWindowPlacement::dialogsOpenWhereTheyOpenedFirst()
{
    useWindowManager(QStringLiteral("framed"));
    ProgramFolder folder;
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(waitUntilFramed(&form));
    const QList<QDialog *> dialogs = form.findChildren<QDialog *>();
    QVERIFY(dialogs.size() >= 7);
    QStringList moved;
    for (QDialog *dialog : dialogs) {
        QList<QPoint> places;
        for (int opening = 0; opening < 3; ++opening) {
            dialog->show();
            QVERIFY2(waitUntilFramed(dialog), qPrintable(dialog->objectName()));
            places << frameOnScreen(dialog).topLeft();
            dialog->reject();
            QTRY_VERIFY(frameOnScreen(dialog).isNull()); // the window manager has let it go
        }
        if (places.count(places.front()) != 3)
            moved << QStringLiteral("%1 at %2,%3 then %4,%5 then %6,%7")
                         .arg(dialog->objectName())
                         .arg(places[0].x())
                         .arg(places[0].y())
                         .arg(places[1].x())
                         .arg(places[1].y())
                         .arg(places[2].x())
                         .arg(places[2].y());
    }
    QVERIFY2(moved.isEmpty(), qPrintable(moved.join(QStringLiteral("; "))));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestWindowPlacement test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_placement.moc"
