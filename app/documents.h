// The main window's document: its name (CurrentFile), the file commands of
// both modes, the routing of opened, dropped and command-line files, and the
// question asked before a modified document is closed.
//
// Plain C++ over the editor (EditControl), the dialogs and the shell, so that
// every command can be driven in a test with scripted dialogs and a
// recording shell. What only the window can do (its layouts, caption, title
// box and what follows the document's name) it asks of a DocumentWindow.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/disk_watch.h"
#include "app/file_routing.h"
#include "app/settings.h"
#include "base/command_table.h"
#include "base/edit_control.h"
#include "base/line_breaks.h"
#include "base/progress.h"
#include "edit/tag_highlighter.h"
#include "platform/common_dialogs.h"
#include "platform/encodings.h"
#include "platform/shell.h"

namespace korvane {

class DocumentWindow {
  public:
    virtual ~DocumentWindow() = default;

    virtual bool isTagMode() const = 0;
    // The layout steps, each with its mode's editor font.
    virtual void enterTagMode() = 0;
    virtual void enterTextMode() = 0;
    // The title box (Shift_JIS).
    virtual std::string titleBytes() const = 0;
    virtual void setTitleBytes(std::string_view bytes) = 0;
    // Shows the caption for the mode, CurrentFile and background picture.
    virtual void showCaption() = 0;
    // CurrentFile changed: what offers itself only to a named document (tag
    // mode's simple image) follows it.
    virtual void documentRenamed() = 0;
    // A tag-mode page was written to its file.
    virtual void pageSaved() {}
    // The document's encoding or line breaks changed (shown in the status
    // line).
    virtual void formatChanged() {}
};

enum class LoadOutcome {
    Loaded,
    Failed,     // the file could not be read or shown
    Cancelled,  // the user stopped the read: nothing changed
};

enum class SaveOutcome {
    Saved,
    Cancelled,  // the user cancelled the name dialog
    Failed,     // the file could not be written
};

class Documents {
  public:
    // `settings` is the window's, read when a command runs, so that a change
    // of the options or the page settings counts from the next command on.
    Documents(EditControl& edit, TagHighlighter& highlighter, const StartupSettings& settings,
              CommonDialogs& dialogs, Shell& shell, DocumentWindow& window);
    Documents(const Documents&) = delete;
    Documents& operator=(const Documents&) = delete;

    // The document's full path, or "Untitled".
    const std::string& CurrentFile() const { return m_currentFile; }
    bool isUntitled() const { return m_currentFile == kUntitled; }
    // What the document's file is written in, and with which line breaks.
    TextEncoding encoding() const { return m_encoding; }
    const LineBreaks& lineBreaks() const { return m_breaks; }
    // The editor was given a text in `encoding`'s codec (a restored
    // journal): saves write that encoding.
    void adoptEncoding(TextEncoding encoding);
    // Every switch of mode: the document has no file any more, and the open
    // and save dialogs forget their names.
    void forgetFile();

    // Text mode.
    void New1Click();
    void Open1Click();
    SaveOutcome Save1Click();
    SaveOutcome SaveAs1Click();
    void htmlH1Click();
    // Tag mode.
    void Open2Click();
    SaveOutcome Save2Click();
    SaveOutcome SaveAs2Click();

    // A file chosen from the list of recent files: routed as the open
    // dialog's choice of the mode shown is.
    void openRecent(const std::string& path);
    // Told of every file a document was read from or written to.
    void setFileUsed(std::function<void(const std::string& path)> used) {
        m_fileUsed = std::move(used);
    }

    // Both modes: the file read again in the encoding the user names (the
    // guess was wrong), and the text saved in another encoding (converted;
    // what it cannot hold is listed first, and a page's META follows).
    void reopenInEncoding();
    SaveOutcome saveInEncoding();

    // Whether the window may close: asks first when the text is modified.
    bool FormCloseQuery();

    // The window came to the front: when another program changed, replaced
    // or deleted the document's file since it was read or saved, the user
    // is asked whether to read it again (a deleted file is only said).
    void checkDisk();

    // Files dropped on the window, in drop order.
    void WMDropFiles(const std::vector<std::string>& paths);

    // Start-up: the window's first document from the command line.
    void interpretCommandLine(const StartupPlan& plan);

    // The file commands of both modes, under their handlers' names.
    void registerCommands(CommandTable& table);

    // Where reading and converting a file show their progress; the read can
    // be cancelled there. None: nothing is shown.
    void setProgressDisplay(ProgressDisplay* display) { m_progress = display; }

  private:
    struct Opened;

    // False when a read failed or was cancelled (the caller stops there).
    bool openFile(OpenSource source, const std::string& path);
    LoadOutcome loadHere(const Route& route, const std::string& path);
    LoadOutcome loadStep(const Route& route, const std::string& path);
    void handToCopy(const Route& route, const std::string& path);
    // Reads the file for the editor, or `whole` for a conversion, with its
    // progress shown; a file that is not Shift_JIS comes whole, after the
    // question about it.
    Opened readForOpen(const std::string& path, bool whole);
    // The file to read for `path`: itself, or the copy of its old contents
    // that a save killed midway left, when the user takes that.
    std::string offerInterruptedSave(const std::string& path);
    void reportUnread(const std::string& path, const std::string& error);
    bool writeOrReport(const std::string& path, std::string_view bytes);
    void showOpened(Opened& opened, const Route& route);
    void showText(std::string_view bytes, const TextCodec& codec, const Route& route,
                  const char* caption);
    // The same for the result of a conversion that reported to `conversion`:
    // the load shows as the rest of its progress.
    void showConverted(std::string_view bytes, const TextCodec& codec, const Route& route,
                       Progress& conversion);
    // Reads the file in pieces into the editor's load (or `opened.bytes`)
    // as `encoding`; false when the read did not get through.
    bool readPieces(const std::string& source, TextEncoding encoding, bool whole, Opened& opened);
    // Shift_JIS bytes (a setting, the title box) as the document's codec
    // writes them.
    std::string inDocument(std::string_view shiftJis) const;
    void afterText(const Route& route);
    // The background picture's path as seen from `page` (Shift_JIS).
    std::string relativePicture(const std::string& page) const;
    // Tag mode's text as the file `path` gets it.
    std::string pageForFile(const std::string& path) const;
    SaveOutcome saveAs(bool tagMode);
    // Gives the document a name; whether its file was read is not known yet.
    void nameDocument(std::string path);
    // The bytes a save of the text writes: the file's own line breaks.
    std::string fileBytes(std::string_view text) const;
    // Before a save over the document's own file: false when another
    // program changed it and the user would rather not write over that.
    bool mayOverwrite();
    // Reads the document's file again (as `as`, or as it seems), after the
    // usual question for a modified text; false when the user cancelled.
    bool reload(std::optional<TextEncoding> as = std::nullopt);
    // A page's META charset made the one of `target`, as one edit the user
    // sees and can undo; a page without one is offered one. False when the
    // user cancelled.
    bool declareCharset(const TextCodec& target);

    EditControl& m_edit;
    TagHighlighter& m_highlighter;
    const StartupSettings& m_settings;
    CommonDialogs& m_dialogs;
    Shell& m_shell;
    DocumentWindow& m_window;
    std::string m_currentFile = kUntitled;
    // The document is named after a file that could not be read: what the
    // editor holds is not that file, so a plain save must not replace it.
    bool m_fileUnread = false;
    bool m_quiet = false;  // inside the close question: failures are not shown
    // What the document's file held when it was last read or written, and
    // its line breaks (CR LF for a new document and a converted one).
    DiskWatch m_watch;
    LineBreaks m_breaks;
    TextEncoding m_encoding;
    // The encoding the next read takes, chosen by the user.
    std::optional<TextEncoding> m_readAs;
    bool m_checkingDisk = false;
    // Copies left by interrupted saves that the user has been told of. Each
    // is kept until a save has written its file whole again, whatever the
    // user answered: until then it may be the only whole contents.
    std::vector<std::string> m_interruptedBackups;
    ProgressDisplay* m_progress = nullptr;
    std::function<void(const std::string& path)> m_fileUsed;
};

}  // namespace korvane
