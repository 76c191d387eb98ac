#include "app/file_drops.h"

#include <QMimeData>
#include <QUrl>

namespace korvane {

std::vector<std::string> droppedFiles(const QMimeData& data) {
    std::vector<std::string> paths;
    if (!data.hasUrls())
        return paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    }
    return paths;
}

}  // namespace korvane
