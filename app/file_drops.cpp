#include "app/file_drops.h"

#include <QByteArray>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <utility>

namespace korvane {

std::vector<std::string> droppedFiles(const QMimeData& data) {
    std::vector<std::string> paths;
    if (!data.hasUrls())
        return paths;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile())
            continue;
#ifdef Q_OS_WIN
        paths.push_back(url.toLocalFile().toStdString());
#else
        // File names are bytes here, not always valid UTF-8: the URL keeps
        // such bytes percent-encoded, and decoding them into a QString would
        // turn them into U+FFFD and name a file that does not exist.
        paths.push_back(
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
#endif
    }
    return paths;
}

namespace {

class FileDropTarget : public QObject {
  public:
    FileDropTarget(QWidget& window, std::function<void(const std::vector<std::string>&)> open)
        : QObject(&window), m_open(std::move(open)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (droppedFiles(*drag->mimeData()).empty())
                    drag->ignore();
                else
                    drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                std::vector<std::string> paths = droppedFiles(*drop->mimeData());
                if (paths.empty()) {
                    drop->ignore();
                    return true;
                }
                drop->acceptProposedAction();
                QMetaObject::invokeMethod(
                    this, [this, paths = std::move(paths)] { m_open(paths); },
                    Qt::QueuedConnection);
                return true;
            }
            default:
                return QObject::eventFilter(watched, event);
        }
    }

  private:
    std::function<void(const std::vector<std::string>&)> m_open;
};

}  // namespace

void acceptFileDrops(QWidget& window, std::function<void(const std::vector<std::string>&)> open) {
    window.setAcceptDrops(true);
    window.installEventFilter(new FileDropTarget(window, std::move(open)));
}

}  // namespace korvane
