// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog's formats: PNG frames, an animation or a sprite sheet instead of BMP files, the
// format following the save dialog's filter; the whole picture saved as PNG or WebP.
#include "core/animation/animation.h"
#include "core/base/atomic_file.h"
#include "core/sequence/mixing.h"
#include "pictures.h"
#include "windows/application.h"
#include "windows/canvas_widget.h"
#include "windows/frame_placing.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/output_dialog.h"
#include "windows/preview_player.h"
#include "windows/program_folder.h"

#include <QCheckBox>
#include <QDir>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

namespace {

struct Program {
    ProgramFolder folder{"A\r\n16\r\n16\r\n"};
    std::unique_ptr<MainWindow> form = std::make_unique<MainWindow>(folder.paths());
    Program()
    {
        form->show();
        form->takeNewPicture(Numbered(100, 60));
        SetCutSize(*form, {40, 30});
    }
    QString file(const QString &name) const { return folder.file(name); }
    OutputDialog *output() const { return Control<OutputDialog>(form.get(), "OutputDialog"); }
    template <typename T> T *control(const char *name) const { return Control<T>(output(), name); }
};

QStringList filesIn(const QString &folder, const QString &pattern)
{
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
}

} // namespace

class TestOutputFormats : public QObject {
    Q_OBJECT

  private slots:
    void choicesReachTheFilesWritten();
    void wholePictureSavesAsPngAndWebp();
    void previewPlaysTheFramesThatWouldBeWritten();
    void spritesFoundPackedAndGridGuessed();
    void fadeThroughTransparencyFollowsTheFilterChosen();
    void aCutOntoThePictureItselfIsRefused();
    void anAnimationPlaysAndIsCutIntoAnimatedTiles();
};

// Each choice must reach what is written: catches the frames dialog's filter not deciding BMP or
// PNG, the delay, ping-pong or format of an animation dropped on the way to the order, a sheet's
// columns ignored, and a single cut saved as BMP bytes under a PNG filter.
void TestOutputFormats::choicesReachTheFilesWritten()
{
    Program p;
    const struct {
        void (MainWindow::*command)();
        const char *kind;   // radio of the output section
        const char *dialog; // the save dialog that follows
        const char *typed;
        int filter;
    } rows[] = {
        {&MainWindow::saveSequence, "filesRadio", "framesSaveDialog", "walk", 1},
        {&MainWindow::saveSequence, "animationRadio", "animationSaveDialog", "walk", 0},
        {&MainWindow::saveFade, "sheetRadio", "sheetSaveDialog", "fade", 0},
        {&MainWindow::saveCut, "filesRadio", "cutSaveDialog", "cut", 1},
    };
    for (const auto &row : rows) {
        ModalScript script;
        script
            .then(QStringLiteral("OutputDialog"),
                  [&](QWidget *) {
                      p.control<QRadioButton>(row.kind)->click();
                      p.control<QSpinBox>("delaySpin")->setValue(50);
                      p.control<QCheckBox>("pingPongCheck")->setChecked(true);
                      p.control<QSpinBox>("columnsSpin")->setValue(7);
                      QTimer::singleShot(0, p.control<QPushButton>("saveButton"),
                                         &QPushButton::click);
                  })
            .then(QLatin1String(row.dialog), [&](QWidget *m) {
                AcceptFile(m, p.file(QLatin1String(row.typed)), row.filter);
                // A run of frames keeps the dialog open: close it once the run is over.
                if (QLatin1String(row.dialog) != QLatin1String("cutSaveDialog"))
                    WhenReady([&] { return !p.control<QLabel>("statusLabel")->text().isEmpty(); },
                              [&] { p.control<QPushButton>("closeButton")->click(); });
            });
        (p.form.get()->*row.command)();
        QTRY_VERIFY(script.done());
    }
    const QString folder = p.folder.dir.path();
    QCOMPARE(filesIn(folder, "walk*"), (QStringList{"walk.gif", "walk001.png", "walk002.png",
                                                    "walk003.png", "walk004.png", "walk005.png"}));
    QCOMPARE(QImageReader(p.file("walk005.png")).format(), QByteArray("png"));
    QCOMPARE(PixelsOf(p.file("walk005.png")), Numbered(100, 60).copy(60, 0, 40, 30));

    QImageReader gif(p.file("walk.gif"));
    QCOMPARE(gif.imageCount(), 8); // five positions forward, three back
    QVERIFY(!gif.read().isNull());
    QCOMPARE(gif.nextImageDelay(), 50); // the delay after the frame read
    QCOMPARE(gif.loopCount(), -1);

    QCOMPARE(filesIn(folder, "fade*"), (QStringList{"fade.json", "fade.png"}));
    QCOMPARE(QImage(p.file("fade.png")).size(), QSize(7 * 40, 3 * 30)); // 21 frames, 7 a row
    const QJsonObject frames =
        QJsonDocument::fromJson([&] {
            QFile json(p.file("fade.json"));
            return json.open(QIODevice::ReadOnly) ? json.readAll() : QByteArray();
        }())
            .object()["frames"]
            .toObject();
    QCOMPARE(frames.size(), kMixFrames);

    QCOMPARE(QImageReader(p.file("cut.png")).format(), QByteArray("png"));
    QCOMPARE(PixelsOf(p.file("cut.png")), Numbered(100, 60).copy(0, 0, 40, 30));
}

// Catches a filter index mapped to the wrong writer and a transparent picture flattened on its
// way to a format that holds alpha.
void TestOutputFormats::wholePictureSavesAsPngAndWebp()
{
    Program p;
    QImage seeThrough(30, 20, QImage::Format_ARGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            seeThrough.setPixel(x, y, qRgba(x * 8, y * 12, 77, x < 10 ? 0 : x < 20 ? 128 : 255));
    p.form->takeNewPicture(seeThrough);
    for (const int filter : {2, 3}) {
        ModalScript script;
        script.then(QStringLiteral("pictureSaveDialog"),
                    [&](QWidget *m) { AcceptFile(m, p.file(QStringLiteral("whole")), filter); });
        p.form->savePicture();
        QVERIFY(script.done());
        const QString written = p.file(filter == 2 ? "whole.png" : "whole.webp");
        QImageReader reader(written);
        QCOMPARE(reader.format(), filter == 2 ? QByteArray("png") : QByteArray("webp"));
        const QImage back = reader.read().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < 20; ++y)
            for (int x = 10; x < 30; ++x) // the fully transparent part may hold any colour
                QCOMPARE(back.pixel(x, y), seeThrough.pixel(x, y));
        QCOMPARE(qAlpha(back.pixel(0, 0)), 0);
    }
}

// ▶ must show the frames the save would write, in order, starting at once, and ■ the cut again.
// Catches a player that shows the cut only, steps the wrong way, ignores ping-pong, or keeps
// playing after ■.
void TestOutputFormats::previewPlaysTheFramesThatWouldBeWritten()
{
    Program p;
    const QImage picture = Numbered(100, 60);
    const auto shownFrame = [&] {
        return p.control<PreviewPlayer>("previewArea")
            ->shown()
            .convertToFormat(QImage::Format_BGR888);
    };
    ModalScript script;
    script.then(QStringLiteral("OutputDialog"), [&](QWidget *) {
        // Closed whatever happens below, so a failed check cannot leave the dialog open.
        QTimer::singleShot(8000, p.control<QPushButton>("closeButton"), &QPushButton::click);
        p.control<QRadioButton>("animationRadio")->click();
        p.control<QCheckBox>("pingPongCheck")->setChecked(true);
        p.control<QSpinBox>("delaySpin")->setValue(300);
        p.control<QPushButton>("playButton")->click();
        // The first frame is there at once, before any tick; then each tick shows the next one,
        // forward to the last position and back without repeating the ends.
        QCOMPARE(shownFrame(), picture.copy(0, 0, 40, 30));
        for (const int x : {15, 30, 45, 60, 45, 30, 15, 0, 15})
            QTRY_COMPARE_WITH_TIMEOUT(shownFrame(), picture.copy(x, 0, 40, 30), 2000);
        p.control<QPushButton>("stopButton")->click();
        QCOMPARE(shownFrame(), picture.copy(0, 0, 40, 30));
        QVERIFY(!Control<QTimer>(p.output(), "playTimer")->isActive());
        QTimer::singleShot(0, p.control<QPushButton>("closeButton"), &QPushButton::click);
    });
    p.form->saveSequence();
    QTRY_VERIFY_WITH_TIMEOUT(script.done(), 10000);
}

// Sprites on transparency found by 自動検出 and packed into an atlas, then the grid of a sheet
// guessed in the cut-size dialog. Catches the count or the boxes not reaching the dialog and the
// canvas, boxes left on the canvas after the dialog closes, the atlas written without its JSON or
// with frames other than the boxes, and a guessed grid that sets the size but not the frame's
// corner, the gaps or 格子 for the next run.
void TestOutputFormats::spritesFoundPackedAndGridGuessed()
{
    Program p;
    const std::vector<QRect> sprites{{5, 5, 10, 12}, {40, 8, 20, 10}, {80, 30, 15, 20}};
    QImage sheet(120, 60, QImage::Format_ARGB32);
    sheet.fill(Qt::transparent);
    for (const QRect &box : sprites)
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                sheet.setPixel(x, y, qRgba(x * 2, y * 4, 200, 255));
    p.form->takeNewPicture(sheet);
    const auto *canvas = Control<CanvasWidget>(p.form.get(), "canvas");
    ModalScript script;
    script
        .then(QStringLiteral("OutputDialog"),
              [&](QWidget *) {
                  p.control<QRadioButton>("autoRadio")->click();
                  QCOMPARE(p.control<QLabel>("spriteCountLabel")->text(),
                           QStringLiteral("スプライト: 3 個"));
                  QCOMPARE(canvas->boxes(), sprites);
                  p.control<QRadioButton>("atlasRadio")->click();
                  QTimer::singleShot(0, p.control<QPushButton>("saveButton"), &QPushButton::click);
              })
        .then(QStringLiteral("sheetSaveDialog"), [&](QWidget *m) {
            AcceptFile(m, p.file(QStringLiteral("atlas")), 0);
            WhenReady([&] { return !p.control<QLabel>("statusLabel")->text().isEmpty(); },
                      [&] { p.control<QPushButton>("closeButton")->click(); });
        });
    p.form->saveSequence();
    QTRY_VERIFY(script.done());
    QVERIFY(canvas->boxes().empty());
    QFile json(p.file("atlas.json"));
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QJsonObject frames =
        QJsonDocument::fromJson(json.readAll()).object()["frames"].toObject();
    QCOMPARE(frames.size(), 3);
    const QImage atlas = PixelsOf(p.file("atlas.png"), QImage::Format_ARGB32);
    for (int k = 0; k < 3; ++k) {
        const QJsonObject at =
            frames[QStringLiteral("atlas%1.png").arg(k + 1, 3, 10, QLatin1Char('0'))]
                .toObject()["frame"]
                .toObject();
        const QRect rect(at["x"].toInt(), at["y"].toInt(), at["w"].toInt(), at["h"].toInt());
        QCOMPARE(atlas.copy(rect), sheet.copy(sprites[size_t(k)]));
    }

    // Tiles of 20 x 16 from (4, 3), 2 pixels apart across and 3 down, each filling its cell.
    QImage grid(4 + 3 * 22, 3 + 2 * 19, QImage::Format_ARGB32);
    grid.fill(Qt::transparent);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 20; ++x)
                    grid.setPixel(4 + column * 22 + x, 3 + row * 19 + y, qRgb(250, 10 * x, 9));
    p.form->takeNewPicture(grid);
    QWidget *sizeDialog = Control<QWidget>(p.form.get(), "CutSizeDialog");
    ModalScript guess;
    guess.then(QStringLiteral("CutSizeDialog"), [&](QWidget *) {
        Control<QPushButton>(sizeDialog, "guessGridButton")->click();
        Control<QPushButton>(sizeDialog, "okButton")->click();
    });
    p.form->chooseCutSize();
    QVERIFY(guess.done());
    QCOMPARE(p.form->frame().rect(), QRect(4, 3, 20, 16));
    ModalScript next;
    next.then(QStringLiteral("OutputDialog"), [&](QWidget *) {
        QVERIFY(p.control<QRadioButton>("gridRadio")->isChecked());
        QCOMPARE(p.control<QSpinBox>("gridGapXSpin")->value(), 2);
        QCOMPARE(p.control<QSpinBox>("gridGapYSpin")->value(), 3);
        p.control<QPushButton>("closeButton")->click();
    });
    p.form->saveSequence();
    QVERIFY(next.done());
}

// A fade of a picture with transparency fades its opacity in PNG files and over white in BMP:
// catches the frames mixed for BMP, as the format radio said, written after the save dialog's
// filter chose PNG.
void TestOutputFormats::fadeThroughTransparencyFollowsTheFilterChosen()
{
    Program p;
    QImage seeThrough(100, 60, QImage::Format_ARGB32);
    seeThrough.fill(qRgba(200, 40, 90, 255));
    seeThrough.setPixel(0, 0, qRgba(0, 0, 0, 0));
    p.form->takeNewPicture(seeThrough);
    ModalScript script;
    script
        .then(QStringLiteral("OutputDialog"),
              [&](QWidget *) {
                  p.control<QRadioButton>("filesRadio")->click();
                  QTimer::singleShot(0, p.control<QPushButton>("saveButton"), &QPushButton::click);
              })
        .then(QStringLiteral("framesSaveDialog"), [&](QWidget *m) {
            AcceptFile(m, p.file(QStringLiteral("fade")), 1); // PNG, the radio still on BMP
            WhenReady([&] { return !p.control<QLabel>("statusLabel")->text().isEmpty(); },
                      [&] { p.control<QPushButton>("closeButton")->click(); });
        });
    p.form->saveFade();
    QTRY_VERIFY(script.done());
    QCOMPARE(qAlpha(PixelsOf(p.file("fade001.png"), QImage::Format_ARGB32).pixel(10, 10)), 0);
    QCOMPARE(PixelsOf(p.file("fade021.png"), QImage::Format_ARGB32).pixel(10, 10),
             qRgba(200, 40, 90, 255));
}

// Saving the cut under the name of the picture being cut would replace it: catches the window
// writing it (after asking only whether to replace) where the command line refuses.
void TestOutputFormats::aCutOntoThePictureItselfIsRefused()
{
    Program p;
    const QString source = p.file(QStringLiteral("source.png"));
    QVERIFY(Numbered(100, 60).save(source));
    const QByteArray before = [&] {
        QFile file(source);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    p.form->takeNewPicture(Numbered(100, 60), source);
    QString said;
    ModalScript script;
    script
        .then(QStringLiteral("OutputDialog"),
              [&](QWidget *) {
                  QTimer::singleShot(0, p.control<QPushButton>("saveButton"), &QPushButton::click);
              })
        .then(QStringLiteral("cutSaveDialog"), [&](QWidget *m) { AcceptFile(m, source, 1); })
        .then(QStringLiteral("QMessageBox"), [&](QWidget *box) {
            said = qobject_cast<QMessageBox *>(box)->text();
            box->close();
            QTimer::singleShot(0, p.control<QPushButton>("closeButton"), &QPushButton::click);
        });
    p.form->saveCut();
    QTRY_VERIFY(script.done());
    QVERIFY2(!said.isEmpty() && !said.contains(QStringLiteral("上書きしますか")), qPrintable(said));
    QFile file(source);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

// An animated GIF opened in the window: the frame bar under it, and its cut and its tiles saved
// as animations of every frame with the file's delays. Catches the first frame read alone, a bar
// that does not follow the frame shown, the 間隔 box overriding the file's delays, and tiles
// saved as still pictures of the frame shown.
void TestOutputFormats::anAnimationPlaysAndIsCutIntoAnimatedTiles()
{
    Program p;
    AnimationOptions options;
    const std::unique_ptr<AnimationEncoder> encoder = MakeAnimationEncoder({64, 64}, options);
    for (int f = 0; f < 3; ++f) {
        QImage frame(64, 64, kPictureFormat);
        frame.fill(QColor(80 * f, 200 - 60 * f, 30));
        for (int y = 0; y < 64; y += 8)
            for (int x = (y / 8 + f) % 2 * 8; x < 64; x += 16)
                frame.setPixelColor(x, y, Qt::white);
        encoder->add(frame, 40 * (f + 1));
    }
    const QString animation = p.file(QStringLiteral("walk.gif"));
    WriteFileAtomically(animation, encoder->finish());
    p.form->openPicture(animation);
    QCOMPARE(p.form->document().frames().size(), 3u);
    auto *bar = Control<QWidget>(p.form.get(), "frameBar");
    QVERIFY(bar->isVisible());
    Control<QSlider>(bar, "frameSlider")->setValue(2);
    QCOMPARE(p.form->document().shownFrame(), 2);
    QCOMPARE(Control<QLabel>(bar, "frameReadout")->text(), QStringLiteral("フレーム 3 / 3"));

    SetCutSize(*p.form, {32, 32});
    ModalScript tiles;
    tiles
        .then(QStringLiteral("OutputDialog"),
              [&](QWidget *) {
                  p.control<QRadioButton>("gridRadio")->click();
                  p.control<QRadioButton>("animationRadio")->click();
                  QVERIFY(p.control<QSpinBox>("delaySpin")->isHidden());
                  QTimer::singleShot(0, p.control<QPushButton>("saveButton"), &QPushButton::click);
              })
        .then(QStringLiteral("animationSaveDialog"), [&](QWidget *m) {
            AcceptFile(m, p.file(QStringLiteral("tile")), 0);
            WhenReady([&] { return !p.control<QLabel>("statusLabel")->text().isEmpty(); },
                      [&] { p.control<QPushButton>("closeButton")->click(); });
        });
    p.form->saveSequence();
    QTRY_VERIFY(tiles.done());
    QCOMPARE(filesIn(p.file({}), QStringLiteral("tile*")),
             (QStringList{"tile001.gif", "tile002.gif", "tile003.gif", "tile004.gif"}));
    QImageReader tile(p.file(QStringLiteral("tile004.gif")));
    for (int f = 0; f < 3; ++f) {
        const QImage frame = tile.read().convertToFormat(kPictureFormat);
        QCOMPARE(frame, p.form->document().frames()[size_t(f)].copy(32, 32, 32, 32));
        QCOMPARE(tile.nextImageDelay(), 40 * (f + 1));
    }
    QVERIFY(!tile.canRead());

    ModalScript cut;
    cut.then(QStringLiteral("OutputDialog"),
             [&](QWidget *) {
                 QVERIFY(p.control<QRadioButton>("animationRadio")->isChecked());
                 p.control<QRadioButton>("webpRadio")->click();
                 QTimer::singleShot(0, p.control<QPushButton>("saveButton"), &QPushButton::click);
             })
        .then(QStringLiteral("animationSaveDialog"), [&](QWidget *m) {
            AcceptFile(m, p.file(QStringLiteral("cut")), 1);
            WhenReady([&] { return !p.control<QLabel>("statusLabel")->text().isEmpty(); },
                      [&] { p.control<QPushButton>("closeButton")->click(); });
        });
    p.form->saveCut();
    QTRY_VERIFY(cut.done());
    QCOMPARE(QImageReader(p.file(QStringLiteral("cut.webp"))).imageCount(), 3);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestOutputFormats test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_output_formats.moc"
