// SPDX-License-Identifier: GPL-3.0-or-later
// The options that tell sprites from their background.
#include "cli/sprite_options.h"

#include "cli/usage_error.h"
#include "cli/verb_parsing.h"

#include <QColor>

#include <climits>

namespace {

const QString kBackground = QStringLiteral("background");
const QString kTolerance = QStringLiteral("tolerance");
const QString kMerge = QStringLiteral("merge");
const QString kMinArea = QStringLiteral("min-area");

} // namespace

QList<QCommandLineOption> BackgroundOptions()
{
    return {{kBackground, QString(), QStringLiteral("transparent|corner|#RRGGBB")},
            {kTolerance, QString(), QStringLiteral("T")}};
}

QList<QCommandLineOption> SpriteSearchOptions()
{
    return BackgroundOptions() +
           QList<QCommandLineOption>{
               {kMerge, QString(), QStringLiteral("D"), QStringLiteral("0")},
               {kMinArea, QString(), QStringLiteral("N"), QString::number(kDefaultMinSpriteArea)}};
}

QStringList SpriteSearchOptionNames()
{
    return {kBackground, kTolerance, kMerge, kMinArea};
}

SpriteBackground ParseBackground(const QCommandLineParser &parser, const QImage &picture,
                                 const QString &path)
{
    SpriteBackground background = DefaultBackground(picture, ContentKindOfFile(path));
    if (parser.isSet(kBackground)) {
        const QString value = parser.value(kBackground);
        if (value == QLatin1String("transparent")) {
            background.kind = BackgroundKind::Transparent;
        } else if (value == QLatin1String("corner")) {
            background.kind = BackgroundKind::Corner;
        } else {
            // Only #RRGGBB: QColor would also take names and other forms the usage does not offer.
            if (value.size() != 7 || !value.startsWith(u'#') || !QColor(value).isValid())
                throw UsageError{QStringLiteral("bad background '%1'").arg(value)};
            background.kind = BackgroundKind::Colour;
            background.colour = QColor(value).rgb();
        }
    }
    if (parser.isSet(kTolerance))
        background.tolerance = WholeNumberOption(parser, kTolerance, 0, kMaxBackgroundTolerance);
    return background;
}

SpriteSearch ParseSpriteSearch(const QCommandLineParser &parser, const QImage &picture,
                               const QString &path)
{
    SpriteSearch search;
    search.background = ParseBackground(parser, picture, path);
    search.mergeDistance = WholeNumberOption(parser, kMerge, 0, kMaxMergeDistance);
    search.minArea = WholeNumberOption(parser, kMinArea, 0, INT_MAX);
    return search;
}

QString BoxListText(const std::vector<QRect> &boxes)
{
    QStringList items;
    for (const QRect &box : boxes)
        items << QStringLiteral("{\"x\":%1,\"y\":%2,\"w\":%3,\"h\":%4}")
                     .arg(box.x())
                     .arg(box.y())
                     .arg(box.width())
                     .arg(box.height());
    return QStringLiteral("[") + items.join(QStringLiteral(", ")) + QStringLiteral("]\n");
}
