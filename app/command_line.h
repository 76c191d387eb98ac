// The program's command line: an optional switch and file names.
//
// "/h" and a path opens the path as HTML source in tag mode; "/t" and a path
// converts it (a page to text, anything else to a page); a plain list of
// paths opens the first into the window and hands the others to new copies.
// New copies are started with the same form, so this is also what a copy
// receives from the window that started it.
//
// On a POSIX desktop every absolute path begins with "/", so only the exact
// parameters "/h" and "/t" are switches; any other parameter that begins
// with "/" is a path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

enum class StartupKind {
    Nothing,     // no file: an untitled document
    OpenAsHtml,  // "/h" path
    Convert,     // "/t" path
    FileList,    // paths
};

struct StartupPlan {
    StartupKind kind = StartupKind::Nothing;
    std::vector<std::string> paths;  // one for OpenAsHtml and Convert, absolute

    friend bool operator==(const StartupPlan&, const StartupPlan&) = default;
};

// `params` are the arguments after the program name. `workingFolder` is what
// relative paths are taken from: a relative document name would turn every
// relative location written into a page wrong.
//
// After a switch the following parameters are joined with single blanks up
// to the first one that begins with "/": a path with blanks that reached the
// program unquoted is whole again. Empty parameters name no file and are
// left out.
StartupPlan parseCommandLine(const std::vector<std::string>& params,
                             std::string_view workingFolder);

// `path` taken from `workingFolder` when it is relative, with "." pieces and
// doubled separators dropped. ".." is kept: through a linked folder it does
// not mean the folder before it.
std::string absolutePath(std::string_view path, std::string_view workingFolder);

}  // namespace korvane
