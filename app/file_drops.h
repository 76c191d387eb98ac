// Files dragged onto the main window, as the drop handler wants them.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

namespace korvane {

// The local files a drag carries, in drop order, as full paths; empty when
// it carries none (text, or only remote locations).
std::vector<std::string> droppedFiles(const QMimeData& data);

// Makes `window` take drags of local files and hand each drop's files, in
// drop order, to `open` once the drag has ended, as the desktop posts
// dropped files: an error box must not hold the drag source up.
void acceptFileDrops(QWidget& window, std::function<void(const std::vector<std::string>&)> open);

}  // namespace korvane
