// SPDX-License-Identifier: GPL-3.0-or-later
// Sprite sheets from the command line: the boxes listed, the grid printed, the sprites written,
// pictures packed, and the JSON read by PixiJS's own parser as a game loads it.
#include "cli/cli.h"

#include "pictures.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace {

// 60 x 40 on transparency: a sprite whose top row is below the next one's, so reading order is
// not the order of their tops, and one in a row of its own.
const std::vector<QRect> kSprites{{2, 3, 10, 8}, {30, 1, 12, 12}, {5, 20, 8, 15}};

QImage spriteSheet()
{
    QImage picture(60, 40, QImage::Format_ARGB32);
    picture.fill(qRgba(0, 0, 0, 0));
    for (size_t i = 0; i < kSprites.size(); ++i)
        for (int y = kSprites[i].top(); y <= kSprites[i].bottom(); ++y)
            for (int x = kSprites[i].left(); x <= kSprites[i].right(); ++x)
                picture.setPixel(x, y, qRgba(int(80 * i), x * 4, y * 6, 128 + int(i) * 40));
    return picture;
}

// A picture of w x h whose opaque block is kept; the rest fully transparent.
QImage trimmable(int w, int h, QRect block, int seed)
{
    QImage picture(w, h, QImage::Format_ARGB32);
    picture.fill(qRgba(0, 0, 0, 0));
    for (int y = block.top(); y <= block.bottom(); ++y)
        for (int x = block.left(); x <= block.right(); ++x)
            picture.setPixel(
                x, y, qRgba((x - block.left()) * 20 + seed, (y - block.top()) * 9, seed, 255));
    return picture;
}

class CommandLineSprites : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(spriteSheet().save(path("sprites.png")));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    // The exit status of the verb, and what it printed on standard output.
    std::pair<int, QByteArray> run(const QStringList &args)
    {
        std::fflush(stdout);
        const int saved = dup(1);
        FILE *out = std::fopen(path("stdout").toLocal8Bit().constData(), "w+");
        dup2(fileno(out), 1);
        const int status = RunCommandLine(args);
        std::fflush(stdout);
        dup2(saved, 1);
        close(saved);
        std::fclose(out);
        return {status, FileBytes(path("stdout"))};
    }
    QTemporaryDir dir;
};

// What --list and grid print, exactly: catches boxes in the order of their tops rather than
// reading order, keys in another order than x, y, w, h, the gap printed for the cell, and a
// listing that also writes frames.
TEST_F(CommandLineSprites, ListAndGridPrintTheirJson)
{
    EXPECT_EQ(
        run({"sequence", path("sprites.png"), "--direction", "auto", "--list"}),
        std::pair(0, QByteArray("[{\"x\":2,\"y\":3,\"w\":10,\"h\":8}, {\"x\":30,\"y\":1,"
                                "\"w\":12,\"h\":12}, {\"x\":5,\"y\":20,\"w\":8,\"h\":15}]\n")));
    QImage grid(45, 40, QImage::Format_RGB32);
    grid.fill(Qt::white);
    for (int i = 0; i < 6; ++i)
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 10; ++x)
                grid.setPixel(3 + (i % 3) * 12 + x, 4 + (i / 3) * 17 + y, qRgb(i * 40, 0, 0));
    ASSERT_TRUE(grid.save(path("grid.png")));
    EXPECT_EQ(run({"grid", path("grid.png")}),
              std::pair(0, QByteArray("{\"cell\":[10,12],\"offset\":[3,4],\"gap\":[2,5],"
                                      "\"columns\":3,\"rows\":2}\n")));
    EXPECT_EQ(QDir(dir.path()).entryList({"*.png"}, QDir::Files),
              (QStringList{"grid.png", "sprites.png"}));
}

// Options that belong to another kind of cut or output are refused before anything is written:
// catches the frame's options silently ignored by auto, a sheet with PNG data under a JPEG's
// name, atlas settings accepted without an atlas, and two packed pictures of one name, one of
// which the JSON could not name.
TEST_F(CommandLineSprites, MisplacedOptionsAreUsageErrors)
{
    const QString sheet = path("sprites.png");
    const QList<QStringList> wrong = {
        {"sequence", sheet, path("w"), "--direction", "auto", "--size", "8x8"},
        {"sequence", sheet, path("w"), "--direction", "auto", "--list"},
        {"sequence", sheet, "--direction", "auto", "--list", "--format", "png"},
        {"sequence", sheet, path("w"), "--size", "8x8", "--merge", "2"},
        {"sequence", sheet, "--direction", "auto", "--sheet", path("s.jpg"), "--columns", "2"},
        {"sequence", sheet, "--direction", "auto", "--atlas", path("a.webp")},
        {"sequence", sheet, path("w"), "--direction", "auto", "--trim"},
        {"sequence", sheet, "--direction", "auto", "--atlas", path("a.png"), "--columns", "2"},
        {"sequence", sheet, "--direction", "auto", "--atlas", path("a.png"), "--json", "xml"},
        {"sequence", sheet, "--direction", "auto", "--background", "red", "--list"},
        {"pack", sheet, path("sub/sprites.png"), "--atlas", path("a.png")},
        {"pack", sheet},
    };
    for (const QStringList &args : wrong) {
        EXPECT_EQ(run(args).first, 2) << args.join(' ').toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList({"*.png", "*.json", "*.jpg", "*.webp"}, QDir::Files),
                  QStringList{"sprites.png"})
            << args.join(' ').toStdString();
    }
}

// What PixiJS's Spritesheet makes of a JSON: every frame's rectangle, original size and trim.
QJsonObject readWithPixiJs(const QString &json)
{
    QProcess node;
    node.start(QStandardPaths::findExecutable("node"), {MOKARAN_TEST_PIXI_READER, json});
    node.waitForFinished(60000);
    EXPECT_EQ(node.exitCode(), 0) << node.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(node.readAllStandardOutput()).object();
}

QRect rectOf(const QJsonValue &value)
{
    const QJsonArray a = value.toArray();
    return {a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toInt()};
}

// The sprites found written as frames of their boxes' sizes, and pictures packed into an atlas
// that PixiJS reads: each texture's original size is its picture's, its trim the picture's
// opaque part, and the atlas's pixels under its frame are those of that part. Catches a JSON an
// engine reads otherwise than meant (a trim offset read as a frame position, names not the files'
// names), duplicates pointing elsewhere than their pixels, and a sheet whose cells are not the
// frames'.
TEST_F(CommandLineSprites, FramesFoundAndPackedAreReadByPixiJs)
{
    ASSERT_EQ(run({"sequence", path("sprites.png"), path("walk"), "--direction", "auto", "--format",
                   "png"})
                  .first,
              0);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(PixelsOf(path(QStringLiteral("walk00%1.png").arg(k)), QImage::Format_ARGB32),
                  spriteSheet().copy(kSprites[size_t(k - 1)]));

    const std::vector<std::pair<QString, QImage>> pictures{
        {"a.png", trimmable(20, 16, {3, 2, 10, 8}, 7)},
        {"b.png", trimmable(9, 30, {0, 0, 9, 30}, 90)},
        {"c.png", trimmable(25, 20, {10, 5, 10, 8}, 7)}, // a's pixels once trimmed
    };
    QStringList args{"pack"};
    for (const auto &[name, picture] : pictures) {
        ASSERT_TRUE(picture.save(path(name)));
        args << path(name);
    }
    ASSERT_EQ(run(args + QStringList{"--atlas", path("atlas.png"), "--trim", "--padding", "2",
                                     "--extrude", "1", "--delay", "80"})
                  .first,
              0);
    ASSERT_EQ(run({"sequence", path("sprites.png"), "--direction", "auto", "--sheet",
                   path("sheet.png"), "--columns", "2"})
                  .first,
              0);
    if (QStandardPaths::findExecutable("node").isEmpty() ||
        !QFileInfo::exists(MOKARAN_TEST_PIXI_PACKAGE))
        GTEST_SKIP() << "Node.js or pixi.js is not installed (scripts/install-deps.sh installs "
                        "them; npm needs the network): the JSON was not read by PixiJS";

    const QJsonObject atlas = readWithPixiJs(path("atlas.json"));
    const QImage atlasPicture = PixelsOf(path("atlas.png"), QImage::Format_ARGB32);
    const QJsonObject textures = atlas["textures"].toObject();
    ASSERT_EQ(textures.size(), 3);
    for (const auto &[name, picture] : pictures) {
        SCOPED_TRACE(name.toStdString());
        const QJsonObject texture = textures[name].toObject();
        // PixiJS gives no trim for a frame kept whole.
        const QRect trim = texture["trim"].isNull() ? picture.rect() : rectOf(texture["trim"]);
        EXPECT_EQ(texture["orig"].toArray(), (QJsonArray{picture.width(), picture.height()}));
        EXPECT_EQ(trim, name == "b.png"
                            ? QRect(0, 0, 9, 30)
                            : QRect(name == "a.png" ? QPoint(3, 2) : QPoint(10, 5), QSize(10, 8)));
        EXPECT_EQ(atlasPicture.copy(rectOf(texture["frame"])), picture.copy(trim));
    }
    EXPECT_EQ(textures["a.png"].toObject()["frame"], textures["c.png"].toObject()["frame"]);
    EXPECT_EQ(atlas["animations"].toObject()["atlas"].toArray(),
              (QJsonArray{"a.png", "b.png", "c.png"}));

    const QJsonObject sheet = readWithPixiJs(path("sheet.json"))["textures"].toObject();
    ASSERT_EQ(sheet.size(), 3);
    EXPECT_EQ(rectOf(sheet["sheet003.png"].toObject()["frame"]), QRect(0, 15, 12, 15));
    EXPECT_EQ(sheet["sheet003.png"].toObject()["orig"].toArray(), (QJsonArray{12, 15}));
}

} // namespace
