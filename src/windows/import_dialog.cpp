// The import dialog.
#include "windows/import_dialog.h"

#include "core/image/picture_reading.h"
#include "ui_import_dialog.h"
#include "windows/window_support.h"

#include <QFileInfo>

namespace {

const QString kPictureFilter =
    QStringLiteral("イメージファイル(*.bmp, *.jpg, *.jpeg)|*.bmp; *.jpg; *.jpeg");

} // namespace

ImportDialog::ImportDialog(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ImportDialog>())
{
    m_ui->setupUi(this);
    SetDarkBackground(m_ui->topPanel);
    m_openDialog =
        MakeFileDialog(this, "pictureOpenDialog", QFileDialog::AcceptOpen, kPictureFilter);
    connect(m_ui->browseButton, &QPushButton::clicked, this, &ImportDialog::browse);
    connect(m_ui->takeButton, &QPushButton::clicked, this, &ImportDialog::take);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ImportDialog::~ImportDialog() = default;

std::optional<QImage> ImportDialog::choosePicture()
{
    m_taken = QImage();
    if (exec() != QDialog::Accepted || m_taken.isNull())
        return std::nullopt;
    return std::exchange(m_taken, QImage());
}

void ImportDialog::browse()
{
    const QString path = RunFileDialog(m_openDialog);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    Guarded(this, [&] {
        // A JPEG that cannot be read leaves the field as it was; a BMP's path is shown first.
        switch (PictureKindOf(path)) {
        case PictureKind::Jpeg:
            showPreview(ReadJpeg(path));
            m_ui->pathField->setText(path);
            break;
        case PictureKind::Bmp:
            m_ui->pathField->setText(path);
            showPreview(ReadBmp(path));
            break;
        case PictureKind::Unknown: break; // neither preview nor field change
        }
    });
}

void ImportDialog::showPreview(const QImage &picture)
{
    m_ui->previewLabel->setPixmap(QPixmap::fromImage(picture));
    m_ui->previewLabel->resize(picture.size());
}

void ImportDialog::take()
{
    const QString path = m_ui->pathField->text();
    if (!QFileInfo(path).isFile()) { // gone since it was chosen: nothing to take
        accept();
        return;
    }
    Guarded(this, [&] {
        m_taken = ReadPicture(path);
        accept();
    });
}
