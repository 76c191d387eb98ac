// Finding the user's web browser the freedesktop way, so that the preview and
// the help pages open in a browser and not in whatever handles text/html —
// which can be this editor itself, since its desktop entry takes text/html.
//
// The browser is the desktop entry that handles x-scheme-handler/http: the
// one the desktop's own settings name, else the one the mimeapps.list files
// and the MIME caches under the XDG folders name. Its Exec line becomes an
// argument list for one local file. Nothing here starts a program.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// The keys of a desktop file's [Desktop Entry] group that starting it needs,
// with the key-file escapes (\s \n \t \r \\) already resolved.
struct DesktopEntry {
    std::string file;  // where it was read, for %k
    std::string type;
    std::string name;
    std::string icon;
    std::string exec;
    std::string tryExec;
    bool hidden = false;
};

std::optional<DesktopEntry> readDesktopEntry(const std::string& file);

// The entry's Exec line as arguments for the local file `path`, the program
// first as written there. %f and %F stand for the path as its bytes, %u and
// %U for its file URL; %i, %c, %k as the Desktop Entry rules say; the
// deprecated codes vanish. A line with no file code gets the path appended.
// Empty when the line is invalid (an unknown code, an open quote).
std::vector<std::string> execArguments(const DesktopEntry& entry, const std::string& path);

// "file://" and the path with every byte but unreserved ones and "/"
// percent-encoded, so that a name that is not UTF-8 keeps its bytes.
std::string fileUrl(const std::string& path);

// The desktop file of a desktop file ID under XDG_DATA_HOME and
// XDG_DATA_DIRS (in applications/, where "a-b.desktop" may be a/b.desktop);
// empty when it is not installed.
std::string findDesktopFile(const std::string& id);

// The desktop file IDs that the mimeapps.list files and the MIME caches give
// for `mimeType`, most preferred first: the defaults, then the added
// associations, then the installed entries that declare it.
std::vector<std::string> mimeTypeHandlers(const std::string& mimeType);

struct ProgramCall {
    std::string program;  // full path
    std::vector<std::string> args;
};

// How to show the local page `path` in the user's web browser: the entry
// `desktopDefault` names (the desktop's own answer, may be empty) when it is
// usable, else the first usable handler of x-scheme-handler/http. Never this
// program's own entry. None when there is no browser to be found.
std::optional<ProgramCall> webBrowserCall(const std::string& path,
                                          const std::string& desktopDefault);

}  // namespace korvane
