// SPDX-License-Identifier: GPL-3.0-or-later
// Capture through the desktop portal (org.freedesktop.portal.Screenshot on the session bus): on
// Wayland a program may not read the screen itself, and the desktop takes the picture for it.
#pragma once

#include "windows/screen_capture.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QDBusPendingCallWatcher;
class QTimer;

// What a capture gave: a picture, a failure's reason, or neither when the user cancelled.
struct CaptureResult {
    QImage picture;
    QString failure;
    static CaptureResult taken(const QImage &picture) { return {picture, QString()}; }
    static CaptureResult failed(const QString &reason) { return {QImage(), reason}; }
    bool cancelled() const { return picture.isNull() && failure.isEmpty(); }
};

// Whether the capture commands go through the portal: MOKARAN_CAPTURE=portal or =x11 decides;
// otherwise a Wayland session does, even when the program itself runs on XWayland, whose X11
// copy holds only the windows of X11 programs.
bool PortalCaptureChosen();

// How long a request may stay unanswered before it counts as failed: the user may be choosing a
// window in the portal's dialog meanwhile. MOKARAN_PORTAL_TIMEOUT_MS, when a positive number,
// replaces it (the tests do not wait a minute for a portal that never answers).
inline constexpr int kPortalTimeoutMs = 60000;

// One request to the portal. start() returns at once; finished() follows exactly once, from the
// event loop, so the window stays responsive while the desktop works or the user chooses.
class PortalCapture : public QObject {
    Q_OBJECT
  public:
    explicit PortalCapture(QObject *parent = nullptr);

    // The screen is taken as it is; for the active window the portal lets the user pick one,
    // since no portal tells which window is active.
    void start(CaptureTarget target);

  signals:
    void finished(const CaptureResult &result);

  private slots:
    // The Request object's Response signal (a slot by name: Qt D-Bus connects signals so).
    void receiveResponse(uint response, const QVariantMap &results);

  private:
    void listenOn(const QString &requestPath);
    void receiveHandle(QDBusPendingCallWatcher *call);
    void giveUp();
    void finish(const CaptureResult &result);

    QTimer *m_timeout = nullptr;
    QString m_requestPath; // the Request object the answer comes from
    bool m_finished = false;
};

// The picture in the file a portal answered with (a file:// address), as a 24-bit picture. The
// file is removed when it lies in the temporary folder, where the desktop put it for this program
// alone; elsewhere (the user's Pictures folder) it is the desktop's own copy and stays. Throws
// Failure when the address is no local file or the file is no picture.
QImage TakePortalPicture(const QString &address);
