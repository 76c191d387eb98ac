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
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/documents.h"
#include "app/settings.h"
#include "platform/common_dialogs.h"
#include "platform/shell.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace korvane {

class RichEdit;
class SjisLineEdit;
class TagHighlighter;

class Tvantler : public QMainWindow, private DocumentWindow {
    Q_OBJECT

  public:
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
    const StartupSettings& settings() const { return m_settings; }
    bool tagsHighlighted() const;

    // Failures of file and settings operations are shown through this; the
    // default is the toolkit's error box. Tests record instead, since no test
    // may show a modal dialog.
    void setErrorReporter(std::function<void(const QString&)> reporter);

    // Start-up: the first document from the program's arguments (those
    // after the program name). Once, before the window is first shown.
    void interpretCommandLine(const std::vector<std::string>& params);

    // The file commands of both modes and the close question.
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void htmlH1Click();
    void Open2Click();
    void Save2Click();
    void SaveAs2Click();
    bool FormCloseQuery();
    // Files dropped anywhere on the window, in drop order.
    void WMDropFiles(const std::vector<std::string>& paths);

    // The four switch commands.
    void morvixS1Click();
    void htmlmorvixH1Click();
    void korvaneS1Click();
    void htmlkorvaneH1Click();

    // The edit commands; both menu bars, both tool bars and the editor's
    // context menu share them.
    void Repeat1Click();
    void T1Click();
    void Copy1Click();
    void P2Click();
    void A1Click();
    void Delete1Click();
    void Edit1Click();
    void PopMenuUp();

    void Exit1Click();
    void html1Click();
    void File2Click();
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
    void buildTextMenus();
    void buildTagMenus();
    void buildPopupMenu();
    void buildToolBars();
    void attachMenus(std::vector<QMenu*>* menus);
    void EnterTagLayout();
    void EnterTextLayout();
    void applyModeFont();
    void followEditor(QAction* undo, QAction* cut, QAction* copy, QAction* paste) const;
    // The stored outer size, fitted to the free area of the window's screen.
    QSize fittedOuterSize() const;
    void fitToFrame();
    QString modeCaption(const QString& prefix) const;
    void reportError(const QString& message);

    // DocumentWindow
    void enterTagMode() override;
    void enterTextMode() override;
    std::string titleBytes() const override;
    void setTitleBytes(std::string_view bytes) override;
    void showCaption() override { AddCaption(); }
    void enableImageButton() override;

    StartupSettings m_settings;
    std::string m_settingsPath;
    CommonDialogs m_dialogs;
    std::unique_ptr<Shell> m_shell;
    std::unique_ptr<Documents> m_documents;
    bool m_firstActivate = false;
    bool m_frameKnown = false;  // the window has had its client fitted to the frame

    RichEdit* m_reMain = nullptr;
    SjisLineEdit* m_eTitle = nullptr;
    QLabel* m_label1 = nullptr;
    QToolBar* m_tbMain = nullptr;
    QToolBar* m_toolBar1 = nullptr;
    std::vector<QMenu*> m_mainMenu1;  // text mode's top-level menus
    std::vector<QMenu*> m_mmAd;       // tag mode's top-level menus
    std::vector<QMenu*>* m_attached = nullptr;
    QAction* m_html1 = nullptr;
    QAction* m_repeat1 = nullptr;
    QAction* m_t1 = nullptr;
    QAction* m_copy1 = nullptr;
    QAction* m_p2 = nullptr;
    QAction* m_toolButton29 = nullptr;
    QMenu* m_popupMenu1 = nullptr;
    QAction* m_repeat2 = nullptr;
    QAction* m_n7 = nullptr;
    QAction* m_copy2 = nullptr;
    QAction* m_n8 = nullptr;
    std::unique_ptr<TagHighlighter> m_highlighter;
    std::function<void(const QString&)> m_reportError;
};

}  // namespace korvane
