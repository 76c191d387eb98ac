// The files last opened or saved, kept in the settings file so that every
// running copy of the program shows and changes one list.
//
// Section "Recent", keys File1 (the newest) to File10, each a full path as
// the file system names it (UTF-8 bytes) with every byte but the ASCII
// letters, digits and "-._~/" written as %XX. A name can then hold anything
// the file system allows (a "=", ";" or "[" that the profile format would
// take for its own, a blank at either end, a character Shift_JIS cannot
// hold) and the settings file stays ASCII for these keys. A key that is
// empty or not in that form is no entry.
//
// The list is read from the file each time it is wanted, and each change is
// one read-modify-write of the whole section under the settings lock: a
// copy that adds a file never drops the one another copy added meanwhile.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"

namespace korvane {

inline constexpr std::size_t kRecentFileLimit = 10;
inline constexpr const char* kRecentSection = "Recent";

// A name in the stored form, and back; nothing for a text that is not one.
std::string encodeRecentName(std::string_view name);
std::optional<std::string> decodeRecentName(std::string_view stored);

// The list in the settings file's bytes, newest first, without duplicates.
std::vector<std::string> recentFilesIn(std::string_view fileBytes);
// The file's bytes with `list` (at most kRecentFileLimit kept) as the
// section; every other line keeps its bytes.
std::string withRecentFiles(std::string_view fileBytes, const std::vector<std::string>& list);

class RecentFiles {
  public:
    explicit RecentFiles(std::string settingsPath) : m_path(std::move(settingsPath)) {}

    // As the file holds it now; a file that cannot be read gives none.
    std::vector<std::string> list() const;
    // `path` becomes the newest; an older entry of the same name goes, and
    // the oldest beyond kRecentFileLimit.
    ProfileWriteResult add(const std::string& path);
    ProfileWriteResult clear();

  private:
    std::string m_path;
};

}  // namespace korvane
