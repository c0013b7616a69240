// MainWindow: the commands of the button bar and the File, Edit and Help menus.
#include "windows/main_window.h"

#include "core/image/picture_io.h"
#include "core/sequence/frames.h"
#include "windows/about_dialog.h"
#include "windows/batch_shrink_dialog.h"
#include "windows/canvas_widget.h"
#include "windows/clamping_spin_box.h"
#include "windows/cut_size_dialog.h"
#include "windows/import_dialog.h"
#include "windows/output_dialog.h"
#include "windows/page_maker_dialog.h"
#include "windows/window_support.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QUrl>

namespace {

constexpr int kFreeSizeLimit = 1500; // the cut-size fields' maximum before the first picture

// The whole-picture save adds the filter's extension unless the name already ends with it.
QString withExtension(const QString &path, const QString &extension)
{
    return path.endsWith(extension, Qt::CaseInsensitive) ? path : path + extension;
}

} // namespace

void MainWindow::connectCommands()
{
    connect(Button4, &QPushButton::clicked, this, &MainWindow::Button4Click);
    connect(R1, &QAction::triggered, this, &MainWindow::R1Click);
    connect(Button2, &QPushButton::clicked, this, &MainWindow::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &MainWindow::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &MainWindow::Button3Click);
    connect(Button5, &QPushButton::clicked, this, &MainWindow::Button5Click);
    connect(Button7, &QPushButton::clicked, this, &MainWindow::Button7Click);
    connect(S2, &QAction::triggered, this, &MainWindow::S2Click);
    connect(Undo1, &QAction::triggered, this, &MainWindow::Undo1Click);
    connect(N10, &QAction::triggered, this, &MainWindow::N10Click);
    connect(readme1, &QAction::triggered, this, &MainWindow::readme1Click);
    connect(N16, &QAction::triggered, this, &MainWindow::N16Click);
    connect(About1, &QAction::triggered, this, &MainWindow::About1Click);
    connect(Exit1, &QAction::triggered, this, &MainWindow::Exit1Click);
    connect(Exit2, &QAction::triggered, this, &MainWindow::Exit2Click);
    connect(Button6, &QPushButton::clicked, this, &MainWindow::Button6Click);
    connect(JPEG1, &QAction::triggered, this, &MainWindow::JPEG1Click);
}

void MainWindow::Button4Click()
{
    m_ws.ImportTarget = 1;
    Form2->exec();
}

void MainWindow::R1Click()
{
    Button4Click();
}

void MainWindow::Button2Click()
{
    if (m_ws.PresetListFilled == 1) { // the list is filled once a run
        Form3->ComboBox1->clear();
        for (int i = 0; i < m_ws.PresetCount; ++i) {
            if (!m_ws.PresetNames[i].isEmpty())
                Form3->ComboBox1->addItem(m_ws.PresetNames[i]);
        }
        Form3->ComboBox1->setCurrentIndex(-1); // nothing chosen: the free size applies
        m_ws.PresetListFilled = 2;
    }
    const bool picture = m_ws.PictureLoaded != 0;
    Form3->SpinEdit1->setMaximum(picture ? m_ws.CanvasWidth : kFreeSizeLimit);
    Form3->SpinEdit2->setMaximum(picture ? m_ws.CanvasHeight : kFreeSizeLimit);
    Form3->SpinEdit1->setValue(m_ws.CutWidth);
    Form3->SpinEdit2->setValue(m_ws.CutHeight);
    Form3->exec();
}

void MainWindow::prepareOutput(uint8_t mode)
{
    m_ws.PreviewPrepared = 2;
    m_ws.OutputMode = mode;
    ClampFrame(m_ws);
    FillCutImage(m_ws);
    Form4->ShowPreview(m_ws.CutImage);
}

void MainWindow::openOutputDialog(uint8_t mode)
{
    Guarded(this, [&] {
        prepareOutput(mode);
        // Visibility, captions, selections, the compositing button, then the title, in this
        // order: a selection runs its button's handler with the values set before it.
        Form4->GroupBox1->setVisible(mode == 2);
        Form4->GroupBox2->setVisible(mode == 2);
        Form4->GroupBox3->setVisible(mode == 3 || mode == 4);
        if (mode == 3) {
            Form4->GroupBox3->setTitle(QStringLiteral("オプション"));
            Form4->RadioButton9->setText(QStringLiteral("ノーマル"));
            Form4->RadioButton10->setText(QStringLiteral("白を透過させる"));
        } else if (mode == 4) {
            Form4->GroupBox3->setTitle(QStringLiteral("色を選択してください"));
            Form4->RadioButton9->setText(QStringLiteral("白"));
            Form4->RadioButton10->setText(QStringLiteral("黒"));
        }
        for (QRadioButton *radio : {Form4->RadioButton9, Form4->RadioButton10})
            radio->adjustSize();
        if (mode != 1) {
            Form4->RadioButton1->setChecked(true);
            Form4->RadioButton4->setChecked(true);
        }
        if (mode == 3 || mode == 4)
            Form4->RadioButton9->setChecked(true);
        Form4->Button3->setVisible(mode == 3);
        if (mode == 2) { // whatever the last run used
            m_ws.FrameDirection = Direction::Right;
            m_ws.FrameStep = 15;
        }
        static const QString titles[] = {
            QString(), QStringLiteral("画像切り取り"), QStringLiteral("連続画像切り取り"),
            QStringLiteral("アルファ合成"), QStringLiteral("フェードアウト")};
        SetLabelText(Form4->Label1, titles[mode]);
    });
    Form4->exec();
    RefreshCanvas(); // the frame stands where it stood; a new picture may have come meanwhile
}

void MainWindow::Button1Click()
{
    openOutputDialog(1);
}

void MainWindow::Button3Click()
{
    openOutputDialog(2);
}

void MainWindow::Button5Click()
{
    openOutputDialog(3);
}

void MainWindow::Button7Click()
{
    openOutputDialog(4);
}

void MainWindow::S2Click()
{
    const QString chosen = RunFileDialog(SaveDialog1);
    if (QFileInfo(chosen).fileName().isEmpty())
        return;
    const bool jpeg = SelectedFilterIndex(SaveDialog1) == 1;
    Guarded(this, [&] {
        if (jpeg)
            WriteJpegFile(withExtension(chosen, QStringLiteral(".jpg")), m_ws.WorkImage, 90);
        else
            WriteBmpOwnDepthFile(withExtension(chosen, QStringLiteral(".bmp")), m_ws.WorkImage);
    });
}

void MainWindow::Undo1Click()
{
    if (m_ws.UndoImage.isNull())
        return;
    m_ws.WorkImage = m_ws.UndoImage;
    m_ws.CanvasWidth = m_ws.UndoImage.width();
    m_ws.CanvasHeight = m_ws.UndoImage.height();
    PaintBox1->resize(m_ws.CanvasWidth, m_ws.CanvasHeight);
    LowerCutToCanvas(m_ws);
    UpdateSizeLabels();
    RefreshCanvas();
}

void MainWindow::N10Click()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_paths.dataFile(QStringLiteral("help.html"))));
}

void MainWindow::readme1Click()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_paths.dataFile(QStringLiteral("readme.txt"))));
}

void MainWindow::N16Click()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePageUrl)));
}

void MainWindow::JPEG1Click()
{
    Form8->Edit1->clear();
    Form8->Edit2->clear();
    Form8->exec();
}

void MainWindow::Button6Click()
{
    Form5->exec();
}

void MainWindow::About1Click()
{
    Form7->exec();
}
