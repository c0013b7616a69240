// ImportDialog: the import dialog.
#include "windows/import_dialog.h"

#include "core/image/picture_io.h"
#include "core/sequence/frames.h"
#include "windows/main_window.h"
#include "windows/window_support.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

ImportDialog::ImportDialog(MainWindow &main) : QDialog(&main), m_main(main)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("画像ファイル読込み"));
    setFixedSize(733, 535);

    Panel1 = MakeDarkPanel(this, "Panel1");
    Panel1->setFixedHeight(57);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setGeometry(8, 18, 449, 21);
    Button1 = MakeButton(Panel1, "Button1", QStringLiteral("参照"), {468, 16, 75, 25});
    Button2 = MakeButton(Panel1, "Button2", QStringLiteral("決定"), {560, 16, 75, 25});
    Button3 = MakeButton(Panel1, "Button3", QStringLiteral("キャンセル"), {644, 16, 75, 25});

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    Image3 = new QLabel;
    Image3->setObjectName(QStringLiteral("Image3"));
    ScrollBox1->setWidget(Image3);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(ScrollBox1, 1);

    connect(Button1, &QPushButton::clicked, this, &ImportDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &ImportDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &ImportDialog::Button3Click);
}

void ImportDialog::Button1Click()
{
    const QString path = RunFileDialog(m_main.OpenDialog1);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    Guarded(this, [&] {
        switch (PictureKindOf(path)) {
        case PictureKind::Jpeg:
            showPreview(ReadJpeg(path));
            Edit1->setText(path);
            break;
        case PictureKind::Bmp:
            Edit1->setText(path);
            showPreview(ReadBmp(path));
            break;
        case PictureKind::Unknown: break; // neither preview nor field change
        }
    });
}

void ImportDialog::showPreview(const QImage &picture)
{
    Image3->setPixmap(QPixmap::fromImage(picture));
    Image3->resize(picture.size());
}

void ImportDialog::Button2Click()
{
    const QString path = Edit1->text();
    if (!QFileInfo(path).isFile()) { // gone since it was chosen: nothing to import
        accept();
        return;
    }
    // A file that cannot be read is reported and the dialog stays open, the workspace untouched.
    Guarded(this, [&] {
        importInto(path);
        accept();
    });
}

void ImportDialog::importInto(const QString &path)
{
    Workspace &ws = m_main.workspace();
    if (ws.ImportTarget == 1) {
        m_main.TakeNewPicture(ReadPicture(path));
    } else if (ws.ImportTarget == 2) {
        ws.BlendImage = FitToCut(ReadPicture(path), ws.CutWidth, ws.CutHeight);
    }
}

void ImportDialog::Button3Click()
{
    reject();
}
