#include "edit/tag_scanner.h"

namespace korvane {

std::vector<TagRange> findTags(std::string_view text) {
    std::vector<TagRange> tags;
    forEachTag(text, [&tags](TagRange tag) { tags.push_back(tag); });
    return tags;
}

}  // namespace korvane
