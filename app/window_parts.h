// Everything of the main window that is not a widget: its subsystems, built
// and wired in one place, every command registered, the journal's timing
// and the rules of start-up, exit and the menus that follow the editor.
//
// Plain C++ over the editor (EditControl) and what the window does for it
// (WindowPartsHost): a test builds the whole window this way without Qt, and
// Tvantler keeps only its widgets, layouts, events, caption and size. The Qt
// dialogs of the window are built on top of these parts and shown through
// the showers the window hands in.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/document_io.h"
#include "app/documents.h"
#include "app/font_commands.h"
#include "app/help_commands.h"
#include "app/journal.h"
#include "app/journal_keeper.h"
#include "app/mode_switches.h"
#include "app/settings_store.h"
#include "base/command_table.h"
#include "base/progress.h"
#include "convert/page_dialogs.h"
#include "convert/preview.h"
#include "edit/edit_commands.h"
#include "edit/search.h"
#include "edit/tag_highlighter.h"
#include "platform/common_dialogs.h"
#include "platform/recent_files.h"
#include "platform/shell.h"
#include "tags/document_check.h"
#include "tags/page_files.h"
#include "tags/tag_commands.h"

namespace korvane {

// What the parts ask of the window beyond its layouts (DocumentWindow and
// ModeWindow): the menu items' state, the editor's shown font, the status
// line, the end of the program.
class WindowPartsHost : public DocumentWindow, public ModeWindow {
  public:
    // Both bases ask these of the window; one answer serves both.
    using DocumentWindow::isTagMode;
    using DocumentWindow::setTitleBytes;
    using DocumentWindow::showCaption;
    using DocumentWindow::titleBytes;
    // A menu item or tool button by its object name.
    virtual void enableItem(const std::string& name, bool enabled) = 0;
    virtual void checkItem(const std::string& name, bool checked) = 0;
    // The editor's font as it is shown (the installed family that stands in).
    virtual FontChoice shownEditorFont() const = 0;
    virtual void showStatusNote(const std::string& note) = 0;
    // What a search or replace did, in the status line until the caret moves.
    virtual void showStatusMessage(const std::string& message) { static_cast<void>(message); }
    // The editor's line numbers shown or not.
    virtual void showLineNumbers(bool shown) { static_cast<void>(shown); }
    virtual void activateMainWindow() = 0;
    // Ends the program at once: no close question, no size written.
    virtual void exitProgram() = 0;
};

// The window's own dialogs, shown by the commands that open them.
struct WindowDialogShowers {
    std::function<void()> font;
    std::function<void()> pageLink;    // the link and mail dialog
    std::function<void()> anchorLink;  // the page-internal link dialog
    std::function<void()> image;
    std::function<void()> colors;
    std::function<void()> details;
    std::function<void()> options;
    std::function<void()> pageCheck;
    std::function<void()> goToLine;
};

class WindowParts {
  public:
    // How often unsaved text is written to the journal, in milliseconds.
    static constexpr int kJournalInterval = 3000;

    WindowParts(EditControl& edit, WindowPartsHost& host, CommonDialogs dialogs,
                std::unique_ptr<Shell> shell, ProgressDisplay* progress,
                SystemColorLookup systemColor);
    WindowParts(const WindowParts&) = delete;
    WindowParts& operator=(const WindowParts&) = delete;

    // The window built its dialogs on top of the parts: the commands that
    // show them can now do so.
    void setDialogShowers(WindowDialogShowers showers) { m_showers = std::move(showers); }

    // Start-up: the first document from the program's arguments, then the
    // text that copies which are gone left behind.
    void interpretCommandLine(const std::vector<std::string>& params);
    // Every kJournalInterval: unsaved text goes to the journal, unless long
    // work holds the text half done.
    void journalTimer();
    // A later step of a write that journalTimer began.
    void journalStep();
    // A normal close: nothing is left that the user did not choose to leave.
    void closed() { m_journalKeeper->ended(); }
    // Whether long work runs: no command, drop or close starts then.
    bool busy() const { return m_progress != nullptr && m_progress->busy(); }

    // The menus that follow the editor as they open (text mode's Edit menu,
    // the context menu), and their items made available again as they close:
    // closed, the short-cuts work as the editor's own keys do.
    void followEditorInMenu(bool contextMenu);
    // The line numbers as the settings say, with both menus' check marks.
    void applyLineNumbers();
    void releaseEditMenu();

    // The files last opened or saved, as every copy of the program keeps
    // them; one of them opened as the open dialog's choice would be; the
    // list emptied.
    std::vector<std::string> recentFiles() const { return m_recent->list(); }
    void openRecent(const std::string& path);
    void clearRecent();

    CommandTable& commands() { return m_commands; }
    const CommandTable& commands() const { return m_commands; }
    SettingsStore& store() { return *m_store; }
    const StartupSettings& settings() const { return m_store->values(); }
    CommonDialogs& dialogs() { return m_dialogs; }
    TagHighlighter& highlighter() { return *m_highlighter; }
    Documents& documents() { return *m_documents; }
    ModeSwitches& modes() { return *m_modes; }
    TagCommands& tagCommands() { return *m_tagCommands; }
    Search& search() { return *m_search; }
    DocumentCheck& documentCheck() { return *m_documentCheck; }
    JournalKeeper& journalKeeper() { return *m_journalKeeper; }

  private:
    void registerCommands();
    void settingsChanged(SettingsStore::Change change, const StartupSettings& values);
    void exitCommand();
    // A failed write of the recent list is told in the status line: it
    // comes after an open or a save, which did what the user asked.
    void reportRecentWrite(const ProfileWriteResult& result);

    EditControl& m_edit;
    WindowPartsHost& m_host;
    CommonDialogs m_dialogs;
    std::unique_ptr<Shell> m_shell;
    ProgressDisplay* m_progress;
    WindowDialogShowers m_showers;
    CommandTable m_commands;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<RecentFiles> m_recent;
    std::unique_ptr<TagHighlighter> m_highlighter;
    std::unique_ptr<Documents> m_documents;
    std::unique_ptr<ModeSwitches> m_modes;
    std::unique_ptr<EditCommands> m_editCommands;
    std::unique_ptr<TagCommands> m_tagCommands;
    std::unique_ptr<DiskPageFiles> m_pageFiles;
    std::unique_ptr<DocumentCheck> m_documentCheck;
    std::unique_ptr<PageDialogs> m_pageDialogs;
    std::unique_ptr<Preview> m_preview;
    std::unique_ptr<FontCommands> m_fontCommands;
    std::unique_ptr<HelpCommands> m_helpCommands;
    std::unique_ptr<Search> m_search;
    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<JournalKeeper> m_journalKeeper;
};

}  // namespace korvane
