// PageMakerDialog: the page maker. A fixed form of fourteen texts becomes a small HTML page for
// mobile phones, and the texts can be kept in a project file.
#pragma once

#include "core/page/page.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;

class PageMakerDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PageMakerDialog(QWidget *parent);

    void Button1Click(); // make the page
    void Button2Click(); // save the project
    void Button3Click(); // open a project
    void Button4Click(); // close

    // The form's texts (Edit1 ... Edit14) and ticks (CheckBox1 ... CheckBox8) as the core sees
    // them.
    PageProject project() const;
    void setProject(const PageProject &project);
    PageOmissions omissions() const;

    QLabel *Label1; // "携帯用ホームページが簡単に作成できます。": intro

    QLabel *Label2;   // "タイトル"
    QLineEdit *Edit1; // the page title

    QLabel *Label3;       // "画像": heading
    QCheckBox *CheckBox1; // "使用しない": no picture
    QLabel *Label4;       // "ファイル存在ＵＲＬ"
    QLineEdit *Edit2;     // the picture's URL

    QLabel *Label5;       // "テキスト": heading
    QCheckBox *CheckBox2; // "使用しない": no text
    QLineEdit *Edit3;     // the text

    QLabel *Label6;       // "リンク１": heading
    QCheckBox *CheckBox3; // "使用しない": no link 1
    QLabel *Label7;       // "表示テキスト"
    QLineEdit *Edit4;     // link 1 display text
    QLabel *Label8;       // "リンク先ＵＲＬ"
    QLineEdit *Edit5;     // link 1 URL

    QLabel *Label9;       // "リンク２": heading
    QCheckBox *CheckBox4; // "使用しない": no link 2
    QLabel *Label10;      // "表示テキスト"
    QLineEdit *Edit6;     // link 2 display text
    QLabel *Label11;      // "リンク先ＵＲＬ"
    QLineEdit *Edit7;     // link 2 URL

    QLabel *Label12;      // "リンク３": heading
    QCheckBox *CheckBox5; // "使用しない": no link 3
    QLabel *Label13;      // "表示テキスト"
    QLineEdit *Edit8;     // link 3 display text
    QLabel *Label14;      // "リンク先ＵＲＬ"
    QLineEdit *Edit9;     // link 3 URL

    QLabel *Label15;      // "リンク４": heading
    QCheckBox *CheckBox6; // "使用しない": no link 4
    QLabel *Label16;      // "表示テキスト"
    QLineEdit *Edit10;    // link 4 display text
    QLabel *Label17;      // "リンク先ＵＲＬ"
    QLineEdit *Edit11;    // link 4 URL

    QLabel *Label18;      // "リンク５": heading
    QCheckBox *CheckBox7; // "使用しない": no link 5
    QLabel *Label19;      // "表示テキスト"
    QLineEdit *Edit12;    // link 5 display text
    QLabel *Label20;      // "リンク先ＵＲＬ"
    QLineEdit *Edit13;    // link 5 URL

    QLabel *Label21;      // "テキスト": heading of the second text
    QCheckBox *CheckBox8; // "使用しない": no second text
    QLineEdit *Edit14;    // the second text

    QPushButton *Button1; // "ＨＴＭＬを作成する": make the page
    QPushButton *Button2; // "作成データを保存する": save the project
    QPushButton *Button3; // "作成データを開く": open a project
    QPushButton *Button4; // "閉じる": close

    QFileDialog *SaveDialog1; // where the page goes (*.html)
    QFileDialog *SaveDialog2; // where the project goes (*.mkp)
    QFileDialog *OpenDialog1; // the project to open (*.mkp, *.ihp)

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void buildLeftColumn();
    void buildRightColumn();
    void buildButtons();
    void buildFileDialogs();

    std::array<QLineEdit *, 14> m_edits{};                // Edit1 ... Edit14
    std::array<QCheckBox *, kPageSectionCount> m_ticks{}; // CheckBox1 ... CheckBox8
};
