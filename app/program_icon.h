// The program's icon for its windows, as packaging/icons draws it.
#pragma once

#include <QIcon>

namespace korvane {

// Every size packaging/icons has, and the scalable picture where Qt can
// read it. Without it X11 shows Qt's generic window icon.
QIcon programIcon();

}  // namespace korvane
