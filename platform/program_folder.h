// Where the program keeps its files: the settings file, the preview page and
// the help pages.
//
// The Windows program keeps everything beside its executable. That folder is
// usually not writable once the program is installed on a POSIX desktop, so
// the files that are written fall back to the user's XDG folders; portable
// use and the build tree keep everything together as on Windows.
#pragma once

#include <string>
#include <vector>

namespace korvane {

inline constexpr const char* kProgramHomeVariable = "KORVANE_HOME";
inline constexpr const char* kSettingsFileName = "krv13.ini";
inline constexpr const char* kPreviewFileName = "prev.htm";

// The program folder, without a trailing "/": the folder named by the
// environment variable KORVANE_HOME when it is set and not empty (tests and
// portable use), made absolute, else the folder of the running executable.
// Empty when neither can be found.
std::string programFolder();

// The folder of the running executable (its bytes), without KORVANE_HOME's
// say: new copies of the program must be this very build.
std::string executableFolder();

// The process's working folder as the system's bytes: file names on a
// POSIX system need not be valid UTF-8, and a folder name changed on the way
// would turn every relative file name of the command line into a file that
// does not exist. Empty when it cannot be found (removed, no permission).
std::string currentFolder();

// The installed data folder for a program in `folder` (PREFIX/bin gives
// PREFIX/share/korvane), and whether the program is installed so: then its
// settings and preview live in the user's folders, whatever its own folder
// allows.
std::string installedDataFolder(const std::string& folder);
bool isInstalledLayout(const std::string& folder);

// Whether this process may create files in `folder`.
bool isWritableFolder(const std::string& folder);

// $XDG_CONFIG_HOME/korvane, or ~/.config/korvane when the variable is unset,
// empty or not absolute (the XDG rules say relative values are ignored).
std::string userConfigFolder();
// $XDG_CACHE_HOME/korvane, or ~/.cache/korvane, by the same rule.
std::string userCacheFolder();

// "krv13.ini" in the program folder when that folder is writable, else in
// userConfigFolder(). Nothing is created here: the first write of the
// settings file creates the folder. Decide it once, at start-up.
std::string settingsPath();

// Where the journals of unsaved text go: "journal" in the folder KORVANE_HOME
// names when it is set (tests, portable use), else in userCacheFolder().
std::string journalFolder();

// The folder for "prev.htm", by the same decision: the program folder when
// it is writable, else userCacheFolder().
std::string previewFolder();
// previewFolder() + "/prev.htm".
std::string previewPath();

// Where help pages are looked for, in order: the program folder, the
// executable's own folder (when KORVANE_HOME names another), the installed
// data folder next to the executable's ("../share/korvane", so an installed
// tree may be moved) and the data folder the build was configured to
// install into.
std::vector<std::string> helpPageFolders();
// The help page `name` in the first of helpPageFolders() that has it;
// empty when none has.
std::string helpPagePath(const std::string& name);

// Creates `folder` and its missing parents, each new one readable by this
// user only (0700); true when it exists afterwards, else false with the
// system's reason in `error`.
bool ensureFolderExists(const std::string& folder, std::string& error);

}  // namespace korvane
