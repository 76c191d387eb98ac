// The tag-mode commands of the two tag menus and the tag tool bar: each
// wraps or follows the editor's selection with tags, or shows one of the tag
// dialogs.
//
// Plain C++ over the editor (EditControl) and the highlight state
// (TagHighlighter). Every insertion goes through the tag insertion sequence,
// so that with tags highlighted the new tags show coloured at once, and is
// one replacement of the selection: one undo gives back the text and the
// selection from before the command.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/command_table.h"
#include "base/edit_control.h"
#include "convert/relative_path.h"
#include "edit/tag_highlighter.h"
#include "platform/common_dialogs.h"
#include "tags/tag_text.h"

namespace korvane {

// A file picked in `dialog` for a link or image tag: the file and its
// location as the tag writes it (tagLocation). Nothing when the user
// cancelled, or when Shift_JIS cannot hold the location; the user is then
// told, with the file named, and nothing is written mangled.
struct PickedLocation {
    std::string file;
    std::string location;
};
std::optional<PickedLocation> pickTagLocation(FileDialog& dialog, MessageBoxes& messages,
                                              std::string_view document, PathStyle style);

class TagCommands {
  public:
    // `currentFile` gives the document's name each time a command needs it;
    // `pathStyle` is how that name and the picked files are read.
    TagCommands(EditControl& edit, TagHighlighter& highlighter, CommonDialogs& dialogs,
                CurrentFileSource currentFile, PathStyle pathStyle = kNativePathStyle);
    TagCommands(const TagCommands&) = delete;
    TagCommands& operator=(const TagCommands&) = delete;

    // How the four dialogs are shown (the window owns them). A command
    // whose dialog is not set does nothing.
    struct DialogShowers {
        std::function<void()> TfFont;
        std::function<void()> TfNrLink;
        std::function<void()> TfLink;
        std::function<void()> TfImage;
    };
    void setDialogShowers(DialogShowers showers) { m_showers = std::move(showers); }

    // Enables or disables a menu item or tool button by its name ("E1",
    // "ToolButton29") whenever its availability is decided.
    using Enabler = std::function<void(const std::string& name, bool enabled)>;
    void setEnabler(Enabler enabler) { m_enabler = std::move(enabler); }

    // The selection S becomes "<" name ">" S "</" name ">".
    void WrapSelection(std::string_view name);
    // The selection S becomes "<" name " " attributes ">" S "</" name ">".
    void WrapSelectionWith(std::string_view name, std::string_view attributes);

    // "htmlﾀｸﾞ1(&T)": character decoration.
    void B2Click();   // bold
    void I1Click();   // italic
    void N17Click();  // underline
    void S3Click();   // strike-through
    void T3Click();   // fixed-pitch font
    // Structure.
    void H1Click();  // simple link: the selection is its own address
    void M1Click();  // mail address
    void B3Click();  // line break
    void R1Click();  // horizontal rule
    void H1F1Click();
    void H2S1Click();
    void H3T1Click();
    void H4O1Click();
    void H5I1Click();
    void H6X1Click();
    void P6Click();     // paragraph
    void txtE1Click();  // preformatted text
    void U2Click();     // unordered list
    void O1Click();     // ordered list
    // Position.
    void L1Click();  // left
    void C1Click();  // centre
    void R2Click();  // right

    // "htmlﾀｸﾞ2(&M)".
    void F2Click();   // font tag dialog
    void N19Click();  // link and mail dialog
    void P7Click();   // page-internal link dialog
    void E1Click();   // simple image
    void I2Click();   // image placement dialog
    // Runs as "htmlﾀｸﾞ2(&M)" opens: "簡易画像(&E)" is available while the
    // document has a name.
    void html2T1Click();

    // The simple image, menu item and tool button alike, is available while
    // the document has a name: it writes the picture's location relative to
    // the page, and an unnamed page has no place to be relative to. Runs
    // whenever the document's name may have changed, so that the button
    // never offers what the item refuses.
    void followDocumentName();
    // The simple image item and button as they were last set.
    bool E1Enabled() const { return m_e1Enabled; }
    bool ToolButton29Enabled() const { return m_toolButton29Enabled; }

    // Every handler above by its name, for the window's command table.
    std::vector<std::pair<std::string, std::function<void()>>> commands();
    void registerCommands(CommandTable& table);

  private:
    void insert(std::string_view text);
    void show(const std::function<void()>& dialog);
    void setEnabled(const std::string& name, bool enabled);

    EditControl& m_edit;
    TagHighlighter& m_highlighter;
    CommonDialogs& m_dialogs;
    CurrentFileSource m_currentFile;
    PathStyle m_pathStyle;
    DialogShowers m_showers;
    Enabler m_enabler;
    bool m_e1Enabled = false;
    bool m_toolButton29Enabled = false;
};

}  // namespace korvane
