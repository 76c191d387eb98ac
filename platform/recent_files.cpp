#include "platform/recent_files.h"

#include <algorithm>
#include <string>

#include "platform/atomic_file.h"

namespace korvane {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool keptAsItIs(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string keyOf(std::size_t index) {
    return "File" + std::to_string(index + 1);
}

}  // namespace

std::string encodeRecentName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (keptAsItIs(byte)) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out;
}

std::optional<std::string> decodeRecentName(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const auto byte = static_cast<unsigned char>(stored[i]);
        if (byte == '%') {
            if (i + 2 >= stored.size())
                return std::nullopt;
            const int high = hexValue(stored[i + 1]);
            const int low = hexValue(stored[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else if (keptAsItIs(byte)) {
            out += stored[i];
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::vector<std::string> recentFilesIn(std::string_view fileBytes) {
    std::vector<std::string> list;
    for (std::size_t i = 0; i < kRecentFileLimit; ++i) {
        const std::optional<std::string> stored =
            profileLookup(fileBytes, kRecentSection, keyOf(i));
        if (!stored || stored->empty())
            continue;
        std::optional<std::string> name = decodeRecentName(*stored);
        if (!name || name->empty() || std::find(list.begin(), list.end(), *name) != list.end())
            continue;
        list.push_back(std::move(*name));
    }
    return list;
}

// Every key is written, the unused ones empty: the profile format deletes
// nothing, and an old entry left standing would come back.
std::string withRecentFiles(std::string_view fileBytes, const std::vector<std::string>& list) {
    std::string bytes(fileBytes);
    for (std::size_t i = 0; i < kRecentFileLimit; ++i) {
        const std::string value = i < list.size() ? encodeRecentName(list[i]) : std::string();
        bytes = profileWithValue(bytes, kRecentSection, keyOf(i), value);
    }
    return bytes;
}

std::vector<std::string> RecentFiles::list() const {
    std::string bytes;
    if (!readWholeFile(m_path, bytes).ok)
        return {};
    return recentFilesIn(bytes);
}

ProfileWriteResult RecentFiles::add(const std::string& path) {
    Profile profile(m_path);
    return profile.rewrite([&path](std::string_view bytes) {
        std::vector<std::string> list = recentFilesIn(bytes);
        std::erase(list, path);
        list.insert(list.begin(), path);
        if (list.size() > kRecentFileLimit)
            list.resize(kRecentFileLimit);
        return withRecentFiles(bytes, list);
    });
}

ProfileWriteResult RecentFiles::clear() {
    Profile profile(m_path);
    return profile.rewrite([](std::string_view bytes) { return withRecentFiles(bytes, {}); });
}

}  // namespace korvane
