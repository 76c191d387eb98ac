// Opening a file whose bytes a picture size or the page check reads.
#pragma once

#include <istream>
#include <memory>
#include <string>

namespace korvane {

// The regular file at `path` (the desktop's form; links followed), for
// reading its bytes from the start. Anything else gives nothing: a folder,
// a pipe that would wait for a writer, a device that might never end; so
// does a file that cannot be read.
std::unique_ptr<std::istream> openRegularFile(const std::string& path);

}  // namespace korvane
