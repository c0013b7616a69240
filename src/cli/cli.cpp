// The command line: mokaran VERB ... works headless over the core.
#include "cli/cli.h"

#include <cstdio>

namespace {

const char kUsage[] =
    "usage: mokaran                 open the main window\n"
    "       mokaran --help          show this text\n"
    "       mokaran --version       show the version\n";

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int RunCommandLine(const QStringList &args)
{
    if (args.isEmpty())
        return kCliUsage;
    const QString &verb = args.front();
    if (verb == QLatin1String("--help") || verb == QLatin1String("-h")) {
        std::fputs("MOKARAN: cut pieces out of pictures.\n\n", stdout);
        std::fputs(kUsage, stdout);
        return kCliDone;
    }
    if (verb == QLatin1String("--version")) {
        std::fputs("mokaran 1.32 (2008.06.07)\n", stdout);
        return kCliDone;
    }
    print(stderr, QStringLiteral("mokaran: unknown command '%1'\n").arg(verb));
    std::fputs(kUsage, stderr);
    return kCliUsage;
}
