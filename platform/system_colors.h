// The desktop's colours in the Windows encoding 0x00BBGGRR, and the system
// colour indices read from the Qt palette, so that a colour value meaning
// "the window background" follows the desktop's theme.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

#include "base/color.h"
#include "platform/system_color_index.h"

namespace korvane {

// 0x00BBGGRR of a colour, alpha dropped.
ColorValue colorValueOf(const QColor& color);

// The QColor a colour value stands for: a system colour (negative value) is
// resolved through `lookup`, the application palette when none is given.
QColor qColorOf(ColorValue value, const SystemColorLookup& lookup = {});

// The colour of system colour `index` in `palette` (its active group; the
// grey text is the disabled group's text). Indices the palette has no role
// for take Windows' classic colour, unknown indices 0 as GetSysColor gives.
std::uint32_t systemColor(const QPalette& palette, int index);

// Looks the colours up in the application's palette at each call, so a
// theme change is seen at once.
SystemColorLookup systemColorLookup();
// Looks them up in a copy of `palette`.
SystemColorLookup systemColorLookup(const QPalette& palette);

}  // namespace korvane
