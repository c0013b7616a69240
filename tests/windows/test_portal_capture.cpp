// SPDX-License-Identifier: GPL-3.0-or-later
// Capture through the desktop portal, against a fake portal on the private session bus the test
// runs on (see tests/CMakeLists.txt): the picture it answers with, a cancel, a failure, silence.
#include "core/image/edits.h"
#include "core/image/picture.h"
#include "windows/application.h"
#include "windows/canvas_widget.h"
#include "windows/clamping_spin_box.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/portal_capture.h"
#include "windows/program_folder.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The fake portal of tests/windows/fake_screenshot_portal.py for one case, stopped with it.
class FakePortal {
  public:
    explicit FakePortal(const QStringList &arguments)
    {
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        QStringList{QStringLiteral(FAKE_PORTAL_SCRIPT)} + arguments);
    }
    ~FakePortal()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    // Whether it owns the portal's name on the bus.
    bool ready()
    {
        return QTest::qWaitFor([this] { return log().contains(u"ready"); }, 10000);
    }
    // The calls it received, after the line "ready".
    QStringList calls() { return log().mid(1); }

  private:
    QStringList log()
    {
        m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_output.split(u'\n', Qt::SkipEmptyParts);
    }
    QProcess m_process;
    QString m_output;
};

// No two neighbours alike and no black channel, so a shifted row, a swapped channel or a
// rescaled picture is never equal to it.
QImage knownPicture()
{
    QImage picture(61, 37, kPictureFormat);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(
                x, y,
                qRgb(1 + (x * 7 + y) % 255, 1 + (y * 13 + x * 3) % 255, 1 + (x * y * 5) % 255));
    return picture;
}

struct Program {
    ProgramFolder folder;
    MainWindow form{folder.paths()};
    Program() { form.show(); }
};

} // namespace

class TestPortalCapture : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void portalPictureIsTakenAsCaptured_data();
    void portalPictureIsTakenAsCaptured();
    void portalWithoutPictureChangesNothing_data();
    void portalWithoutPictureChangesNothing();
    void sessionChoosesTheWay_data();
    void sessionChoosesTheWay();

  private:
    QTemporaryDir m_root;
    QString m_temporary; // the temporary folder the program sees
    QString m_pictures;  // a folder of the user's
    QString m_known;     // the known picture as a PNG file
};

void TestPortalCapture::initTestCase()
{
    qputenv("MOKARAN_CAPTURE", "portal");
    qputenv("MOKARAN_PORTAL_TIMEOUT_MS", "1500");
    QVERIFY(m_root.isValid());
    m_temporary = m_root.filePath(QStringLiteral("tmp"));
    m_pictures = m_root.filePath(QStringLiteral("Pictures"));
    QVERIFY(QDir().mkpath(m_temporary) && QDir().mkpath(m_pictures));
    qputenv("TMPDIR", QFile::encodeName(m_temporary));
    m_known = m_root.filePath(QStringLiteral("known.png"));
    QVERIFY(knownPicture().save(m_known, "PNG"));
}

void TestPortalCapture::portalPictureIsTakenAsCaptured_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expectedCall");
    QTest::addColumn<bool>("temporary");
    QTest::addColumn<int>("shrinkTo"); // 0: the command does not shrink
    QTest::newRow("screen, file in the temporary folder")
        << "captureScreenAction"
        << "Screenshot interactive=0" << true << 0;
    QTest::newRow("window shrunk, file in the user's pictures")
        << "captureWindowShrunkAction"
        << "Screenshot interactive=1" << false << 40;
}

// Catches: channels swapped or the picture converted wrongly; the undo picture, canvas or first
// picture's state not set; the shrink prompt skipped on this path; the wrong kind of request
// (the screen must not ask the user, the window must let the user pick); a temporary file left
// behind, or the user's own copy in Pictures deleted.
void TestPortalCapture::portalPictureIsTakenAsCaptured()
{
    QFETCH(QString, command);
    QFETCH(QString, expectedCall);
    QFETCH(bool, temporary);
    QFETCH(int, shrinkTo);
    const QString copy = QDir(temporary ? m_temporary : m_pictures).filePath("Screenshot.png");
    FakePortal portal({QStringLiteral("picture"), m_known, copy});
    QVERIFY(portal.ready());
    Program p;
    ModalScript script;
    if (shrinkTo > 0)
        script.then(QStringLiteral("ValueDialog"), [&](QWidget *dialog) {
            auto *spin = Control<ClampingSpinBox>(dialog, "numberSpin");
            QCOMPARE(spin->maximum(), knownPicture().width()); // asked of the captured picture
            spin->setValue(shrinkTo);
            QTimer::singleShot(0, Control<QPushButton>(dialog, "okButton"), &QPushButton::click);
        });

    Control<QAction>(&p.form, command.toLatin1().constData())->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(p.form.hasPicture() && script.done(), 10000);

    const QImage expected = shrinkTo > 0 ? ShrinkToFit(knownPicture(), shrinkTo) : knownPicture();
    QCOMPARE(p.form.document().picture(), expected);
    QCOMPARE(p.form.document().loadedPicture(), expected);
    QVERIFY(p.form.isVisible());
    QCOMPARE(Control<CanvasWidget>(&p.form, "canvas")->size(), expected.size());
    QVERIFY(Control<CanvasWidget>(&p.form, "canvas")->isVisible());
    QCOMPARE(portal.calls(), QStringList{expectedCall});
    QCOMPARE(QFile::exists(copy), !temporary);
    QFile::remove(copy);
}

void TestPortalCapture::portalWithoutPictureChangesNothing_data()
{
    QTest::addColumn<QString>("mode"); // empty: no portal on the bus
    QTest::addColumn<QStringList>("expectedCalls");
    QTest::addColumn<QString>("said"); // part of the message; empty: no message at all
    const QString call = QStringLiteral("Screenshot interactive=0");
    QTest::newRow("cancelled") << "cancel" << QStringList{call} << QString();
    QTest::newRow("failed") << "fail" << QStringList{call}
                            << "ポータルがキャプチャーに失敗しました";
    QTest::newRow("no portal") << QString() << QStringList() << "ポータルがありません";
    QTest::newRow("no answer") << "silent" << QStringList{call, QStringLiteral("Close")}
                               << "1.5 秒待っても応答しません";
}

// Catches: a cancel reported as an error, a failure or a time-out passed over in silence, the
// old picture replaced or the window left hidden, the portal's dialog left open after giving
// up, and a wait for the answer that blocks the window's event loop.
void TestPortalCapture::portalWithoutPictureChangesNothing()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, expectedCalls);
    QFETCH(QString, said);
    std::unique_ptr<FakePortal> portal;
    if (!mode.isEmpty()) {
        portal = std::make_unique<FakePortal>(QStringList{mode});
        QVERIFY(portal->ready());
    }
    Program p;
    const QImage before = knownPicture();
    p.form.takeNewPicture(before);
    BoxCatcher boxes;
    int ticksWhileAsking = 0; // the event loop's turns while the portal holds the request
    QTimer ticker;
    ticker.setInterval(50);
    connect(&ticker, &QTimer::timeout, [&] {
        ticksWhileAsking += !p.form.isVisible() && portal && !portal->calls().isEmpty();
    });
    ticker.start();

    Control<QAction>(&p.form, "captureScreenAction")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(p.form.isVisible(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(boxes.texts.size(), said.isEmpty() ? 0 : 1, 2000);
    QTest::qWait(200); // a box that should not come has had its chance
    if (said.isEmpty()) {
        QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join(u'\n')));
    } else {
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].startsWith(u"画面をキャプチャーできません") &&
                     boxes.texts[0].contains(said),
                 qPrintable(boxes.texts[0]));
    }
    QCOMPARE(p.form.document().picture(), before);
    QCOMPARE(p.form.document().loadedPicture(), before);
    QVERIFY(Control<CanvasWidget>(&p.form, "canvas")->isVisible());
    if (portal)
        QTRY_COMPARE_WITH_TIMEOUT(portal->calls(), expectedCalls, 2000);
    if (mode == u"silent")
        QVERIFY2(ticksWhileAsking > 10, qPrintable(QString::number(ticksWhileAsking)));
}

void TestPortalCapture::sessionChoosesTheWay_data()
{
    QTest::addColumn<QByteArray>("chosen");  // MOKARAN_CAPTURE
    QTest::addColumn<QByteArray>("session"); // XDG_SESSION_TYPE
    QTest::addColumn<bool>("portal");
    QTest::newRow("X11 session") << QByteArray() << QByteArray("x11") << false;
    QTest::newRow("Wayland session, program on XWayland")
        << QByteArray() << QByteArray("wayland") << true;
    QTest::newRow("portal chosen on X11") << QByteArray("portal") << QByteArray("x11") << true;
    QTest::newRow("X11 chosen on Wayland") << QByteArray("X11") << QByteArray("wayland") << false;
}

// Catches: a program running on XWayland (Qt's platform "xcb" inside a Wayland session) taking
// the X11 copy, which holds none of the Wayland windows; MOKARAN_CAPTURE not honoured.
void TestPortalCapture::sessionChoosesTheWay()
{
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, session);
    QFETCH(bool, portal);
    const QByteArray kept = qgetenv("MOKARAN_CAPTURE");
    qputenv("MOKARAN_CAPTURE", chosen);
    qputenv("XDG_SESSION_TYPE", session);
    const bool chosenPortal = PortalCaptureChosen();
    qputenv("MOKARAN_CAPTURE", kept);
    QCOMPARE(chosenPortal, portal);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestPortalCapture test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_portal_capture.moc"
