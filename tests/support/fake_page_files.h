// A made-up folder tree for the page check: files and their bytes by full
// path, folders wherever a file's path passes. It can ignore letter case in
// what it finds, as the disks of Windows and macOS do, while its listings
// keep each name as it was given.
#pragma once

#include <map>
#include <string>

#include "tags/page_files.h"

namespace korvane::test {

class FakePageFiles final : public PageFiles {
  public:
    explicit FakePageFiles(std::map<std::string, std::string> files, bool ignoresCase = false)
        : m_files(std::move(files)), m_ignoresCase(ignoresCase) {}

    Kind kindOf(const std::string& path) const override;
    std::optional<std::vector<std::string>> namesIn(const std::string& path) const override;
    std::unique_ptr<std::istream> open(const std::string& path) const override;

    // How often each folder was listed and each file opened.
    mutable std::map<std::string, int> listed;
    mutable std::map<std::string, int> opened;

  private:
    // The path of a file as stored, found as this disk finds names.
    const std::string* stored(const std::string& path) const;
    bool same(const std::string& a, const std::string& b) const;

    std::map<std::string, std::string> m_files;
    bool m_ignoresCase;
};

}  // namespace korvane::test
