// How a path is written: Windows' own form or the POSIX one.
#pragma once

namespace korvane {

enum class PathStyle {
    // Shift_JIS bytes; backslash separates; "C:" or "\\server\share" is the
    // drive prefix; folder names compare without regard to case.
    Windows,
    // The platform's own bytes (UTF-8); "/" separates; the root "/" plays the
    // drive prefix; names compare case-sensitively.
    Posix,
};

#ifdef _WIN32
constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

}  // namespace korvane
