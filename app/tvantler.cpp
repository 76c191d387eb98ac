#include "app/tvantler.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/command_line.h"
#include "app/file_drops.h"
#include "app/window_size.h"
#include "convert/to_html.h"
#include "convert/to_text.h"
#include "edit/editor_keys.h"
#include "edit/tag_highlighter.h"
#include "platform/profile.h"
#include "platform/program_folder.h"
#include "platform/qt_common_dialogs.h"
#include "platform/qt_shell.h"
#include "platform/rich_edit.h"
#include "platform/shift_jis.h"
#include "platform/sjis_line_edit.h"
#include "platform/system_colors.h"

namespace korvane {

namespace {

constexpr const char* kTitleLabel = "タイトル(&T)";
constexpr const char* kWindowFontFamily = "ＭＳ Ｐゴシック";

QString fromSjis(const std::string& bytes) {
    const std::u16string text = decodeShiftJis(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

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

// A small picture with a letter or two, for buttons whose picture neither the
// icon theme nor the style provides: every button shows something.
QIcon glyphIcon(const QString& glyph, bool bold = false, bool italic = false,
                bool underline = false, bool strike = false) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(0x40, 0x40, 0x60));
        painter.setBrush(QColor(0xF4, 0xF4, 0xFA));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 6.0, size / 6.0);
        QFont font("Sans");
        font.setPixelSize(glyph.size() > 2 ? size * 5 / 16 : size * 9 / 16);
        font.setBold(bold);
        font.setItalic(italic);
        font.setUnderline(underline);
        font.setStrikeOut(strike);
        painter.setFont(font);
        painter.setPen(QColor(0x10, 0x10, 0x40));
        painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// Three bars of a paragraph, flush to one side or centred.
QIcon alignIcon(Qt::Alignment align) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const double unit = size / 16.0;
        const double lengths[] = {12, 8, 12, 6};
        for (int row = 0; row < 4; ++row) {
            const double length = lengths[row] * unit;
            double left = 2 * unit;
            if (align == Qt::AlignRight)
                left = size - 2 * unit - length;
            else if (align == Qt::AlignHCenter)
                left = (size - length) / 2;
            painter.fillRect(QRectF(left, (2 + row * 3.5) * unit, length, 2 * unit),
                             QColor(0x20, 0x20, 0x50));
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon themed(const char* name, const QIcon& fallback) {
    return QIcon::fromTheme(QString::fromUtf8(name), fallback);
}

// The help buttons' picture. The style's help picture is a life buoy, whose
// red quarters read as four corner arrows at 16 pixels; a question mark says
// help at any size.
QIcon helpIcon() {
    return themed("help-about", glyphIcon(QStringLiteral("?"), true));
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

void Tvantler::setErrorReporter(std::function<void(const QString&)> reporter) {
    m_reportError = std::move(reporter);
}

void Tvantler::reportError(const QString& message) {
    if (m_reportError)
        m_reportError(message);
    else
        QMessageBox::critical(this, QStringLiteral("korvane"), message);
}

void Tvantler::LoadForm() {
    setWindowTitle(QStringLiteral("korvane"));
    setFont(uiFont(12));
    buildEditor();
    buildTextMenus();
    buildTagMenus();
    buildPopupMenu();
    buildToolBars();

    m_settingsPath = settingsPath();
    Profile profile(m_settingsPath);
    profile.load();  // a file that cannot be read gives the defaults, like a missing one
    // A stored system colour takes the desktop's colour, as GetSysColor gives
    // it on Windows, not Windows' classic default.
    m_settings = loadSettings(profile, systemColorLookup());
    // The frame is not known yet: until it is, the outer size is the client
    // size (see fitToFrame).
    resize(fittedOuterSize());

    m_highlighter = std::make_unique<TagHighlighter>(*m_reMain);
    m_highlighter->setHighlightColor(m_settings.options.tColor);
    m_highlighter->setHighlightByDefault(m_settings.options.hilight);
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
    m_documents = std::make_unique<Documents>(*m_reMain, *m_highlighter, m_settings, m_dialogs,
                                              *m_shell, static_cast<DocumentWindow&>(*this));
    // Files dropped on the editor or the title box come here too: both leave
    // drags of files to the window behind them.
    setAcceptDrops(true);

    attachMenus(&m_mainMenu1);
    m_toolBar1->hide();
    AddCaption();
    m_firstActivate = true;
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
    column->addLayout(row);
    setCentralWidget(central);
}

namespace {

// One menu item: caption and short-cut as the menu shows them. An item
// without a handler belongs to a command that is not in this program yet and
// is shown disabled rather than doing nothing when chosen.
QAction* addItem(QMenu* menu, const char* name, const char* caption, const QKeySequence& keys = {},
                 std::function<void()> handler = {}, const char* hint = nullptr) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromUtf8(name));
    action->setShortcut(keys);
    if (hint != nullptr)
        action->setStatusTip(QString::fromUtf8(hint));
    if (handler)
        QObject::connect(action, &QAction::triggered, menu, [handler] { handler(); });
    else
        action->setEnabled(false);
    return action;
}

QMenu* addSubmenu(QMenu* parent, const char* caption) {
    return parent->addMenu(QString::fromUtf8(caption));
}

// A top-level menu of one mode. It is the window's child, so it lives while
// the other mode's menus are attached.
QMenu* addTopMenu(QWidget* window, std::vector<QMenu*>* set, const char* name,
                  const char* caption) {
    auto* menu = new QMenu(QString::fromUtf8(caption), window);
    menu->setObjectName(QString::fromUtf8(name));
    set->push_back(menu);
    return menu;
}

}  // namespace

void Tvantler::buildTextMenus() {
    auto menu = [this](const char* name, const char* caption) {
        return addTopMenu(this, &m_mainMenu1, name, caption);
    };
    QMenu* file = menu("File1", "ﾌｧｲﾙ(&F)");
    addItem(file, "New1", "新規作成(&N)", QKeySequence(Qt::CTRL | Qt::Key_N),
            [this] { New1Click(); });
    addItem(file, "Open1", "開く(&O)...", QKeySequence(Qt::CTRL | Qt::Key_O),
            [this] { Open1Click(); });
    addItem(file, "Save1", "上書き保存(&S)", QKeySequence(Qt::CTRL | Qt::Key_S),
            [this] { Save1Click(); });
    addItem(file, "SaveAs1", "名前を付けて保存(&A)...", {}, [this] { SaveAs1Click(); });
    addItem(file, "htmlH1", "html変換して保存(&H)...", {}, [this] { htmlH1Click(); });
    file->addSeparator();
    addItem(file, "P1", "ﾌﾟﾚﾋﾞｭｰ(&P)", QKeySequence(Qt::CTRL | Qt::Key_P));
    file->addSeparator();
    addItem(file, "Exit1", "終了(&X)", {}, [this] { Exit1Click(); });

    QMenu* edit = menu("Edit1", "編集(&E)");
    connect(edit, &QMenu::aboutToShow, this, [this] { Edit1Click(); });
    // The disabling is for the open menu only; closed, the short-cuts work as
    // the editor's own keys do.
    connect(edit, &QMenu::aboutToHide, this, [this] {
        for (QAction* a : {m_repeat1, m_t1, m_copy1, m_p2})
            a->setEnabled(true);
    });
    m_repeat1 = addItem(
        edit, "Repeat1", "やり直し(&U)", QKeySequence(Qt::CTRL | Qt::Key_Z),
        [this] { Repeat1Click(); }, "やり直し");
    edit->addSeparator();
    m_t1 = addItem(
        edit, "T1", "切り抜き(&T)", QKeySequence(Qt::CTRL | Qt::Key_X), [this] { T1Click(); },
        "切り取り");
    m_copy1 = addItem(
        edit, "Copy1", "コピー(&C)", QKeySequence(Qt::CTRL | Qt::Key_C), [this] { Copy1Click(); },
        "コピー");
    m_p2 = addItem(
        edit, "P2", "張り付け(&P)", QKeySequence(Qt::CTRL | Qt::Key_V), [this] { P2Click(); },
        "張り付け");
    edit->addSeparator();
    addItem(edit, "A1", "全て選択(&A)", QKeySequence(Qt::CTRL | Qt::Key_A), [this] { A1Click(); });
    addItem(edit, "Delete1", "削除(&L)", {}, [this] { Delete1Click(); });

    QMenu* search = menu("Find2", "検索(&S)");
    addItem(search, "Find1", "検索(&F)...", QKeySequence(Qt::CTRL | Qt::Key_F), {}, "検索");
    addItem(search, "P3", "上を検索(&P)", QKeySequence(Qt::SHIFT | Qt::Key_F3), {}, "上を検索");
    addItem(search, "N12", "下を検索(&N)", QKeySequence(Qt::Key_F3), {}, "下を検索");
    search->addSeparator();
    addItem(search, "Replace1", "置換(&R)...", QKeySequence(Qt::CTRL | Qt::Key_R));

    QMenu* setup = menu("S1", "設定(&U)");
    addItem(setup, "B1", "色指定(&C)...");
    addItem(setup, "N5", "背景画像(&P)...");
    addItem(setup, "D1", "詳細設定(&D)...");
    setup->addSeparator();
    addItem(setup, "Font1", "ﾌｫﾝﾄ(&F)...");
    addItem(setup, "korvaneS2", "ｵﾌﾟｼｮﾝ(&O)...");

    QMenu* change = menu("C2", "切り替え(&C)");
    addItem(change, "morvixS1", "morvix(&S)", {}, [this] { morvixS1Click(); });
    addItem(change, "htmlmorvixH1", "html変換してmorvix(&H)", {}, [this] { htmlmorvixH1Click(); });

    QMenu* help = menu("H4", "ﾍﾙﾌﾟ(&H)");
    addItem(help, "H2", "korvaneﾍﾙﾌﾟ(&H)");
    addItem(help, "About1", "ﾊﾞｰｼﾞｮﾝ情報(&V)");
}

void Tvantler::buildTagMenus() {
    auto menu = [this](const char* name, const char* caption) {
        return addTopMenu(this, &m_mmAd, name, caption);
    };
    QMenu* file = menu("File2", "ﾌｧｲﾙ(&F)");
    connect(file, &QMenu::aboutToShow, this, [this] { File2Click(); });
    addItem(file, "Open2", "開く(&O)...", QKeySequence(Qt::CTRL | Qt::Key_O),
            [this] { Open2Click(); });
    addItem(file, "Save2", "上書き保存(&S)", QKeySequence(Qt::CTRL | Qt::Key_S),
            [this] { Save2Click(); });
    addItem(file, "SaveAs2", "名前を付けて保存(&A)...", {}, [this] { SaveAs2Click(); });
    m_html1 = addItem(file, "html1", "htmlﾀｸﾞをﾊｲﾗｲﾄ表示(&H)", {}, [this] { html1Click(); });
    m_html1->setCheckable(true);
    addItem(file, "P4", "ﾌﾟﾚﾋﾞｭｰ(&P)", QKeySequence(Qt::CTRL | Qt::Key_P));
    addItem(file, "Exit2", "終了(&X)", {}, [this] { Exit1Click(); });

    // No open handler here: tag mode's edit items are always enabled.
    QMenu* edit = menu("Edit2", "編集(&E)");
    addItem(edit, "Repeat3", "やり直し(&U)", QKeySequence(Qt::CTRL | Qt::Key_Z),
            [this] { Repeat1Click(); });
    edit->addSeparator();
    addItem(edit, "T2", "切り抜き(&T)", QKeySequence(Qt::CTRL | Qt::Key_X), [this] { T1Click(); });
    addItem(edit, "Copy3", "コピー(&C)", QKeySequence(Qt::CTRL | Qt::Key_C),
            [this] { Copy1Click(); });
    addItem(edit, "P5", "張り付け(&P)", QKeySequence(Qt::CTRL | Qt::Key_V), [this] { P2Click(); });
    edit->addSeparator();
    addItem(edit, "A2", "全て選択(&A)", QKeySequence(Qt::CTRL | Qt::Key_A), [this] { A1Click(); });
    addItem(edit, "Delete3", "削除(&L)", {}, [this] { Delete1Click(); });

    QMenu* search = menu("Find3", "検索(&S)");
    addItem(search, "Find4", "検索(&F)...", QKeySequence(Qt::CTRL | Qt::Key_F));
    addItem(search, "U1", "上を検索(&P)", QKeySequence(Qt::SHIFT | Qt::Key_F3));
    addItem(search, "N16", "下を検索(&N)", QKeySequence(Qt::Key_F3));
    search->addSeparator();
    addItem(search, "Replace2", "置換(&R)...", QKeySequence(Qt::CTRL | Qt::Key_R));

    QMenu* tags1 = menu("html1T1", "htmlﾀｸﾞ1(&T)");
    QMenu* decoration = addSubmenu(tags1, "文字装飾(&F)");
    addItem(decoration, "B2", "太字(&B)");
    addItem(decoration, "I1", "ｲﾀﾘｯｸ(&I)");
    addItem(decoration, "N17", "下線付き(&U)");
    addItem(decoration, "S3", "字消し線付き(&S)");
    addItem(decoration, "T3", "等幅ﾌｫﾝﾄ(&T)");
    QMenu* structure = addSubmenu(tags1, "構造指定(&S)");
    addItem(structure, "H1", "簡易ﾘﾝｸ(&A)");
    addItem(structure, "M1", "ﾒｰﾙｱﾄﾞﾚｽ(&M)");
    addItem(structure, "B3", "改行(&B)");
    addItem(structure, "R1", "横罫線(&R)");
    QMenu* headings = addSubmenu(structure, "見出し(&H)");
    addItem(headings, "H1F1", "H1(&F)");
    addItem(headings, "H2S1", "H2(&S)");
    addItem(headings, "H3T1", "H3(&T)");
    addItem(headings, "H4O1", "H4(&O)");
    addItem(headings, "H5I1", "H5(&I)");
    addItem(headings, "H6X1", "H6(&X)");
    addItem(structure, "P6", "段落(&P)");
    addItem(structure, "txtE1", "ﾃｷｽﾄ表示(&E)");
    QMenu* lists = addSubmenu(structure, "ﾘｽﾄ(&L)");
    addItem(lists, "U2", "順不同ﾘｽﾄ(&U)");
    addItem(lists, "O1", "連番付きﾘｽﾄ(&O)");
    QMenu* position = addSubmenu(tags1, "位置指定(&D)");
    addItem(position, "L1", "左揃え(&L)");
    addItem(position, "C1", "中央揃え(&C)");
    addItem(position, "R2", "右揃え(&R)");

    QMenu* tags2 = menu("html2T1", "htmlﾀｸﾞ2(&M)");
    addItem(tags2, "F2", "ﾌｫﾝﾄ指定(&F)...");
    addItem(tags2, "N19", "ﾘﾝｸ・ﾒｰﾙ(&L)...");
    addItem(tags2, "P7", "ﾍﾟｰｼﾞ内ﾘﾝｸ(&P),,,");
    addItem(tags2, "E1", "簡易画像(&E)");
    addItem(tags2, "I2", "画像配置(&I)...");

    QMenu* setup = menu("U3", "設定(&U)");
    addItem(setup, "Font2", "ﾌｫﾝﾄ(&F)...");
    addItem(setup, "Option1", "ｵﾌﾟｼｮﾝ(&O)...");

    QMenu* change = menu("C3", "切り替え(&C)");
    addItem(change, "korvaneS1", "korvane(&S)", {}, [this] { korvaneS1Click(); });
    addItem(change, "htmlkorvaneH1", "ﾀｸﾞを抜いてkorvane(&H)", {},
            [this] { htmlkorvaneH1Click(); });

    QMenu* help = menu("H5", "ﾍﾙﾌﾟ(&H)");
    addItem(help, "H3", "morvixﾍﾙﾌﾟ(&H)");
    addItem(help, "About2", "ﾊﾞｰｼﾞｮﾝ情報(&V)");
}

// The editor's context menu serves both modes. Its captions have no access
// keys, and its items no short-cuts: those belong to the menu bars.
void Tvantler::buildPopupMenu() {
    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QMenu* popup = m_popupMenu1;
    m_repeat2 = addItem(popup, "Repeat2", "やり直し", {}, [this] { Repeat1Click(); });
    popup->addSeparator();
    m_n7 = addItem(popup, "N7", "切り抜き", {}, [this] { T1Click(); });
    m_copy2 = addItem(popup, "Copy2", "コピー", {}, [this] { Copy1Click(); });
    m_n8 = addItem(popup, "N8", "張り付け", {}, [this] { P2Click(); });
    popup->addSeparator();
    addItem(popup, "N10", "全て選択", {}, [this] { A1Click(); });
    addItem(popup, "Delete2", "削除", {}, [this] { Delete1Click(); });

    m_reMain->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_reMain, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopMenuUp();
        m_popupMenu1->popup(m_reMain->viewport()->mapToGlobal(pos));
    });
}

namespace {

struct ButtonDef {
    const char* name;  // nullptr: a separator
    const char* hint;  // short text, optionally "|" and the long text
    const char* theme;
    QIcon fallback;
    std::function<void()> handler;
};

// Set on the tool buttons that have a command: a rule that enables a button
// must not enable one that would do nothing.
constexpr const char* kHasCommand = "korvaneHasCommand";

// Tool buttons carry their own actions, without short-cuts, so that a hidden
// tool bar can never take a key from the mode that is shown.
void fillToolBar(QToolBar* bar, const std::vector<ButtonDef>& buttons) {
    for (const ButtonDef& def : buttons) {
        if (def.name == nullptr) {
            bar->addSeparator();
            continue;
        }
        const QString hint = QString::fromUtf8(def.hint);
        QAction* action = bar->addAction(themed(def.theme, def.fallback), hint.section('|', 0, 0));
        action->setObjectName(QString::fromUtf8(def.name));
        action->setToolTip(hint.section('|', 0, 0));
        action->setStatusTip(hint);
        if (def.handler) {
            QObject::connect(action, &QAction::triggered, bar, [h = def.handler] { h(); });
            action->setProperty(kHasCommand, true);
        } else {
            action->setEnabled(false);
        }
    }
}

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
    QStyle* s = style();
    const ButtonDef sep{nullptr, nullptr, nullptr, {}, {}};

    m_tbMain = addModeToolBar(this, "tbMain");
    fillToolBar(
        m_tbMain,
        {
            {"ToolButton1", "新規作成", "document-new", s->standardIcon(QStyle::SP_FileIcon),
             [this] { New1Click(); }},
            {"ToolButton2", "開く", "document-open", s->standardIcon(QStyle::SP_DialogOpenButton),
             [this] { Open1Click(); }},
            {"ToolButton3", "上書き保存", "document-save",
             s->standardIcon(QStyle::SP_DialogSaveButton), [this] { Save1Click(); }},
            sep,
            {"ToolButton5",
             "ﾌﾟﾚﾋﾞｭｰ",
             "document-print-preview",
             s->standardIcon(QStyle::SP_FileDialogContentsView),
             {}},
            sep,
            {"ToolButton7", "やり直し", "edit-undo", s->standardIcon(QStyle::SP_ArrowBack),
             [this] { Repeat1Click(); }},
            sep,
            {"ToolButton9", "切り取り", "edit-cut", glyphIcon(QStringLiteral("✂")),
             [this] { T1Click(); }},
            {"ToolButton10", "コピー", "edit-copy", glyphIcon(QStringLiteral("複")),
             [this] { Copy1Click(); }},
            {"ToolButton11", "張り付け", "edit-paste", glyphIcon(QStringLiteral("貼")),
             [this] { P2Click(); }},
            sep,
            {"ToolButton13", "検索", "edit-find", glyphIcon(QStringLiteral("探")), {}},
            {"ToolButton14", "上を検索", "go-up", s->standardIcon(QStyle::SP_ArrowUp), {}},
            {"ToolButton15", "下を検索", "go-down", s->standardIcon(QStyle::SP_ArrowDown), {}},
            sep,
            {"ToolButton25", "korvaneﾍﾙﾌﾟ", "help-contents", helpIcon(), {}},
        });

    m_toolBar1 = addModeToolBar(this, "ToolBar1");
    // No menu of tool bars on a right click: it would let the other mode's
    // tool bar be shown, or this mode's be hidden.
    setContextMenuPolicy(Qt::NoContextMenu);
    fillToolBar(
        m_toolBar1,
        {
            {"ToolButton17", "開く", "document-open", s->standardIcon(QStyle::SP_DialogOpenButton),
             [this] { Open2Click(); }},
            {"ToolButton18", "上書き保存", "document-save",
             s->standardIcon(QStyle::SP_DialogSaveButton), [this] { Save2Click(); }},
            {"ToolButton20",
             "ﾌﾟﾚﾋﾞｭｰ",
             "document-print-preview",
             s->standardIcon(QStyle::SP_FileDialogContentsView),
             {}},
            sep,
            {"ToolButton22", "やり直し", "edit-undo", s->standardIcon(QStyle::SP_ArrowBack),
             [this] { Repeat1Click(); }},
            sep,
            {"ToolButton31",
             "太字|太字に設定します。",
             "format-text-bold",
             glyphIcon(QStringLiteral("B"), true),
             {}},
            {"ToolButton32",
             "ｲﾀﾘｯｸ|斜体に設定します。",
             "format-text-italic",
             glyphIcon(QStringLiteral("I"), false, true),
             {}},
            {"ToolButton33",
             "下線付き|下線をつけます。",
             "format-text-underline",
             glyphIcon(QStringLiteral("U"), false, false, true),
             {}},
            {"ToolButton34",
             "字消し線付き|中央に線を付けます。",
             "format-text-strikethrough",
             glyphIcon(QStringLiteral("S"), false, false, false, true),
             {}},
            {"ToolButton35",
             "等幅ﾌｫﾝﾄ|全ての文字を同じ幅に設定します。",
             "",
             glyphIcon(QStringLiteral("TT")),
             {}},
            {"ToolButton36",
             "簡易ﾘﾝｸ|選択文字をﾘﾝｸ先としたﾘﾝｸを張ります。",
             "",
             glyphIcon(QStringLiteral("A")),
             {}},
            {"ToolButton37",
             "ﾒｰﾙｱﾄﾞﾚｽ|選択文字をﾒｰﾙｱﾄﾞﾚｽとしたﾘﾝｸを張ります。",
             "",
             glyphIcon(QStringLiteral("@")),
             {}},
            {"ToolButton38", "改行|改行します。", "", glyphIcon(QStringLiteral("BR")), {}},
            {"ToolButton39",
             "横罫線|横一行に、線を引きます。",
             "",
             glyphIcon(QStringLiteral("HR")),
             {}},
            {"ToolButton40", "段落|段落を設定します。", "", glyphIcon(QStringLiteral("P")), {}},
            {"ToolButton41",
             "ﾃｷｽﾄ表示|改行やタブなどをそのまま表示します。",
             "",
             glyphIcon(QStringLiteral("PRE")),
             {}},
            {"ToolButton43",
             "左揃え|文字を左側に揃えます。",
             "format-justify-left",
             alignIcon(Qt::AlignLeft),
             {}},
            {"ToolButton44",
             "中央揃え|文字を中央に揃えます。",
             "format-justify-center",
             alignIcon(Qt::AlignHCenter),
             {}},
            {"ToolButton45",
             "右揃え|文字を右側に揃えます。",
             "format-justify-right",
             alignIcon(Qt::AlignRight),
             {}},
            sep,
            {"ToolButton19",
             "ﾌｫﾝﾄ指定|使用するフォントの種類・色・サイズを設定します。",
             "",
             glyphIcon(QStringLiteral("F")),
             {}},
            {"ToolButton23",
             "ﾘﾝｸ・ﾒｰﾙ|ｱﾄﾞﾚｽを指定して、ﾘﾝｸを張ります。",
             "insert-link",
             glyphIcon(QStringLiteral("L")),
             {}},
            {"ToolButton27",
             "ﾍﾟｰｼﾞ内ﾘﾝｸ|同じﾌｧｲﾙ内で移動できるﾘﾝｸを張ります。",
             "",
             glyphIcon(QStringLiteral("#")),
             {}},
            {"ToolButton29",
             "簡易画像|画像を配置します。",
             "",
             glyphIcon(QStringLiteral("Im")),
             {}},
            {"ToolButton28",
             "画像配置|大きさなどを指定して、画像を配置します。",
             "insert-image",
             glyphIcon(QStringLiteral("IMG")),
             {}},
            sep,
            {"ToolButton24", "morvixﾍﾙﾌﾟ", "help-contents", helpIcon(), {}},
        });
    // Disabled until a tag-mode document has a file (and, while it has no
    // command, after that too: see enableImageButton).
    m_toolButton29 = m_toolBar1->findChild<QAction*>(QStringLiteral("ToolButton29"));
    m_toolButton29->setEnabled(false);
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

void Tvantler::EnterTagLayout() {
    attachMenus(&m_mmAd);
    m_tbMain->hide();
    m_toolBar1->show();
    m_label1->setText(QString());
    m_eTitle->setBytes({});
    m_eTitle->hide();
}

void Tvantler::EnterTextLayout() {
    attachMenus(&m_mainMenu1);
    m_toolBar1->hide();
    m_tbMain->show();
    m_label1->setText(QString::fromUtf8(kTitleLabel));
    m_eTitle->show();
}

void Tvantler::applyModeFont() {
    if (isTagMode())
        m_reMain->setFont(editorFont(m_settings.mvxName, m_settings.mvxSize));
    else
        m_reMain->setFont(editorFont(m_settings.kvnName, m_settings.kvnSize));
}

void Tvantler::morvixS1Click() {
    m_documents->forgetFile();
    m_reMain->setText({});
    m_reMain->setFont(editorFont(m_settings.mvxName, m_settings.mvxSize));
    EnterTagLayout();
    AddCaption();
    if (m_highlighter->HighlightByDefault())
        html1Click();
}

void Tvantler::htmlmorvixH1Click() {
    m_documents->forgetFile();
    m_reMain->setFont(editorFont(m_settings.mvxName, m_settings.mvxSize));
    const std::string html =
        ToHtml(m_reMain->text(), m_eTitle->bytes(), m_settings.page, m_settings.options.tab);
    m_reMain->setText(html);
    EnterTagLayout();
    AddCaption();
    if (m_highlighter->HighlightByDefault())
        html1Click();
}

void Tvantler::korvaneS1Click() {
    if (tagsHighlighted())
        html1Click();
    m_documents->forgetFile();
    m_reMain->setText({});
    m_reMain->setFont(editorFont(m_settings.kvnName, m_settings.kvnSize));
    EnterTextLayout();
    AddCaption();
}

void Tvantler::htmlkorvaneH1Click() {
    if (tagsHighlighted())
        html1Click();
    // The whole window stops painting, so the HTML never flashes before the
    // stripped text replaces it.
    setUpdatesEnabled(false);
    const TextAndTitle stripped = ToText(m_reMain->text());
    if (stripped.title)
        m_eTitle->setBytes(*stripped.title);
    m_reMain->setText({});
    m_reMain->setFont(editorFont(m_settings.kvnName, m_settings.kvnSize));
    m_reMain->setText(stripped.text);
    setUpdatesEnabled(true);
    m_documents->forgetFile();
    EnterTextLayout();
    AddCaption();
}

void Tvantler::html1Click() {
    m_highlighter->html1Click();
}

void Tvantler::File2Click() {
    m_html1->setChecked(tagsHighlighted());
}

QString Tvantler::modeCaption(const QString& prefix) const {
    QString caption = prefix + currentFile() + QStringLiteral("-");
    if (m_settings.page.BackPictureOn)
        caption +=
            QStringLiteral(" -") + fromSjis(m_settings.page.BackPicture) + QStringLiteral("-");
    return caption;
}

QString Tvantler::AddAdCaption() const {
    return modeCaption(QStringLiteral("morvix -"));
}

void Tvantler::AddCaption() {
    setWindowTitle(isTagMode() ? AddAdCaption() : modeCaption(QStringLiteral("korvane -")));
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
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
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
        fitWindowSize({m_settings.width, m_settings.height}, {area.width(), area.height()});
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
    applyModeFont();
    if (m_highlighter->HighlightByDefault() && isTagMode())
        html1Click();
    m_reMain->setRedraw(true);
}

// A size that cannot be stored is reported, and the window closes all the
// same: keeping it open would leave Exit, which drops unsaved text, as the
// only way out, and the next start merely opens at the size before.
void Tvantler::FormClose() {
    Profile profile(m_settingsPath);
    const QSize outer = frameGeometry().size();
    const ProfileWriteResult written = writeWindowSize(profile, outer.height(), outer.width());
    if (!written.ok)
        reportError(QString::fromStdString(writeFailedMessage(written.path)));
}

void Tvantler::closeEvent(QCloseEvent* e) {
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

void Tvantler::Repeat1Click() {
    m_reMain->undo();
}

void Tvantler::T1Click() {
    m_reMain->cut();
}

void Tvantler::Copy1Click() {
    m_reMain->copy();
}

void Tvantler::P2Click() {
    m_reMain->paste();
}

void Tvantler::A1Click() {
    m_reMain->setSelection(0, m_reMain->textLength());
}

void Tvantler::Delete1Click() {
    m_reMain->clearSelection();
}

// Only text mode's Edit menu and the context menu follow the editor; the
// tool bar buttons and tag mode's items always send their request.
void Tvantler::Edit1Click() {
    followEditor(m_repeat1, m_t1, m_copy1, m_p2);
}

void Tvantler::PopMenuUp() {
    followEditor(m_repeat2, m_n7, m_copy2, m_n8);
}

void Tvantler::followEditor(QAction* undo, QAction* cut, QAction* copy, QAction* paste) const {
    undo->setEnabled(m_reMain->canUndo());
    paste->setEnabled(m_reMain->canPaste());
    const bool selected = m_reMain->selLength() != 0;
    cut->setEnabled(selected);
    copy->setEnabled(selected);
}

void Tvantler::Exit1Click() {
    // Not quit() or close(): both send close events, and Exit must neither
    // ask nor store the window size.
    QCoreApplication::exit(0);
}

QString Tvantler::currentFile() const {
    return QString::fromStdString(m_documents->CurrentFile());
}

void Tvantler::interpretCommandLine(const std::vector<std::string>& params) {
    m_documents->interpretCommandLine(parseCommandLine(params, QDir::currentPath().toStdString()));
}

void Tvantler::enterTagMode() {
    m_reMain->setFont(editorFont(m_settings.mvxName, m_settings.mvxSize));
    EnterTagLayout();
}

void Tvantler::enterTextMode() {
    m_reMain->setFont(editorFont(m_settings.kvnName, m_settings.kvnSize));
    EnterTextLayout();
}

std::string Tvantler::titleBytes() const {
    return m_eTitle->bytes();
}

void Tvantler::setTitleBytes(std::string_view bytes) {
    m_eTitle->setBytes(bytes);
}

void Tvantler::enableImageButton() {
    // A tag-mode document with a file is where the simple image belongs, so
    // this is when its button comes on. Its command (E1Click) is not in this
    // program yet, and a button that is enabled and does nothing is wrong:
    // until a command is connected to it the button stays disabled.
    m_toolButton29->setEnabled(m_toolButton29->property(kHasCommand).toBool());
}

void Tvantler::New1Click() {
    m_documents->New1Click();
}

void Tvantler::Open1Click() {
    m_documents->Open1Click();
}

void Tvantler::Save1Click() {
    m_documents->Save1Click();
}

void Tvantler::SaveAs1Click() {
    m_documents->SaveAs1Click();
}

void Tvantler::htmlH1Click() {
    m_documents->htmlH1Click();
}

void Tvantler::Open2Click() {
    m_documents->Open2Click();
}

void Tvantler::Save2Click() {
    m_documents->Save2Click();
}

void Tvantler::SaveAs2Click() {
    m_documents->SaveAs2Click();
}

bool Tvantler::FormCloseQuery() {
    return m_documents->FormCloseQuery();
}

void Tvantler::WMDropFiles(const std::vector<std::string>& paths) {
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
