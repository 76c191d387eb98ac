// What the program asks of the desktop shell: show a page in the user's web
// browser (the preview page, the help pages), and
// start another copy of this program (New, and files handed on by the open
// commands and the drop handler).
//
// Plain C++ so that the decisions around these calls are testable in core;
// the Qt implementation is QtShell, tests record the calls instead, because
// no test may start a browser or a process.
#pragma once

#include <string>
#include <vector>

namespace korvane {

class Shell {
  public:
    virtual ~Shell() = default;

    // Shows the local page `path` (its bytes as the file system has them)
    // in the user's web browser: not in whatever opens HTML files, which may
    // be this editor. False when the request could not even be made; whether
    // the browser then shows the page is not known here.
    virtual bool openWebPage(const std::string& path) = 0;

    // Starts the executable "korvane" in the folder of the running program
    // as a separate process, with `args` as its arguments: each one reaches
    // the copy as it stands, with no shell and no quoting in between. False
    // when the process could not be started.
    virtual bool startCopy(const std::vector<std::string>& args) = 0;
};

// What the user is told when no web browser could be started for `page`.
inline std::string noBrowserText(const std::string& page) {
    return "ブラウザを起動できないため、" + page + " を表示できません";
}

}  // namespace korvane
