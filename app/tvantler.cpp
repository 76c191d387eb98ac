#include "app/tvantler.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/command_line.h"
#include "app/file_drops.h"
#include "app/menu_builder.h"
#include "app/menu_rows.h"
#include "app/program_icon.h"
#include "app/tf_option.h"
#include "app/window_size.h"
#include "base/shift_jis.h"
#include "convert/tf_color.h"
#include "convert/tf_detail.h"
#include "convert/to_html.h"
#include "convert/to_text.h"
#include "edit/editor_keys.h"
#include "edit/find_dialog.h"
#include "edit/tag_highlighter.h"
#include "edit/tf_replace.h"
#include "editor/qt_sjis.h"
#include "editor/rich_edit.h"
#include "editor/sjis_line_edit.h"
#include "platform/profile.h"
#include "platform/program_folder.h"
#include "platform/qt_common_dialogs.h"
#include "platform/qt_progress.h"
#include "platform/qt_shell.h"
#include "platform/system_colors.h"
#include "tags/document_check.h"
#include "tags/page_files.h"
#include "tags/tf_check.h"
#include "tags/tf_font.h"
#include "tags/tf_image.h"
#include "tags/tf_link.h"
#include "tags/tf_nr_link.h"

namespace korvane {

namespace {

constexpr const char* kTitleLabel = "タイトル(&T)";
constexpr const char* kWindowFontFamily = "ＭＳ Ｐゴシック";
constexpr int kBusyRetryMs = 200;

// The window's own font where it is installed; otherwise the desktop's UI
// font at the same pixel size (which main() has already pointed at a CJK
// family when the Windows fonts are missing).
QFont uiFont(int pixelSize) {
    QFont font = QFontDatabase::families().contains(QString::fromUtf8(kWindowFontFamily))
                     ? QFont(QString::fromUtf8(kWindowFontFamily))
                     : QApplication::font();
    font.setPixelSize(pixelSize);
    return font;
}

// An editor font by its stored name. "FixedSys" and "ＭＳ ゴシック" exist only
// on Windows; where the family is missing the system's fixed-pitch font
// stands in, and the stored name stays the user's choice.
QFont editorFont(const std::string& name, int pointSize) {
    const QString family = fromSjis(name);
    QFont font = QFontDatabase::families().contains(family)
                     ? QFont(family)
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    return font;
}

}  // namespace

Tvantler::Tvantler(QWidget* parent) : Tvantler(CommonDialogs{}, nullptr, parent) {}

Tvantler::Tvantler(CommonDialogs dialogs, std::unique_ptr<Shell> shell, QWidget* parent)
    : QMainWindow(parent), m_dialogs(std::move(dialogs)), m_shell(std::move(shell)) {
    LoadForm();
}

Tvantler::~Tvantler() = default;

bool Tvantler::tagsHighlighted() const {
    return m_highlighter->TagsHighlighted();
}

void Tvantler::LoadForm() {
    setWindowTitle(QStringLiteral("korvane"));
    // The program's icon, for this window and for every dialog and box the
    // program shows (Qt's generic one otherwise).
    QApplication::setWindowIcon(programIcon());
    setFont(uiFont(12));
    buildEditor();

    m_store = std::make_unique<SettingsStore>(settingsPath());
    // A stored system colour takes the desktop's colour, as GetSysColor gives
    // it on Windows, not Windows' classic default.
    m_store->load(systemColorLookup());
    // The frame is not known yet: until it is, the outer size is the client
    // size (see fitToFrame).
    resize(fittedOuterSize());

    m_progress = std::make_unique<QtProgressDisplay>(this);
    m_commands.setHold([this] { return m_progress->busy(); });
    m_highlighter = std::make_unique<TagHighlighter>(*m_reMain);
    m_highlighter->setProgressDisplay(m_progress.get());
    m_highlighter->setHighlightColor(settings().options.tColor);
    m_highlighter->setHighlightByDefault(settings().options.hilight);
    m_highlighter->setFocusMainWindow([this] { activateWindow(); });
    m_reMain->setChangeHandler([this] { m_highlighter->reMainChange(); });
    // Enter keeps the line's indentation; Left at the start and Right at the
    // end do nothing. Both work in either mode.
    m_reMain->setKeyDownHandler(
        [this](QKeyEvent* e) { return reMainKeyDown(*m_reMain, RichEdit::virtualKey(*e)); });
    m_reMain->setKeyPressHandler(
        [this](QKeyEvent* e) { return reMainOnpress(*m_reMain, RichEdit::typedCharacter(*e)); });

    if (!m_dialogs.messages)
        m_dialogs = makeQtCommonDialogs(this, systemColorLookup());
    if (!m_shell)
        m_shell = std::make_unique<QtShell>();
    m_store->setMessages(m_dialogs.messages.get());
    m_store->onChange([this](SettingsStore::Change change, const StartupSettings& values) {
        settingsChanged(change, values);
    });
    m_documents = std::make_unique<Documents>(*m_reMain, *m_highlighter, settings(), m_dialogs,
                                              *m_shell, static_cast<DocumentWindow&>(*this));
    m_modes = std::make_unique<ModeSwitches>(*m_reMain, *m_highlighter, *m_documents, settings(),
                                             static_cast<ModeWindow&>(*this));
    m_documents->setProgressDisplay(m_progress.get());
    m_modes->setProgressDisplay(m_progress.get());
    m_editCommands = std::make_unique<EditCommands>(*m_reMain);
    buildTagDialogs();
    buildPageDialogs();
    buildSettingsCommands();
    // The search text starts empty; the find and replace dialogs live, hidden
    // when not in use, for the whole run.
    m_search = std::make_unique<Search>(*m_reMain);
    m_search->setProgressDisplay(m_progress.get());
    m_fdMain = new FindDialog(*m_search, this);
    m_tfReplace = new TfReplace(*m_search, this);
    m_search->setDialogs(m_fdMain, m_tfReplace);
    registerCommands();
    buildMenus();
    startJournal();
    buildToolBars();
    // Files dropped on the editor or the title box come here too: both leave
    // drags of files to the window behind them.
    setAcceptDrops(true);

    attachMenus(&m_mainMenu1);
    m_toolBar1->hide();
    AddCaption();
    m_firstActivate = true;
}

// The tag commands and their four dialogs. The dialogs read the document's
// name when they run, so that a page-internal link or a picture's location
// follows the file the document has by then.
void Tvantler::buildTagDialogs() {
    const CurrentFileSource currentFile = [this] { return m_documents->CurrentFile(); };
    m_tagCommands =
        std::make_unique<TagCommands>(*m_reMain, *m_highlighter, m_dialogs, currentFile);
    m_tfFont = new TfFont(*m_reMain, *m_highlighter, m_dialogs, settings().page, this);
    m_tfNrLink =
        new TfNrLink(*m_reMain, *m_highlighter, m_dialogs, currentFile, kNativePathStyle, this);
    m_tfLink = new TfLink(*m_reMain, *m_highlighter, this);
    m_tfImage =
        new TfImage(*m_reMain, *m_highlighter, m_dialogs, currentFile, kNativePathStyle, this);
    m_tagCommands->setDialogShowers(
        {[this] { m_tfFont->showModeless(); }, [this] { m_tfNrLink->showModeless(); },
         [this] { m_tfLink->showModeless(); }, [this] { m_tfImage->showModeless(); }});
    m_tagCommands->setEnabler([this](const std::string& name, bool enabled) {
        if (QAction* item = actionNamed(name.c_str()))
            item->setEnabled(enabled && hasCommand(item));
    });
    // The editor holds Shift_JIS until it can say otherwise; the background
    // picture is held as a full path that every save writes relative.
    m_pageFiles = std::make_unique<DiskPageFiles>();
    m_documentCheck = std::make_unique<DocumentCheck>(
        *m_reMain, *m_pageFiles,
        DocumentCheck::Sources{currentFile, [] { return TextEncoding::ShiftJis; },
                               [this] { return settings().page.BackPicture; }});
    m_documentCheck->setProgressDisplay(m_progress.get());
    m_tfCheck = new TfCheck(*m_documentCheck, this);
}

// Text mode's page settings and the preview of both modes. The dialogs work
// on the run's one page record and write through the settings store.
void Tvantler::buildPageDialogs() {
    PageSettings& page = m_store->page();
    m_tfColor = new TfColor(
        page, *m_dialogs.pageColor, [this] { return m_store->storeColors(); }, this);
    m_tfDetail = new TfDetail(
        page, [this] { return m_store->storeDetails(); }, this);
    m_pageDialogs = std::make_unique<PageDialogs>(
        page, m_dialogs,
        PageDialogs::Window{[this] { m_tfColor->showModeless(); },
                            [this] { m_tfDetail->showModeless(); }, [this] { AddCaption(); },
                            [this](bool checked) {
                                if (QAction* item = actionNamed("N5"))
                                    item->setChecked(checked);
                            }});
    m_preview = std::make_unique<Preview>(
        *m_reMain, page, m_dialogs, *m_shell,
        Preview::Sources{[this] { return titleBytes(); },
                         [this] { return settings().options.tab; },
                         {},
                         [this] {
                             return m_documents->isUntitled() ? std::string()
                                                              : m_documents->CurrentFile();
                         }});
}

// The options dialog, the editor fonts, help and version.
void Tvantler::buildSettingsCommands() {
    m_tfOption = new TfOption(*m_store, *m_highlighter, *m_dialogs.highlightColor, this);
    m_fontCommands = std::make_unique<FontCommands>(
        *m_store, *m_highlighter, m_dialogs,
        FontCommands::Editor{[this] {
                                 const QFontInfo shown(m_reMain->font());
                                 return FontChoice{shown.family().toStdString(), shown.pointSize()};
                             },
                             [this](const EditorFont& font) { setEditorFont(font); }});
    m_helpCommands = std::make_unique<HelpCommands>(*m_shell, *m_dialogs.messages);
}

// Every subsystem puts its handlers into the one table; what is left here is
// the window's own.
void Tvantler::registerCommands() {
    m_documents->registerCommands(m_commands);
    m_modes->registerCommands(m_commands);
    // The switches without conversion throw the text away: the journal
    // keeps it first.
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
    m_tfOption->registerCommands(m_commands);
    m_fontCommands->registerCommands(m_commands);
    m_helpCommands->registerCommands(m_commands);
    m_search->registerCommands(m_commands);
    m_commands.add("html1Click", [this] { m_highlighter->html1Click(); });
    m_commands.add("K1Click", [this] { m_tfCheck->showAndCheck(); });
    m_commands.add("Exit1Click", [this] { Exit1Click(); });
    m_commands.add("Edit1Click", [this] { Edit1Click(); });
    m_commands.add("File2Click", [this] { File2Click(); });
}

void Tvantler::buildEditor() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_reMain = new RichEdit(central);
    m_reMain->setObjectName(QStringLiteral("reMain"));
    // The design font, 16 pixels high, until the first activation sets the
    // mode's font.
    QFont design = editorFont("\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e", 0);
    design.setPixelSize(16);
    m_reMain->setFont(design);
    m_reMain->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_reMain->setTabChangesFocus(false);  // Tab is a character of the text
    m_reMain->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_reMain->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_reMain->setHideSelection(false);
    m_reMain->setHidden(true);  // shown by the first activation, with the mode's font
    // The whole-text pass hides the editor, and a long one keeps the window
    // painted meanwhile: the title row must not jump into its place.
    QSizePolicy policy = m_reMain->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    m_reMain->setSizePolicy(policy);
    column->addWidget(m_reMain, 1);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(2, 3, 0, 3);
    m_label1 = new QLabel(QString::fromUtf8(kTitleLabel), central);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFont(uiFont(15));
    m_label1->setMinimumWidth(78);
    m_eTitle = new SjisLineEdit(central);
    m_eTitle->setObjectName(QStringLiteral("eTitle"));
    m_eTitle->setFont(uiFont(13));
    m_label1->setBuddy(m_eTitle);
    row->addWidget(m_label1);
    row->addWidget(m_eTitle, 1);
    // Notes of the window's own (a journal that could not be written), at
    // the right of the bottom row in both modes; hidden while there is none.
    m_statusNote = new QLabel(central);
    m_statusNote->setObjectName(QStringLiteral("StatusNote"));
    m_statusNote->setFont(uiFont(12));
    m_statusNote->hide();
    row->addWidget(m_statusNote);
    column->addLayout(row);
    setCentralWidget(central);
}

void Tvantler::buildMenus() {
    m_mainMenu1 = korvane::buildMenus(this, textModeMenus(), m_commands);
    m_mmAd = korvane::buildMenus(this, tagModeMenus(), m_commands);
    // The disabling is for the open menu only; closed, the short-cuts work as
    // the editor's own keys do.
    connect(m_mainMenu1[1], &QMenu::aboutToHide, this, [this] {
        for (const char* name : {"Repeat1", "T1", "Copy1", "P2"})
            actionNamed(name)->setEnabled(true);
    });

    // The editor's context menu serves both modes.
    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    fillMenu(m_popupMenu1, contextMenu(), m_commands);
    m_reMain->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_reMain, &QWidget::customContextMenuRequested, this, &Tvantler::popUpContextMenu);
    // From the keyboard, as on Windows: Shift+F10 and the Menu key open it
    // at the caret.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        auto* shortcut = new QShortcut(keys, m_reMain);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this] { popUpContextMenu(m_reMain->cursorRect().bottomLeft()); });
    }
}

void Tvantler::popUpContextMenu(const QPoint& pos) {
    PopMenuUp();
    m_popupMenu1->popup(m_reMain->viewport()->mapToGlobal(pos));
}

namespace {

// Buttons as tight as a Windows tool bar of 16-pixel pictures: all 25 of tag
// mode's buttons fit the default 600-pixel window, none hidden behind the
// overflow arrow that the style's roomier buttons would need.
QToolBar* addModeToolBar(QMainWindow* window, const char* name) {
    QToolBar* bar = window->addToolBar(QString::fromUtf8(name));
    bar->setObjectName(QString::fromUtf8(name));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setStyleSheet(
        QStringLiteral("QToolBar{spacing:0px;padding:1px}QToolButton{padding:1px 0px;margin:0px}"));
    return bar;
}

}  // namespace

void Tvantler::buildToolBars() {
    m_tbMain = addModeToolBar(this, "tbMain");
    fillToolBar(m_tbMain, textModeTools(), m_commands);
    m_toolBar1 = addModeToolBar(this, "ToolBar1");
    // No menu of tool bars on a right click: it would let the other mode's
    // tool bar be shown, or this mode's be hidden.
    setContextMenuPolicy(Qt::NoContextMenu);
    fillToolBar(m_toolBar1, tagModeTools(), m_commands);
    // Off, with its menu item, until the document has a file.
    m_tagCommands->followDocumentName();
}

QAction* Tvantler::actionNamed(const char* name) const {
    return findChild<QAction*>(QString::fromUtf8(name));
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
    m_tfCheck->hide();
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
    actionNamed("html1")->setChecked(tagsHighlighted());
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

void Tvantler::showStatusNote(const QString& note) {
    m_statusNote->setText(note);
    m_statusNote->setToolTip(note);
    m_statusNote->setVisible(!note.isEmpty());
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
        if (!m_progress->busy())
            QMetaObject::invokeMethod(
                this, [this] { m_documents->checkDisk(); }, Qt::QueuedConnection);
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
    m_modes->applyModeFont();
    if (isTagMode())
        m_highlighter->highlightOnEntry();
    m_reMain->setRedraw(true);
}

// A size that cannot be stored is reported, and the window closes all the
// same: keeping it open would leave Exit, which drops unsaved text, as the
// only way out.
void Tvantler::FormClose() {
    const QSize outer = frameGeometry().size();
    m_store->storeWindowSize(outer.height(), outer.width());
}

// The objects that keep a copy of a setting follow its changes.
void Tvantler::settingsChanged(SettingsStore::Change change, const StartupSettings& values) {
    switch (change) {
        case SettingsStore::Change::Options:
            m_highlighter->setHighlightColor(values.options.tColor);
            m_highlighter->setHighlightByDefault(values.options.hilight);
            break;
        case SettingsStore::Change::TextModeFont:
        case SettingsStore::Change::TagModeFont:
            m_modes->applyModeFont();
            break;
        default:
            break;
    }
}

void Tvantler::closeEvent(QCloseEvent* e) {
    // Closing in the middle of an open or a conversion would ask about, or
    // save, a text that is half there.
    if (m_progress->busy()) {
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
    m_journalKeeper->ended();
    e->accept();
}

// Only text mode's Edit menu and the context menu follow the editor; the
// tool bar buttons and tag mode's items always send their request.
void Tvantler::Edit1Click() {
    followEditor("Repeat1", "T1", "Copy1", "P2");
}

void Tvantler::PopMenuUp() {
    followEditor("Repeat2", "N7", "Copy2", "N8");
}

void Tvantler::followEditor(const char* undo, const char* cut, const char* copy,
                            const char* paste) const {
    actionNamed(undo)->setEnabled(m_reMain->canUndo());
    actionNamed(paste)->setEnabled(m_reMain->canPaste());
    const bool selected = m_reMain->selLength() != 0;
    actionNamed(cut)->setEnabled(selected);
    actionNamed(copy)->setEnabled(selected);
}

void Tvantler::Exit1Click() {
    // Exit throws unsaved text away without asking; the journal keeps it for
    // the next start.
    m_journalKeeper->beforeDiscard();
    // Not quit() or close(): both send close events, and Exit must neither
    // ask nor store the window size.
    QCoreApplication::exit(0);
}

QString Tvantler::currentFile() const {
    return QString::fromStdString(m_documents->CurrentFile());
}

void Tvantler::interpretCommandLine(const std::vector<std::string>& params) {
    const ProgramRequest request = readProgramSwitches(params);
    // A copy started to restore a journal that another window offered: the
    // user has answered the question there.
    if (request.action == ProgramAction::Recover) {
        m_documents->interpretCommandLine(StartupPlan{});
        m_journalKeeper->recover(request.journal);
        return;
    }
    // The program answers --help, --version and a mistyped switch before
    // any window exists; should one come here, it names no file.
    const StartupPlan plan = request.action == ProgramAction::Run
                                 ? parseCommandLine(request.names, currentFolder())
                                 : StartupPlan{};
    m_documents->interpretCommandLine(plan);
    // Text a copy left unsaved when it died is offered to every new window:
    // one that starts empty takes it in, one with the user's file hands it
    // to a copy of its own, never mixing it into that file.
    m_journalKeeper->offerLeftBehind(m_documents->isUntitled() && m_reMain->textLength() == 0);
}

// The journal of unsaved text: written on a timer and before text is thrown
// away; the keeper decides what.
void Tvantler::startJournal() {
    m_journal = std::make_unique<Journal>(journalFolder());
    m_journalKeeper = std::make_unique<JournalKeeper>(
        *m_journal, *m_reMain, *m_highlighter, *m_documents, *m_modes,
        static_cast<ModeWindow&>(*this), *m_dialogs.messages, *m_shell);
    m_journalKeeper->setStatusDisplay(
        [this](const std::string& note) { showStatusNote(QString::fromStdString(note)); });
    // The editor's own signal: a long open gives the editor a new document.
    connect(m_reMain, &QPlainTextEdit::textChanged, this, [this] { m_journalKeeper->edited(); });
    // The title is part of what text mode would lose.
    connect(m_eTitle, &QLineEdit::textChanged, this, [this] { m_journalKeeper->edited(); });
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("JournalTimer"));
    timer->setInterval(kJournalInterval);
    // Not in the middle of long work: the text may be half converted.
    connect(timer, &QTimer::timeout, this, [this] {
        if (!m_progress->busy())
            m_journalKeeper->tick();
    });
    timer->start();
}

void Tvantler::enterTagMode() {
    m_modes->enterTagMode();
}

void Tvantler::enterTextMode() {
    m_modes->enterTextMode();
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
    if (m_tagCommands)
        m_tagCommands->followDocumentName();
}

void Tvantler::pageSaved() {
    m_tfCheck->recheckIfShown();
}

bool Tvantler::FormCloseQuery() {
    return m_documents->FormCloseQuery();
}

void Tvantler::WMDropFiles(const std::vector<std::string>& paths) {
    // Files dropped while long work runs are opened once it is through.
    if (m_progress->busy()) {
        QTimer::singleShot(kBusyRetryMs, this, [this, paths] { WMDropFiles(paths); });
        return;
    }
    m_documents->WMDropFiles(paths);
}

void Tvantler::dragEnterEvent(QDragEnterEvent* e) {
    if (droppedFiles(*e->mimeData()).empty()) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
}

void Tvantler::dragMoveEvent(QDragMoveEvent* e) {
    if (droppedFiles(*e->mimeData()).empty()) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
}

void Tvantler::dropEvent(QDropEvent* e) {
    std::vector<std::string> paths = droppedFiles(*e->mimeData());
    if (paths.empty()) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    // Handled once the drag has ended, as the desktop posts dropped files:
    // an error box must not hold the drag source up.
    QMetaObject::invokeMethod(
        this, [this, paths = std::move(paths)] { WMDropFiles(paths); }, Qt::QueuedConnection);
}

}  // namespace korvane
