// The pictures of the tool buttons, as their rows describe them: the
// desktop's icon theme where it has one, else the style's, else a small
// picture drawn here, so that every button shows something on any desktop.
#pragma once

#include <QIcon>

#include "app/menu_rows.h"

class QStyle;

namespace korvane {

QIcon toolButtonIcon(const ToolIcon& icon, QStyle* style);

}  // namespace korvane
