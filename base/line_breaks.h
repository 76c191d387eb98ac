// Line breaks as the editor reads a file: CR LF, and LF or CR alone, are
// each one line break, held as CR LF.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

std::string normalizeLineBreaks(std::string_view bytes);

}  // namespace korvane
