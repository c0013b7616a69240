// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the dark dialogs stay readable on their own faces.
#include "windows/application.h"
#include "windows/batch_shrink_dialog.h"
#include "windows/cut_size_dialog.h"
#include "windows/value_dialog.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyleOption>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {

// The relative luminance of an sRGB colour, as the WCAG contrast ratio defines it.
double luminance(QRgb colour)
{
    const auto linear = [](int value) {
        const double s = value / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
           0.0722 * linear(qBlue(colour));
}

// The contrast of the arrow in the middle of a button against the button's face, from the pixels:
// the face is the median colour of the whole button (its face may be a gradient), the arrow the
// pixel of the middle half that stands out most from it (the middle half leaves the border out).
double arrowContrast(const QImage &grab, const QRect &button)
{
    QList<double> shades;
    for (int y = button.top(); y <= button.bottom(); ++y)
        for (int x = button.left(); x <= button.right(); ++x)
            shades << luminance(grab.pixel(x, y));
    std::sort(shades.begin(), shades.end());
    const double face = shades[shades.size() / 2];
    const QRect middle(button.x() + button.width() / 4, button.y() + button.height() / 4,
                       std::max(1, button.width() / 2), std::max(1, button.height() / 2));
    double best = 1;
    for (int y = middle.top(); y <= middle.bottom(); ++y)
        for (int x = middle.left(); x <= middle.right(); ++x) {
            const double shade = luminance(grab.pixel(x, y));
            best = std::max(best, (std::max(face, shade) + 0.05) / (std::min(face, shade) + 0.05));
        }
    return best;
}

QList<QRect> spinButtons(const QAbstractSpinBox *spin)
{
    QStyleOptionSpinBox option;
    option.initFrom(spin);
    option.subControls = QStyle::SC_All;
    option.buttonSymbols = spin->buttonSymbols();
    option.frame = spin->hasFrame();
    const QStyle *style = spin->style();
    return {style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin),
            style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, spin)};
}

QList<QRect> scrollButtons(const QScrollBar *bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    const QStyle *style = bar->style();
    return {style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSubLine, bar),
            style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, bar)};
}

} // namespace

class TestControlContrast : public QObject {
    Q_OBJECT

  private slots:
    void arrowsStandOutOnDarkDialogs();
};

// Catches the dark panel's white text colour reaching the controls on it: the styles draw
// spin-box and scroll-bar arrows in that colour, which vanished on the light button faces. And a
// fix that takes the white away from the captions on the panel as well.
void TestControlContrast::arrowsStandOutOnDarkDialogs()
{
    QWidget owner;
    CutSizeDialog cutSize({QStringLiteral("任意切り取りサイズ")}, &owner);
    ValueDialog value(&owner);
    BatchShrinkDialog shrink(QString(), &owner);
    QStringList faint;
    int buttons = 0;
    for (QDialog *dialog : {static_cast<QDialog *>(&cutSize), static_cast<QDialog *>(&value),
                            static_cast<QDialog *>(&shrink)}) {
        dialog->show();
        const auto check = [&](QWidget *control, const QList<QRect> &arrows) {
            control->show(); // the value dialog shows one of its two inputs at a time
            const QImage grab = control->grab().toImage();
            for (const QRect &arrow : arrows) {
                ++buttons;
                const double ratio = arrowContrast(grab, arrow);
                if (ratio < 3)
                    faint << QStringLiteral("%1 %2: %3")
                                 .arg(dialog->objectName(), control->objectName())
                                 .arg(ratio, 0, 'f', 2);
            }
        };
        // Each value in the middle of its range: at a bound, an arrow is drawn faint on purpose.
        for (QSpinBox *spin : dialog->findChildren<QSpinBox *>()) {
            spin->setValue(int(spin->minimum() + (qint64(spin->maximum()) - spin->minimum()) / 2));
            check(spin, spinButtons(spin));
        }
        for (QScrollBar *bar : dialog->findChildren<QScrollBar *>()) {
            bar->setValue(int(bar->minimum() + (qint64(bar->maximum()) - bar->minimum()) / 2));
            check(bar, scrollButtons(bar));
        }
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            QCOMPARE(label->palette().color(label->foregroundRole()), QColor(Qt::white));
        dialog->hide();
    }
    QCOMPARE(buttons, 10); // two spin boxes, one and one, and a scroll bar: two arrows each
    QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QStringLiteral("; "))));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestControlContrast test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_control_contrast.moc"
