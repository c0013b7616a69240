// SPDX-License-Identifier: GPL-3.0-or-later
// Capture through the desktop portal: one Screenshot request, its Response, and the file it names.
#include "windows/portal_capture.h"

#include "core/base/files.h"
#include "core/base/io_error.h"
#include "core/image/picture.h"
#include "core/image/picture_reading.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>
#include <new>

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kResponseSignal = QStringLiteral("Response");
const char *const kResponseSlot = SLOT(receiveResponse(uint, QVariantMap));

// The codes a portal request ends with; any other (2) means it failed.
constexpr uint kResponseSuccess = 0;
constexpr uint kResponseCancelled = 1;

CaptureResult unavailable(const QString &reason)
{
    return CaptureResult::failed(
        PortalCapture::tr("画面をキャプチャーできません (%1)").arg(reason));
}

int timeoutMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("MOKARAN_PORTAL_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? ms : kPortalTimeoutMs;
}

QString timeoutText()
{
    return PortalCapture::tr("デスクトップのポータルが %1 秒待っても応答しません")
        .arg(QString::number(timeoutMs() / 1000.0));
}

// The portal names the Request object after the caller's unique bus name and a token the caller
// chooses, so the caller can listen before it asks and no early answer is lost.
QString requestPathFor(const QDBusConnection &bus, const QString &token)
{
    QString sender = bus.baseService().mid(1); // ":1.42" becomes "1_42"
    sender.replace(u'.', u'_');
    return QStringLiteral("%1/request/%2/%3").arg(kPortalPath, sender, token);
}

QString newToken()
{
    static int count = 0;
    return QStringLiteral("mokaran%1").arg(++count);
}

QString callFailureText(const QDBusError &error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
        return PortalCapture::tr("デスクトップにスクリーンショットのポータルがありません");
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
        return PortalCapture::tr("デスクトップのポータルにスクリーンショットの機能がありません");
    case QDBusError::NoReply:
    case QDBusError::Timeout: return timeoutText();
    default: return PortalCapture::tr("ポータルを呼び出せません: %1").arg(error.message());
    }
}

bool isInTemporaryFolder(const QString &path)
{
    const QString temporary = QDir(QDir::tempPath()).canonicalPath();
    const QString folder = QFileInfo(path).canonicalPath();
    return !temporary.isEmpty() && !folder.isEmpty() &&
           (folder == temporary || folder.startsWith(temporary + u'/'));
}

// Portals write PNG; Qt's plugins read whatever else one might write.
QImage decodePicture(const QString &path)
{
    QByteArray bytes;
    ReadFileInto(path, bytes);
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && ExceedsPictureLimit(size.width(), size.height()))
        throw ReadFailure(path, PictureTooLargeText(size.width(), size.height()));
    const QImage picture = reader.read();
    if (picture.isNull())
        throw ReadFailure(path, PortalCapture::tr("画像ファイルとして読めません"));
    return To24Bit(picture);
}

} // namespace

bool PortalCaptureChosen()
{
    const QByteArray chosen = qgetenv("MOKARAN_CAPTURE").toLower();
    if (chosen == "portal")
        return true;
    if (chosen == "x11")
        return false;
    return QGuiApplication::platformName().startsWith(u"wayland") ||
           qgetenv("XDG_SESSION_TYPE") == "wayland";
}

QImage TakePortalPicture(const QString &address)
{
    const QUrl url(address);
    if (!url.isLocalFile())
        throw Failure(PortalCapture::tr("ポータルの答えに画像ファイルがありません"));
    const QString path = url.toLocalFile();
    const bool temporary = isInTemporaryFolder(path);
    const auto removeTemporary = qScopeGuard([&] {
        if (temporary)
            QFile::remove(path);
    });
    return decodePicture(path);
}

PortalCapture::PortalCapture(QObject *parent) : QObject(parent), m_timeout(new QTimer(this))
{
    m_timeout->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, &PortalCapture::giveUp);
}

void PortalCapture::start(CaptureTarget target)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QTimer::singleShot(
            0, this, [this] { finish(unavailable(tr("D-Bus のセッションバスに接続できません"))); });
        return;
    }
    const QString token = newToken();
    listenOn(requestPathFor(bus, token));
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, kScreenshotInterface, QStringLiteral("Screenshot"));
    const QVariantMap options{
        {QStringLiteral("handle_token"), token},
        {QStringLiteral("modal"), true},
        {QStringLiteral("interactive"), target == CaptureTarget::ActiveWindow}};
    // No parent window: ours is hidden while the desktop takes the picture.
    call << QString() << options;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, timeoutMs()), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &PortalCapture::receiveHandle);
    m_timeout->start(timeoutMs());
}

void PortalCapture::listenOn(const QString &requestPath)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_requestPath.isEmpty())
        bus.disconnect(QString(), m_requestPath, kRequestInterface, kResponseSignal, this,
                       kResponseSlot);
    m_requestPath = requestPath;
    bus.connect(QString(), m_requestPath, kRequestInterface, kResponseSignal, this, kResponseSlot);
}

void PortalCapture::receiveHandle(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *call;
    if (reply.isError()) {
        finish(unavailable(callFailureText(reply.error())));
        return;
    }
    // Portals older than the handle_token option choose the path themselves.
    if (reply.value().path() != m_requestPath)
        listenOn(reply.value().path());
}

void PortalCapture::receiveResponse(uint response, const QVariantMap &results)
{
    if (response == kResponseCancelled) {
        finish({});
        return;
    }
    if (response != kResponseSuccess) {
        finish(unavailable(tr("デスクトップのポータルがキャプチャーに失敗しました")));
        return;
    }
    try {
        finish(CaptureResult::taken(
            TakePortalPicture(results.value(QStringLiteral("uri")).toString())));
    } catch (const std::bad_alloc &) {
        finish(unavailable(tr("メモリが不足しています")));
    } catch (const std::exception &failure) {
        finish(unavailable(QString::fromUtf8(failure.what())));
    }
}

void PortalCapture::giveUp()
{
    // Closing the request takes the portal's dialog off the screen; a late answer goes unheard.
    if (!m_requestPath.isEmpty())
        QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
            kPortalService, m_requestPath, kRequestInterface, QStringLiteral("Close")));
    finish(unavailable(timeoutText()));
}

void PortalCapture::finish(const CaptureResult &result)
{
    if (m_finished)
        return;
    m_finished = true;
    m_timeout->stop();
    if (!m_requestPath.isEmpty())
        QDBusConnection::sessionBus().disconnect(QString(), m_requestPath, kRequestInterface,
                                                 kResponseSignal, this, kResponseSlot);
    emit finished(result);
}
