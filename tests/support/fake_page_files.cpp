#include "tests/support/fake_page_files.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace korvane::test {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool FakePageFiles::same(const std::string& a, const std::string& b) const {
    if (!m_ignoresCase)
        return a == b;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

const std::string* FakePageFiles::stored(const std::string& path) const {
    for (const auto& [name, bytes] : m_files) {
        if (same(name, path))
            return &name;
    }
    return nullptr;
}

PageFiles::Kind FakePageFiles::kindOf(const std::string& path) const {
    if (stored(path) != nullptr)
        return Kind::File;
    const std::string folder = path.ends_with('/') ? path : path + "/";
    for (const auto& [name, bytes] : m_files) {
        if (name.size() > folder.size() && same(name.substr(0, folder.size()), folder))
            return Kind::Folder;
    }
    return Kind::Missing;
}

std::optional<std::vector<std::string>> FakePageFiles::namesIn(const std::string& path) const {
    ++listed[path];
    if (kindOf(path) != Kind::Folder)
        return std::nullopt;
    const std::string folder = path.ends_with('/') ? path : path + "/";
    std::set<std::string> names;
    for (const auto& [name, bytes] : m_files) {
        if (name.size() > folder.size() && same(name.substr(0, folder.size()), folder)) {
            const std::string rest = name.substr(folder.size());
            names.insert(rest.substr(0, rest.find('/')));
        }
    }
    return std::vector<std::string>(names.begin(), names.end());
}

std::unique_ptr<std::istream> FakePageFiles::open(const std::string& path) const {
    ++opened[path];
    const std::string* name = stored(path);
    if (name == nullptr)
        return nullptr;
    return std::make_unique<std::istringstream>(m_files.at(*name));
}

}  // namespace korvane::test
