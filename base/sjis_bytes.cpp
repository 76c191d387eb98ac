#include "base/sjis_bytes.h"

namespace korvane {

std::size_t findAtCharBoundary(std::string_view haystack, std::string_view needle,
                               std::size_t from) {
    // `boundary` walks character starts; candidates from the fast byte search
    // are accepted only when the walk lands on them.
    std::size_t boundary = 0;
    std::size_t candidate = haystack.find(needle, from);
    while (candidate != std::string_view::npos) {
        while (boundary < candidate)
            boundary += sjisCharLength(haystack, boundary);
        if (boundary == candidate)
            return candidate;
        candidate = haystack.find(needle, candidate + 1);
    }
    return std::string_view::npos;
}

}  // namespace korvane
