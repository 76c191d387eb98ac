// A whole text put into the edit control a piece at a time.
//
// A conversion of a large document makes a text of hundreds of megabytes;
// given to setText at once it is decoded and copied whole, twice, beside the
// editor's own copies. In pieces it goes in with its progress shown.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/edit_control.h"
#include "base/progress.h"

namespace korvane {

// About how many bytes go into the control at once.
inline constexpr std::size_t kTextPiece = std::size_t{1} << 20;

// A conversion's share of the progress of a conversion and the load of its
// result into the control: the load takes about ten times as long.
inline constexpr double kConversionShare = 0.1;
// The caption such work shows its progress under.
inline constexpr const char* kConvertingCaption = "変換しています...";

// setText(bytes) through the control's text load: any line breaks, each
// piece cut behind one. `progress` hears the bytes through; the load cannot
// be stopped halfway.
void setTextInPieces(EditControl& edit, std::string_view bytes, Progress& progress);
// The same for `bytes` in `codec`, which the control speaks from then on.
void setTextInPieces(EditControl& edit, std::string_view bytes, Progress& progress,
                     const TextCodec& codec);

}  // namespace korvane
