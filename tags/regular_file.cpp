#include "tags/regular_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace korvane {

std::unique_ptr<std::istream> openRegularFile(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path file(path);
    if (!std::filesystem::is_regular_file(file, ec))
        return nullptr;
    auto in = std::make_unique<std::ifstream>(file, std::ios::binary);
    if (!*in)
        return nullptr;
    return in;
}

}  // namespace korvane
