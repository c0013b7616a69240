// MainWindow: the main window. It owns the workspace; its commands open the dialogs.
#pragma once

#include "core/base/app_paths.h"
#include "core/image/picture.h"
#include "core/workspace/view_composer.h"
#include "core/workspace/workspace.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QTimer;
class CanvasWidget;
class ImportDialog;
class CutSizeDialog;
class OutputDialog;
class PageMakerDialog;
class AboutDialog;
class BatchShrinkDialog;
class ValueDialog;

// The address the Help menu's home-page item opens.
inline const char kHomePageUrl[] = "https://mokaran.example.jp/";

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // paths: where the program's own files and set.ini are (see ResolveAppPaths).
    explicit MainWindow(const AppPaths &paths, QWidget *parent = nullptr);
    ~MainWindow() override;

    Workspace &workspace() { return m_ws; }
    const AppPaths &paths() const { return m_paths; }

    // Routines that many commands share.
    void ResetCanvas(int width, int height);
    void UpdateSizeLabels();
    void FirstPictureSetup();
    // Makes a loaded or captured picture the working picture: UndoImage, canvas, the first
    // picture's switch to the working state, the cut lowered to the picture, the labels.
    void TakeNewPicture(const QImage &picture);
    // Puts an edit's result in place of the working picture and refreshes what that edit changes.
    void PutEditResult(const QImage &result, EditResultKind kind);
    // Redraws the canvas after WorkImage or the frame changed.
    void RefreshCanvas();

    // The canvas handlers.
    void PaintBox1Paint(QPainter &painter, const QRegion &exposed);
    void PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void PaintBox1MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void PaintBox1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // Commands.
    void Button4Click(); // load a picture
    void R1Click();      // load a picture (menu)
    void Button2Click(); // cut size
    void Button1Click(); // single cut
    void Button3Click(); // continuous cut
    void Button5Click(); // alpha compositing
    void Button7Click(); // fade-out
    void S2Click();      // save the whole picture
    void Undo1Click();   // back to the picture as loaded or captured
    void N10Click();     // help page
    void readme1Click(); // readme
    void N16Click();     // home page
    void About1Click();  // about box
    void Button6Click(); // page maker (the button is never shown)
    void JPEG1Click();   // batch JPEG shrink
    void C1Click();      // resize: asks a width, shrinks or enlarges
    void R3Click();      // rotate: asks an angle
    void S1Click();      // blur
    void R2Click();      // sharpen
    void N17Click();     // contrast: asks a factor
    void N18Click();     // gamma: asks a gamma
    void N19Click();     // level correction
    // Asks a width right after a capture and shrinks the captured picture to it.
    void ShrinkCaptured();
    void N3Click();     // capture the screen
    void N8Click();     // capture the screen, shrunk
    void N6Click();     // capture the active window
    void N9Click();     // capture the active window, shrunk
    void Timer1Timer(); // the capture itself, once the window is out of the way

    int32_t CaptureMode = 0; // 1 screen, 2 screen shrunk, 3 window, 4 window shrunk
    void Exit1Click();
    void Exit2Click();

    // The dialogs, created once at start-up and hidden between uses.
    ImportDialog *Form2;      // import
    CutSizeDialog *Form3;     // cut size
    OutputDialog *Form4;      // save and sequences
    PageMakerDialog *Form5;   // page maker
    AboutDialog *Form7;       // about
    BatchShrinkDialog *Form8; // batch JPEG shrink
    ValueDialog *Form9;       // the edits' parameter

    // Button bar.
    QFrame *Panel2;       // the button bar
    QPushButton *Button4; // "画像ファイル読込み": load a picture
    QPushButton *Button2; // "切り取り画像サイズ設定": cut size
    QPushButton *Button1; // "画像切り取り": single cut
    QPushButton *Button3; // "連続画像切り取り": continuous cut
    QPushButton *Button5; // "アルファ合成": alpha compositing
    QPushButton *Button7; // "フェードアウト": fade-out
    QPushButton *Button6; // "簡易ホームページ作成": page maker, never visible

    // Size strip.
    QFrame *Panel1;  // the size strip
    QFrame *Shape1;  // the 3-pixel line along its top
    QLabel *Label11; // "画像の大きさ"
    QLabel *Label7;  // "横幅"
    QLabel *Label9;  // picture width
    QLabel *Label8;  // "高さ"
    QLabel *Label10; // picture height
    QLabel *Label1;  // "切り取り画像サイズ"
    QLabel *Label2;  // "横幅"
    QLabel *Label4;  // cut width
    QLabel *Label5;  // "高さ"
    QLabel *Label6;  // cut height

    // Canvas.
    QScrollArea *ScrollBox1; // scrolls the canvas
    CanvasWidget *PaintBox1; // the canvas: the picture with the cut frame

    // Main menu.
    QMenu *File1;   // "ファイル(&F)"
    QAction *R1;    // "画像ファイルを読込む(&R)": load a picture
    QAction *S2;    // "表示中の画像を保存する(&S)": save the picture
    QAction *N4;    // separator
    QAction *Exit2; // "終了(&X)": exit
    QMenu *Edit1;   // "編集(&E)"
    QAction *Undo1; // "元に戻す(&U)": back to the loaded picture
    QAction *N2;    // separator
    QAction *C1;    // "拡大縮小(&X)": resize
    QAction *R3;    // "回転(&R)": rotate
    QAction *N5;    // separator
    QAction *S1;    // "ぼかし(&S)": blur
    QAction *R2;    // "シャープネス(&R)": sharpen
    QAction *N17;   // "コントラスト強調(&C)": contrast
    QAction *N18;   // "ガンマ補正(&G)": gamma
    QAction *N19;   // "レベル補正": level correction
    QMenu *ool1;    // "ツール(&T)"
    QAction *N3;    // "スクリーンキャプチャー": capture the screen
    QAction *N8;    // "スクリーンキャプチャー(縮小)": capture the screen, shrunk
    QAction *N6;    // "アクティブウインドウキャプチャー": capture the active window
    QAction *N9;    // "アクティブウインドウキャプチャー(縮小)": the same, shrunk
    QAction *N7;    // separator
    QAction *JPEG1; // "フォルダ内JPEGファイル縮小": batch JPEG shrink
    QMenu *Help1;   // "ヘルプ(&H)"
    QAction *N10;   // "使い方 (&H)": help page
    QAction *N11;   // separator
    QAction *readme1; // "readmeを開く (&R)": readme
    QAction *About1;  // "バージョン情報 (&V)": about box
    QAction *N16;     // "ホームページへ (&U)": home page
    QAction *N12;     // separator
    QAction *N15;     // separator
    QAction *Exit1;   // "終了 (&X)": exit

    // Components without a place on the screen.
    QFileDialog *OpenDialog1; // opens pictures for the import dialog
    QFileDialog *SaveDialog1; // saves the whole picture
    QTimer *Timer1;           // 800 ms one-shot that runs a capture once the window is hidden

  protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

  private:
    void FormCreate();
    void FormDestroy();
    void buildButtonBar();
    void buildSizeStrip();
    void buildCanvas();
    void buildMenu();
    void buildComponents();
    void readPresets();
    void placeWindow();
    void applyPictureState();
    void connectCommands();
    void connectEdits();
    void connectCaptures();
    void startCapture(int32_t mode);
    bool askWidth(int32_t maximum); // the width prompt of resize and capture; true when accepted
    void prepareOutput(uint8_t mode);
    void openOutputDialog(uint8_t mode);
    QRegion composeView(); // the frame clamp, then the view composition

    AppPaths m_paths;
    Workspace m_ws;
    ViewComposer m_view;
    QSize m_placedOuterSize;       // the outer size asked for at start-up
    bool m_outerSizeFixed = false; // the window frame has been taken into account
    bool m_destroyed = false;      // FormDestroy has run
};
