// Whole-file reads and atomic whole-file writes.
//
// A write goes to a temporary file in the target's folder, is flushed to the
// disk and then renamed over the target, so a failed or interrupted write
// never leaves a truncated file behind: the reader sees the old file or the
// new one, never a mixture.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

struct FileResult {
    bool ok = false;
    std::string error;  // the system's reason when !ok
};

// Reads the whole file into `bytes`.
FileResult readWholeFile(const std::string& path, std::string& bytes);

// Replaces the file at `path` with `bytes` atomically. An existing file keeps
// its permission bits. A read-only target is refused like Windows refuses it:
// the rename would otherwise replace a file the user protected.
FileResult writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace korvane
