// Dragged files belong to the main window, not to the text widgets.
//
// QPlainTextEdit and QLineEdit take a dragged file as text ("file:///…");
// refusing the drag lets it reach the window's drop handler, which opens the
// file. Plain text drags stay with the widget.
#pragma once

#include <QDropEvent>
#include <QMimeData>

namespace korvane {

// True when the drag carries files and has been refused; the widget's own
// handling must then be skipped.
inline bool refuseFileDrag(QDropEvent* event) {
    if (!event->mimeData()->hasUrls())
        return false;
    event->ignore();
    return true;
}

}  // namespace korvane
