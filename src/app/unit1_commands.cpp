// TForm1: the commands of the button bar and the File, Edit and Help menus.
#include "app/unit1.h"

#include "app/paintbox.h"
#include "app/spinedit.h"
#include "app/ui_support.h"
#include "app/unit7.h"
#include "batch/unit8.h"
#include "dialogs/unit2.h"
#include "dialogs/unit3.h"
#include "image/picture_io.h"
#include "page/unit5.h"
#include "sequence/frames.h"
#include "sequence/unit4.h"

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

void TForm1::connectCommands()
{
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(R1, &QAction::triggered, this, &TForm1::R1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
    connect(S2, &QAction::triggered, this, &TForm1::S2Click);
    connect(Undo1, &QAction::triggered, this, &TForm1::Undo1Click);
    connect(N10, &QAction::triggered, this, &TForm1::N10Click);
    connect(readme1, &QAction::triggered, this, &TForm1::readme1Click);
    connect(N16, &QAction::triggered, this, &TForm1::N16Click);
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(Exit2, &QAction::triggered, this, &TForm1::Exit2Click);
    connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    connect(JPEG1, &QAction::triggered, this, &TForm1::JPEG1Click);
}

void TForm1::Button4Click()
{
    m_ws.ImportTarget = 1;
    Form2->exec();
}

void TForm1::R1Click()
{
    Button4Click();
}

void TForm1::Button2Click()
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

void TForm1::prepareOutput(uint8_t mode)
{
    m_ws.PreviewPrepared = 2;
    m_ws.OutputMode = mode;
    ClampFrame(m_ws);
    FillCutImage(m_ws);
    Form4->ShowPreview(m_ws.CutImage);
}

void TForm1::openOutputDialog(uint8_t mode)
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
            m_ws.FrameDirection = kRight;
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

void TForm1::Button1Click()
{
    openOutputDialog(1);
}

void TForm1::Button3Click()
{
    openOutputDialog(2);
}

void TForm1::Button5Click()
{
    openOutputDialog(3);
}

void TForm1::Button7Click()
{
    openOutputDialog(4);
}

void TForm1::S2Click()
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

void TForm1::Undo1Click()
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

void TForm1::N10Click()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_paths.dataFile(QStringLiteral("help.html"))));
}

void TForm1::readme1Click()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_paths.dataFile(QStringLiteral("readme.txt"))));
}

void TForm1::N16Click()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePageUrl)));
}

void TForm1::JPEG1Click()
{
    Form8->Edit1->clear();
    Form8->Edit2->clear();
    Form8->exec();
}

void TForm1::Button6Click()
{
    Form5->exec();
}

void TForm1::About1Click()
{
    SetLabelText(Form7->Label2, QStringLiteral("ver 1.32  (2008.06.07)"));
    Form7->exec();
}
