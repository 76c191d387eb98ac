// The main window: one editor that works in text mode ("korvane") or tag mode
// ("morvix"), each with its own menu bar and tool bar.
//
// The window is only a window: its widgets, layouts, events, caption, hints,
// the enabling of its items, its size and its close. Everything else — the
// subsystems, the commands, the journal's rules — is in WindowParts, which
// the window hosts.
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

#include "app/window_parts.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace korvane {

class QtProgressDisplay;
class RichEdit;
class SjisLineEdit;
class LineNumberGutter;
class StatusLine;
class WindowDialogs;

class Tvantler : public QMainWindow, private WindowPartsHost {
    Q_OBJECT

  public:
    static constexpr int kJournalInterval = WindowParts::kJournalInterval;

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
    // The caret's line and column, the search's word, the document's format.
    StatusLine* statusLine() const { return m_statusLine; }
    // The window's own note at the right of the bottom row; empty: none.
    QString statusNote() const;
    const StartupSettings& settings() const { return m_parts->settings(); }
    SettingsStore& settingsStore() { return m_parts->store(); }
    bool tagsHighlighted() const;
    // The commands of both menu bars, both tool bars and the context menu,
    // by their handlers' names.
    const CommandTable& commands() const { return m_parts->commands(); }

    // Start-up: the first document from the program's arguments (those
    // after the program name). Once, before the window is first shown.
    void interpretCommandLine(const std::vector<std::string>& params);
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

  private:
    void LoadForm(CommonDialogs dialogs, std::unique_ptr<Shell> shell);
    void FormActivate();
    void FormClose();

    void startJournal();
    void buildMenus();
    void buildToolBars();
    void attachMenus(std::vector<QMenu*>* menus);
    QAction* actionNamed(const std::string& name) const;
    // The stored outer size, fitted to the free area of the window's screen.
    QSize fittedOuterSize() const;
    void fitToFrame();
    QString modeCaption(const QString& prefix) const;

    // WindowPartsHost
    void enterTagMode() override;
    void enterTextMode() override;
    std::string titleBytes() const override;
    void setTitleBytes(std::string_view bytes) override;
    void showCaption() override { AddCaption(); }
    void documentRenamed() override;
    void pageSaved() override;
    void formatChanged() override;
    void setEditorFont(const EditorFont& font) override;
    void showTagLayout() override;
    void showTextLayout() override;
    void freezePainting(bool frozen) override;
    void enableItem(const std::string& name, bool enabled) override;
    void checkItem(const std::string& name, bool checked) override;
    FontChoice shownEditorFont() const override;
    void showStatusNote(const std::string& note) override;
    void showStatusMessage(const std::string& message) override;
    void showLineNumbers(bool shown) override;
    void activateMainWindow() override { activateWindow(); }
    void exitProgram() override;

    // Long work's progress; while it runs no command, drop or close starts.
    std::unique_ptr<QtProgressDisplay> m_progress;
    std::unique_ptr<WindowParts> m_parts;
    bool m_firstActivate = false;
    bool m_frameKnown = false;  // the window has had its client fitted to the frame

    RichEdit* m_reMain = nullptr;
    SjisLineEdit* m_eTitle = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_statusNote = nullptr;
    StatusLine* m_statusLine = nullptr;
    LineNumberGutter* m_gutter = nullptr;
    QToolBar* m_tbMain = nullptr;
    QToolBar* m_toolBar1 = nullptr;
    std::vector<QMenu*> m_mainMenu1;  // text mode's top-level menus
    std::vector<QMenu*> m_mmAd;       // tag mode's top-level menus
    std::vector<QMenu*>* m_attached = nullptr;
    QMenu* m_popupMenu1 = nullptr;

    std::unique_ptr<WindowDialogs> m_dialogs;
};

}  // namespace korvane
