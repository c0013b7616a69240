// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter dialog and the Edit menu's commands on the main window.
#include "core/base/app_paths.h"
#include "windows/application.h"
#include "windows/canvas_widget.h"
#include "windows/clamping_spin_box.h"
#include "windows/frame_placing.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/program_folder.h"
#include "windows/value_dialog.h"

#include "core/image/pixel_scaling.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Acts on the value dialog once it is shown; the action must close it.
void whenAsked(std::function<void(QWidget *)> action)
{
    OnNextModal("ValueDialog", std::move(action));
}

ClampingSpinBox *numberSpin(QWidget *dialog)
{
    return Control<ClampingSpinBox>(dialog, "numberSpin");
}

void press(QWidget *dialog, const char *name)
{
    Control<QPushButton>(dialog, name)->click();
}

QImage pattern(int width, int height)
{
    QImage picture(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x + y) % 256));
    return picture;
}

struct Program {
    ProgramFolder folder;
    std::unique_ptr<MainWindow> form;
    Program()
    {
        form = std::make_unique<MainWindow>(folder.paths());
        form->show();
        form->takeNewPicture(pattern(640, 480));
    }
    void trigger(const char *action) { Control<QAction>(form.get(), action)->trigger(); }
};

} // namespace

class TestEdits : public QObject {
    Q_OBJECT

  private slots:
    void realKindsOfferTheirRangeAndShowTheValue();
    void scaleOffersTheRememberedWidthWithinRange();
    void cancelOrCloseBoxChangesNothing();
    void scaleShrinksAndRemembersTheWidth();
    void scaleEnlargesToExactlyTheWidth();
    void rotateOffersFiveWithin0To359();
    void sameSizeEditsKeepTheFrameAndUndoReturns();
    void pixelArtKeepsItsAlphaAndMayStaySharp();
};

void TestEdits::realKindsOfferTheirRangeAndShowTheValue()
{
    ValueDialog dialog;
    std::optional<double> value;
    whenAsked([&](QWidget *d) {
        auto *bar = Control<QScrollBar>(d, "fractionBar");
        auto *shown = Control<QLabel>(d, "fractionLabel");
        QCOMPARE(d->windowTitle(), QStringLiteral("コントラスト設定"));
        QCOMPARE(Control<QLabel>(d, "promptLabel")->text(), QStringLiteral("prompt"));
        QCOMPARE(bar->minimum(), 1);
        QCOMPARE(bar->maximum(), 100);
        QCOMPARE(bar->value(), 10);
        QCOMPARE(shown->text(), QStringLiteral("0.1"));
        QVERIFY(!numberSpin(d)->isVisible());
        QVERIFY(bar->isVisible() && shown->isVisible());
        press(d, "okButton");
    });
    value =
        dialog.askFraction(QStringLiteral("コントラスト設定"), QStringLiteral("prompt"), 0.1, 1);
    QCOMPARE(value, std::optional<double>(0.1));

    whenAsked([&](QWidget *d) {
        auto *bar = Control<QScrollBar>(d, "fractionBar");
        auto *shown = Control<QLabel>(d, "fractionLabel");
        QCOMPARE(bar->maximum(), 300);
        QCOMPARE(bar->value(), 100);
        QCOMPARE(shown->text(), QStringLiteral("1"));
        for (const auto &[position, text] : {std::pair{35, "0.35"}, {250, "2.5"}, {1, "0.01"}}) {
            bar->setValue(position);
            QCOMPARE(shown->text(), QString::fromLatin1(text));
        }
        bar->setValue(0);
        QCOMPARE(bar->value(), 1); // the lowest value is 0.01, never 0
        press(d, "okButton");
    });
    value = dialog.askFraction(QStringLiteral("ガンマ補正設定"), QStringLiteral("prompt"), 1.0, 3);
    QCOMPARE(value, std::optional<double>(0.01));
}

void TestEdits::scaleOffersTheRememberedWidthWithinRange()
{
    for (const auto &[stored, offered] : {std::pair{5000, 1280}, {2, 5}, {320, 320}}) {
        Program p;
        p.form->settings().shrinkWidth = stored;
        int shown = -1;
        whenAsked([&](QWidget *d) {
            shown = numberSpin(d)->value();
            QCOMPARE(numberSpin(d)->maximum(), 1280);
            QCOMPARE(numberSpin(d)->minimum(), 5);
            QCOMPARE(d->windowTitle(), QStringLiteral("拡大縮小"));
            press(d, "cancelButton");
        });
        p.trigger("resizeAction");
        QCOMPARE(shown, offered);
    }
}

void TestEdits::cancelOrCloseBoxChangesNothing()
{
    Program p;
    p.form->settings().shrinkWidth = 123;
    const QImage before = p.form->document().picture();
    whenAsked([&](QWidget *d) {
        numberSpin(d)->setValue(300);
        press(d, "cancelButton");
    });
    p.trigger("resizeAction");
    whenAsked([](QWidget *d) { d->close(); }); // the close box is a cancel
    p.trigger("contrastAction");
    QCOMPARE(p.form->document().picture(), before);
    QCOMPARE(p.form->settings().shrinkWidth, 123);
}

void TestEdits::scaleShrinksAndRemembersTheWidth()
{
    Program p;
    SetCutSize(*p.form, {500, p.form->frame().size().height()});
    whenAsked([&](QWidget *d) {
        numberSpin(d)->setValue(320);
        press(d, "okButton");
    });
    p.trigger("resizeAction");
    QCOMPARE(p.form->document().picture().size(), QSize(320, 240));
    QCOMPARE(p.form->document().size(), QSize(320, 240));
    QCOMPARE(p.form->frame().size().width(), 320);
    QCOMPARE(p.form->settings().shrinkWidth, 320);
    QCOMPARE(Control<QLabel>(p.form.get(), "pictureWidthLabel")->text(), QStringLiteral("320"));
    QCOMPARE(p.form->document().loadedPicture().size(), QSize(640, 480));
}

void TestEdits::scaleEnlargesToExactlyTheWidth()
{
    Program p;
    whenAsked([&](QWidget *d) {
        numberSpin(d)->setValue(800);
        press(d, "okButton");
    });
    p.trigger("resizeAction");
    const QImage result = p.form->document().picture();
    QCOMPARE(result.size(), QSize(800, 600));
    for (int y = 0; y < 600; ++y) // no black last column or row
        QVERIFY(result.pixel(799, y) == result.pixel(798, y) ||
                result.pixel(799, y) != qRgb(0, 0, 0));
    QCOMPARE(result.pixel(799, 599), pattern(640, 480).pixel(639, 479));
}

void TestEdits::rotateOffersFiveWithin0To359()
{
    Program p;
    whenAsked([&](QWidget *d) {
        QCOMPARE(numberSpin(d)->value(), 5);
        QCOMPARE(numberSpin(d)->maximum(), 359);
        QCOMPARE(d->windowTitle(), QStringLiteral("画像回転設定"));
        numberSpin(d)->setValue(45);
        press(d, "okButton");
    });
    p.trigger("rotateAction");
    QCOMPARE(p.form->document().picture().size(), QSize(792, 792));
    QCOMPARE(p.form->document().picture().pixel(0, 0), qRgb(0, 0, 0));
    auto *canvas = Control<CanvasWidget>(p.form.get(), "canvas");
    QCOMPARE(canvas->size(), ViewSize({792, 792}, canvas->zoom()));
}

void TestEdits::sameSizeEditsKeepTheFrameAndUndoReturns()
{
    Program p;
    MoveFrame(*p.form, {30, 40});
    const QImage loaded = p.form->document().picture();
    p.trigger("blurAction");
    const QImage blurred = p.form->document().picture();
    QVERIFY(blurred != loaded);
    p.trigger("sharpenAction");
    p.trigger("levelsAction");
    whenAsked([&](QWidget *d) { press(d, "okButton"); }); // gamma 1: no change
    const QImage beforeGamma = p.form->document().picture();
    p.trigger("gammaAction");
    QCOMPARE(p.form->document().picture(), beforeGamma);
    QCOMPARE(p.form->frame().position(), QPoint(30, 40));
    QCOMPARE(p.form->document().picture().size(), QSize(640, 480));
    p.trigger("revertAction");
    QCOMPARE(p.form->document().picture(), loaded);
}

// Catches the choice offered for a width that is no whole multiple, or hidden for one that is;
// a checked choice that still smooths; and the menu's edits flattening a transparent picture.
void TestEdits::pixelArtKeepsItsAlphaAndMayStaySharp()
{
    Program p;
    QImage sprite(20, 10, QImage::Format_ARGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            sprite.setPixel(x, y, (x + y) % 3 == 0 ? qRgba(0, 0, 0, 0) : qRgba(200, 40, x, 255));
    p.form->takeNewPicture(sprite);
    whenAsked([&](QWidget *d) {
        auto *choice = Control<QCheckBox>(d, "repeatPixelsCheck");
        numberSpin(d)->setValue(40);
        QVERIFY(choice->isVisible());
        numberSpin(d)->setValue(35);
        QVERIFY(!choice->isVisible());
        numberSpin(d)->setValue(40);
        choice->setChecked(true);
        press(d, "okButton");
    });
    p.trigger("resizeAction");
    QCOMPARE(p.form->document().picture(), EnlargeByRepeating(sprite, 2));

    p.trigger("blurAction");
    const QImage blurred = p.form->document().picture();
    QVERIFY(blurred.hasAlphaChannel());
    QCOMPARE(qAlpha(blurred.pixel(0, 0)), 0); // a transparent corner stays transparent

    // A photo-like picture is not offered the choice.
    p.form->takeNewPicture(pattern(64, 48));
    whenAsked([&](QWidget *d) {
        numberSpin(d)->setValue(128);
        QVERIFY(!Control<QCheckBox>(d, "repeatPixelsCheck")->isVisible());
        press(d, "cancelButton");
    });
    p.trigger("resizeAction");
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestEdits test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_edits.moc"
