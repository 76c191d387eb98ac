#include "app/file_drops.h"

#include <QByteArray>
#include <QMimeData>
#include <QUrl>

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

}  // namespace korvane
