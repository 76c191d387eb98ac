#include "app/program_icon.h"

#include <QImageReader>

// The resources of a static library are linked in only when asked for by
// name (outside any namespace, as Qt's macro declares a global function).
static void linkProgramIconResource() {
    Q_INIT_RESOURCE(program_icon);
}

namespace korvane {

QIcon programIcon() {
    linkProgramIconResource();
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/korvane/icons/korvane-%1.png").arg(size), QSize(size, size));
    // Qt reads SVG only with its SVG plugin, which is not always installed.
    if (QImageReader::supportedImageFormats().contains("svg"))
        icon.addFile(QStringLiteral(":/korvane/icons/korvane.svg"));
    return icon;
}

}  // namespace korvane
