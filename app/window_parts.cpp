#include "app/window_parts.h"

#include <utility>

#include "app/command_line.h"
#include "platform/program_folder.h"

namespace korvane {

namespace {

// The items that follow the editor while their menu is open.
struct EditItems {
    const char* undo;
    const char* redo;
    const char* cut;
    const char* copy;
    const char* paste;
};
constexpr EditItems kEditMenuItems{"Repeat1", "Redo1", "T1", "Copy1", "P2"};
constexpr EditItems kContextMenuItems{"Repeat2", "Redo2", "N7", "Copy2", "N8"};

// Runs a shower the window may not have handed in (a test without dialogs).
void show(const std::function<void()>& shower) {
    if (shower)
        shower();
}

}  // namespace

WindowParts::WindowParts(EditControl& edit, WindowPartsHost& host, CommonDialogs dialogs,
                         std::unique_ptr<Shell> shell, ProgressDisplay* progress,
                         SystemColorLookup systemColor)
    : m_edit(edit),
      m_host(host),
      m_dialogs(std::move(dialogs)),
      m_shell(std::move(shell)),
      m_progress(progress) {
    m_commands.setHold([this] { return busy(); });

    m_store = std::make_unique<SettingsStore>(settingsPath());
    // A stored system colour takes the desktop's colour, as GetSysColor gives
    // it on Windows, not Windows' classic default.
    m_store->load(systemColor);
    m_store->setMessages(m_dialogs.messages.get());
    m_store->onChange([this](SettingsStore::Change change, const StartupSettings& values) {
        settingsChanged(change, values);
    });

    m_highlighter = std::make_unique<TagHighlighter>(edit);
    m_highlighter->setProgressDisplay(progress);
    m_highlighter->setHighlightColor(settings().options.tColor);
    m_highlighter->setHighlightByDefault(settings().options.hilight);
    m_highlighter->setFocusMainWindow([this] { m_host.activateMainWindow(); });
    edit.setChangeHandler([this] { m_highlighter->reMainChange(); });

    m_documents = std::make_unique<Documents>(edit, *m_highlighter, settings(), m_dialogs, *m_shell,
                                              static_cast<DocumentWindow&>(host));
    m_documents->setProgressDisplay(progress);
    m_recent = std::make_unique<RecentFiles>(m_store->path());
    m_documents->setFileUsed(
        [this](const std::string& path) { reportRecentWrite(m_recent->add(path)); });
    m_modes = std::make_unique<ModeSwitches>(edit, *m_highlighter, *m_documents, settings(),
                                             static_cast<ModeWindow&>(host));
    m_modes->setProgressDisplay(progress);
    m_editCommands = std::make_unique<EditCommands>(edit);

    // The tag commands and the page check read the document's name when
    // they run: a link or a picture's location follows the file the document
    // has by then.
    const CurrentFileSource currentFile = [this] { return m_documents->CurrentFile(); };
    m_tagCommands = std::make_unique<TagCommands>(edit, *m_highlighter, m_dialogs, currentFile);
    m_tagCommands->setDialogShowers(
        {[this] { show(m_showers.font); }, [this] { show(m_showers.pageLink); },
         [this] { show(m_showers.anchorLink); }, [this] { show(m_showers.image); }});
    m_tagCommands->setEnabler(
        [this](const std::string& name, bool enabled) { m_host.enableItem(name, enabled); });
    // The page is in the document's encoding; the background picture is
    // held as a full path that every save writes relative.
    m_pageFiles = std::make_unique<DiskPageFiles>();
    m_documentCheck = std::make_unique<DocumentCheck>(
        edit, *m_pageFiles,
        DocumentCheck::Sources{currentFile, [this] { return m_documents->encoding(); },
                               [this] { return settings().page.BackPicture; }});
    m_documentCheck->setProgressDisplay(progress);

    // Text mode's page settings and the preview of both modes work on the
    // run's one page record and write through the settings store.
    PageSettings& page = m_store->page();
    m_pageDialogs = std::make_unique<PageDialogs>(
        page, m_dialogs,
        PageDialogs::Window{[this] { show(m_showers.colors); }, [this] { show(m_showers.details); },
                            [this] { m_host.showCaption(); },
                            [this](bool checked) { m_host.checkItem("N5", checked); }});
    m_preview = std::make_unique<Preview>(
        edit, page, m_dialogs, *m_shell,
        Preview::Sources{[this] { return m_host.titleBytes(); },
                         [this] { return settings().options.tab; },
                         {},
                         [this] {
                             return m_documents->isUntitled() ? std::string()
                                                              : m_documents->CurrentFile();
                         }});

    m_fontCommands = std::make_unique<FontCommands>(
        *m_store, *m_highlighter, m_dialogs,
        FontCommands::Editor{[this] { return m_host.shownEditorFont(); },
                             [this](const EditorFont& font) { m_host.setEditorFont(font); }});
    m_helpCommands = std::make_unique<HelpCommands>(*m_shell, *m_dialogs.messages);
    // The search text starts empty; the window hands its find and replace
    // dialogs in.
    m_search = std::make_unique<Search>(edit);
    m_search->setProgressDisplay(progress);
    m_search->setStatusReporter(
        [this](const std::string& message) { m_host.showStatusMessage(message); });

    m_journal = std::make_unique<Journal>(journalFolder());
    m_journalKeeper = std::make_unique<JournalKeeper>(
        *m_journal, edit, *m_highlighter, *m_documents, *m_modes, static_cast<ModeWindow&>(host),
        *m_dialogs.messages, *m_shell);
    m_journalKeeper->setStatusDisplay(
        [this](const std::string& note) { m_host.showStatusNote(note); });

    registerCommands();
    // Off, with its menu item, until the document has a file.
    m_tagCommands->followDocumentName();
}

// Every subsystem puts its handlers into the one table; what is left here
// belongs to the window as a whole.
void WindowParts::registerCommands() {
    m_documents->registerCommands(m_commands);
    m_modes->registerCommands(m_commands);
    // The switches without conversion throw the text away: the journal keeps
    // it first.
    m_commands.add("morvixS1Click", [this] {
        m_journalKeeper->beforeDiscard();
        m_modes->morvixS1Click();
    });
    m_commands.add("korvaneS1Click", [this] {
        m_journalKeeper->beforeDiscard();
        m_modes->korvaneS1Click();
    });
    m_editCommands->registerCommands(m_commands);
    m_tagCommands->registerCommands(m_commands);
    m_pageDialogs->registerCommands(m_commands);
    m_preview->registerCommands(m_commands);
    m_fontCommands->registerCommands(m_commands);
    m_helpCommands->registerCommands(m_commands);
    m_search->registerCommands(m_commands);
    m_commands.add({"korvaneS2Click", "Option1Click"}, [this] { show(m_showers.options); });
    m_commands.add("K1Click", [this] { show(m_showers.pageCheck); });
    m_commands.add({"LineNum1Click", "LineNum2Click"},
                   [this] { m_store->storeLineNumbers(!settings().lineNumbers); });
    m_commands.add({"GoLine1Click", "GoLine2Click"}, [this] { show(m_showers.goToLine); });
    m_commands.add("html1Click", [this] { m_highlighter->html1Click(); });
    m_commands.add("Exit1Click", [this] { exitCommand(); });
    m_commands.add("Edit1Click", [this] { followEditorInMenu(false); });
    m_commands.add("File2Click",
                   [this] { m_host.checkItem("html1", m_highlighter->TagsHighlighted()); });
}

void WindowParts::interpretCommandLine(const std::vector<std::string>& params) {
    const ProgramRequest request = readProgramSwitches(params);
    // A copy started to restore a journal that another window offered: the
    // user has answered the question there.
    if (request.action == ProgramAction::Recover) {
        m_documents->interpretCommandLine(StartupPlan{});
        m_journalKeeper->recover(request.journal);
        return;
    }
    // The program answers --help, --version and a mistyped switch before any
    // window exists; should one come here, it names no file.
    const StartupPlan plan = request.action == ProgramAction::Run
                                 ? parseCommandLine(request.names, currentFolder())
                                 : StartupPlan{};
    m_documents->interpretCommandLine(plan);
    // Text a copy left unsaved when it died is offered to every new window:
    // one that starts empty takes it in, one with the user's file hands it to
    // a copy of its own, never mixing it into that file.
    m_journalKeeper->offerLeftBehind(m_documents->isUntitled() && m_edit.textLength() == 0);
}

void WindowParts::journalTimer() {
    if (!busy())
        m_journalKeeper->tick();
}

void WindowParts::journalStep() {
    if (busy())
        m_journalKeeper->stepLater();
    else
        m_journalKeeper->step();
}

// Only text mode's Edit menu and the context menu follow the editor; the
// tool bar buttons and tag mode's items always send their request.
void WindowParts::followEditorInMenu(bool contextMenu) {
    const EditItems& items = contextMenu ? kContextMenuItems : kEditMenuItems;
    m_host.enableItem(items.undo, m_edit.canUndo());
    m_host.enableItem(items.redo, m_edit.canRedo());
    m_host.enableItem(items.paste, m_edit.canPaste());
    const bool selected = m_edit.selLength() != 0;
    m_host.enableItem(items.cut, selected);
    m_host.enableItem(items.copy, selected);
}

void WindowParts::applyLineNumbers() {
    const bool shown = settings().lineNumbers;
    m_host.showLineNumbers(shown);
    m_host.checkItem("LineNum1", shown);
    m_host.checkItem("LineNum2", shown);
}

void WindowParts::releaseEditMenu() {
    for (const char* name : {kEditMenuItems.undo, kEditMenuItems.redo, kEditMenuItems.cut,
                             kEditMenuItems.copy, kEditMenuItems.paste})
        m_host.enableItem(name, true);
}

void WindowParts::openRecent(const std::string& path) {
    if (!busy())
        m_documents->openRecent(path);
}

void WindowParts::clearRecent() {
    reportRecentWrite(m_recent->clear());
}

void WindowParts::reportRecentWrite(const ProfileWriteResult& result) {
    if (!result.ok)
        m_host.showStatusNote(writeFailedMessage(result.path));
}

// Exit throws unsaved text away without asking; the journal keeps it for the
// next start.
void WindowParts::exitCommand() {
    m_journalKeeper->beforeDiscard();
    m_host.exitProgram();
}

// The objects that keep a copy of a setting follow its changes.
void WindowParts::settingsChanged(SettingsStore::Change change, const StartupSettings& values) {
    switch (change) {
        case SettingsStore::Change::Options:
            m_highlighter->setHighlightColor(values.options.tColor);
            m_highlighter->setHighlightByDefault(values.options.hilight);
            break;
        case SettingsStore::Change::LineNumbers:
            applyLineNumbers();
            break;
        case SettingsStore::Change::TextModeFont:
        case SettingsStore::Change::TagModeFont:
            m_modes->applyModeFont();
            break;
        default:
            break;
    }
}

}  // namespace korvane
