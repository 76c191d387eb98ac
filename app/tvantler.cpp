#include "app/tvantler.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include "app/document_io.h"
#include "app/file_drops.h"
#include "app/menu_builder.h"
#include "app/menu_rows.h"
#include "app/program_icon.h"
#include "app/recent_menu.h"
#include "app/status_line.h"
#include "app/window_dialogs.h"
#include "app/window_size.h"
#include "app/window_widgets.h"
#include "edit/editor_keys.h"
#include "editor/line_number_gutter.h"
#include "editor/qt_sjis.h"
#include "editor/rich_edit.h"
#include "editor/sjis_line_edit.h"
#include "platform/qt_common_dialogs.h"
#include "platform/qt_progress.h"
#include "platform/qt_shell.h"
#include "platform/system_colors.h"

namespace korvane {

namespace {

constexpr int kBusyRetryMs = 200;

}  // namespace

Tvantler::Tvantler(QWidget* parent) : Tvantler(CommonDialogs{}, nullptr, parent) {}

Tvantler::Tvantler(CommonDialogs dialogs, std::unique_ptr<Shell> shell, QWidget* parent)
    : QMainWindow(parent) {
    LoadForm(std::move(dialogs), std::move(shell));
}

Tvantler::~Tvantler() = default;

bool Tvantler::tagsHighlighted() const {
    return m_parts->highlighter().TagsHighlighted();
}

void Tvantler::LoadForm(CommonDialogs dialogs, std::unique_ptr<Shell> shell) {
    setWindowTitle(QStringLiteral("korvane"));
    // The program's icon, for this window and for every dialog and box the
    // program shows (Qt's generic one otherwise).
    QApplication::setWindowIcon(programIcon());
    setFont(uiFont(12));
    const WindowWidgets widgets = buildWindowWidgets(*this);
    m_reMain = widgets.editor;
    m_label1 = widgets.label;
    m_eTitle = widgets.title;
    m_statusNote = widgets.note;
    m_statusLine = widgets.status;
    m_progress = std::make_unique<QtProgressDisplay>(this);
    if (!dialogs.messages)
        dialogs = makeQtCommonDialogs(this, systemColorLookup());
    if (!shell)
        shell = std::make_unique<QtShell>();
    m_parts = std::make_unique<WindowParts>(*m_reMain, static_cast<WindowPartsHost&>(*this),
                                            std::move(dialogs), std::move(shell), m_progress.get(),
                                            systemColorLookup());
    // Documents was made with the window's first document, before it could
    // tell.
    formatChanged();
    // The frame is not known yet: until it is, the outer size is the client
    // size (see fitToFrame).
    resize(fittedOuterSize());
    // Enter keeps the line's indentation; Left at the start and Right at the
    // end do nothing. Both work in either mode.
    m_reMain->setKeyDownHandler(
        [this](QKeyEvent* e) { return reMainKeyDown(*m_reMain, RichEdit::virtualKey(*e)); });
    m_reMain->setKeyPressHandler(
        [this](QKeyEvent* e) { return reMainOnpress(*m_reMain, RichEdit::typedCharacter(*e)); });
    m_gutter = new LineNumberGutter(*m_reMain);
    m_dialogs = std::make_unique<WindowDialogs>(*m_parts, *m_reMain, this);
    buildMenus();
    startJournal();
    buildToolBars();
    // Files dropped on the editor or the title box come here too: both leave
    // drags of files to the window behind them.
    acceptFileDrops(*this, [this](const std::vector<std::string>& paths) { WMDropFiles(paths); });

    attachMenus(&m_mainMenu1);
    m_parts->applyLineNumbers();
    m_toolBar1->hide();
    AddCaption();
    m_firstActivate = true;
}

void Tvantler::buildMenus() {
    const CommandTable& table = m_parts->commands();
    m_mainMenu1 = korvane::buildMenus(this, textModeMenus(), table);
    m_mmAd = korvane::buildMenus(this, tagModeMenus(), table);
    connect(m_mainMenu1[1], &QMenu::aboutToHide, this, [this] { m_parts->releaseEditMenu(); });
    // Both file menus list the recent files as they stand when they open:
    // another copy may have changed the list meanwhile.
    for (const char* name : {"Recent1", "Recent2"}) {
        auto* recent = findChild<QMenu*>(QString::fromUtf8(name));
        connect(recent, &QMenu::aboutToShow, this, [this, recent] {
            fillRecentMenu(
                *recent, m_parts->recentFiles(),
                [this](const std::string& path) { m_parts->openRecent(path); },
                [this] { m_parts->clearRecent(); });
        });
    }

    // The editor's context menu serves both modes; it follows the editor as
    // it opens.
    m_popupMenu1 = attachContextMenu(*m_reMain, contextMenu(), table, [this] { PopMenuUp(); });
}

void Tvantler::buildToolBars() {
    m_tbMain = addModeToolBar(this, "tbMain");
    fillToolBar(m_tbMain, textModeTools(), m_parts->commands());
    m_toolBar1 = addModeToolBar(this, "ToolBar1");
    // No menu of tool bars on a right click: it would let the other mode's
    // tool bar be shown, or this mode's be hidden.
    setContextMenuPolicy(Qt::NoContextMenu);
    fillToolBar(m_toolBar1, tagModeTools(), m_parts->commands());
    // Off, with its menu item, until the document has a file.
    m_parts->tagCommands().followDocumentName();
}

QAction* Tvantler::actionNamed(const std::string& name) const {
    return findChild<QAction*>(QString::fromStdString(name));
}

// An item whose command is missing stays off: enabled, it would do nothing.
void Tvantler::enableItem(const std::string& name, bool enabled) {
    if (QAction* item = actionNamed(name))
        item->setEnabled(enabled && hasCommand(item));
}

void Tvantler::checkItem(const std::string& name, bool checked) {
    if (QAction* item = actionNamed(name))
        item->setChecked(checked);
}

FontChoice Tvantler::shownEditorFont() const {
    const QFontInfo shown(m_reMain->font());
    return FontChoice{shown.family().toStdString(), shown.pointSize()};
}

void Tvantler::attachMenus(std::vector<QMenu*>* menus) {
    QMenuBar* bar = menuBar();
    if (m_attached != nullptr) {
        for (QMenu* m : *m_attached)
            bar->removeAction(m->menuAction());
    }
    for (QMenu* m : *menus)
        bar->addMenu(m);
    m_attached = menus;
}

void Tvantler::showTagLayout() {
    attachMenus(&m_mmAd);
    m_tbMain->hide();
    m_toolBar1->show();
    m_label1->setText(QString());
    m_eTitle->setBytes({});
    m_eTitle->hide();
}

void Tvantler::showTextLayout() {
    // Its places are in the page that text mode no longer shows.
    m_dialogs->leaveTagMode();
    attachMenus(&m_mainMenu1);
    m_toolBar1->hide();
    m_tbMain->show();
    m_label1->setText(QString::fromUtf8(kTitleLabel));
    m_eTitle->show();
}

void Tvantler::setEditorFont(const EditorFont& font) {
    m_reMain->setFont(editorFont(font.name, font.size));
}

void Tvantler::freezePainting(bool frozen) {
    setUpdatesEnabled(!frozen);
}

void Tvantler::File2Click() {
    m_parts->commands().run("File2Click");
}

QString Tvantler::modeCaption(const QString& prefix) const {
    QString caption = prefix + currentFile() + QStringLiteral("-");
    if (settings().page.BackPictureOn)
        caption +=
            QStringLiteral(" -") + fromSjis(settings().page.BackPicture) + QStringLiteral("-");
    return caption;
}

QString Tvantler::AddAdCaption() const {
    return modeCaption(QStringLiteral("morvix -"));
}

void Tvantler::AddCaption() {
    setWindowTitle(isTagMode() ? AddAdCaption() : modeCaption(QStringLiteral("korvane -")));
}

QString Tvantler::statusNote() const {
    return m_statusNote->text();
}

void Tvantler::showStatusNote(const std::string& text) {
    const QString note = QString::fromStdString(text);
    m_statusNote->setText(note);
    m_statusNote->setToolTip(note);
    m_statusNote->setVisible(!note.isEmpty());
}

void Tvantler::showLineNumbers(bool shown) {
    m_gutter->setShown(shown);
}

void Tvantler::showStatusMessage(const std::string& message) {
    m_statusLine->showMessage(QString::fromStdString(message));
}

void Tvantler::ShowLongHint(const QString& hint) {
    if (!isTagMode())
        return;
    const qsizetype bar = hint.indexOf('|');
    m_label1->setText(bar < 0 ? hint : hint.mid(bar + 1));
}

bool Tvantler::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        ShowLongHint(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    if (e->type() == QEvent::WindowActivate) {
        FormActivate();
        // Another program may have changed the file while the window was
        // in the background; asked once the activation is through.
        if (!m_parts->busy())
            QMetaObject::invokeMethod(
                this, [this] { m_parts->documents().checkDisk(); }, Qt::QueuedConnection);
    }
    return QMainWindow::event(e);
}

void Tvantler::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    fitToFrame();
    // An activation may never come (no window manager, focus-stealing
    // prevention), and the editor would stay hidden.
    FormActivate();
}

void Tvantler::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    fitToFrame();
}

void Tvantler::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    fitToFrame();
}

QSize Tvantler::fittedOuterSize() const {
    const QRect area = screen() != nullptr ? screen()->availableGeometry() : QRect();
    const WindowSize fitted =
        fitWindowSize({settings().width, settings().height}, {area.width(), area.height()});
    return {fitted.width, fitted.height};
}

// The stored size is the outer size, and closing stores the outer size
// again, so a window that opens at the stored size as its client size grows
// by its frame on every run. Qt can size only the client area, and the frame
// is known only once a window manager has framed the window: on X11 that is
// after the first show, when the manager moves the window into place. Until
// then the client size stands in for the outer size; the first time the frame
// shows, the client is made the stored size less the frame, once (a later
// resize is the user's). Without a window manager there is no frame, and the
// client size is the outer size.
void Tvantler::fitToFrame() {
    if (m_frameKnown)
        return;
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame.width() <= 0 && frame.height() <= 0)
        return;
    m_frameKnown = true;
    resize(fittedOuterSize() - frame);
}

void Tvantler::FormActivate() {
    if (!m_firstActivate)
        return;
    m_firstActivate = false;
    m_reMain->setRedraw(false);
    m_reMain->setHidden(false);
    m_parts->modes().applyModeFont();
    if (isTagMode())
        m_parts->highlighter().highlightOnEntry();
    m_reMain->setRedraw(true);
}

// A size that cannot be stored is reported, and the window closes all the
// same: keeping it open would leave Exit, which drops unsaved text, as the
// only way out.
void Tvantler::FormClose() {
    const QSize outer = frameGeometry().size();
    m_parts->store().storeWindowSize(outer.height(), outer.width());
}

void Tvantler::closeEvent(QCloseEvent* e) {
    // Closing in the middle of an open or a conversion would ask about, or
    // save, a text that is half there.
    if (m_parts->busy()) {
        e->ignore();
        return;
    }
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    FormClose();
    // Ended normally: nothing is left unsaved that the user did not choose
    // to leave.
    m_parts->closed();
    e->accept();
}

void Tvantler::Edit1Click() {
    m_parts->followEditorInMenu(false);
}

void Tvantler::PopMenuUp() {
    m_parts->followEditorInMenu(true);
}

void Tvantler::Exit1Click() {
    m_parts->commands().run("Exit1Click");
}

// Not quit() or close(): both send close events, and Exit must neither ask
// nor store the window size.
void Tvantler::exitProgram() {
    QCoreApplication::exit(0);
}

QString Tvantler::currentFile() const {
    return QString::fromStdString(m_parts->documents().CurrentFile());
}

void Tvantler::interpretCommandLine(const std::vector<std::string>& params) {
    m_parts->interpretCommandLine(params);
}

// The journal of unsaved text: the parts decide what and when, the window
// tells them of edits and runs their timer.
void Tvantler::startJournal() {
    JournalKeeper& keeper = m_parts->journalKeeper();
    // The editor's own signal: a long open gives the editor a new document.
    connect(m_reMain, &QPlainTextEdit::textChanged, this, [&keeper] { keeper.edited(); });
    // The title is part of what text mode would lose.
    connect(m_eTitle, &QLineEdit::textChanged, this, [&keeper] { keeper.edited(); });
    // A large text goes in a step at a time, with the user's keys in
    // between; the disk's wait runs on a thread.
    auto* step = new QTimer(this);
    step->setObjectName(QStringLiteral("JournalStepTimer"));
    step->setSingleShot(true);
    connect(step, &QTimer::timeout, this, [this] { m_parts->journalStep(); });
    keeper.setLater([step](int milliseconds) { step->start(milliseconds); });
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("JournalTimer"));
    timer->setInterval(kJournalInterval);
    connect(timer, &QTimer::timeout, this, [this] { m_parts->journalTimer(); });
    timer->start();
}

void Tvantler::enterTagMode() {
    m_parts->modes().enterTagMode();
}

void Tvantler::enterTextMode() {
    m_parts->modes().enterTextMode();
}

std::string Tvantler::titleBytes() const {
    return m_eTitle->bytes();
}

void Tvantler::setTitleBytes(std::string_view bytes) {
    m_eTitle->setBytes(bytes);
}

// The simple image's item and button follow the name together (the enabler
// leaves them off while their command is missing: enabled, they would do
// nothing). The document is named before the tag commands exist only while
// the window is being built; the end of that build sets them.
void Tvantler::documentRenamed() {
    if (m_parts)
        m_parts->tagCommands().followDocumentName();
}

void Tvantler::pageSaved() {
    m_dialogs->pageSaved();
}

void Tvantler::formatChanged() {
    if (m_parts && m_statusLine) {
        const Documents& documents = m_parts->documents();
        m_statusLine->setDocumentFormat(QString::fromStdString(
            documentFormatText(documents.encoding(), documents.lineBreaks())));
    }
}

bool Tvantler::FormCloseQuery() {
    return m_parts->documents().FormCloseQuery();
}

void Tvantler::WMDropFiles(const std::vector<std::string>& paths) {
    // Files dropped while long work runs are opened once it is through.
    if (m_parts->busy()) {
        QTimer::singleShot(kBusyRetryMs, this, [this, paths] { WMDropFiles(paths); });
        return;
    }
    m_parts->documents().WMDropFiles(paths);
}

}  // namespace korvane
