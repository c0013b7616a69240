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
#include <QGroupBox>
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

constexpr int kCaptionGap = 6;

// A caption that grew (a translation, a wider font) must not run into the number or the field it
// names: what stands right of it on its row moves right as far as it takes to keep the gap the
// form had, or kCaptionGap where the form had more.
void makeRoomRightOf(const QWidget *caption, const QRect &before)
{
    QList<QWidget *> row;
    int nearest = std::numeric_limits<int>::max();
    for (QWidget *sibling :
         caption->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QRect place = sibling->geometry();
        if (sibling != caption && place.left() > before.right() && place.top() <= before.bottom() &&
            place.bottom() >= before.top()) {
            row << sibling;
            nearest = std::min(nearest, place.left());
        }
    }
    if (row.isEmpty())
        return;
    // QRect::right() is the last pixel inside.
    const int gap = std::min(kCaptionGap, nearest - before.right() - 1);
    const int shift = caption->geometry().right() + 1 + gap - nearest;
    if (shift <= 0)
        return;
    for (QWidget *sibling : row)
        sibling->move(sibling->x() + shift, sibling->y());
}

// A panel or frame whose children the form places by hand, so that moving them can leave them
// past its edge. Controls that place their own parts (scroll areas, spin boxes) are not.
bool placesChildrenByHand(const QWidget *widget)
{
    if (widget->layout())
        return false;
    const QWidget *parent = widget->isWindow() ? nullptr : widget->parentWidget();
    if (parent && (parent->layout() || qobject_cast<const QAbstractScrollArea *>(parent)))
        return false;
    if (qobject_cast<const QAbstractScrollArea *>(widget) || qobject_cast<const QLabel *>(widget))
        return false;
    return qobject_cast<const QFrame *>(widget) || qobject_cast<const QGroupBox *>(widget) ||
           widget->metaObject() == &QWidget::staticMetaObject || widget->isWindow();
}

int childrenRight(const QWidget *widget)
{
    int right = 0;
    for (const QWidget *child : widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            right = std::max(right, child->geometry().right() + 1);
    }
    return right;
}

int depthBelow(const QWidget *root, const QWidget *widget)
{
    int depth = 0;
    for (; widget && widget != root; widget = widget->parentWidget())
        ++depth;
    return depth;
}

// The hand-placed containers of a window and the room each left right of its children.
struct Container {
    QWidget *widget;
    int width;
    int margin;
};

QList<Container> handPlacedContainers(QWidget *root)
{
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    QList<Container> containers;
    for (QWidget *widget : widgets) {
        if (placesChildrenByHand(widget) && (widget == root || !widget->isWindow()))
            containers.append(
                {widget, widget->width(), std::max(0, widget->width() - childrenRight(widget))});
    }
    // Deepest first, so a panel has grown by the time its own parent measures it.
    std::stable_sort(containers.begin(), containers.end(),
                     [root](const Container &a, const Container &b) {
                         return depthBelow(root, a.widget) > depthBelow(root, b.widget);
                     });
    return containers;
}

// Widens each container whose children the captions pushed to within kCaptionGap of its right
// edge or past it, to the room it had there; what stands right of it moves as for a caption. A
// child that spanned its parent's whole width keeps spanning it, and a window of a fixed size
// keeps a fixed size, the new one.
void widenToHoldChildren(const QList<Container> &containers)
{
    for (const Container &c : containers) {
        const int right = childrenRight(c.widget);
        if (right <= c.widget->width() - std::min(c.margin, kCaptionGap))
            continue;
        const QRect before = c.widget->geometry();
        const int needed = right + c.margin;
        if (c.widget->minimumWidth() == c.widget->maximumWidth())
            c.widget->setFixedWidth(needed);
        else
            c.widget->resize(needed, c.widget->height());
        if (!c.widget->isWindow())
            makeRoomRightOf(c.widget, before);
    }
    // Outermost first, so a spanning child follows a parent that itself followed its own.
    for (auto c = containers.crbegin(); c != containers.crend(); ++c) {
        if (c->widget->width() == c->width)
            continue;
        for (QWidget *child : c->widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!child->isWindow() && child->x() == 0 && child->width() == c->width)
                child->resize(c->widget->width(), child->height());
        }
    }
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
    const QList<Container> containers = handPlacedContainers(root);
    // Text labels take their text's width; radio buttons and check boxes keep theirs unless their
    // captions need more. Either, grown, moves what stands right of it.
    QList<QWidget *> captions;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        const auto *label = qobject_cast<QLabel *>(widget);
        if ((label && !label->text().isEmpty()) || qobject_cast<QRadioButton *>(widget) ||
            qobject_cast<QCheckBox *>(widget))
            captions << widget;
    }
    // Left to right: a caption pushed by the one before it is fitted where it then stands.
    std::stable_sort(captions.begin(), captions.end(),
                     [](const QWidget *a, const QWidget *b) { return a->x() < b->x(); });
    for (QWidget *caption : captions) {
        const QRect before = caption->geometry();
        const int fitted = caption->sizeHint().width();
        if (qobject_cast<QLabel *>(caption) || fitted > caption->width())
            caption->resize(fitted, caption->height());
        if (caption->width() > before.width() && caption->parentWidget())
            makeRoomRightOf(caption, before);
    }
    widenToHoldChildren(containers);
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
