// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's message handler for the messages of the image plugins.
#include "core/base/library_messages.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>

#include <mutex>

namespace {

QtMessageHandler g_previous = nullptr;

// Qt's image readers report in these categories, and the plugins that use none of their own
// print under the default one with their handler's name or their library's first.
bool isReaderMessage(const QMessageLogContext &context, const QString &text)
{
    const QLatin1String category(context.category ? context.category : "");
    if (category.startsWith(QLatin1String("qt.gui.imageio")) ||
        category.startsWith(QLatin1String("qt.gui.icc")) ||
        category.startsWith(QLatin1String("qt.imageformats")))
        return true;
    static const char *const kPrefixes[] = {"libpng",      "QImageIOHandler", "QTgaHandler",
                                            "QGifHandler", "QWebpHandler",    "QTiffHandler",
                                            "QBmpHandler", "QImageReader"};
    for (const char *prefix : kPrefixes) {
        if (text.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // Asked at each message, not once: the messages are few, and a debugging session may set it
    // in a process already running (a child forked from it).
    if (type != QtFatalMsg && isReaderMessage(context, text) &&
        !qEnvironmentVariableIsSet("MOKARAN_DEBUG"))
        return;
    if (g_previous) {
        g_previous(type, context, text);
    } else { // Qt gave no handler back: print as its own would
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
        std::fflush(stderr);
    }
}

} // namespace

void QuietLibraryMessages()
{
    static std::once_flag once;
    std::call_once(once, [] { g_previous = qInstallMessageHandler(handleMessage); });
}
