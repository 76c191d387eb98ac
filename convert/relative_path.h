// Locations of one file as seen from another: for the background picture of
// a saved page (backslashes, Windows' own form) and for link and image tags
// ("/" separators).
#pragma once

#include <string>
#include <string_view>

#include "base/path_style.h"

namespace korvane {

// The location of `target` relative to the folder of the file `base`;
// `target` unchanged when the two have different drive prefixes.
std::string RelativePath(std::string_view base, std::string_view target,
                         PathStyle style = kNativePathStyle);

// RelativePath with "/" separators, as a link or image tag wants it.
std::string RelativeLocation(std::string_view document, std::string_view target,
                             PathStyle style = kNativePathStyle);

}  // namespace korvane
