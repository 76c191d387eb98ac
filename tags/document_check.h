// The page check of the document in the editor: what the check dialog runs
// and where it takes the user.
//
// Plain C++ over the editor (EditControl) and the files (PageFiles), so that
// the dialog only shows what this gives it.
#pragma once

#include <functional>
#include <string>

#include "base/edit_control.h"
#include "base/progress.h"
#include "tags/page_check.h"
#include "tags/tag_text.h"

namespace korvane {

class DocumentCheck {
  public:
    // What the window knows, asked each time the check runs.
    struct Sources {
        CurrentFileSource currentFile;  // "Untitled" for a document without a file
        std::function<TextEncoding()> encoding;
        // The background picture's full path as the editor holds it, which
        // every save writes relative (Shift_JIS); empty for none.
        std::function<std::string()> heldBackground;
    };

    DocumentCheck(EditControl& edit, const PageFiles& files, Sources sources);

    // Where a long check shows its progress; it can be stopped there.
    void setProgressDisplay(ProgressDisplay* display) { m_progress = display; }

    // Checks the editor's text as it is now.
    PageCheckResult run() const;

    // Selects the place of `finding` in the editor, scrolls it into view and
    // gives the editor the focus. A place the text no longer reaches (it was
    // edited since) stands for its end.
    void goTo(const Finding& finding) const;

  private:
    EditControl& m_edit;
    const PageFiles& m_files;
    Sources m_sources;
    ProgressDisplay* m_progress = nullptr;
};

// The caption of the check's progress.
inline constexpr const char* kCheckingCaption = "ページを点検しています...";

}  // namespace korvane
