// The pictures of the tool buttons: the desktop's icon theme where it has
// one, else the style's, else a small picture drawn here, so that every
// button shows something on any desktop.
#pragma once

#include <QIcon>
#include <QString>

class QStyle;

namespace korvane {

// The picture of the tool button with this object name ("ToolButton1", ...);
// an empty icon for a name that has none.
QIcon toolButtonIcon(const QString& buttonName, QStyle* style);

}  // namespace korvane
