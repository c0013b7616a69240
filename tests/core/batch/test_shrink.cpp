// SPDX-License-Identifier: GPL-3.0-or-later
// The batch shrink: the sizes and pixels of the outputs, skipped files, replacing originals, the
// same outputs from several workers as from one, and the worker thread's signals.
#include "core/base/atomic_file.h"
#include "core/base/file_names.h"
#include "core/base/io_error.h"
#include "core/batch/folder_listing.h"
#include "core/batch/shrink.h"
#include "core/batch/shrink_worker.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture.h"
#include "core/image/picture_reading.h"
#include "core/image/resize.h"

#include "core/base/child_process.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <vector>

namespace {

constexpr int32_t kT = 200;

// Smooth gradients with some texture, every channel at least 40: no pixel of it is black.
QImage photoLike(int width, int height, int seed = 0)
{
    QImage picture(width, height, kPictureFormat);
    for (int y = 0; y < height; ++y) {
        uchar *p = picture.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = uchar(40 + (x * 150 / width + (x * y + seed) % 7));
            p[1] = uchar(40 + (y * 180 / height + seed % 13));
            p[2] = uchar(240 - (x + y) * 100 / (width + height) - (x * 3 + y) % 5);
        }
    }
    return picture;
}

// The output the core path gives for a source file: decode, SizeWithLongerSide, ResizeAverage,
// quality 90.
QByteArray expectedOutput(const QByteArray &source, int32_t T)
{
    const QImage decoded = DecodeJpeg(source, "source");
    const QSize size = SizeWithLongerSide(decoded.size(), T);
    return EncodeJpeg(ResizeAverage(size.width(), size.height(), decoded), kJpegQuality);
}

// Every name in the folder, hidden ones included, sorted.
QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QByteArray jpegDat(const QList<QByteArray> &extensions)
{
    QByteArray text;
    for (const QByteArray &extension : extensions)
        text += "\"1\",\"1\",\"\",\"" + extension + "\"\r\n";
    return text;
}

// A source folder, a destination folder and jpeg.dat, each in a temporary folder of its own.
class ShrinkRunTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        QDir(m_root.path()).mkpath("src");
        QDir(m_root.path()).mkpath("dst");
        m_job.sourceFolder = m_root.path() + "/src/";
        m_job.destinationFolder = m_root.path() + "/dst/";
        m_job.extensionsFile = m_root.path() + "/jpeg.dat";
        m_job.longerSide = kT;
        m_job.workers = 1;
        PutFile(m_job.extensionsFile, jpegDat({"jpg"}));
    }

    void putPicture(const QString &name, int width, int height, int seed = 0)
    {
        PutFile(m_job.sourceFolder + name, EncodeJpeg(photoLike(width, height, seed), 95));
    }

    // Runs the job, checking the progress reports on the way.
    ShrinkResult run()
    {
        int startedWith = -1;
        std::vector<int> progress;
        const ShrinkResult result = RunShrink(
            m_job, [&](int total) { startedWith = total; },
            [&](int done) { progress.push_back(done); });
        std::vector<int> counting(size_t(result.filesFound));
        for (size_t i = 0; i < counting.size(); ++i)
            counting[i] = int(i) + 1;
        EXPECT_EQ(progress, counting);
        EXPECT_EQ(startedWith, result.filesFound > 0 ? result.filesFound : -1);
        return result;
    }

    QString src(const QString &name) const { return m_job.sourceFolder + name; }
    QString dst(const QString &name) const { return m_job.destinationFolder + name; }

    QTemporaryDir m_root;
    ShrinkJob m_job;
};

// ---------------------------------------------------------------------------------------------

TEST(ShrinkOneFile, SizesAndPixels)
{
    struct Case {
        int width, height, expectedWidth, expectedHeight;
    };
    // Small after large and large after small: the buffers are reused across the rows.
    const QList<Case> cases = {
        {1600, 1200, 200, 150}, {480, 640, 150, 200}, {100, 150, 100, 150}, // never enlarged
        {150, 100, 150, 100},   {300, 300, 200, 200}, {2000, 300, 200, 30},
    };
    QTemporaryDir dir;
    ShrinkBuffers buffers;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        const QByteArray source = EncodeJpeg(photoLike(c.width, c.height), 95);
        PutFile(dir.filePath("in.jpg"), source);
        ShrinkOneFile(dir.filePath("in.jpg"), dir.filePath("out.jpg"), kT, buffers);
        const QByteArray written = FileBytes(dir.filePath("out.jpg"));
        EXPECT_EQ(written, expectedOutput(source, kT)); // re-encoded even when the size stays
        const QImage output = DecodeJpeg(written, "out");
        EXPECT_EQ(output.size(), QSize(c.expectedWidth, c.expectedHeight));
        for (int y = 0; y < output.height(); ++y)
            for (int x = 0; x < output.width(); ++x)
                ASSERT_GT(qGray(output.pixel(x, y)), 20) << "dark pixel at " << x << "," << y;
    }
}

TEST(BatchBuffers, SameResultsInReusedMemory)
{
    QTemporaryDir dir;
    ShrinkBuffers buffers;
    const uchar *pixels = nullptr;
    const char *encoded = nullptr;
    for (const QSize size : {QSize(800, 600), QSize(97, 31), QSize(800, 600)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const QByteArray source = EncodeJpeg(photoLike(size.width(), size.height()), 90);
        PutFile(dir.filePath("in.jpg"), source);
        ReadFileInto(dir.filePath("in.jpg"), buffers.fileBytes);
        EXPECT_EQ(buffers.fileBytes, source);
        const QImage decoded = DecodeJpegInto(buffers.fileBytes, "in", buffers.pixels);
        EXPECT_EQ(decoded, DecodeJpeg(source, "in"));
        EncodeJpegInto(decoded, 90, buffers.encoded);
        EXPECT_EQ(buffers.encoded, EncodeJpeg(decoded, 90));
        if (pixels) { // the first picture was the largest: no new memory after it
            EXPECT_EQ(buffers.pixels.data(), pixels);
            EXPECT_EQ(buffers.encoded.constData(), encoded);
        }
        pixels = buffers.pixels.data();
        encoded = buffers.encoded.constData();
    }
}

TEST(ShrinkOneFile, DamagedSourceNamesItAndWritesNothing)
{
    QTemporaryDir dir;
    const QByteArray whole = EncodeJpeg(photoLike(64, 64), 90);
    PutFile(dir.filePath("cut.jpg"), whole.left(whole.size() / 2));
    ShrinkBuffers buffers;
    try {
        ShrinkOneFile(dir.filePath("cut.jpg"), dir.filePath("out.jpg"), kT, buffers);
        FAIL() << "no Failure";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().contains(dir.filePath("cut.jpg"))) << failure.what();
    }
    EXPECT_EQ(namesIn(dir.path()), QStringList{"cut.jpg"});
}

// Also a name that is not UTF-8 (CP932 from another system): it was listed with replacement
// characters, then failed as "not found" (mistake).
TEST_F(ShrinkRunTest, NamesKeptByteForByte)
{
    putPicture("Photo.JPG", 400, 300);
    putPicture("写真 1.jpg", 300, 400);
    putPicture("note.png", 30, 30); // no row for png
    const QByteArray cp932 = "\x8e\xca\x90\x5e.jpg";
    WriteFileAtomically(src(DecodePath(cp932)), EncodeJpeg(photoLike(200, 100), 95));
    const ShrinkResult result = run();
    EXPECT_EQ(result.filesFound, 3);
    EXPECT_EQ(result.filesWritten, 3);
    EXPECT_TRUE(result.failures.isEmpty()) << result.failures.join('\n').toStdString();
    EXPECT_EQ(namesIn(m_job.destinationFolder), (QStringList{"Photo.JPG", "写真 1.jpg"}));
    EXPECT_EQ(FileBytes(dst("写真 1.jpg")), expectedOutput(FileBytes(src("写真 1.jpg")), kT));
    const QStringList written = ListFolder(m_job.destinationFolder, "*.jpg");
    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(EncodePath(written[1]), EncodePath(m_job.destinationFolder) + cp932);
}

TEST_F(ShrinkRunTest, FileMatchingTwoRowsIsDoneOnce)
{
    PutFile(m_job.extensionsFile, jpegDat({"jpg", "JPG", "jpg"}));
    putPicture("a.jpg", 400, 300);
    m_job.destinationFolder = m_job.sourceFolder; // a second pass would shrink its own output
    const QByteArray once = expectedOutput(FileBytes(src("a.jpg")), kT);
    const ShrinkResult result = run();
    EXPECT_EQ(result.filesFound, 1);
    EXPECT_EQ(result.filesWritten, 1);
    EXPECT_EQ(FileBytes(src("a.jpg")), once);
}

TEST_F(ShrinkRunTest, DestinationIsSourceReplacesOriginals)
{
    putPicture("a.jpg", 800, 600);
    putPicture("b.jpg", 200, 100);
    putPicture("c.png", 40, 40);
    const QByteArray a = FileBytes(src("a.jpg")), b = FileBytes(src("b.jpg"));
    const QByteArray png = FileBytes(src("c.png"));
    m_job.destinationFolder = m_job.sourceFolder;
    EXPECT_EQ(run().filesWritten, 2);
    EXPECT_EQ(FileBytes(src("a.jpg")), expectedOutput(a, kT));
    EXPECT_EQ(FileBytes(src("b.jpg")), expectedOutput(b, kT));
    EXPECT_EQ(FileBytes(src("c.png")), png);
    EXPECT_EQ(namesIn(m_job.sourceFolder), (QStringList{"a.jpg", "b.jpg", "c.png"}));
}

TEST_F(ShrinkRunTest, UnreadableFilesSkippedOthersWritten)
{
    putPicture("a.jpg", 400, 300);
    PutFile(src("b.jpg"), "not a picture");
    const QByteArray whole = EncodeJpeg(photoLike(300, 200), 90);
    PutFile(src("c.jpg"), whole.left(whole.size() / 2));
    putPicture("d.jpg", 300, 400);
    PutFile(dst("b.jpg"), "an older output"); // kept: nothing replaces it
    const ShrinkResult result = run();
    EXPECT_EQ(result.filesFound, 4);
    EXPECT_EQ(result.filesWritten, 2);
    ASSERT_EQ(result.failures.size(), 2);
    EXPECT_TRUE(result.failures[0].contains(src("b.jpg"))) << result.failures[0].toStdString();
    EXPECT_TRUE(result.failures[1].contains(src("c.jpg"))) << result.failures[1].toStdString();
    EXPECT_EQ(namesIn(m_job.destinationFolder), (QStringList{"a.jpg", "b.jpg", "d.jpg"}));
    EXPECT_EQ(FileBytes(dst("b.jpg")), "an older output");
}

TEST_F(ShrinkRunTest, UnwritableTargetSkippedAndCleanedUp)
{
    putPicture("a.jpg", 400, 300);
    putPicture("b.jpg", 400, 300);
    ASSERT_TRUE(QDir(m_job.destinationFolder).mkpath("a.jpg/inside")); // rename cannot replace it
    const ShrinkResult result = run();
    EXPECT_EQ(result.filesWritten, 1);
    ASSERT_EQ(result.failures.size(), 1);
    EXPECT_TRUE(result.failures[0].contains(dst("a.jpg"))) << result.failures[0].toStdString();
    EXPECT_EQ(namesIn(m_job.destinationFolder), (QStringList{"a.jpg", "b.jpg"})); // no temporary
}

TEST_F(ShrinkRunTest, MissingExtensionFileWritesNothing)
{
    putPicture("a.jpg", 400, 300);
    QFile::remove(m_job.extensionsFile);
    bool started = false;
    try {
        RunShrink(m_job, [&](int) { started = true; });
        FAIL() << "no Failure";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().contains(m_job.extensionsFile)) << failure.what();
    }
    EXPECT_FALSE(started);
    EXPECT_TRUE(namesIn(m_job.destinationFolder).isEmpty());
}

TEST_F(ShrinkRunTest, NothingFoundEndsAtOnce)
{
    putPicture("a.jpeg", 40, 30); // only jpg is listed
    const ShrinkResult result = run();
    EXPECT_EQ(result.filesFound, 0);
    EXPECT_EQ(result.filesWritten, 0);
    EXPECT_TRUE(namesIn(m_job.destinationFolder).isEmpty());
}

TEST_F(ShrinkRunTest, FoldersWithoutTrailingSlash)
{
    putPicture("a.jpg", 400, 300);
    // A writer killed before renaming left this; the run cleans it up (mistake: kept forever).
    PutFile(dst(".mokaran-999999999-x1.tmp"), "partial");
    m_job.sourceFolder.chop(1);
    m_job.destinationFolder.chop(1);
    EXPECT_EQ(run().filesWritten, 1);
    EXPECT_EQ(namesIn(m_root.path() + "/dst"), QStringList{"a.jpg"});
}

// Mistake: after the disk filled up, every remaining file was still decoded and shrunk, each to
// fail the same way, and the user was not told why. A disk of its own fills up here.
TEST_F(ShrinkRunTest, FullDiskStopsTheRunAndSaysSo)
{
    for (int i = 0; i < 8; ++i)
        putPicture(QStringLiteral("p%1.jpg").arg(i), 600, 600, i);
    const int result = WithSmallDisk(m_job.destinationFolder, 12, [&] {
        const ShrinkResult shrunk = RunShrink(m_job);
        const int tried = shrunk.filesWritten + int(shrunk.failures.size());
        const bool saysSo = shrunk.stopped.contains(QStringLiteral("ディスクがいっぱい")) &&
                            shrunk.stopped.contains(QString::number(shrunk.filesFound - tried));
        return shrunk.failures.size() == 1 && tried < shrunk.filesFound && saysSo ? 0 : 1;
    });
    if (result == kChildCannotRun)
        GTEST_SKIP() << "no private memory file system can be mounted here";
    EXPECT_EQ(result, 0);
}

TEST_F(ShrinkRunTest, RefusedJobs)
{
    putPicture("a.jpg", 40, 30);
    ShrinkJob noTarget = m_job;
    noTarget.destinationFolder.clear();
    ShrinkJob missingTarget = m_job;
    missingTarget.destinationFolder = m_root.path() + "/none/";
    ShrinkJob zeroWidth = m_job;
    zeroWidth.longerSide = 0;
    for (const ShrinkJob &job : {noTarget, missingTarget, zeroWidth})
        EXPECT_THROW(RunShrink(job), Failure) << job.destinationFolder.toStdString();
    EXPECT_TRUE(namesIn(m_job.destinationFolder).isEmpty());
}

TEST_F(ShrinkRunTest, TwoWorkersGiveWhatOneGives)
{
    PutFile(m_job.extensionsFile, jpegDat({"jpg", "jpeg", "JPG"}));
    const QList<QSize> sizes = {{1200, 900}, {90, 160},   {640, 480}, {333, 777},
                                {200, 150},  {1000, 200}, {150, 90},  {512, 512}};
    for (int i = 0; i < sizes.size(); ++i)
        putPicture(QStringLiteral("p%1.%2").arg(i).arg(i % 3 ? "jpg" : "jpeg"), sizes[i].width(),
                   sizes[i].height(), i);
    PutFile(src("broken.jpg"), "broken");
    m_job.workers = 1;
    const ShrinkResult one = run();
    m_job.destinationFolder = m_root.path() + "/dst2/";
    QDir().mkpath(m_job.destinationFolder);
    m_job.workers = 2;
    const ShrinkResult two = run();
    EXPECT_EQ(one.filesFound, 9); // 3 .jpeg, 5 .jpg and the broken file, each once
    EXPECT_EQ(two.filesFound, one.filesFound);
    EXPECT_EQ(two.filesWritten, one.filesWritten);
    EXPECT_EQ(two.failures, one.failures);
    const QStringList names = namesIn(m_root.path() + "/dst/");
    EXPECT_EQ(names.size(), 8);
    EXPECT_EQ(namesIn(m_job.destinationFolder), names);
    for (const QString &name : names)
        EXPECT_EQ(FileBytes(m_job.destinationFolder + name),
                  FileBytes(m_root.path() + "/dst/" + name))
            << name.toStdString();
}

// ---------------------------------------------------------------------------------------------
// The worker thread

struct Reports {
    std::vector<int> maximum;
    std::vector<int> progress;
    int finished = 0;
    int written = -1;
    QStringList failures;
    QString fatal;
};

// Starts a worker for job and runs an event loop until the worker has deleted itself.
Reports runThread(const ShrinkJob &job)
{
    Reports reports;
    QEventLoop loop;
    QPointer<ShrinkWorker> worker = new ShrinkWorker(job);
    // The loop lives on this thread: the reports arrive queued, here.
    QObject::connect(worker, &ShrinkWorker::progressMaximum, &loop,
                     [&](int total) { reports.maximum.push_back(total); });
    QObject::connect(worker, &ShrinkWorker::progressed, &loop,
                     [&](int done) { reports.progress.push_back(done); });
    QObject::connect(worker, &ShrinkWorker::finishedRun, &loop,
                     [&](int written, const QStringList &failures, const QString &fatal) {
                         ++reports.finished;
                         reports.written = written;
                         reports.failures = failures;
                         reports.fatal = fatal;
                     });
    QObject::connect(worker, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit); // a hung worker fails, not blocks
    worker->start();
    loop.exec();
    EXPECT_TRUE(worker.isNull()) << "the worker did not delete itself";
    return reports;
}

TEST_F(ShrinkRunTest, WorkerThreadSignals)
{
    int argc = 1;
    char name[] = "test_shrink";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    putPicture("a.jpg", 400, 300);
    putPicture("b.jpg", 300, 400);
    PutFile(src("c.jpg"), "broken");
    putPicture("d.jpg", 100, 100);
    m_job.workers = 0;
    const Reports done = runThread(m_job);
    EXPECT_EQ(done.maximum, std::vector<int>{4});
    EXPECT_EQ(done.progress, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(done.finished, 1);
    EXPECT_EQ(done.written, 3);
    ASSERT_EQ(done.failures.size(), 1);
    EXPECT_TRUE(done.failures[0].contains(src("c.jpg")));
    EXPECT_TRUE(done.fatal.isEmpty()) << done.fatal.toStdString();

    QFile::remove(m_job.extensionsFile);
    const Reports fatal = runThread(m_job);
    EXPECT_TRUE(fatal.maximum.empty());
    EXPECT_TRUE(fatal.progress.empty());
    EXPECT_EQ(fatal.finished, 1);
    EXPECT_EQ(fatal.written, 0);
    EXPECT_TRUE(fatal.fatal.contains(m_job.extensionsFile)) << fatal.fatal.toStdString();
}

} // namespace
