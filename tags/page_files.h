// The files a page refers to, as the page check sees them.
//
// The check asks only these few questions of the disk, so that a test can
// answer them from a folder it makes up, and the answers for a folder are
// asked once however often a page names it. Paths are the desktop's own form
// (UTF-8 on disk), absolute and lexically normal.
#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

class PageFiles {
  public:
    enum class Kind { Missing, File, Folder, Other };

    virtual ~PageFiles() = default;

    // What is at `path`, links followed. On a disk that ignores letter case
    // a name in another case is found too; the listing tells them apart.
    virtual Kind kindOf(const std::string& path) const = 0;
    // The names in the folder `path`; nothing when it cannot be listed.
    virtual std::optional<std::vector<std::string>> namesIn(const std::string& path) const = 0;
    // The regular file at `path` for reading from its start; nothing for
    // anything else (a pipe would wait for a writer) or a file that cannot
    // be read.
    virtual std::unique_ptr<std::istream> open(const std::string& path) const = 0;
};

// The computer's own disk.
class DiskPageFiles final : public PageFiles {
  public:
    Kind kindOf(const std::string& path) const override;
    std::optional<std::vector<std::string>> namesIn(const std::string& path) const override;
    std::unique_ptr<std::istream> open(const std::string& path) const override;
};

}  // namespace korvane
