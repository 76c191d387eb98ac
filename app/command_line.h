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
//
// Before all of that come the switches of the "--" form that shells and
// people expect of a program: --help and --version, answered before any
// window (they need no display), and the internal --recover. Any other
// parameter that begins with "--" is a mistake, not a file to create; a file
// whose name begins so is named "./--name" or after "--".
#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The switch a copy of the program is started with to restore the journal
// named after it; the one who asked has answered the question already.
inline constexpr const char* kRecoverSwitch = "--recover";

enum class ProgramAction {
    Run,         // a window, with `names` as its command line
    Help,        // print the usage, exit 0
    Version,     // print the version, exit 0
    Recover,     // a window that restores `journal`
    UsageError,  // print `error`, exit 2
};

struct ProgramRequest {
    ProgramAction action = ProgramAction::Run;
    std::vector<std::string> names = {};  // Run: for parseCommandLine, without the "--"
    std::string journal = {};
    std::string error = {};

    friend bool operator==(const ProgramRequest&, const ProgramRequest&) = default;
};

// `params` are the arguments after the program name. --help anywhere before
// a "--" asks for the usage and wins over everything else, then --version;
// --recover is taken only as the whole command line "--recover JOURNAL",
// which is how a window starts the copy. The first "--" ends the switches
// and is dropped; everything after it is a name.
ProgramRequest readProgramSwitches(const std::vector<std::string>& params);

// What --help prints: the switches, the files, KORVANE_HOME, the settings
// file, the journal and the exit status.
std::string programUsageText();

enum class StartupKind {
    Nothing,     // no file: an untitled document
    OpenAsHtml,  // "/h" path
    Convert,     // "/t" path
    FileList,    // paths
};

// Why a name on the command line names no file the program can use.
enum class NameProblem {
    NoWorkingFolder,  // relative, and the working folder is gone
    TooLong,          // longer than the system takes, once absolute
};

struct RefusedName {
    std::string name;  // as it was given
    NameProblem problem = NameProblem::NoWorkingFolder;

    friend bool operator==(const RefusedName&, const RefusedName&) = default;
};

struct StartupPlan {
    StartupKind kind = StartupKind::Nothing;
    std::vector<std::string> paths;  // one for OpenAsHtml and Convert, absolute
    // Names that are neither opened nor handed to a copy; the user is told.
    std::vector<RefusedName> refused = {};

    friend bool operator==(const StartupPlan&, const StartupPlan&) = default;
};

// The longest path, in bytes, that the system opens: PATH_MAX counts the
// terminating zero, so a path of PATH_MAX bytes is already refused by it.
inline constexpr std::size_t kLongestPath = PATH_MAX - 1;

// `params` are the arguments after the program name. `workingFolder` is what
// relative paths are taken from: a relative document name would turn every
// relative location written into a page wrong. An empty `workingFolder` means
// the folder is gone (deleted while the program was started from it): a
// relative name then means nothing, and guessing a folder for it would make
// a later save write where the user never asked. Such a name, and one that
// is too long for the system, is refused instead of planned; a switch whose
// path is refused plans nothing, and so does a list whose names all are.
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

// The message that tells the user why a name was refused. A very long name
// is shown by its start: the whole would not fit on the screen.
std::string refusedNameText(const RefusedName& refused);

}  // namespace korvane
