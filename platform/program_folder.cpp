#include "platform/program_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace korvane {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string homeFolder() {
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return {};
}

// An XDG base folder: the variable when it holds an absolute path, else
// the home folder's default.
std::string xdgFolder(const char* variable, const char* homeDefault) {
    std::string base = environment(variable);
    if (base.empty() || base.front() != '/') {
        const std::string home = homeFolder();
        // Without any home the files stay in the program folder; a write
        // there then fails with a message instead of landing somewhere odd.
        if (home.empty())
            return programFolder();
        base = withoutTrailingSlashes(home) + "/" + homeDefault;
    }
    return withoutTrailingSlashes(base) + "/korvane";
}

// An installed program keeps the user's files in the user's folders even
// where its own folder is writable (installed under ~/.local, say): the
// program folder is then shared by every program there. KORVANE_HOME always
// wins: it names the folder to use.
std::string writableProgramFolderOr(const std::string& fallback) {
    const std::string folder = programFolder();
    if (folder.empty() || !isWritableFolder(folder))
        return fallback;
    if (environment(kProgramHomeVariable).empty() && isInstalledLayout(folder))
        return fallback;
    return folder;
}

}  // namespace

bool isInstalledLayout(const std::string& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(installedDataFolder(folder), ec);
}

std::string installedDataFolder(const std::string& folder) {
    return withoutTrailingSlashes(folder) + "/../share/korvane";
}

std::string programFolder() {
    const std::string home = environment(kProgramHomeVariable);
    if (!home.empty()) {
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(home, ec);
        return withoutTrailingSlashes(ec ? home : absolute.lexically_normal().string());
    }
    return executableFolder();
}

std::string executableFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.has_parent_path())
        return {};
    return withoutTrailingSlashes(exe.parent_path().string());
}

std::string currentFolder() {
    std::string buffer(256, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE || buffer.size() > (1u << 20))
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

bool isWritableFolder(const std::string& folder) {
    // The effective ids decide what this process may create, not the real ones.
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string userConfigFolder() {
    return xdgFolder("XDG_CONFIG_HOME", ".config");
}

std::string userCacheFolder() {
    return xdgFolder("XDG_CACHE_HOME", ".cache");
}

std::string settingsPath() {
    return writableProgramFolderOr(userConfigFolder()) + "/" + kSettingsFileName;
}

std::string journalFolder() {
    const std::string home = environment(kProgramHomeVariable);
    return (home.empty() ? userCacheFolder() : programFolder()) + "/journal";
}

std::string previewFolder() {
    return writableProgramFolderOr(userCacheFolder());
}

std::string previewPath() {
    return previewFolder() + "/" + kPreviewFileName;
}

std::vector<std::string> helpPageFolders() {
    std::vector<std::string> folders;
    if (std::string folder = programFolder(); !folder.empty())
        folders.push_back(std::move(folder));
    // KORVANE_HOME names where settings and the preview go; the pages built
    // beside the program stay there, and must be found whatever it says.
    if (const std::string exe = executableFolder(); !exe.empty()) {
        if (std::find(folders.begin(), folders.end(), exe) == folders.end())
            folders.push_back(exe);
        const std::filesystem::path data =
            (std::filesystem::path(exe) / ".." / "share" / "korvane").lexically_normal();
        folders.push_back(withoutTrailingSlashes(data.string()));
    }
#ifdef KORVANE_DATA_DIR
    folders.emplace_back(KORVANE_DATA_DIR);
#endif
    return folders;
}

std::string helpPagePath(const std::string& name) {
    for (const std::string& folder : helpPageFolders()) {
        const std::string path = folder + "/" + name;
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec))
            return path;
    }
    return {};
}

bool ensureFolderExists(const std::string& folder, std::string& error) {
    // Made one level at a time, each new level 0700: every folder the
    // program makes holds the user's text (journals, the preview, backups)
    // or settings, which other users of the machine have no business
    // reading. Folders that exist are left as their owner set them.
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::path(folder).lexically_normal();
    std::filesystem::path current;
    for (const std::filesystem::path& part : target) {
        current /= part;
        if (part.empty() || current == current.root_path())
            continue;
        if (::mkdir(current.c_str(), 0700) != 0 && errno != EEXIST) {
            error = std::strerror(errno);
            return false;
        }
    }
    if (std::filesystem::is_directory(folder, ec))
        return true;
    error = ec ? ec.message() : std::string("not a folder");
    return false;
}

}  // namespace korvane
