// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program's dialogs open.
#include "windows/dialog_places.h"

#include "windows/screen_placement.h"

#include <QDialog>
#include <QEvent>

namespace {

// Remembers where a dialog's frame was when it closed and puts it there when it is shown again,
// while that place still overlaps the window it belongs to; otherwise (the first time, or after
// the main window moved away) the dialog opens centred on that window. An explicit move before
// the dialog is mapped is what X window managers honour exactly; Qt's own placement of a dialog
// shown again mixes up the frame's and the inside's corner.
class PlaceKeeper : public QObject {
  public:
    explicit PlaceKeeper(QDialog *dialog) : QObject(dialog) { dialog->installEventFilter(this); }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *dialog = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Hide && !event->spontaneous()) {
            m_frame = dialog->frameGeometry();
        } else if (event->type() == QEvent::Show && !event->spontaneous()) {
            const QWidget *owner = dialog->parentWidget();
            if (m_frame.isValid() && (!owner || m_frame.intersects(owner->frameGeometry())))
                // Kept on a screen: one may have been removed since the dialog last closed.
                dialog->move(PlaceOnScreens(m_frame.x(), m_frame.y(), m_frame.width(),
                                            m_frame.height(), QSize(0, 0), AvailableScreenAreas())
                                 .topLeft());
            else
                CentreOnParent(dialog);
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

void CentreOnParent(QWidget *window)
{
    const QWidget *parent = window->parentWidget();
    if (parent)
        window->move(CentredOn(parent->frameGeometry(), window->size(), AvailableScreenAreas()));
}
