// ValueDialog: the parameter dialog through which an edit command asks for its one number.
#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;
class QScrollBar;
class ClampingSpinBox;

class ValueDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ValueDialog(QWidget *parent);

    // Prepares the dialog without showing it. Kind 1 and 4: a whole number in the spin box (the
    // caller sets its range); kind 2: a real 0.01..1 on the scroll bar; kind 3: 0.01..3.
    void AskValue(int kind, const QString &caption, const QString &prompt, int32_t intDefault,
                  double realDefault);
    // The spin box's range; equal bounds mean no limit.
    void SetSpinRange(int32_t minimum, int32_t maximum);

    void Button1Click();     // "決定"
    void Button2Click();     // "キャンセル"
    void ScrollBar1Change(); // shows the real value

    int32_t IntValue = 0;  // whole-number default on entry, the result after OK
    double RealValue = 0;  // real default on entry, the result after OK
    bool Accepted = false; // OK was pressed

    QLabel *Label1;             // the prompt
    QLabel *Label2;             // the real value chosen on the scroll bar
    ClampingSpinBox *SpinEdit1; // whole-number input
    QScrollBar *ScrollBar1;     // real input: position = value x 100
    QPushButton *Button1;       // "決定"
    QPushButton *Button2;       // "キャンセル"
};
