#include "base/line_breaks.h"

#include <cstring>

namespace korvane {

std::string normalizeLineBreaks(std::string_view bytes) {
    // CR and LF are never the second byte of a Shift_JIS character, so the
    // bytes can be taken one by one.
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 64);
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        std::size_t j = i;
        while (j < n && bytes[j] != '\r' && bytes[j] != '\n')
            ++j;
        out.append(bytes.data() + i, j - i);
        if (j >= n)
            break;
        out.append("\r\n");
        i = (bytes[j] == '\r' && j + 1 < n && bytes[j + 1] == '\n') ? j + 2 : j + 1;
    }
    return out;
}

}  // namespace korvane
