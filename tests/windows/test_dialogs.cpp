// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands with their dialogs: import, cut size, save and sequences, save of the
// whole picture, undo, about.
#include "core/base/app_paths.h"
#include "core/image/picture_reading.h"
#include "core/image/plugin_reading.h"
#include "core/sequence/frame_runs.h"
#include "core/sequence/mixing.h"
#include "pictures.h"
#include "windows/application.h"
#include "windows/clamping_spin_box.h"
#include "windows/file_dialogs.h"
#include "windows/frame_placing.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/output_dialog.h"
#include "windows/preview_player.h"
#include "windows/program_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

QPushButton *button(const QObject *dialog, const char *name)
{
    return Control<QPushButton>(dialog, name);
}

QRadioButton *radio(const QObject *dialog, const char *name)
{
    return Control<QRadioButton>(dialog, name);
}

struct Program {
    ProgramFolder folder;
    QTemporaryDir &dir = folder.dir;
    std::unique_ptr<MainWindow> form;

    explicit Program(
        const QByteArray &presets = "A\r\n16\r\n16\r\n\r\n0\r\n0\r\nSVGA\r\n800\r\n600\r\n")
        : folder(presets)
    {
        form = std::make_unique<MainWindow>(folder.paths());
        form->show();
    }
    QString file(const QString &name) const { return folder.file(name); }
    QWidget *dialog(const char *name) const { return Control<QDialog>(form.get(), name); }
    QLineEdit *importPath() const
    {
        return Control<QLineEdit>(dialog("ImportDialog"), "pathField");
    }
    OutputDialog *output() const { return Control<OutputDialog>(form.get(), "OutputDialog"); }

    // Loads a picture through the import dialog as a user would (the field already chosen).
    void load(const QImage &picture, const QString &name = QStringLiteral("picture.bmp"))
    {
        QVERIFY(picture.save(file(name)));
        importPath()->setText(file(name));
        ModalScript script;
        script.then(QStringLiteral("ImportDialog"),
                    pressLater(button(dialog("ImportDialog"), "takeButton")));
        form->loadPicture();
    }
};

QStringList bmpFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

  private slots:
    void importBrowsesPreviewsAndTakesTheWorkingPicture();
    void importOfAnUnreadableFileKeepsThePicture();
    void importSaysWhatToDoInsteadOfDoingNothing();
    void importAsCompositingPicturePadsWhite();
    void cutSizeDialogLimitsAndPresets();
    void outputDialogShowsWhatEachModeNeeds();
    void continuousModeResetsStepAndDirection();
    void cutSizeStepFollowsTheDirection();
    void singleCutCancelClosesAndWritesNothing();
    void singleCutWritesTheCut();
    void continuousCutWritesEveryPositionAndReturns();
    void continuousCutAtTheEdgeSavesOneFile();
    void failedSequenceKeepsTheDialogAndTheFrame();
    void fadeWritesTwentyOneFrames();
    void framesReplaceFilesOnlyAfterOneQuestion();
    void savePictureAddsTheExtensionOnlyWhenMissing();
    void undoReturnsToTheLoadedPicture();
    void aboutShowsTheVersion();
};

void TestDialogs::importBrowsesPreviewsAndTakesTheWorkingPicture()
{
    Program p;
    const QString jpeg = p.file(QStringLiteral("写真.JPG")); // capitals and a Japanese name
    const QImage picture = Numbered(320, 200);
    QVERIFY(picture.save(jpeg, "JPEG", 95));

    QWidget *import = p.dialog("ImportDialog");
    ModalScript script;
    script.then(QStringLiteral("ImportDialog"), pressLater(button(import, "browseButton")))
        .then(QStringLiteral("pictureOpenDialog"), [&](QWidget *m) { AcceptFile(m, jpeg); })
        .then(QStringLiteral("ImportDialog"), [&](QWidget *) {
            QCOMPARE(p.importPath()->text(), jpeg);
            QCOMPARE(Control<QLabel>(import, "previewLabel")->size(), QSize(320, 200));
            button(import, "takeButton")->click();
        });
    p.form->loadPicture();
    QVERIFY(script.done());

    const PictureDocument &document = p.form->document();
    QVERIFY(p.form->hasPicture());
    QCOMPARE(document.picture(), ReadJpeg(jpeg));
    QCOMPARE(document.loadedPicture(), document.picture());
    QCOMPARE(document.size(), QSize(320, 200));
    QCOMPARE(p.form->frame().size(), QSize(100, 100));
    QVERIFY(button(p.form.get(), "saveCutButton")->isEnabled());
    QCOMPARE(Control<QLabel>(p.form.get(), "pictureWidthLabel")->text(), QStringLiteral("320"));
}

void TestDialogs::importOfAnUnreadableFileKeepsThePicture()
{
    Program p;
    QFile broken(p.file(QStringLiteral("broken.jpg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("\xff\xd8\xff\xe0 not really a picture");
    broken.close();
    p.importPath()->setText(broken.fileName());

    QWidget *import = p.dialog("ImportDialog");
    bool stayedOpen = false;
    QString message;
    ModalScript script;
    script.then(QStringLiteral("ImportDialog"), pressLater(button(import, "takeButton")))
        .then(QStringLiteral("QMessageBox"), [&](QWidget *m) {
            message = qobject_cast<QMessageBox *>(m)->text();
            Cancel(m);
            QTimer::singleShot(0, [&] {
                stayedOpen = import->isVisible();
                button(import, "cancelButton")->click();
            });
        });
    p.form->loadPicture();
    QTRY_VERIFY(script.done());
    QVERIFY(stayedOpen);
    QVERIFY2(message.contains(QStringLiteral("broken.jpg")), qPrintable(message));
    QVERIFY(!p.form->hasPicture());
    QCOMPARE(p.form->document().picture().size(), QSize(200, 100));
}

// Each of these used to do nothing and say nothing; now each says what to do, and the dialog
// stays open with the workspace untouched. A typed path is shown on Return.
void TestDialogs::importSaysWhatToDoInsteadOfDoingNothing()
{
    Program p;
    QVERIFY(Numbered(30, 20).save(p.file(QStringLiteral("typed.bmp"))));
    QFile notes(p.file(QStringLiteral("notes.txt")));
    QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a picture") > 0);
    notes.close();
    QWidget *import = p.dialog("ImportDialog");
    const struct {
        const char *typed;
        bool pressReturn; // else 決定
        const char *said; // part of the message, or nullptr when the picture is shown
    } rows[] = {
        {"", false, "参照"},
        {"gone.bmp", false, "gone.bmp が見つかりません"},
        {"gone.bmp", true, "gone.bmp が見つかりません"},
        {"notes.txt", true, "画像ファイルを選んでください"},
        {"typed.bmp", true, nullptr},
    };
    for (const auto &row : rows) {
        const QString typed = *row.typed ? p.file(QString::fromLatin1(row.typed)) : QString();
        QString said;
        bool stayedOpen = false;
        ModalScript script;
        script.then(QStringLiteral("ImportDialog"), [&](QWidget *) {
            p.importPath()->setText(typed);
            if (!row.said) {
                QTest::keyClick(p.importPath(), Qt::Key_Return);
                QCOMPARE(Control<QLabel>(import, "previewLabel")->size(), QSize(30, 20));
                QTimer::singleShot(0, button(import, "cancelButton"), &QPushButton::click);
                return;
            }
            OnNextModal("QMessageBox", [&](QWidget *m) {
                said = qobject_cast<QMessageBox *>(m)->text();
                Cancel(m);
                QTimer::singleShot(0, [&] {
                    stayedOpen = import->isVisible();
                    button(import, "cancelButton")->click();
                });
            });
            if (row.pressReturn)
                QTimer::singleShot(0, [&] { QTest::keyClick(p.importPath(), Qt::Key_Return); });
            else
                QTimer::singleShot(0, button(import, "takeButton"), &QPushButton::click);
        });
        p.form->loadPicture();
        QTRY_VERIFY(script.done());
        if (row.said) {
            QTRY_VERIFY2(said.contains(QString::fromUtf8(row.said)), qPrintable(said));
            QVERIFY(stayedOpen);
        }
        QVERIFY(!p.form->hasPicture());
    }
}

void TestDialogs::importAsCompositingPicturePadsWhite()
{
    Program p;
    p.load(Numbered(300, 200));
    SetCutSize(*p.form, {120, 100});
    const QImage work = p.form->document().picture();
    QVERIFY(Numbered(100, 80).save(p.file(QStringLiteral("blend.bmp"))));
    p.importPath()->setText(p.file(QStringLiteral("blend.bmp")));
    // The picture in use is named beside the button; before one is chosen, the white it blends
    // with is named too (it used to be shown nowhere).
    auto *inUse = Control<QLabel>(p.output(), "blendPictureLabel");
    ModalScript script;
    script
        .then(QStringLiteral("OutputDialog"),
              [&](QWidget *) {
                  QCOMPARE(inUse->text(), QStringLiteral("合成用画像: 白"));
                  QTimer::singleShot(0, button(p.output(), "blendPictureButton"),
                                     &QPushButton::click);
              })
        .then(QStringLiteral("ImportDialog"),
              pressLater(button(p.dialog("ImportDialog"), "takeButton")))
        .then(QStringLiteral("OutputDialog"), [&](QWidget *) {
            // The import is placed once its dialog has closed: on a slow machine this step may
            // come first.
            QTRY_COMPARE(inUse->text(), QStringLiteral("合成用画像: blend.bmp"));
            QTimer::singleShot(0, button(p.output(), "closeButton"), &QPushButton::click);
        });
    p.form->saveBlend();
    QVERIFY(script.done());

    // The picture is kept as it was imported and fitted to the cut by the run: the last frame of
    // the blend is it, padded with white.
    QCOMPARE(p.form->document().blendPicture(), Numbered(100, 80));
    CutJob job;
    job.kind = CutKind::Blend;
    const QImage blend = MakeFrameRun(p.form->document(), p.form->frame(), job)->frame(kMixFrames);
    QCOMPARE(blend.size(), QSize(120, 100));
    QCOMPARE(blend.pixel(99, 79), Numbered(100, 80).pixel(99, 79));
    QCOMPARE(blend.pixel(100, 10), qRgb(255, 255, 255));
    QCOMPARE(blend.pixel(10, 80), qRgb(255, 255, 255));
    QCOMPARE(p.form->document().picture(), work);
}

void TestDialogs::cutSizeDialogLimitsAndPresets()
{
    Program p;
    QWidget *dialog = p.dialog("CutSizeDialog");
    auto *width = Control<ClampingSpinBox>(dialog, "widthSpin");
    auto *height = Control<ClampingSpinBox>(dialog, "heightSpin");
    auto *presets = Control<QComboBox>(dialog, "presetCombo");
    ModalScript script;
    script.then(QStringLiteral("CutSizeDialog"), [&](QWidget *) {
        QCOMPARE(width->maximum(), 1500);
        QCOMPARE(height->maximum(), 1500);
        QCOMPARE(width->minimum(), 3);
        QCOMPARE(presets->count(), 2); // the empty name is not listed
        QCOMPARE(presets->itemText(1), QStringLiteral("SVGA"));
        button(dialog, "closeButton")->click();
    });
    p.form->chooseCutSize();
    QVERIFY(script.done());
    QCOMPARE(p.form->frame().size().width(), 100);

    p.load(Numbered(640, 480));
    MoveFrame(*p.form, {50, p.form->frame().position().y()});
    ModalScript second;
    second.then(QStringLiteral("CutSizeDialog"), [&](QWidget *) {
        QCOMPARE(width->maximum(), 640);
        QCOMPARE(height->maximum(), 480);
        QCOMPARE(width->value(), 100);
        presets->setCurrentIndex(1);
        button(dialog, "okButton")->click();
    });
    p.form->chooseCutSize();
    QVERIFY(second.done());
    QCOMPARE(p.form->frame().size(), QSize(640, 480));
    QCOMPARE(p.form->frame().position().x(), 0);
    QCOMPARE(Control<QLabel>(p.form.get(), "cutWidthLabel")->text(), QStringLiteral("640"));

    // The choice survives. Typing a size while the preset is still chosen makes it a free size
    // (the preset used to win without a word); typed values are pulled into range; Return
    // applies the dialog.
    ModalScript third;
    third.then(QStringLiteral("CutSizeDialog"), [&](QWidget *) {
        QCOMPARE(presets->currentText(), QStringLiteral("SVGA"));
        QCOMPARE(presets->count(), 2); // not filled again
        width->findChild<QLineEdit *>()->selectAll();
        QTest::keyClicks(width->findChild<QLineEdit *>(), QStringLiteral("2"));
        QCOMPARE(presets->currentIndex(), -1);
        height->findChild<QLineEdit *>()->setText(QStringLiteral("9999"));
        QTimer::singleShot(0, [height] { QTest::keyClick(height, Qt::Key_Return); });
    });
    p.form->chooseCutSize();
    QVERIFY(third.done());
    QCOMPARE(p.form->frame().size(), QSize(3, 480));
}

void TestDialogs::outputDialogShowsWhatEachModeNeeds()
{
    Program p;
    p.load(Numbered(1000, 800));
    SetCutSize(*p.form, {200, 100});
    OutputDialog *d = p.output();
    struct Expect {
        void (MainWindow::*command)();
        QString title;
        bool steps, option, compositing;
        QString group, first, second;
    };
    const Expect rows[] = {
        {&MainWindow::saveCut, QStringLiteral("画像切り取り"), false, false, false, {}, {}, {}},
        {&MainWindow::saveBlend, QStringLiteral("アルファ合成"), false, true, true,
         QStringLiteral("オプション"), QStringLiteral("ノーマル"),
         QStringLiteral("白を透過させる")},
        {&MainWindow::saveFade, QStringLiteral("フェードアウト"), false, true, false,
         QStringLiteral("色を選択してください"), QStringLiteral("白"), QStringLiteral("黒")},
        {&MainWindow::saveSequence,
         QStringLiteral("連続画像切り取り"),
         true,
         false,
         false,
         {},
         {},
         {}},
    };
    for (const Expect &e : rows) {
        ModalScript script;
        script.then(QStringLiteral("OutputDialog"), [&](QWidget *) {
            QCOMPARE(Control<QLabel>(d, "titleLabel")->text(), e.title);
            QCOMPARE(Control<QGroupBox>(d, "stepBox")->isVisible(), e.steps);
            QCOMPARE(Control<QGroupBox>(d, "directionBox")->isVisible(), e.steps);
            QCOMPARE(Control<QGroupBox>(d, "optionBox")->isVisible(), e.option);
            QCOMPARE(button(d, "blendPictureButton")->isVisible(), e.compositing);
            if (e.option) {
                QCOMPARE(Control<QGroupBox>(d, "optionBox")->title(), e.group);
                QCOMPARE(radio(d, "firstOptionRadio")->text(), e.first);
                QCOMPARE(radio(d, "secondOptionRadio")->text(), e.second);
                QVERIFY(radio(d, "firstOptionRadio")->isChecked());
            }
            QCOMPARE(Control<PreviewPlayer>(d, "previewArea")
                         ->shown()
                         .convertToFormat(QImage::Format_BGR888),
                     p.form->document().picture().copy(0, 0, 200, 100));
            button(d, "closeButton")->click();
        });
        (p.form.get()->*e.command)();
        QVERIFY(script.done());
    }
}

void TestDialogs::continuousModeResetsStepAndDirection()
{
    Program p;
    p.load(Numbered(300, 200));
    OutputDialog *d = p.output();
    ModalScript script;
    script.then(QStringLiteral("OutputDialog"), [&](QWidget *) {
        radio(d, "step3Radio")->click();
        radio(d, "upRadio")->click();
        QCOMPARE(d->job().step, std::optional(3));
        QCOMPARE(d->job().direction, Direction::Up);
        button(d, "closeButton")->click();
    });
    p.form->saveSequence();
    ModalScript again;
    again.then(QStringLiteral("OutputDialog"), [&](QWidget *) {
        QVERIFY(radio(d, "step15Radio")->isChecked());
        QVERIFY(radio(d, "rightRadio")->isChecked());
        QCOMPARE(d->job().step, std::optional(15));
        QCOMPARE(d->job().direction, Direction::Right);
        button(d, "closeButton")->click();
    });
    p.form->saveSequence();
    QVERIFY(script.done() && again.done());
}

// The step of the cut's size is the run's to work out from the direction (the core's job table
// checks it); the dialog asks for it whichever was chosen first, and the grid for none.
void TestDialogs::cutSizeStepFollowsTheDirection()
{
    Program p;
    p.load(Numbered(900, 700));
    SetCutSize(*p.form, {300, 200});
    OutputDialog *d = p.output();
    ModalScript script;
    script.then(QStringLiteral("OutputDialog"), [&](QWidget *) {
        radio(d, "tileStepRadio")->click(); // amount first, direction right already chosen
        QCOMPARE(d->job().step, std::optional<int>());
        radio(d, "downRadio")->click();
        QCOMPARE(d->job().kind, CutKind::Continuous);
        QCOMPARE(d->job().direction, Direction::Down);
        radio(d, "step8Radio")->click();
        radio(d, "upRadio")->click(); // direction first, then the amount
        radio(d, "tileStepRadio")->click();
        QCOMPARE(d->job().step, std::optional<int>());
        QCOMPARE(d->job().direction, Direction::Up);
        radio(d, "gridRadio")->click();
        QCOMPARE(d->job().kind, CutKind::Grid);
        button(d, "closeButton")->click();
    });
    p.form->saveSequence();
    QVERIFY(script.done());
}

void TestDialogs::singleCutCancelClosesAndWritesNothing()
{
    Program p;
    p.load(Numbered(300, 200));
    ModalScript script;
    script.then(QStringLiteral("OutputDialog"), pressLater(button(p.output(), "saveButton")))
        .then(QStringLiteral("cutSaveDialog"), Cancel);
    p.form->saveCut();
    QVERIFY(script.done());
    QVERIFY(!p.output()->isVisible());
    QVERIFY(bmpFiles(p.dir.path()).contains(QStringLiteral("picture.bmp")));
    QCOMPARE(bmpFiles(p.dir.path()).size(), 1);
}

void TestDialogs::singleCutWritesTheCut()
{
    Program p;
    p.load(Numbered(300, 200));
    SetCutSize(*p.form, {40, 30});
    MoveFrame(*p.form, {10, 20});
    ModalScript script;
    script.then(QStringLiteral("OutputDialog"), pressLater(button(p.output(), "saveButton")))
        .then(QStringLiteral("cutSaveDialog"),
              [&](QWidget *m) { AcceptFile(m, p.file(QStringLiteral("cut"))); });
    p.form->saveCut();
    QVERIFY(script.done());
    const QImage cut = ReadBmp(p.file(QStringLiteral("cut.bmp"))); // ".bmp" added by the dialog
    QCOMPARE(cut.convertToFormat(QImage::Format_BGR888), Numbered(300, 200).copy(10, 20, 40, 30));
}

void TestDialogs::continuousCutWritesEveryPositionAndReturns()
{
    Program p;
    p.load(Numbered(100, 60));
    SetCutSize(*p.form, {40, 60});
    QDir(p.dir.path()).mkdir(QStringLiteral("anim"));
    ModalScript script;
    script.then(QStringLiteral("OutputDialog"), pressLater(button(p.output(), "saveButton")))
        .then(QStringLiteral("framesSaveDialog"),
              [&](QWidget *m) { AcceptFile(m, p.file(QStringLiteral("anim/walk"))); });
    script.then(QStringLiteral("OutputDialog"), [&](QWidget *) {
        // The dialog stays after the run and says what it wrote.
        auto *status = Control<QLabel>(p.output(), "statusLabel");
        WhenReady([status] { return !status->toolTip().isEmpty(); },
                  [&, status] {
                      QTimer::singleShot(0, button(p.output(), "closeButton"), &QPushButton::click);
                      QCOMPARE(status->toolTip(),
                               QStringLiteral("5 個のファイルを書き込みました: %1 ～ walk005.bmp")
                                   .arg(p.file(QStringLiteral("anim/walk001.bmp"))));
                  });
    });
    p.form->saveSequence();
    QVERIFY(script.done());
    const QStringList frames = bmpFiles(p.file(QStringLiteral("anim")));
    QCOMPARE(frames, (QStringList{"walk001.bmp", "walk002.bmp", "walk003.bmp", "walk004.bmp",
                                  "walk005.bmp"}));
    const QImage last = ReadBmp(p.file(QStringLiteral("anim/walk005.bmp")));
    QCOMPARE(last.convertToFormat(QImage::Format_BGR888), Numbered(100, 60).copy(60, 0, 40, 60));
    QCOMPARE(p.form->frame().position().x(), 0);
    QVERIFY(!p.output()->isVisible());
    // The bar stays full when the run is over, so it does not read as never started.
    QCOMPARE(Control<QProgressBar>(p.output(), "progressBar")->value(), 5);
}

void TestDialogs::continuousCutAtTheEdgeSavesOneFile()
{
    Program p;
    p.load(Numbered(100, 60));
    SetCutSize(*p.form, {40, p.form->frame().size().height()});
    MoveFrame(*p.form,
              {60, p.form->frame().position().y()}); // against the right edge: only the start fits
    ModalScript script;
    script.then(QStringLiteral("OutputDialog"), pressLater(button(p.output(), "saveButton")))
        .then(QStringLiteral("cutSaveDialog"), [&](QWidget *m) {
            Cancel(m); // cancelling this one keeps the sequence dialog open
            QTimer::singleShot(0, [&] {
                QVERIFY(p.output()->isVisible());
                button(p.output(), "closeButton")->click();
            });
        });
    p.form->saveSequence();
    QTRY_VERIFY(script.done());
    QCOMPARE(script.seen, (QStringList{"OutputDialog", "cutSaveDialog"}));
}

void TestDialogs::failedSequenceKeepsTheDialogAndTheFrame()
{
    Program p;
    p.load(Numbered(100, 60));
    SetCutSize(*p.form, {40, p.form->frame().size().height()});
    MoveFrame(*p.form, {5, p.form->frame().position().y()});
    QString message;
    ModalScript script;
    script.then(QStringLiteral("OutputDialog"), pressLater(button(p.output(), "saveButton")))
        .then(QStringLiteral("framesSaveDialog"),
              [&](QWidget *m) { AcceptFile(m, p.file(QStringLiteral("missing/walk"))); })
        .then(QStringLiteral("QMessageBox"), [&](QWidget *m) {
            message = qobject_cast<QMessageBox *>(m)->text();
            Cancel(m);
            QTimer::singleShot(0, [&] {
                QVERIFY(p.output()->isVisible());
                button(p.output(), "closeButton")->click();
            });
        });
    p.form->saveSequence();
    QTRY_VERIFY(script.done());
    QVERIFY2(message.contains(QStringLiteral("walk001.bmp")), qPrintable(message));
    QCOMPARE(p.form->frame().position().x(), 5);
}

void TestDialogs::fadeWritesTwentyOneFrames()
{
    Program p;
    p.load(Numbered(64, 48));
    SetCutSize(*p.form, {8, 6});
    ModalScript script;
    script
        .then(QStringLiteral("OutputDialog"),
              [&](QWidget *) {
                  radio(p.output(), "secondOptionRadio")->click(); // black
                  QTimer::singleShot(0, button(p.output(), "saveButton"), &QPushButton::click);
              })
        .then(QStringLiteral("framesSaveDialog"),
              [&](QWidget *m) { AcceptFile(m, p.file(QStringLiteral("fade"))); })
        .then(QStringLiteral("OutputDialog"), pressWhenEnabled(button(p.output(), "closeButton")));
    p.form->saveFade();
    QVERIFY(script.done());
    QCOMPARE(bmpFiles(p.dir.path()).filter(QStringLiteral("fade")).size(), 21);
    const QImage first = ReadBmp(p.file(QStringLiteral("fade001.bmp")));
    QCOMPARE(first.pixel(3, 3), qRgb(0, 0, 0));
    const QImage last = ReadBmp(p.file(QStringLiteral("fade021.bmp")));
    QCOMPARE(last.convertToFormat(QImage::Format_BGR888), Numbered(64, 48).copy(0, 0, 8, 6));
}

// A second run onto the same names used to replace the first run's frames without a word. One
// question for the whole run; No writes nothing and keeps the dialog.
void TestDialogs::framesReplaceFilesOnlyAfterOneQuestion()
{
    Program p;
    p.load(Numbered(64, 48));
    SetCutSize(*p.form, {8, 6});
    QFile kept(p.file(QStringLiteral("fade007.bmp")));
    QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("keep") == 4);
    kept.close();
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QString question;
        ModalScript script;
        script.then(QStringLiteral("OutputDialog"), pressLater(button(p.output(), "saveButton")))
            .then(QStringLiteral("framesSaveDialog"),
                  [&](QWidget *m) { AcceptFile(m, p.file(QStringLiteral("fade"))); })
            .then(QStringLiteral("QMessageBox"),
                  [&](QWidget *m) {
                      question = qobject_cast<QMessageBox *>(m)->text();
                      qobject_cast<QMessageBox *>(m)->button(answer)->click();
                  })
            .then(QStringLiteral("OutputDialog"),
                  pressWhenEnabled(button(p.output(), "closeButton")));
        p.form->saveFade();
        QTRY_VERIFY(script.done());
        QCOMPARE(question, QStringLiteral("%1 は既にあります。上書きしますか?")
                               .arg(p.file(QStringLiteral("fade007.bmp"))));
        const int written = bmpFiles(p.dir.path()).filter(QStringLiteral("fade")).size();
        QCOMPARE(written, answer == QMessageBox::Yes ? 21 : 1);
        QCOMPARE(QFileInfo(p.file(QStringLiteral("fade007.bmp"))).size() == 4,
                 answer == QMessageBox::No);
    }
}

void TestDialogs::savePictureAddsTheExtensionOnlyWhenMissing()
{
    Program p;
    p.load(Numbered(30, 20));
    const struct {
        QString typed;
        int filter;
        QString written;
    } rows[] = {{QStringLiteral("shot"), 0, QStringLiteral("shot.bmp")},
                {QStringLiteral("two.BMP"), 0, QStringLiteral("two.BMP")},
                {QStringLiteral("photo"), 1, QStringLiteral("photo.jpg")},
                {QStringLiteral("photo2.jpg"), 1, QStringLiteral("photo2.jpg")}};
    for (const auto &row : rows) {
        ModalScript script;
        script.then(QStringLiteral("pictureSaveDialog"),
                    [&](QWidget *m) { AcceptFile(m, p.file(row.typed), row.filter); });
        p.form->savePicture();
        QVERIFY(script.done());
        QVERIFY2(QFileInfo::exists(p.file(row.written)), qPrintable(row.written));
    }
    QCOMPARE(ReadPictureFile(p.file(QStringLiteral("photo.jpg"))).size(), QSize(30, 20));
    QVERIFY(!QFileInfo::exists(p.file(QStringLiteral("two.BMP.bmp"))));
    // The filter chosen last stays selected for the next save.
    QCOMPARE(SelectedFilterIndex(Control<QFileDialog>(p.form.get(), "pictureSaveDialog")), 1);
}

void TestDialogs::undoReturnsToTheLoadedPicture()
{
    Program p;
    const QImage loaded = Numbered(80, 60);
    p.load(loaded);
    SetCutSize(*p.form, {70, p.form->frame().size().height()});
    OnNextModal("ValueDialog", [](QWidget *d) {
        Control<ClampingSpinBox>(d, "numberSpin")->setValue(40);
        Control<QPushButton>(d, "okButton")->click();
    });
    Control<QAction>(p.form.get(), "resizeAction")->trigger();
    QCOMPARE(p.form->document().size(), QSize(40, 30));
    QCOMPARE(p.form->frame().size().width(), 40);
    auto *revert = Control<QAction>(p.form.get(), "revertAction");
    revert->trigger();
    QCOMPARE(p.form->document().picture().convertToFormat(QImage::Format_BGR888), loaded);
    QCOMPARE(p.form->document().size(), QSize(80, 60));
    QCOMPARE(Control<QLabel>(p.form.get(), "pictureWidthLabel")->text(), QStringLiteral("80"));
    revert->trigger(); // again: the same
    QCOMPARE(p.form->document().picture().convertToFormat(QImage::Format_BGR888), loaded);
}

void TestDialogs::aboutShowsTheVersion()
{
    Program p;
    ModalScript script;
    script.then(QStringLiteral("AboutDialog"), [&](QWidget *about) {
        QCOMPARE(Control<QLabel>(about, "titleLabel")->text(), QStringLiteral("MOKARAN"));
        QCOMPARE(Control<QLabel>(about, "versionLabel")->text(),
                 QStringLiteral("ver 1.32  (2026.12.08)"));
        QCOMPARE(about->windowTitle(), QStringLiteral("バージョン情報"));
        QVERIFY(Control<QLabel>(about, "licenceLabel")->text().contains("GPL-3.0-or-later"));
        // Return closes the box as Escape does.
        QTimer::singleShot(0, about, [about] { QTest::keyClick(about, Qt::Key_Return); });
    });
    Control<QAction>(p.form.get(), "aboutAction")->trigger();
    QVERIFY(script.done());
    QVERIFY(!p.form->findChild<QDialog *>(QStringLiteral("AboutDialog"))->isVisible());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestDialogs test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dialogs.moc"
