// SPDX-License-Identifier: GPL-3.0-or-later
// What every window of the program shares: font, colours, the error box, file filters.
#include "windows/window_support.h"

#include "core/base/interface_language.h"
#include "core/base/io_error.h"
#include "core/base/version.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTranslator>
#include <QUrl>
#include <algorithm>
#include <limits>

namespace {

// Turns a filter written as "description|patterns|description|patterns" (patterns separated by
// ';', blanks allowed) into Qt's name filters. The description is shown as written.
QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            patterns << pattern.trimmed();
        // Qt reads the patterns from the last bracket; the description keeps its own brackets
        // and is all that the dialog shows (HideNameFilterDetails).
        result << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

// A caption that grew (a translation, a wider font) must not run into the number or the field it
// names: what stands right of it on its row moves right as far as it takes to keep the gap the
// form had, or kCaptionGap where the form had more.
void makeRoomRightOf(const QLabel *label, const QRect &before)
{
    constexpr int kCaptionGap = 6;
    QList<QWidget *> row;
    int nearest = std::numeric_limits<int>::max();
    for (QWidget *sibling :
         label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QRect place = sibling->geometry();
        if (sibling != label && place.left() > before.right() && place.top() <= before.bottom() &&
            place.bottom() >= before.top()) {
            row << sibling;
            nearest = std::min(nearest, place.left());
        }
    }
    if (row.isEmpty())
        return;
    // QRect::right() is the last pixel inside.
    const int gap = std::min(kCaptionGap, nearest - before.right() - 1);
    const int shift = label->geometry().right() + 1 + gap - nearest;
    if (shift <= 0)
        return;
    for (QWidget *sibling : row)
        sibling->move(sibling->x() + shift, sibling->y());
}

} // namespace

void SetUpApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("mokaran"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));

    // Debian has no alias for the Windows font the layout was drawn with: without these
    // substitutions Qt picks a Latin font with CJK fallback, whose widths break the fixed layout.
    const QStringList japanese = {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), japanese);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), japanese);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    // Qt's own texts (the buttons of message boxes, the file dialogs) in the interface's language.
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_") + InterfaceLanguage(),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    QApplication::setWindowIcon(MakeAppIcon());
}

void ShowError(QWidget *parent, const QString &description)
{
    QMessageBox::critical(parent, kAppTitle, WithFullStop(description));
}

void SetDarkBackground(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, DarkShadowColor());
    pal.setColor(QPalette::WindowText, Qt::white);
    widget->setPalette(pal);
    // Spin boxes, scroll bars and combo boxes draw their arrows in the window's text colour on
    // their own light button faces, where white vanishes: they keep the desktop's colour. A
    // combo box's list is made later and takes it from the combo box.
    const QPalette desktop = QApplication::palette();
    for (QWidget *control : widget->findChildren<QWidget *>()) {
        if (!qobject_cast<QAbstractSpinBox *>(control) && !qobject_cast<QScrollBar *>(control) &&
            !qobject_cast<QComboBox *>(control) && !qobject_cast<QAbstractScrollArea *>(control))
            continue;
        QPalette own; // only the text colour is the control's own; the rest is inherited
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            own.setColor(group, QPalette::WindowText, desktop.color(group, QPalette::WindowText));
        control->setPalette(own);
    }
}

void SetLabelText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize();
}

void FitLabelWidths(QWidget *root)
{
    QList<QLabel *> labels = root->findChildren<QLabel *>();
    // Left to right: a caption pushed by the one before it is fitted where it then stands.
    std::stable_sort(labels.begin(), labels.end(),
                     [](const QLabel *a, const QLabel *b) { return a->x() < b->x(); });
    for (QLabel *label : labels) {
        if (label->text().isEmpty())
            continue;
        const QRect before = label->geometry();
        label->resize(label->sizeHint().width(), label->height());
        if (label->width() > before.width() && label->parentWidget())
            makeRoomRightOf(label, before);
    }
    // Radio buttons and check boxes keep their width unless their caption needs more.
    for (QAbstractButton *box : root->findChildren<QAbstractButton *>()) {
        if ((qobject_cast<QRadioButton *>(box) || qobject_cast<QCheckBox *>(box)) &&
            box->sizeHint().width() > box->width())
            box->resize(box->sizeHint().width(), box->height());
    }
}

QColor DarkShadowColor()
{
    return QApplication::palette().color(QPalette::Shadow);
}

QColor GrayTextColor()
{
    return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

QFileDialog *MakeFileDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                            const QString &filter)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(QLatin1String(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(mode);
    if (mode == QFileDialog::AcceptSave) {
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    dialog->setNameFilters(qtNameFilters(filter));
    return dialog;
}

int SelectedFilterIndex(const QFileDialog *dialog)
{
    const QString chosen = dialog->selectedNameFilter();
    const QStringList filters = dialog->nameFilters();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters[i] == chosen || filters[i].startsWith(chosen + QStringLiteral(" (")))
            return int(i);
    }
    return 0;
}

QString RunFileDialog(QFileDialog *dialog)
{
    const bool accepted = dialog->exec() == QDialog::Accepted;
    for (QCompleter *completer : dialog->findChildren<QCompleter *>()) {
        if (completer->popup())
            completer->popup()->hide();
    }
    if (!accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().front();
}

QList<QRect> AvailableScreenAreas()
{
    QList<QRect> areas;
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (primary)
        areas << primary->availableGeometry();
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != primary)
            areas << screen->availableGeometry();
    }
    return areas;
}

QRect PlaceOnScreens(int left, int top, int width, int height, QSize minimum,
                     const QList<QRect> &areas)
{
    // The stored numbers may be anything a file can hold: the arithmetic is done in 64 bits.
    const qint64 frameLeft = left;
    const qint64 frameTop = top;
    const qint64 frameWidth = std::max<qint64>(width, minimum.width());
    const qint64 frameHeight = std::max<qint64>(height, minimum.height());
    const auto overlap = [](qint64 start, qint64 length, int areaStart, int areaLength) {
        return std::max<qint64>(0,
                                std::min<qint64>(start + length, qint64(areaStart) + areaLength) -
                                    std::max<qint64>(start, areaStart));
    };
    QRect area(QPoint(0, 0), minimum); // no screen at all: the minimum at the origin
    qint64 best = 0;
    for (qsizetype i = 0; i < areas.size(); ++i) {
        const QRect &candidate = areas[i];
        const qint64 shared = overlap(frameLeft, frameWidth, candidate.x(), candidate.width()) *
                              overlap(frameTop, frameHeight, candidate.y(), candidate.height());
        if (i == 0 || shared > best) { // the primary unless another holds more of the frame
            area = candidate;
            best = shared;
        }
    }
    // The size first, then the place: a frame larger than the area takes the area's corner.
    const auto fit = [](qint64 start, qint64 length, int areaStart, int areaLength) {
        return std::max<qint64>(areaStart,
                                std::min<qint64>(start, qint64(areaStart) + areaLength - length));
    };
    const int placedWidth =
        int(std::max<qint64>(minimum.width(), std::min<qint64>(frameWidth, area.width())));
    const int placedHeight =
        int(std::max<qint64>(minimum.height(), std::min<qint64>(frameHeight, area.height())));
    return QRect(int(fit(frameLeft, placedWidth, area.x(), area.width())),
                 int(fit(frameTop, placedHeight, area.y(), area.height())), placedWidth,
                 placedHeight);
}

namespace {

// Remembers where a dialog's frame was when it closed and puts it there when it is shown again.
// An explicit move before the dialog is mapped is what X window managers honour exactly; Qt's
// own placement of a dialog shown again mixes up the frame's and the inside's corner.
class PlaceKeeper : public QObject {
  public:
    explicit PlaceKeeper(QDialog *dialog) : QObject(dialog) { dialog->installEventFilter(this); }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *dialog = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Hide && !event->spontaneous()) {
            m_frame = dialog->frameGeometry();
        } else if (event->type() == QEvent::Show && !event->spontaneous() && m_frame.isValid()) {
            // Kept on a screen: one may have been removed since the dialog last closed.
            dialog->move(PlaceOnScreens(m_frame.x(), m_frame.y(), m_frame.width(), m_frame.height(),
                                        QSize(0, 0), AvailableScreenAreas())
                             .topLeft());
        }
        return false;
    }

  private:
    QRect m_frame; // where the dialog's frame was when it last closed; invalid before that
};

} // namespace

void KeepPlaceBetweenOpenings(QDialog *dialog)
{
    new PlaceKeeper(dialog);
}

QString DraggedFile(const QMimeData *data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}
