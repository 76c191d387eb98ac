// The main window: one editor that works in text mode ("korvane") or tag mode
// ("morvix"), each with its own menu bar and tool bar.
//
// The mode is which set of top-level menus is attached to the menu bar; there
// is no separate mode variable, so the menus shown and the mode can never
// disagree. Both sets live for the whole run: QMainWindow::setMenuBar would
// delete the bar it replaces, so the one bar swaps its top-level menus, and
// the detached set's short-cuts (both modes use Ctrl+O, Ctrl+S, F3...) go
// dead with it.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "app/documents.h"
#include "app/font_commands.h"
#include "app/help_commands.h"
#include "app/journal.h"
#include "app/journal_keeper.h"
#include "app/mode_switches.h"
#include "app/settings.h"
#include "app/settings_store.h"
#include "base/command_table.h"
#include "convert/page_dialogs.h"
#include "convert/preview.h"
#include "edit/edit_commands.h"
#include "edit/search.h"
#include "platform/common_dialogs.h"
#include "platform/shell.h"
#include "tags/tag_commands.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace korvane {

class FindDialog;
class QtProgressDisplay;
class RichEdit;
class DiskPageFiles;
class DocumentCheck;
class TfCheck;
class TfColor;
class TfDetail;
class TfFont;
class TfImage;
class TfLink;
class TfNrLink;
class TfOption;
class SjisLineEdit;
class TagHighlighter;
class TfReplace;

class Tvantler : public QMainWindow, private DocumentWindow, private ModeWindow {
    Q_OBJECT

  public:
    // How often unsaved text is written to the journal, in milliseconds.
    static constexpr int kJournalInterval = 3000;

    // Runs LoadForm: reads the settings file of settingsPath() and starts in
    // text mode with an untitled document. The dialogs are Qt's and copies
    // are started through QtShell.
    explicit Tvantler(QWidget* parent = nullptr);
    // With the dialogs and the shell given: tests script the one and record
    // the other, since no test may show a dialog or start a process.
    Tvantler(CommonDialogs dialogs, std::unique_ptr<Shell> shell, QWidget* parent = nullptr);
    ~Tvantler() override;

    bool isTagMode() const override { return m_attached == &m_mmAd; }
    QString currentFile() const;
    RichEdit* editor() const { return m_reMain; }
    SjisLineEdit* titleBox() const { return m_eTitle; }
    QLabel* statusLabel() const { return m_label1; }
    // The window's own note at the right of the bottom row; empty: none.
    QString statusNote() const;
    void showStatusNote(const QString& note);
    const StartupSettings& settings() const { return m_store->values(); }
    SettingsStore& settingsStore() { return *m_store; }
    bool tagsHighlighted() const;

    // Start-up: the first document from the program's arguments (those
    // after the program name). Once, before the window is first shown.
    void interpretCommandLine(const std::vector<std::string>& params);

    // The commands of both menu bars, both tool bars and the context menu,
    // by their handlers' names.
    const CommandTable& commands() const { return m_commands; }

    bool FormCloseQuery();
    // Files dropped anywhere on the window, in drop order.
    void WMDropFiles(const std::vector<std::string>& paths);

    // The menu-open handlers: text mode's Edit menu and the context menu
    // follow the editor; tag mode's File menu shows the highlight state.
    void Edit1Click();
    void PopMenuUp();
    void File2Click();

    void Exit1Click();
    void AddCaption();
    QString AddAdCaption() const;
    void ShowLongHint(const QString& hint);

  protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    void LoadForm();
    void FormActivate();
    void FormClose();

    void buildEditor();
    void buildTagDialogs();
    void startJournal();
    void buildPageDialogs();
    void buildSettingsCommands();
    void registerCommands();
    void buildMenus();
    void buildToolBars();
    void attachMenus(std::vector<QMenu*>* menus);
    // The context menu at `pos` of the editor's viewport, after PopMenuUp.
    void popUpContextMenu(const QPoint& pos);
    QAction* actionNamed(const char* name) const;
    void followEditor(const char* undo, const char* cut, const char* copy, const char* paste) const;
    // The stored outer size, fitted to the free area of the window's screen.
    QSize fittedOuterSize() const;
    void fitToFrame();
    QString modeCaption(const QString& prefix) const;
    void settingsChanged(SettingsStore::Change change, const StartupSettings& values);

    // DocumentWindow and ModeWindow
    void enterTagMode() override;
    void enterTextMode() override;
    std::string titleBytes() const override;
    void setTitleBytes(std::string_view bytes) override;
    void showCaption() override { AddCaption(); }
    void documentRenamed() override;
    void pageSaved() override;
    void setEditorFont(const EditorFont& font) override;
    void showTagLayout() override;
    void showTextLayout() override;
    void freezePainting(bool frozen) override;

    std::unique_ptr<SettingsStore> m_store;
    CommonDialogs m_dialogs;
    std::unique_ptr<Shell> m_shell;
    CommandTable m_commands;
    // Long work's progress; while it runs no command, drop or close starts.
    std::unique_ptr<QtProgressDisplay> m_progress;
    std::unique_ptr<TagHighlighter> m_highlighter;
    std::unique_ptr<Documents> m_documents;
    std::unique_ptr<ModeSwitches> m_modes;
    std::unique_ptr<EditCommands> m_editCommands;
    std::unique_ptr<TagCommands> m_tagCommands;
    // The tag dialogs: created once, hidden when not in use.
    TfFont* m_tfFont = nullptr;
    TfNrLink* m_tfNrLink = nullptr;
    TfLink* m_tfLink = nullptr;
    TfImage* m_tfImage = nullptr;
    // The page check and its dialog.
    std::unique_ptr<DiskPageFiles> m_pageFiles;
    std::unique_ptr<DocumentCheck> m_documentCheck;
    TfCheck* m_tfCheck = nullptr;
    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<JournalKeeper> m_journalKeeper;
    // Text mode's page settings: colours, details, background picture.
    std::unique_ptr<PageDialogs> m_pageDialogs;
    TfColor* m_tfColor = nullptr;
    TfDetail* m_tfDetail = nullptr;
    std::unique_ptr<Preview> m_preview;
    TfOption* m_tfOption = nullptr;
    std::unique_ptr<FontCommands> m_fontCommands;
    std::unique_ptr<HelpCommands> m_helpCommands;
    std::unique_ptr<Search> m_search;
    bool m_firstActivate = false;
    bool m_frameKnown = false;  // the window has had its client fitted to the frame

    RichEdit* m_reMain = nullptr;
    SjisLineEdit* m_eTitle = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_statusNote = nullptr;
    QToolBar* m_tbMain = nullptr;
    QToolBar* m_toolBar1 = nullptr;
    std::vector<QMenu*> m_mainMenu1;  // text mode's top-level menus
    std::vector<QMenu*> m_mmAd;       // tag mode's top-level menus
    std::vector<QMenu*>* m_attached = nullptr;
    QMenu* m_popupMenu1 = nullptr;
    FindDialog* m_fdMain = nullptr;
    TfReplace* m_tfReplace = nullptr;
};

}  // namespace korvane
