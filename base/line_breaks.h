// Line breaks as the editor reads a file: CR LF, and LF or CR alone, are
// each one line break, held as CR LF.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

std::string normalizeLineBreaks(std::string_view bytes);

// Whether every line break is already CR LF: then normalizeLineBreaks would
// only copy, which a 10 MB document can do without.
bool hasOnlyCrLf(std::string_view bytes);

}  // namespace korvane
