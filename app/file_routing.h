// Where a file goes when the user opens it, drops it on the window or names
// it on the command line: into this window (as it is, switching the mode, or
// converted), to a new copy of the program, or nowhere.
//
// The three ways share one decision because they agree on most of it; where
// they differ the difference is a row of this file, not a second copy of the
// logic:
// - which extensions count: the open commands and drops take ".htm" and
//   ".html" (and ".txt") exactly as written, the command line also ".HTM" and
//   ".HTML";
// - which option counts: text mode's open and every drop follow kvnHtml, tag
//   mode's open follows mvxHtml; a drop never looks at mvxHtml or the mode;
// - when a window takes the file: the commands and drops want a new, empty
//   document, the command line only an empty editor;
// - what is checked on disk: a chosen or dropped file handed to a copy must
//   still be a file, a command-line file is loaded only when it is one, and
//   nothing else is checked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline constexpr const char* kUntitled = "Untitled";

enum class OpenSource {
    TextModeOpen,  // the text-mode Open command
    TagModeOpen,   // the tag-mode Open command
    Drop,          // a file dropped on the window, in either mode
    CommandLine,   // a file of the plain file list at start-up
};

// What happens in this window when it takes the file.
enum class HereStep {
    AsItIs,         // load it in the mode shown
    IntoTagMode,    // enter tag mode, then load it as HTML source
    AsTagSource,    // tag mode's own open of anything but a text file
    IntoTextMode,   // leave tag mode, then load it as text
    StripTags,      // load the text of the page, tags stripped, as a new document
    ConvertToHtml,  // load the page built from the text, as a new document
    NameOnly,       // the file becomes the document's name, nothing is loaded
};

// The switch a new copy is started with.
enum class CopySwitch {
    None,        // no copy is started
    Plain,       // the path alone
    OpenAsHtml,  // "/h" and the path
    Convert,     // "/t" and the path
};

struct RouteQuery {
    OpenSource source = OpenSource::TextModeOpen;
    std::string_view path;
    bool tagMode = false;     // the mode shown
    bool untitled = true;     // the document has no file
    bool editorEmpty = true;  // the editor holds no text
    int kvnHtml = 0;
    int mvxHtml = 1;
};

struct Route {
    bool here = false;  // this window takes the file, else a copy may
    HereStep step = HereStep::AsItIs;
    CopySwitch copy = CopySwitch::None;
    // Only when a file (not a folder) exists at the path: the load here, or
    // the copy; otherwise only the name is kept (here) or nothing happens.
    bool needsExistingFile = false;
    // Colour the tags after the load when tags are highlighted by default.
    // Not at start-up, where the first activation does it.
    bool highlightByDefault = false;

    friend bool operator==(const Route&, const Route&) = default;
};

// The extension of `path`: from its last "." to the end, empty without one.
// A "." in a folder name counts, as it always has for this program.
std::string_view extensionOf(std::string_view path);

// ".htm" or ".html", case-sensitive; the command line also takes ".HTM" and
// ".HTML" (but not ".Htm").
bool isHtmlFile(std::string_view path, OpenSource source);
// ".txt", case-sensitive.
bool isTextFile(std::string_view path);

Route routeFile(const RouteQuery& query);

// The arguments of a new copy: the switch and the path as separate elements,
// each reaching the copy as it stands. Empty for CopySwitch::None.
std::vector<std::string> copyArguments(CopySwitch copy, std::string_view path);

}  // namespace korvane
