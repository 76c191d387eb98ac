#include "platform/web_browser.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "platform/process.h"

namespace korvane {

namespace {

// This program's own desktop entry and executable: it handles text/html, and
// a page shown as source in a second editor window is what this is here to
// avoid.
constexpr const char* kOwnDesktopId = "korvane.desktop";
constexpr const char* kOwnProgram = "korvane";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string trimmed(const std::string& text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::string::size_type begin = 0;
    std::string::size_type end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// A base folder from its variable, else its default; relative entries are
// invalid and ignored, as the Base Directory rules say.
std::string baseFolder(const char* variable, const std::string& fallback) {
    const std::string value = environment(variable);
    return !value.empty() && value.front() == '/' ? value : fallback;
}

std::vector<std::string> baseFolders(const char* variable, const std::string& fallback) {
    std::vector<std::string> folders;
    for (const std::string& folder : split(environment(variable), ':'))
        if (folder.front() == '/')
            folders.push_back(folder);
    return folders.empty() ? split(fallback, ':') : folders;
}

std::string dataHome() {
    return baseFolder("XDG_DATA_HOME", environment("HOME") + "/.local/share");
}

std::vector<std::string> applicationFolders() {
    std::vector<std::string> folders{dataHome() + "/applications"};
    for (const std::string& folder : baseFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        folders.push_back(folder + "/applications");
    return folders;
}

bool isFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The groups of a key file as (group, key, value) lines, values as written.
// Localised keys ("Name[ja]") keep their brackets and so never match a plain
// key.
template <typename Visit>
void readKeyFile(const std::string& file, Visit visit) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::string group;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            const std::string::size_type close = line.find(']');
            group = close == std::string::npos ? std::string() : line.substr(1, close - 1);
            continue;
        }
        const std::string::size_type equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        visit(group, trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
    }
}

std::string unescapedValue(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (std::string::size_type i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (const char c = value[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                // Not a key-file escape: the Exec quoting rules read it.
                out += '\\';
                out += c;
        }
    }
    return out;
}

std::string findDesktopFileIn(const std::string& folder, const std::string& id) {
    if (isFile(folder + "/" + id))
        return folder + "/" + id;
    // "vendor-app.desktop" may live in vendor/app.desktop.
    for (std::string::size_type dash = id.find('-'); dash != std::string::npos;
         dash = id.find('-', dash + 1)) {
        const std::string sub = folder + "/" + id.substr(0, dash);
        if (isFolder(sub)) {
            std::string found = findDesktopFileIn(sub, id.substr(dash + 1));
            if (!found.empty())
                return found;
        }
    }
    return {};
}

void appendUnique(std::vector<std::string>& list, const std::string& id) {
    if (std::find(list.begin(), list.end(), id) == list.end())
        list.push_back(id);
}

bool contains(const std::vector<std::string>& list, const std::string& id) {
    return std::find(list.begin(), list.end(), id) != list.end();
}

std::string fileName(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<ProgramCall> callFor(const std::string& id, const std::string& path) {
    if (id == kOwnDesktopId)
        return std::nullopt;
    const std::string file = findDesktopFile(id);
    if (file.empty())
        return std::nullopt;
    const std::optional<DesktopEntry> entry = readDesktopEntry(file);
    if (!entry || entry->type != "Application" || entry->hidden)
        return std::nullopt;
    if (!entry->tryExec.empty() && findProgram(entry->tryExec).empty())
        return std::nullopt;
    std::vector<std::string> args = execArguments(*entry, path);
    if (args.empty())
        return std::nullopt;
    ProgramCall call;
    call.program = findProgram(args.front());
    if (call.program.empty() || fileName(call.program) == kOwnProgram)
        return std::nullopt;
    call.args.assign(args.begin() + 1, args.end());
    return call;
}

}  // namespace

std::optional<DesktopEntry> readDesktopEntry(const std::string& file) {
    if (!isFile(file))
        return std::nullopt;
    DesktopEntry entry;
    entry.file = file;
    readKeyFile(file,
                [&](const std::string& group, const std::string& key, const std::string& value) {
                    if (group != "Desktop Entry")
                        return;
                    if (key == "Type")
                        entry.type = unescapedValue(value);
                    else if (key == "Name")
                        entry.name = unescapedValue(value);
                    else if (key == "Icon")
                        entry.icon = unescapedValue(value);
                    else if (key == "Exec")
                        entry.exec = unescapedValue(value);
                    else if (key == "TryExec")
                        entry.tryExec = unescapedValue(value);
                    else if (key == "Hidden")
                        entry.hidden = value == "true";
                });
    return entry;
}

std::vector<std::string> execArguments(const DesktopEntry& entry, const std::string& path) {
    std::vector<std::string> args;
    std::string arg;
    bool inArg = false;  // an argument has begun, perhaps an empty quoted one
    bool fileGiven = false;
    const std::string& exec = entry.exec;
    const auto flush = [&] {
        if (inArg)
            args.push_back(arg);
        arg.clear();
        inArg = false;
    };
    for (std::string::size_type i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            flush();
        } else if (c == '"') {
            // Inside quotes a backslash escapes only " ` $ and itself; field
            // codes are not expanded there.
            inArg = true;
            for (++i;; ++i) {
                if (i == exec.size())
                    return {};
                if (exec[i] == '"')
                    break;
                if (exec[i] == '\\' && i + 1 < exec.size() &&
                    std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos)
                    ++i;
                arg += exec[i];
            }
        } else if (c == '%') {
            if (++i == exec.size())
                return {};
            switch (exec[i]) {
                case '%':
                    arg += '%';
                    inArg = true;
                    break;
                case 'f':
                case 'F':
                    arg += path;
                    inArg = fileGiven = true;
                    break;
                case 'u':
                case 'U':
                    arg += fileUrl(path);
                    inArg = fileGiven = true;
                    break;
                case 'i':
                    if (!entry.icon.empty()) {
                        flush();
                        args.push_back("--icon");
                        args.push_back(entry.icon);
                    }
                    break;
                case 'c':
                    arg += entry.name;
                    inArg = true;
                    break;
                case 'k':
                    arg += entry.file;
                    inArg = true;
                    break;
                case 'd':
                case 'D':
                case 'n':
                case 'N':
                case 'v':
                case 'm':
                    break;
                default:
                    // A line with a code the rules do not list is invalid.
                    return {};
            }
        } else {
            arg += c;
            inArg = true;
        }
    }
    flush();
    if (args.empty())
        return {};
    // A program that takes no file code still wants the page, as other
    // launchers hand it on.
    if (!fileGiven)
        args.push_back(path);
    return args;
}

std::string fileUrl(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_' || byte == '~' || byte == '/';
        if (plain) {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0F];
        }
    }
    return url;
}

std::string findDesktopFile(const std::string& id) {
    if (id.empty() || id.find('/') != std::string::npos)
        return {};
    for (const std::string& folder : applicationFolders()) {
        std::string found = findDesktopFileIn(folder, id);
        if (!found.empty())
            return found;
    }
    return {};
}

std::vector<std::string> mimeTypeHandlers(const std::string& mimeType) {
    // The mimeapps.list files in order of precedence: config before data,
    // home before system, and in each folder the desktop's own list first.
    std::vector<std::string> folders{
        baseFolder("XDG_CONFIG_HOME", environment("HOME") + "/.config")};
    for (const std::string& folder : baseFolders("XDG_CONFIG_DIRS", "/etc/xdg"))
        folders.push_back(folder);
    const std::vector<std::string> applications = applicationFolders();
    folders.insert(folders.end(), applications.begin(), applications.end());

    std::vector<std::string> desktops;
    for (std::string desktop : split(environment("XDG_CURRENT_DESKTOP"), ':')) {
        std::transform(desktop.begin(), desktop.end(), desktop.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        desktops.push_back(desktop);
    }

    std::vector<std::string> defaults;
    std::vector<std::string> added;
    // Removed associations hide what files of lower precedence add.
    std::vector<std::string> removed;
    for (const std::string& folder : folders) {
        std::vector<std::string> lists;
        for (const std::string& desktop : desktops)
            lists.push_back(folder + "/" + desktop + "-mimeapps.list");
        lists.push_back(folder + "/mimeapps.list");
        for (const std::string& list : lists) {
            std::vector<std::string> removedHere;
            readKeyFile(list, [&](const std::string& group, const std::string& key,
                                  const std::string& value) {
                if (key != mimeType)
                    return;
                for (const std::string& id : split(value, ';')) {
                    if (group == "Default Applications")
                        appendUnique(defaults, id);
                    else if (group == "Added Associations" && !contains(removed, id))
                        appendUnique(added, id);
                    else if (group == "Removed Associations")
                        removedHere.push_back(id);
                }
            });
            removed.insert(removed.end(), removedHere.begin(), removedHere.end());
        }
    }

    std::vector<std::string> handlers = defaults;
    for (const std::string& id : added)
        appendUnique(handlers, id);
    // The entries that declare the type, as update-desktop-database lists
    // them; reading every desktop file instead would cost a click hundreds
    // of file reads.
    for (const std::string& folder : applications)
        readKeyFile(
            folder + "/mimeinfo.cache",
            [&](const std::string& group, const std::string& key, const std::string& value) {
                if (group != "MIME Cache" || key != mimeType)
                    return;
                for (const std::string& id : split(value, ';'))
                    if (!contains(removed, id))
                        appendUnique(handlers, id);
            });
    return handlers;
}

std::optional<ProgramCall> webBrowserCall(const std::string& path,
                                          const std::string& desktopDefault) {
    std::vector<std::string> candidates;
    const std::string answer = trimmed(desktopDefault);
    if (!answer.empty())
        candidates.push_back(answer);
    for (const std::string& id : mimeTypeHandlers("x-scheme-handler/http"))
        appendUnique(candidates, id);
    for (const std::string& id : candidates)
        if (std::optional<ProgramCall> call = callFor(id, path))
            return call;
    return std::nullopt;
}

}  // namespace korvane
