// Dropped files.
#include "windows/picture_drop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

// The one local file a drag carries, or "" when it carries anything else.
QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

class DropFilter : public QObject {
  public:
    DropFilter(QWidget *window, std::function<void(const QString &)> take)
        : QObject(window), m_take(std::move(take))
    {
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto *drag = static_cast<QDropEvent *>(event);
            if (!droppedFile(drag->mimeData()).isEmpty())
                drag->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            const QString path = droppedFile(drop->mimeData());
            if (path.isEmpty())
                return true;
            drop->acceptProposedAction();
            m_take(path);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void(const QString &)> m_take;
};

} // namespace

void AcceptPictureDrops(QWidget *window, std::function<void(const QString &path)> take)
{
    window->setAcceptDrops(true);
    window->installEventFilter(new DropFilter(window, std::move(take)));
}
