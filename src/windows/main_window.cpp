// MainWindow: the main window's layout, start-up and shut-down.
#include "windows/main_window.h"

#include "core/base/io_error.h"
#include "windows/about_dialog.h"
#include "windows/batch_shrink_dialog.h"
#include "windows/canvas_widget.h"
#include "windows/cut_size_dialog.h"
#include "windows/import_dialog.h"
#include "windows/output_dialog.h"
#include "windows/page_maker_dialog.h"
#include "windows/value_dialog.h"
#include "windows/window_support.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kMinWidth = 750; // the window never starts smaller than this
constexpr int kMinHeight = 550;

const QString kOpenFilter =
    QStringLiteral("イメージファイル(*.bmp, *.jpg, *.jpeg)|*.bmp; *.jpg; *.jpeg");
const QString kSaveFilter =
    QStringLiteral("ビットマップファイル(*.bmp)|*.bmp|JPEGファイル(*.jpg)|*.jpg");

QAction *makeItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

QAction *makeSeparator(QMenu *menu, const char *name)
{
    QAction *separator = menu->addSeparator();
    separator->setObjectName(QLatin1String(name));
    return separator;
}

} // namespace

MainWindow::MainWindow(const AppPaths &paths, QWidget *parent) : QMainWindow(parent), m_paths(paths)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kAppTitle);
    // Only the start-up size has a floor; the user may make the window as small as they like.
    setMinimumSize(1, 1);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    buildButtonBar();
    buildSizeStrip();
    buildCanvas();
    layout->addWidget(Panel2);
    layout->addWidget(Panel1);
    layout->addWidget(ScrollBox1, 1);
    buildMenu();
    buildComponents();

    FormCreate();
    Form2 = new ImportDialog(*this);
    Form3 = new CutSizeDialog(*this);
    Form4 = new OutputDialog(*this);
    Form5 = new PageMakerDialog(this);
    Form7 = new AboutDialog(this);
    Form8 = new BatchShrinkDialog(this, m_paths.dataFile(QStringLiteral("jpeg.dat")));
    Form9 = new ValueDialog(this);
    connectCommands();
    connectEdits();
    connectCaptures();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildButtonBar()
{
    Panel2 = MakeDarkPanel(this, "Panel2");
    Panel2->setFixedHeight(41);
    Button4 = MakeButton(Panel2, "Button4", QStringLiteral("画像ファイル読込み"), {8, 8, 137, 25});
    Button2 =
        MakeButton(Panel2, "Button2", QStringLiteral("切り取り画像サイズ設定"), {152, 8, 137, 25});
    Button1 = MakeButton(Panel2, "Button1", QStringLiteral("画像切り取り"), {320, 9, 97, 25});
    Button3 = MakeButton(Panel2, "Button3", QStringLiteral("連続画像切り取り"), {424, 9, 97, 25});
    Button5 = MakeButton(Panel2, "Button5", QStringLiteral("アルファ合成"), {528, 8, 97, 25});
    Button7 = MakeButton(Panel2, "Button7", QStringLiteral("フェードアウト"), {632, 8, 97, 25});
    Button6 =
        MakeButton(Panel2, "Button6", QStringLiteral("簡易ホームページ作成"), {712, 25, 137, 25});
    Button6->setVisible(false); // the page maker has no visible way in
}

void MainWindow::buildSizeStrip()
{
    Panel1 = MakeDarkPanel(this, "Panel1");
    Panel1->setFixedHeight(24);
    Shape1 = new QFrame(Panel1);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFixedHeight(3);
    Shape1->setAutoFillBackground(true);
    QPalette pal = Shape1->palette();
    pal.setColor(QPalette::Window, GrayTextColor());
    Shape1->setPalette(pal);
    auto *strip = new QVBoxLayout(Panel1); // only stretches the line; the labels sit by position
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(Shape1);
    strip->addStretch();

    Label11 = MakeLabel(Panel1, "Label11", QStringLiteral("画像の大きさ"), {13, 8});
    Label7 = MakeLabel(Panel1, "Label7", QStringLiteral("横幅"), {108, 8});
    Label9 = MakeLabel(Panel1, "Label9", QString(), {137, 8});
    Label8 = MakeLabel(Panel1, "Label8", QStringLiteral("高さ"), {195, 8});
    Label10 = MakeLabel(Panel1, "Label10", QString(), {225, 8});
    Label1 = MakeLabel(Panel1, "Label1", QStringLiteral("切り取り画像サイズ"), {360, 8});
    Label2 = MakeLabel(Panel1, "Label2", QStringLiteral("横幅"), {488, 8});
    Label4 = MakeLabel(Panel1, "Label4", QString(), {520, 8});
    Label5 = MakeLabel(Panel1, "Label5", QStringLiteral("高さ"), {576, 8});
    Label6 = MakeLabel(Panel1, "Label6", QString(), {608, 8});
}

void MainWindow::buildCanvas()
{
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setBackgroundRole(QPalette::Dark); // the button-shadow colour
    PaintBox1 = new CanvasWidget;
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    ScrollBox1->setWidget(PaintBox1);

    PaintBox1->onPaint = [this](QPainter &p, const QRegion &r) { PaintBox1Paint(p, r); };
    PaintBox1->onMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
        PaintBox1MouseDown(b, m, x, y);
    };
    PaintBox1->onMouseMove = [this](Qt::KeyboardModifiers m, int x, int y) {
        PaintBox1MouseMove(m, x, y);
    };
    PaintBox1->onMouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
        PaintBox1MouseUp(b, m, x, y);
    };
}

void MainWindow::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    File1 = bar->addMenu(QStringLiteral("ファイル(&F)"));
    File1->setObjectName(QStringLiteral("File1"));
    R1 = makeItem(File1, "R1", QStringLiteral("画像ファイルを読込む(&R)"));
    S2 = makeItem(File1, "S2", QStringLiteral("表示中の画像を保存する(&S)"));
    N4 = makeSeparator(File1, "N4");
    Exit2 = makeItem(File1, "Exit2", QStringLiteral("終了(&X)"));

    Edit1 = bar->addMenu(QStringLiteral("編集(&E)"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Undo1 = makeItem(Edit1, "Undo1", QStringLiteral("元に戻す(&U)"));
    N2 = makeSeparator(Edit1, "N2");
    C1 = makeItem(Edit1, "C1", QStringLiteral("拡大縮小(&X)"));
    R3 = makeItem(Edit1, "R3", QStringLiteral("回転(&R)"));
    N5 = makeSeparator(Edit1, "N5");
    S1 = makeItem(Edit1, "S1", QStringLiteral("ぼかし(&S)"));
    R2 = makeItem(Edit1, "R2", QStringLiteral("シャープネス(&R)"));
    N17 = makeItem(Edit1, "N17", QStringLiteral("コントラスト強調(&C)"));
    N18 = makeItem(Edit1, "N18", QStringLiteral("ガンマ補正(&G)"));
    N19 = makeItem(Edit1, "N19", QStringLiteral("レベル補正"));

    ool1 = bar->addMenu(QStringLiteral("ツール(&T)"));
    ool1->setObjectName(QStringLiteral("ool1"));
    N3 = makeItem(ool1, "N3", QStringLiteral("スクリーンキャプチャー"));
    N8 = makeItem(ool1, "N8", QStringLiteral("スクリーンキャプチャー(縮小)"));
    N6 = makeItem(ool1, "N6", QStringLiteral("アクティブウインドウキャプチャー"));
    N9 = makeItem(ool1, "N9", QStringLiteral("アクティブウインドウキャプチャー(縮小)"));
    N7 = makeSeparator(ool1, "N7");
    JPEG1 = makeItem(ool1, "JPEG1", QStringLiteral("フォルダ内JPEGファイル縮小"));

    Help1 = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Help1->setSeparatorsCollapsible(false); // N12 and N15 stand together, a wider gap before exit
    N10 = makeItem(Help1, "N10", QStringLiteral("使い方 (&H)"));
    N11 = makeSeparator(Help1, "N11");
    readme1 = makeItem(Help1, "readme1", QStringLiteral("readmeを開く (&R)"));
    About1 = makeItem(Help1, "About1", QStringLiteral("バージョン情報 (&V)"));
    N16 = makeItem(Help1, "N16", QStringLiteral("ホームページへ (&U)"));
    N12 = makeSeparator(Help1, "N12");
    N15 = makeSeparator(Help1, "N15");
    Exit1 = makeItem(Help1, "Exit1", QStringLiteral("終了 (&X)"));
}

void MainWindow::buildComponents()
{
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setOption(QFileDialog::HideNameFilterDetails);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setNameFilters(QtNameFilters(kOpenFilter));

    // No default extension and no overwrite question: the save command adds the extension itself.
    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setOption(QFileDialog::DontUseNativeDialog);
    SaveDialog1->setOption(QFileDialog::HideNameFilterDetails);
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite);
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setNameFilters(QtNameFilters(kSaveFilter));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(800);
    Timer1->setSingleShot(true);
}

void MainWindow::FormCreate()
{
    m_ws.AppDir = m_paths.AppDir;                            // S1
    ReadSettings(m_paths.settingsFile, m_ws.WindowSettings); // S2
    m_ws.PictureLoaded = 0;                                  // S3
    m_ws.CutWidth = m_ws.WindowSettings.ImageWidth;
    m_ws.CutHeight = m_ws.WindowSettings.ImageHeight;
    placeWindow();       // S4
    applyPictureState(); // S5 (and S10 below)
    // S7: Qt widgets are always drawn off screen and shown in one step.
    readPresets();             // S8
    m_ws.PresetListFilled = 1; // S9
    m_ws.PreviewPrepared = 1;
    ResetCanvas(kStartCanvasWidth, kStartCanvasHeight); // S11
    UpdateSizeLabels();                                 // S12
}

void MainWindow::readPresets()
{
    m_ws.PresetCount = 0;
    std::vector<Preset> presets;
    try {
        ReadPresets(m_paths.dataFile(QStringLiteral("data.dat")), presets);
    } catch (const Failure &failure) {
        // Start-up goes on without the rest of the presets; the box waits for the window.
        const QString description = failure.description();
        QTimer::singleShot(0, this, [this, description] { ShowError(this, description); });
    }
    SetPresets(m_ws, presets); // the records read before a failure stay usable
}

void MainWindow::placeWindow()
{
    const SettingsRecord &s = m_ws.WindowSettings;
    // PosX is the top edge and PosY the left edge; the stored size is the outer size.
    m_placedOuterSize =
        QSize(s.PosW > kMinWidth ? s.PosW : kMinWidth, s.PosH > kMinHeight ? s.PosH : kMinHeight);
    move(s.PosY, s.PosX);
    resize(m_placedOuterSize);
}

bool MainWindow::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    // The window manager adds its frame after the window is shown; the stored size includes the
    // frame, so the inside is made smaller by the frame once it is known.
    if (!m_outerSizeFixed && isVisible() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
         event->type() == QEvent::Show)) {
        const QSize frame = frameGeometry().size() - geometry().size();
        if (!frame.isEmpty()) {
            m_outerSizeFixed = true;
            resize(m_placedOuterSize - frame);
        }
    }
    return handled;
}

void MainWindow::applyPictureState()
{
    const bool picture = m_ws.PictureLoaded != 0;
    PaintBox1->setVisible(picture);
    Edit1->menuAction()->setEnabled(picture);
    S2->setEnabled(picture);
    for (QPushButton *output : {Button1, Button3, Button5, Button7})
        output->setEnabled(picture);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    FormDestroy();
    event->accept();
}

void MainWindow::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    const QRect outer = frameGeometry();
    for (QImage *bitmap : {&m_ws.WorkImage, &m_ws.CutImage, &m_ws.FrameImage, &m_ws.ViewImage,
                           &m_ws.BlendImage, &m_ws.UndoImage})
        *bitmap = QImage(); // D1
    m_view.invalidate();

    SettingsRecord &s = m_ws.WindowSettings;
    if (m_ws.PictureLoaded >= 1) { // D2: a run without a picture keeps the stored cut size
        s.ImageWidth = m_ws.CutWidth;
        s.ImageHeight = m_ws.CutHeight;
    }
    s.PosX = outer.top(); // D3
    s.PosY = outer.left();
    s.PosW = outer.width();
    s.PosH = outer.height();
    try { // D4
        if (!m_paths.configDir.isEmpty())
            QDir().mkpath(m_paths.configDir);
        WriteSettings(m_paths.settingsFile, s);
    } catch (const Failure &failure) {
        ShowError(this, failure.description());
    }
}

void MainWindow::Exit1Click()
{
    close();
}

void MainWindow::Exit2Click()
{
    close();
}
