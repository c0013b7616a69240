// OutputDialog: the save and sequence dialog.
#include "windows/output_dialog.h"

#include "core/image/picture_io.h"
#include "core/sequence/frames.h"
#include "windows/import_dialog.h"
#include "windows/main_window.h"
#include "windows/window_support.h"

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

namespace {

constexpr int kPreviewLimit = 1500; // the preview's drawing surface
const QString kBmpFilter = QStringLiteral("ビットマップファイル(*.bmp)|*.bmp");

QRadioButton *makeRadio(QWidget *parent, const char *name, const QString &caption, QPoint at)
{
    auto *radio = new QRadioButton(caption, parent);
    radio->setObjectName(QLatin1String(name));
    radio->move(at);
    radio->adjustSize();
    return radio;
}

QGroupBox *makeGroup(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *group = new QGroupBox(caption, parent);
    group->setObjectName(QLatin1String(name));
    group->setGeometry(geometry);
    return group;
}

} // namespace

OutputDialog::OutputDialog(MainWindow &main) : QDialog(&main), m_main(main)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("画像を保存する"));
    setFixedSize(691, 527);
    buildStrip();
    buildGroups();
    buildSaveDialogs();
    connectHandlers();
}

void OutputDialog::buildStrip()
{
    QFrame *strip = MakeDarkPanel(this, "Panel1");
    strip->setGeometry(0, 0, 691, 129);
    Label1 = MakeLabel(strip, "Label1", QString(), {12, 8});
    Button1 = MakeButton(strip, "Button1", QStringLiteral("保存する"), {456, 24, 105, 25});
    Button2 = MakeButton(strip, "Button2", QStringLiteral("閉じる"), {572, 24, 105, 25});
    Button3 = MakeButton(strip, "Button3", QStringLiteral("合成用画像を開く"), {456, 58, 221, 25});
    Label2 = MakeLabel(strip, "Label2", QStringLiteral("作成進行状況"), {456, 100});
    ProgressBar1 = new QProgressBar(strip);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(536, 98, 141, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setGeometry(0, 129, 691, 527 - 129);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    ScrollBox1->setWidget(Image1);
}

void OutputDialog::buildGroups()
{
    auto *strip = findChild<QFrame *>(QStringLiteral("Panel1"));
    GroupBox1 = makeGroup(strip, "GroupBox1", QStringLiteral("移動量"), {12, 30, 250, 90});
    RadioButton1 = makeRadio(GroupBox1, "RadioButton1", QStringLiteral("大(15移動)"), {10, 20});
    RadioButton2 = makeRadio(GroupBox1, "RadioButton2", QStringLiteral("中（8移動）"), {10, 42});
    RadioButton3 = makeRadio(GroupBox1, "RadioButton3", QStringLiteral("小（3移動）"), {10, 64});
    RadioButton8 = makeRadio(GroupBox1, "RadioButton8", QStringLiteral("移動量　１"), {126, 20});
    RadioButton11 =
        makeRadio(GroupBox1, "RadioButton11", QStringLiteral("切り取りサイズ"), {126, 42});

    GroupBox2 = makeGroup(strip, "GroupBox2", QStringLiteral("移動動作"), {272, 30, 170, 90});
    RadioButton4 = makeRadio(GroupBox2, "RadioButton4", QStringLiteral("右へ"), {10, 20});
    RadioButton5 = makeRadio(GroupBox2, "RadioButton5", QStringLiteral("左へ"), {10, 42});
    RadioButton6 = makeRadio(GroupBox2, "RadioButton6", QStringLiteral("下へ"), {90, 20});
    RadioButton7 = makeRadio(GroupBox2, "RadioButton7", QStringLiteral("上へ"), {90, 42});

    // Stands where the move amount stands; the modes that show it hide the other two groups.
    GroupBox3 = makeGroup(strip, "GroupBox3", QString(), {12, 30, 250, 90});
    RadioButton9 = makeRadio(GroupBox3, "RadioButton9", QString(), {10, 20});
    RadioButton10 = makeRadio(GroupBox3, "RadioButton10", QString(), {10, 42});

    for (QGroupBox *group : {GroupBox1, GroupBox2, GroupBox3}) {
        QPalette pal = group->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        group->setPalette(pal);
    }
}

void OutputDialog::buildSaveDialogs()
{
    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog2 = new QFileDialog(this);
    SaveDialog2->setObjectName(QStringLiteral("SaveDialog2"));
    for (QFileDialog *dialog : {SaveDialog1, SaveDialog2}) {
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setOption(QFileDialog::HideNameFilterDetails);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setNameFilters(QtNameFilters(kBmpFilter));
    }
    SaveDialog1->setDefaultSuffix(QStringLiteral("bmp")); // the base name of frames takes none
}

void OutputDialog::connectHandlers()
{
    // toggled(true) runs a handler both for a click and for a selection made by the program, and
    // not again for a button that is already selected.
    const auto onSelect = [this](QRadioButton *radio, void (OutputDialog::*handler)()) {
        connect(radio, &QRadioButton::toggled, this, [this, handler](bool selected) {
            if (selected)
                (this->*handler)();
        });
    };
    onSelect(RadioButton1, &OutputDialog::RadioButton1Click);
    onSelect(RadioButton2, &OutputDialog::RadioButton2Click);
    onSelect(RadioButton3, &OutputDialog::RadioButton3Click);
    onSelect(RadioButton8, &OutputDialog::RadioButton8Click);
    onSelect(RadioButton11, &OutputDialog::RadioButton11Click);
    onSelect(RadioButton4, &OutputDialog::RadioButton4Click);
    onSelect(RadioButton5, &OutputDialog::RadioButton5Click);
    onSelect(RadioButton6, &OutputDialog::RadioButton6Click);
    onSelect(RadioButton7, &OutputDialog::RadioButton7Click);
    connect(Button1, &QPushButton::clicked, this, &OutputDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &OutputDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &OutputDialog::Button3Click);
}

void OutputDialog::ShowPreview(const QImage &cut)
{
    const QImage shown =
        cut.copy(0, 0, std::min(cut.width(), kPreviewLimit), std::min(cut.height(), kPreviewLimit));
    Image1->setPixmap(QPixmap::fromImage(shown));
    Image1->resize(shown.size());
}

void OutputDialog::RadioButton1Click()
{
    m_main.workspace().FrameStep = 15;
}

void OutputDialog::RadioButton2Click()
{
    m_main.workspace().FrameStep = 8;
}

void OutputDialog::RadioButton3Click()
{
    m_main.workspace().FrameStep = 3;
}

void OutputDialog::RadioButton8Click()
{
    m_main.workspace().FrameStep = 1;
}

void OutputDialog::RadioButton11Click()
{
    Workspace &ws = m_main.workspace();
    if (RadioButton4->isChecked() || RadioButton5->isChecked())
        ws.FrameStep = ws.CutWidth;
    else if (RadioButton6->isChecked() || RadioButton7->isChecked())
        ws.FrameStep = ws.CutHeight;
}

void OutputDialog::RadioButton4Click()
{
    m_main.workspace().FrameDirection = Direction::Right;
    if (RadioButton11->isChecked())
        m_main.workspace().FrameStep = m_main.workspace().CutWidth;
}

void OutputDialog::RadioButton5Click()
{
    m_main.workspace().FrameDirection = Direction::Left;
    if (RadioButton11->isChecked())
        m_main.workspace().FrameStep = m_main.workspace().CutWidth;
}

void OutputDialog::RadioButton6Click()
{
    m_main.workspace().FrameDirection = Direction::Down;
    if (RadioButton11->isChecked())
        m_main.workspace().FrameStep = m_main.workspace().CutHeight;
}

void OutputDialog::RadioButton7Click()
{
    m_main.workspace().FrameDirection = Direction::Up;
    if (RadioButton11->isChecked())
        m_main.workspace().FrameStep = m_main.workspace().CutHeight;
}

void OutputDialog::Button1Click()
{
    Guarded(this, [this] {
        const Workspace &ws = m_main.workspace();
        if (ws.OutputMode == 1)
            saveSingle(true);
        else if (ws.OutputMode == 2 && ContinuousFrameCount(ws) < 2)
            saveSingle(false); // only the start fits: one file
        else if (ws.OutputMode >= 2 && ws.OutputMode <= 4)
            saveSequence();
    });
}

void OutputDialog::saveSingle(bool closeOnCancel)
{
    const QString path = RunFileDialog(SaveDialog1);
    if (path.isEmpty()) {
        if (closeOnCancel)
            accept();
        return;
    }
    WriteBmp24File(path, m_main.workspace().CutImage);
    accept();
}

void OutputDialog::saveSequence()
{
    const QString base = RunFileDialog(SaveDialog2);
    if (base.isEmpty())
        return; // cancelled: the dialog stays open
    Workspace &ws = m_main.workspace();
    BmpFrameWriter writer;
    const FrameProgress progress = [this](int k, int n) { showProgress(k, n); };
    if (ws.OutputMode == 2) {
        WriteContinuousFrames(
            ws, base,
            [&writer](const QString &path, const QImage &picture) { writer.write(path, picture); },
            progress);
    } else {
        const bool first = RadioButton9->isChecked();
        const MixKind kind = ws.OutputMode == 3
                                 ? (first ? MixKind::Blend : MixKind::BlendWhiteTransparent)
                                 : (first ? MixKind::FadeToWhite : MixKind::FadeToBlack);
        WriteMixFrames(ws, kind, base, writer, progress);
    }
    ProgressBar1->setValue(0);
    accept();
}

void OutputDialog::showProgress(int k, int n)
{
    ProgressBar1->setRange(0, n);
    ProgressBar1->setValue(k);
    // Let the bar repaint, a few dozen times a second at most: a run of thousands of small
    // frames must not spend its time painting. The dialog takes no input while the run lasts.
    if (k == 1 || k == n || !m_progressShown.isValid() || m_progressShown.elapsed() > 40) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_progressShown.start();
    }
}

void OutputDialog::Button2Click()
{
    reject();
}

void OutputDialog::Button3Click()
{
    m_main.workspace().ImportTarget = 2;
    m_main.Form2->exec();
}
