// The parameter dialog and the Edit menu's commands on the main window.
#include "core/base/app_paths.h"
#include "windows/canvas_widget.h"
#include "windows/clamping_spin_box.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/program_folder.h"
#include "windows/value_dialog.h"
#include "windows/window_support.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Acts on the parameter dialog once it is shown; the action must close it.
void whenShown(ValueDialog *, std::function<void()> action)
{
    OnNextModal("ValueDialog", [action](QWidget *) { action(); });
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
        form->TakeNewPicture(pattern(640, 480));
    }
    Workspace &ws() { return form->workspace(); }
    ValueDialog *dialog() { return form->Form9; }
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
};

void TestEdits::realKindsOfferTheirRangeAndShowTheValue()
{
    Program p;
    ValueDialog *d = p.dialog();
    d->AskValue(2, QStringLiteral("コントラスト設定"), QStringLiteral("prompt"), 0, 0.1);
    QCOMPARE(d->windowTitle(), QStringLiteral("コントラスト設定"));
    QCOMPARE(d->Label1->text(), QStringLiteral("prompt"));
    QCOMPARE(d->ScrollBar1->minimum(), 1);
    QCOMPARE(d->ScrollBar1->maximum(), 100);
    QCOMPARE(d->ScrollBar1->value(), 10);
    QCOMPARE(d->Label2->text(), QStringLiteral("0.1"));
    QVERIFY(!d->SpinEdit1->isVisibleTo(d));
    QVERIFY(d->ScrollBar1->isVisibleTo(d) && d->Label2->isVisibleTo(d));
    whenShown(d, [d] { d->Button1->click(); });
    d->exec();
    QVERIFY(d->Accepted);
    QCOMPARE(d->RealValue, 0.1);

    d->AskValue(3, QStringLiteral("ガンマ補正設定"), QStringLiteral("prompt"), 0, 1.0);
    QCOMPARE(d->ScrollBar1->maximum(), 300);
    QCOMPARE(d->ScrollBar1->value(), 100);
    QCOMPARE(d->Label2->text(), QStringLiteral("1"));
    for (const auto &[position, shown] : {std::pair{35, "0.35"}, {250, "2.5"}, {1, "0.01"}}) {
        d->ScrollBar1->setValue(position);
        QCOMPARE(d->Label2->text(), QString::fromLatin1(shown));
    }
    d->ScrollBar1->setValue(0);
    QCOMPARE(d->ScrollBar1->value(), 1); // the lowest value is 0.01, never 0
    whenShown(d, [d] { d->Button1->click(); });
    d->exec();
    QCOMPARE(d->RealValue, 0.01);
}

void TestEdits::scaleOffersTheRememberedWidthWithinRange()
{
    for (const auto &[stored, offered] : {std::pair{5000, 1280}, {2, 5}, {320, 320}}) {
        Program p;
        p.ws().WindowSettings.RWidth = stored;
        int shown = -1;
        whenShown(p.dialog(), [&] {
            shown = p.dialog()->SpinEdit1->value();
            QCOMPARE(p.dialog()->SpinEdit1->maximum(), 1280);
            QCOMPARE(p.dialog()->SpinEdit1->minimum(), 5);
            QCOMPARE(p.dialog()->windowTitle(), QStringLiteral("縮小幅設定"));
            p.dialog()->Button2->click();
        });
        p.form->C1->trigger();
        QCOMPARE(shown, offered);
    }
}

void TestEdits::cancelOrCloseBoxChangesNothing()
{
    Program p;
    p.ws().WindowSettings.RWidth = 123;
    const QImage before = p.ws().WorkImage;
    whenShown(p.dialog(), [&] {
        p.dialog()->SpinEdit1->setValue(300);
        p.dialog()->Button2->click();
    });
    p.form->C1->trigger();
    whenShown(p.dialog(), [&] { p.dialog()->close(); }); // the close box is a cancel
    p.form->N17->trigger();
    QVERIFY(!p.dialog()->Accepted);
    QCOMPARE(p.ws().WorkImage, before);
    QCOMPARE(p.ws().WindowSettings.RWidth, 123);
}

void TestEdits::scaleShrinksAndRemembersTheWidth()
{
    Program p;
    p.ws().CutWidth = 500;
    whenShown(p.dialog(), [&] {
        p.dialog()->SpinEdit1->setValue(320);
        p.dialog()->Button1->click();
    });
    p.form->C1->trigger();
    QCOMPARE(p.ws().WorkImage.size(), QSize(320, 240));
    QCOMPARE(QSize(p.ws().CanvasWidth, p.ws().CanvasHeight), QSize(320, 240));
    QCOMPARE(p.ws().CutWidth, 320);
    QCOMPARE(p.ws().WindowSettings.RWidth, 320);
    QCOMPARE(p.form->Label9->text(), QStringLiteral("320"));
    QCOMPARE(p.ws().UndoImage.size(), QSize(640, 480));
}

void TestEdits::scaleEnlargesToExactlyTheWidth()
{
    Program p;
    whenShown(p.dialog(), [&] {
        p.dialog()->SpinEdit1->setValue(800);
        p.dialog()->Button1->click();
    });
    p.form->C1->trigger();
    const QImage result = p.ws().WorkImage;
    QCOMPARE(result.size(), QSize(800, 600));
    for (int y = 0; y < 600; ++y) // no black last column or row
        QVERIFY(result.pixel(799, y) == result.pixel(798, y) ||
                result.pixel(799, y) != qRgb(0, 0, 0));
    QCOMPARE(result.pixel(799, 599), pattern(640, 480).pixel(639, 479));
}

void TestEdits::rotateOffersFiveWithin0To359()
{
    Program p;
    whenShown(p.dialog(), [&] {
        QCOMPARE(p.dialog()->SpinEdit1->value(), 5);
        QCOMPARE(p.dialog()->SpinEdit1->maximum(), 359);
        QCOMPARE(p.dialog()->windowTitle(), QStringLiteral("画像回転設定"));
        p.dialog()->SpinEdit1->setValue(45);
        p.dialog()->Button1->click();
    });
    p.form->R3->trigger();
    QCOMPARE(p.ws().WorkImage.size(), QSize(792, 792));
    QCOMPARE(p.ws().WorkImage.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(p.form->PaintBox1->size(), QSize(792, 792));
}

void TestEdits::sameSizeEditsKeepTheFrameAndUndoReturns()
{
    Program p;
    p.ws().FrameX = 30;
    p.ws().FrameY = 40;
    const QImage loaded = p.ws().WorkImage;
    p.form->S1->trigger();
    const QImage blurred = p.ws().WorkImage;
    QVERIFY(blurred != loaded);
    p.form->R2->trigger();
    p.form->N19->trigger();
    whenShown(p.dialog(), [&] { p.dialog()->Button1->click(); }); // gamma 1: no change
    const QImage beforeGamma = p.ws().WorkImage;
    p.form->N18->trigger();
    QCOMPARE(p.ws().WorkImage, beforeGamma);
    QCOMPARE(QPoint(p.ws().FrameX, p.ws().FrameY), QPoint(30, 40));
    QCOMPARE(p.ws().WorkImage.size(), QSize(640, 480));
    p.form->Undo1->trigger();
    QCOMPARE(p.ws().WorkImage, loaded);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestEdits test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_edits.moc"
