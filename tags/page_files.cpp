#include "tags/page_files.h"

#include <filesystem>
#include <system_error>

#include "tags/regular_file.h"

namespace korvane {

namespace fs = std::filesystem;

PageFiles::Kind DiskPageFiles::kindOf(const std::string& path) const {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status))
        return Kind::Missing;
    if (fs::is_regular_file(status))
        return Kind::File;
    if (fs::is_directory(status))
        return Kind::Folder;
    return Kind::Other;
}

std::optional<std::vector<std::string>> DiskPageFiles::namesIn(const std::string& path) const {
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    if (ec)
        return std::nullopt;
    return names;
}

std::unique_ptr<std::istream> DiskPageFiles::open(const std::string& path) const {
    return openRegularFile(path);
}

}  // namespace korvane
