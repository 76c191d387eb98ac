// The common dialogs: open, save, colour and font dialogs and the message
// boxes.
//
// Each dialog is an object that lives for the whole run and keeps what the
// Windows dialog objects keep between uses: a file dialog its last chosen
// name and filter, a colour dialog its colour, the font dialog its font. The
// keeping is done here, in plain C++, so it is the same for the Qt dialogs
// and for the scripted ones the tests use; a subclass only asks the user.
//
// Paths, font names and message texts are UTF-8 (the desktop's form), not
// the Shift_JIS of document text.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/color.h"
#include "platform/file_filter.h"

namespace korvane {

enum class FileDialogKind {
    Open,  // the file must exist
    Save,  // any name; an existing file only after the user said yes
};

// Everything a file dialog shows when it runs.
struct FileDialogQuery {
    FileDialogKind kind = FileDialogKind::Open;
    std::string title;  // empty: the platform's own title for the kind
    std::vector<FileFilter> filters;
    std::size_t filterIndex = 0;   // zero-based; 0 when there are no filters
    std::string folder;            // where it opens; empty: the platform's choice
    std::string fileName;          // proposed in the name box, without folder
    std::string defaultExtension;  // without "."; empty: none
};

struct FileDialogAnswer {
    std::string path;             // absolute
    std::size_t filterIndex = 0;  // zero-based: the filter shown at the confirmation
};

class FileDialog {
  public:
    // Dialogs that share `recentFolder` open where the last of them was
    // confirmed, as Windows' dialogs follow the current folder; without it a
    // dialog keeps its own.
    explicit FileDialog(FileDialogKind kind, std::shared_ptr<std::string> recentFolder = {});
    virtual ~FileDialog();
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    FileDialogKind kind() const { return m_kind; }
    void setTitle(std::string title) { m_title = std::move(title); }
    // "desc|patterns|desc|patterns", patterns separated by ";".
    void setFilter(std::string_view filter);
    // Appended by a save dialog to a name typed without extension.
    void setDefaultExtension(std::string extension) { m_defaultExtension = std::move(extension); }
    // One-based as Windows counts; an index outside the list shows the first.
    // A dialog not given one keeps the filter last used.
    void setFilterIndex(int index) { m_filterIndex = index; }
    int filterIndex() const { return m_filterIndex; }

    // Where the dialog opens while it remembers no name: `folder` rather
    // than where the last dialog was confirmed; empty takes that back.
    void setStartFolder(std::string folder) { m_startFolder = std::move(folder); }

    // The full path last chosen, proposed the next time; empty at first.
    const std::string& fileName() const { return m_fileName; }
    void clearRememberedName() { m_fileName.clear(); }
    // Proposes a full path the next time the dialog runs.
    void proposeFileName(std::string path) { m_fileName = std::move(path); }

    // Shows the dialog; the chosen file's full path, or nothing when the
    // user cancelled (nothing changes then).
    std::optional<std::string> run();

    // What run() would show now.
    FileDialogQuery query() const;

  protected:
    virtual std::optional<FileDialogAnswer> ask(const FileDialogQuery& query) = 0;

  private:
    FileDialogKind m_kind;
    std::shared_ptr<std::string> m_recentFolder;
    std::string m_title;
    std::vector<FileFilter> m_filters;
    std::string m_defaultExtension;
    std::string m_startFolder;
    int m_filterIndex = 1;
    std::string m_fileName;
};

// A colour dialog that opens on its colour and keeps the one last confirmed.
class ColorDialog {
  public:
    // A system colour (a negative value) is shown as the desktop's current
    // colour of that index, resolved through `systemColor`.
    explicit ColorDialog(SystemColorLookup systemColor = {}, ColorValue initial = 0);
    virtual ~ColorDialog();
    ColorDialog(const ColorDialog&) = delete;
    ColorDialog& operator=(const ColorDialog&) = delete;

    ColorValue color() const { return m_color; }
    void setColor(ColorValue color) { m_color = color; }

    // True when the user confirmed; color() is then the chosen 0x00BBGGRR.
    // A cancel leaves color() exactly as it was set.
    bool run();

  protected:
    // `current` is a plain 0x00BBGGRR colour; so must the answer be.
    virtual std::optional<ColorValue> ask(ColorValue current) = 0;

  private:
    SystemColorLookup m_systemColor;
    ColorValue m_color;
};

struct FontChoice {
    std::string family;
    int pointSize = 0;

    bool operator==(const FontChoice&) const = default;
};

// The font dialog: only a family and a size go in and come out; the Qt
// dialog keeps the rest of its font (style, weight) between uses itself.
class FontDialog {
  public:
    FontDialog() = default;
    virtual ~FontDialog();
    FontDialog(const FontDialog&) = delete;
    FontDialog& operator=(const FontDialog&) = delete;

    const FontChoice& font() const { return m_font; }
    void setFont(FontChoice font) { m_font = std::move(font); }

    // True when the user confirmed; font() is then the chosen font. An
    // answer without a family or a positive size keeps that part as it was,
    // so the editor never gets a font it cannot show.
    bool run();

  protected:
    virtual std::optional<FontChoice> ask(const FontChoice& current) = 0;

  private:
    FontChoice m_font;
};

enum class SaveAnswer { Yes, No, Cancel };

inline constexpr const char* kSaveQuestionText = "内容は変更されています。保存しますか？";

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;

    // The toolkit's error box: error icon, caption "korvane", one OK button.
    // It is the one way failures reach the user. `detail` is the system's
    // reason (an errno text), shown on request under the message.
    virtual void showError(const std::string& text, const std::string& detail = {}) = 0;
    // A plain message: no icon, caption "korvane", one OK button.
    virtual void showMessage(const std::string& text) = 0;
    // The save question: no icon, caption "korvane", the buttons
    // "はい(&Y)", "いいえ(&N)" and "キャンセル"; Esc and the close button
    // answer Cancel.
    virtual SaveAnswer askSave(const std::string& text) = 0;
    // A question with "はい(&Y)" and "いいえ(&N)", caption "korvane"; Esc and
    // the close button answer No.
    virtual bool askYesNo(const std::string& text) = 0;
    // A question with the buttons `buttons` (captions with their access
    // keys), no icon, caption "korvane": the index of the button chosen.
    // Enter chooses `defaultButton`; Esc and the close button answer
    // `escapeButton`.
    virtual std::size_t askChoice(const std::string& text, const std::vector<std::string>& buttons,
                                  std::size_t defaultButton, std::size_t escapeButton) = 0;
};

// The dialogs of one main window, one object per role, kept for the run.
struct CommonDialogs {
    std::unique_ptr<FileDialog> odMain;           // open, both modes
    std::unique_ptr<FileDialog> sdMain;           // save as, both modes
    std::unique_ptr<FileDialog> sdHtml;           // convert and save
    std::unique_ptr<FileDialog> odBackPicture;    // background picture, simple image
    std::unique_ptr<FileDialog> odLink;           // the link dialog's HTML file
    std::unique_ptr<FileDialog> odImage;          // the image dialog's picture
    std::unique_ptr<FontDialog> FontDialog1;      // both editor fonts
    std::unique_ptr<ColorDialog> pageColor;       // the page colour dialog's buttons
    std::unique_ptr<ColorDialog> highlightColor;  // the options dialog's highlight colour
    std::unique_ptr<ColorDialog> fontTagColor;    // the font tag dialog's colour
    std::unique_ptr<MessageBoxes> messages;

    // What every switch of mode does: odMain and sdMain forget their names.
    void clearMainNames();
};

}  // namespace korvane
