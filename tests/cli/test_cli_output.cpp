// The cutting verbs' output options: PNG frames, an animation or a sheet instead of BMP frames.
#include "cli/cli.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CommandLineOutput : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QImage picture(100, 60, QImage::Format_BGR888);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x * 2, y * 4, (x + y) % 256));
        ASSERT_TRUE(picture.save(path("in.bmp")));
        source = picture;
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList files() const
    {
        QStringList names = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
        names.removeAll(QStringLiteral("in.bmp"));
        return names;
    }
    QTemporaryDir dir;
    QImage source;
};

// Each option must change what is written, and nothing else: catches --format ignored (BMP
// frames under PNG names), an animation that still wants BASE, the one-file count not applied to
// blend's three files, and a cut whose PNG is not the cut.
TEST_F(CommandLineOutput, OptionsChooseWhatIsWritten)
{
    const struct {
        QStringList args;
        QStringList written;
    } rows[] = {
        {{"sequence", "in.bmp", "walk", "--size", "40x60", "--format", "png"},
         {"walk001.png", "walk002.png", "walk003.png", "walk004.png", "walk005.png"}},
        {{"sequence", "in.bmp", "--size", "40x60", "--animate", "w.gif", "--pingpong"}, {"w.gif"}},
        {{"blend", "in.bmp", "in.bmp", "--size", "20x10", "--sheet", "s.png", "--columns", "7"},
         {"s.json", "s.png"}},
        {{"fade", "in.bmp", "--size", "20x10", "--animate", "f.webp", "--quality", "50"},
         {"f.webp"}},
        {{"cut", "in.bmp", "c.png", "--size", "30x20", "--at", "10,5", "--format", "png"},
         {"c.png"}},
    };
    for (const auto &row : rows) {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        ASSERT_TRUE(source.save(path("in.bmp")));
        QStringList args;
        for (const QString &arg : row.args)
            args << (arg.contains(u'.') || arg == QLatin1String("walk") ? path(arg) : arg);
        ASSERT_EQ(RunCommandLine(args), 0) << row.args.join(' ').toStdString();
        EXPECT_EQ(files(), row.written) << row.args.join(' ').toStdString();
    }
    EXPECT_EQ(QImageReader(path("c.png")).format(), "png");
    EXPECT_EQ(QImage(path("c.png")).convertToFormat(QImage::Format_BGR888),
              source.copy(10, 5, 30, 20));
}

// Options that would do nothing where they stand, or files that do not match, are usage errors
// that write nothing: catches --delay accepted without an animation, --quality silently dropped
// for GIF, and a BASE left over beside --animate.
TEST_F(CommandLineOutput, MisplacedOptionsAreUsageErrors)
{
    const QStringList base = {"sequence", path("in.bmp"), "--size", "40x60"};
    const QList<QStringList> wrong = {
        {path("walk"), "--delay", "50"},
        {path("walk"), "--pingpong"},
        {path("walk"), "--columns", "3"},
        {path("walk"), "--format", "jpg"},
        {"--animate", path("w.mp4")},
        {"--animate", path("w.gif"), "--quality", "80"},
        {"--animate", path("w.webp"), "--no-dither"},
        {"--animate", path("w.gif"), "--delay", "0"},
        {"--animate", path("w.gif"), "--format", "png"},
        {"--animate", path("w.gif"), "--sheet", path("s.png"), "--columns", "2"},
        {"--sheet", path("s.png")},
        {"--sheet", path("s.png"), "--columns", "0"},
        {path("walk"), "--animate", path("w.gif")},
    };
    for (const QStringList &extra : wrong) {
        EXPECT_EQ(RunCommandLine(base + extra), 2) << extra.join(' ').toStdString();
        EXPECT_EQ(files(), QStringList()) << extra.join(' ').toStdString();
    }
}

} // namespace
