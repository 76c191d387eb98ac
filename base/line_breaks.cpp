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

bool hasOnlyCrLf(std::string_view bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const auto* hit =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* const upTo = hit != nullptr ? hit : end;
        // A CR anywhere but right before this LF stands alone.
        const auto* cr =
            static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(upTo - p)));
        if (cr != nullptr && cr + 1 != hit)
            return false;
        if (hit == nullptr)
            return true;
        if (hit == bytes.data() || hit[-1] != '\r')
            return false;
        p = hit + 1;
    }
    return true;
}

}  // namespace korvane
