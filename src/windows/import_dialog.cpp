// SPDX-License-Identifier: GPL-3.0-or-later
// The import dialog.
#include "windows/import_dialog.h"

#include "core/image/picture_reading.h"
#include "core/image/plugin_reading.h"
#include "ui_import_dialog.h"
#include "windows/application.h"
#include "windows/busy_cursor.h"
#include "windows/dialog_buttons.h"
#include "windows/error_box.h"
#include "windows/file_dialogs.h"
#include "windows/palettes.h"

#include <QFileInfo>
#include <QMessageBox>

namespace {

const char *const kPictureFilter = QT_TRANSLATE_NOOP(
    "ImportDialog",
    "イメージファイル(*.bmp, *.jpg, *.jpeg, *.png, *.gif, *.webp, *.tif, *.tiff, *.tga)|"
    "*.bmp; *.jpg; *.jpeg; *.png; *.gif; *.webp; *.tif; *.tiff; *.tga");

} // namespace

ImportedPicture ImportPictureFile(const QString &path)
{
    LoadedPicture loaded = ReadPicture(path);
    return {std::move(loaded.picture), path,
            loaded.convertedFrom,      loaded.metadata,
            std::move(loaded.frames),  std::move(loaded.delaysMs)};
}

ImportDialog::ImportDialog(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ImportDialog>())
{
    m_ui->setupUi(this);
    SetDarkBackground(m_ui->topPanel);
    m_openDialog =
        MakeFileDialog(this, "pictureOpenDialog", QFileDialog::AcceptOpen, tr(kPictureFilter));
    QDialogButtonBox *buttons = m_ui->buttonBox;
    // 決定 is no default button: Return in the path field shows the typed file first, and takes
    // it once shown.
    QPushButton *takeButton =
        AddDialogButton(buttons, tr("決定"), QDialogButtonBox::ActionRole, "takeButton");
    QPushButton *cancel =
        AddDialogButton(buttons, tr("キャンセル"), QDialogButtonBox::RejectRole, "cancelButton");
    ChainTabOrder({m_ui->pathField, m_ui->browseButton, takeButton, cancel, m_ui->previewArea});
    connect(m_ui->browseButton, &QPushButton::clicked, this, &ImportDialog::browse);
    connect(takeButton, &QPushButton::clicked, this, &ImportDialog::take);
    // Return in the path field shows the typed file, as a file chosen with 参照 is shown; Return
    // again takes it.
    connect(m_ui->pathField, &QLineEdit::returnPressed, this, [this] {
        const QString typed = m_ui->pathField->text().trimmed();
        if (!typed.isEmpty() && typed == m_shownPath)
            take();
        else
            showFile(typed);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ImportDialog::~ImportDialog() = default;

std::optional<ImportedPicture> ImportDialog::choosePicture()
{
    m_taken = {};
    if (exec() != QDialog::Accepted || m_taken.picture.isNull())
        return std::nullopt;
    return std::exchange(m_taken, {});
}

void ImportDialog::browse()
{
    const QString path = RunFileDialog(m_openDialog);
    if (!path.isEmpty())
        showFile(path);
}

void ImportDialog::showFile(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        tell(tr("%1 が見つかりません。").arg(path));
        return;
    }
    Guarded(this, [&] {
        BusyCursor busy;
        // A JPEG that cannot be read leaves the field as it was; the path of any other kind is
        // shown first. The content decides the kind; a name with no picture kind's extension is
        // read all the same when its content is a picture.
        switch (ContentKindOfFile(path)) {
        case ContentKind::Jpeg: showPreview(ReadPictureFile(path)); break;
        case ContentKind::Unknown:
            tell(tr("%1 は読み込めません。BMP、JPEG、PNG、GIF、WebP、TIFF、TGA の"
                    "画像ファイルを選んでください。")
                     .arg(QFileInfo(path).fileName()));
            return;
        default:
            m_ui->pathField->setText(path);
            showPreview(ReadPictureFile(path));
            m_shownPath = path;
            return;
        }
        m_ui->pathField->setText(path);
        m_shownPath = path;
    });
}

void ImportDialog::showPreview(const QImage &picture)
{
    m_ui->previewLabel->setPixmap(QPixmap::fromImage(picture));
    m_ui->previewLabel->resize(picture.size());
}

void ImportDialog::take()
{
    const QString path = m_ui->pathField->text().trimmed();
    if (path.isEmpty()) {
        tell(tr("読み込む画像ファイルを「参照」で選ぶか、パスを入力してください。"));
        return;
    }
    if (!QFileInfo(path).isFile()) { // gone since it was chosen, or mistyped
        tell(tr("%1 が見つかりません。").arg(path));
        return;
    }
    Guarded(this, [&] {
        BusyCursor busy;
        m_taken = ImportPictureFile(path);
        accept();
    });
}

void ImportDialog::tell(const QString &text)
{
    QMessageBox::information(this, kAppTitle, text);
}
