// The preview of both modes: the current page written to "prev.htm" and
// opened with the desktop's default browser.
//
// Text mode previews the page its conversion would make, with the
// background picture's absolute path (the preview file lies elsewhere than
// the page will); tag mode previews the editor's text unchanged. Neither
// touches the document: its text, selection, name and modified flag stay.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/command_table.h"
#include "base/edit_control.h"
#include "convert/page_settings.h"
#include "platform/common_dialogs.h"
#include "platform/shell.h"

namespace korvane {

// Tag mode's page as its preview copy shows it: the copy lies in another
// folder than the page, so a BASE pointing at the page's own folder goes in
// after its HEAD tag (or at the top when it has none), and its relative
// pictures and links are found. A page with a BASE href of its own keeps
// it; a page without a file (`documentPath` empty) is left as it is.
std::string withDocumentBase(std::string_view page, const std::string& documentPath);

class Preview {
  public:
    struct Sources {
        std::function<std::string()> title;  // the title box (Shift_JIS)
        std::function<int()> tabOption;      // the option "Tab" as it is now
        // Where "prev.htm" goes (UTF-8); previewPath() unless set.
        std::function<std::string()> previewPath;
        // The document's file (the platform's form), empty while it has none.
        std::function<std::string()> currentFile;
    };

    Preview(EditControl& edit, const PageSettings& page, CommonDialogs& dialogs, Shell& shell,
            Sources sources);
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;

    void P1Click();
    void P4Click();

    // The menu items and their tool buttons.
    void registerCommands(CommandTable& table);

  private:
    // Writes the page and opens it; a page that cannot be written is
    // reported and not opened.
    void show(const std::string& page);

    EditControl& m_edit;
    const PageSettings& m_page;
    CommonDialogs& m_dialogs;
    Shell& m_shell;
    Sources m_sources;
};

}  // namespace korvane
