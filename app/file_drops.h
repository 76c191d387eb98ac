// Files dragged onto the main window, as the drop handler wants them.
#pragma once

#include <string>
#include <vector>

class QMimeData;

namespace korvane {

// The local files a drag carries, in drop order, as full paths; empty when
// it carries none (text, or only remote locations).
std::vector<std::string> droppedFiles(const QMimeData& data);

}  // namespace korvane
