#include "app/tvantler.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "app/journal.h"
#include "app/window_size.h"
#include "editor/rich_edit.h"
#include "editor/sjis_line_edit.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/program_folder.h"
#include "tests/support/child_process.h"
#include "tests/support/program_home.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/scripted_window.h"
#include "tests/support/ui/window_actions.h"

namespace korvane {
namespace {

using test::ProgramHome;

QStringList menuTitles(QMenuBar* bar) {
    QStringList titles;
    for (QAction* action : bar->actions())
        titles << action->text();
    return titles;
}

const QStringList kTextMenus = {"ﾌｧｲﾙ(&F)", "編集(&E)",     "検索(&S)",
                                "設定(&U)", "切り替え(&C)", "ﾍﾙﾌﾟ(&H)"};
const QStringList kTagMenus = {"ﾌｧｲﾙ(&F)",     "編集(&E)", "検索(&S)",     "htmlﾀｸﾞ1(&T)",
                               "htmlﾀｸﾞ2(&M)", "設定(&U)", "切り替え(&C)", "ﾍﾙﾌﾟ(&H)"};

class TvantlerTest : public ::testing::Test {
  protected:
    // Scripted dialogs and a recording shell: a command that opens a dialog
    // or starts a copy must never show one or start a process here.
    void create() { test::createScriptedWindow(m_window, m_scripted, m_shell); }
    QAction* action(const char* name) const { return test::findAction(m_window.get(), name); }
    void trigger(const char* name) const { test::triggerAction(m_window.get(), name); }
    QToolBar* toolBar(const char* name) const {
        return m_window->findChild<QToolBar*>(QString::fromUtf8(name));
    }

    ProgramHome m_home;
    std::unique_ptr<test::ScriptedDialogs> m_scripted;
    std::unique_ptr<Tvantler> m_window;
    test::RecordingShell* m_shell = nullptr;  // the window's
    const std::vector<std::string>& errors() const { return m_scripted->messages->errors(); }
};

// Catches a start-up that opens something, shows tag mode, or loses the
// title label.
TEST_F(TvantlerTest, StartsInTextModeWithAnUntitledDocument) {
    create();
    EXPECT_FALSE(m_window->isTagMode());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("korvane -Untitled-"));
    EXPECT_EQ(menuTitles(m_window->menuBar()), kTextMenus);
    EXPECT_FALSE(toolBar("tbMain")->isHidden());
    EXPECT_TRUE(toolBar("ToolBar1")->isHidden());
    EXPECT_EQ(m_window->statusLabel()->text(), QStringLiteral("タイトル(&T)"));
    EXPECT_TRUE(m_window->editor()->text().empty());
}

// Catches a switch that leaves the wrong menus, tool bar, caption or title
// row, or keeps (or loses) the wrong text.
TEST_F(TvantlerTest, SwitchCommandsFollowTheirSteps) {
    struct Row {
        const char* name;
        bool startInTag;
        std::string text;
        std::string title;
        const char* command;
        bool tagAfter;
        std::vector<std::string> textContains;  // empty: the editor ends empty
        std::string titleAfter;
    };
    const std::vector<Row> rows = {
        {"morvix discards the text", false, "unsaved\r\nwork", "T", "morvixS1", true, {}, ""},
        {"html morvix converts text and title",
         false,
         "a<b\r\nc",
         "Top",
         "htmlmorvixH1",
         true,
         {"<TITLE>Top</TITLE>", "a&lt;b<BR>\r\nc"},
         ""},
        {"korvane discards the source", true, "<B>x</B>", "", "korvaneS1", false, {}, ""},
        {"strip tags keeps text, takes the title",
         true,
         "<HTML><HEAD><TITLE>Pg</TITLE></HEAD><BODY>one<B>two</B></BODY></HTML>",
         "",
         "htmlkorvaneH1",
         false,
         {"onetwo"},
         "Pg"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        create();
        if (row.startInTag)
            trigger("morvixS1");
        m_window->editor()->setText(row.text);
        m_window->titleBox()->setBytes(row.title);
        trigger(row.command);

        EXPECT_EQ(m_window->isTagMode(), row.tagAfter);
        EXPECT_EQ(menuTitles(m_window->menuBar()), row.tagAfter ? kTagMenus : kTextMenus);
        EXPECT_EQ(toolBar("ToolBar1")->isHidden(), !row.tagAfter);
        EXPECT_EQ(toolBar("tbMain")->isHidden(), row.tagAfter);
        EXPECT_EQ(m_window->titleBox()->isHidden(), row.tagAfter);
        EXPECT_EQ(m_window->currentFile(), QStringLiteral("Untitled"));
        EXPECT_EQ(m_window->windowTitle(), row.tagAfter ? QStringLiteral("morvix -Untitled-")
                                                        : QStringLiteral("korvane -Untitled-"));
        EXPECT_EQ(m_window->statusLabel()->text(),
                  row.tagAfter ? QString() : QStringLiteral("タイトル(&T)"));
        const std::string text = m_window->editor()->text();
        if (row.textContains.empty()) {
            EXPECT_EQ(text, "");
        }
        for (const std::string& part : row.textContains)
            EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
        EXPECT_EQ(m_window->titleBox()->bytes(), row.titleAfter);
    }
}

// Catches the editor keeping one mode's font in the other, or a missing
// Windows family leaving the editor in a proportional font, or in one
// without Japanese where a Japanese fixed-pitch font is installed (its
// Japanese would come from a taller font, line by line).
TEST_F(TvantlerTest, EditorFontFollowsTheMode) {
    const QString fixed =
        QFontDatabase::families().contains(QStringLiteral("Noto Sans Mono CJK JP"))
            ? QStringLiteral("Noto Sans Mono CJK JP")
            : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    m_home.writeSettings(
        "[Font]\r\nkvnName=FixedSys\r\nmvxName="
        "NoSuchFamilyAnywhere\r\nkvnSize=11\r\n"
        "mvxSize=17\r\n");
    create();
    m_window->show();  // the first activation sets the mode's font
    EXPECT_FALSE(m_window->editor()->isHidden());
    EXPECT_EQ(m_window->editor()->font().pointSize(), 11);
    EXPECT_EQ(m_window->editor()->font().family(), fixed);
    // Fixed pitch as the pages were written: every ASCII character of one
    // width, a Japanese one of two.
    const QFontMetricsF metrics(m_window->editor()->font());
    const qreal half = metrics.horizontalAdvance(QStringLiteral("W"));
    EXPECT_NEAR(metrics.horizontalAdvance(QStringLiteral("i")), half, 0.01);
    if (fixed == QStringLiteral("Noto Sans Mono CJK JP")) {
        EXPECT_NEAR(metrics.horizontalAdvance(QStringLiteral("日")), 2 * half, 0.5);
    }
    trigger("morvixS1");
    EXPECT_EQ(m_window->editor()->font().pointSize(), 17);
    trigger("korvaneS1");
    EXPECT_EQ(m_window->editor()->font().pointSize(), 11);
    trigger("htmlmorvixH1");
    EXPECT_EQ(m_window->editor()->font().pointSize(), 17);
    trigger("htmlkorvaneH1");
    EXPECT_EQ(m_window->editor()->font().pointSize(), 11);
    // The stored name stays the user's choice even though it stood in.
    EXPECT_EQ(m_window->settings().kvnName, "FixedSys");
}

// Catches entering tag mode without the default highlighting, highlighting
// against the option, or a check mark that does not follow the state.
TEST_F(TvantlerTest, HighlightOnEnteringTagMode) {
    for (const bool byDefault : {true, false}) {
        SCOPED_TRACE(byDefault ? "Hilight=1" : "Hilight=0");
        m_home.writeSettings(byDefault ? "[Option]\r\nHilight=1\r\n" : "[Option]\r\nHilight=0\r\n");
        create();
        m_window->editor()->setText("<B>x</B>");
        trigger("htmlmorvixH1");
        EXPECT_EQ(m_window->tagsHighlighted(), byDefault);
        m_window->File2Click();
        EXPECT_EQ(action("html1")->isChecked(), byDefault);
        trigger("html1");
        EXPECT_EQ(m_window->tagsHighlighted(), !byDefault);
        trigger("htmlkorvaneH1");
        EXPECT_FALSE(m_window->tagsHighlighted());
    }
}

// Catches the long hint reaching the label in text mode, or the short part
// shown instead of the long one in tag mode.
TEST_F(TvantlerTest, LongHintsShowInTagModeOnly) {
    create();
    m_window->show();
    auto hover = [this](const char* bar, const char* button) {
        QWidget* widget = toolBar(bar)->widgetForAction(action(button));
        ASSERT_NE(widget, nullptr);
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(widget, &enter);
    };
    hover("tbMain", "ToolButton2");
    EXPECT_EQ(m_window->statusLabel()->text(), QStringLiteral("タイトル(&T)"));
    trigger("morvixS1");
    hover("ToolBar1", "ToolButton31");
    EXPECT_EQ(m_window->statusLabel()->text(), QStringLiteral("太字に設定します。"));
    EXPECT_EQ(action("ToolButton31")->toolTip(), QStringLiteral("太字"));
    hover("ToolBar1", "ToolButton17");  // a hint without "|" is its own long part
    EXPECT_EQ(m_window->statusLabel()->text(), QStringLiteral("開く"));
}

// Catches cut and copy offered with nothing selected (or refused with a
// selection), and select all or delete that miss their target.
TEST_F(TvantlerTest, EditMenuFollowsTheSelection) {
    create();
    m_window->editor()->setText("abc def");
    m_window->editor()->setSelStart(0);
    m_window->Edit1Click();
    EXPECT_FALSE(action("T1")->isEnabled());
    EXPECT_FALSE(action("Copy1")->isEnabled());
    EXPECT_TRUE(action("Delete1")->isEnabled());
    EXPECT_TRUE(action("ToolButton9")->isEnabled());  // tool buttons always send

    trigger("A1");
    EXPECT_EQ(m_window->editor()->selLength(), 7u);
    m_window->Edit1Click();
    EXPECT_TRUE(action("T1")->isEnabled());
    EXPECT_TRUE(action("Copy1")->isEnabled());

    m_window->editor()->setSelection(3, 7);
    trigger("Delete1");
    EXPECT_EQ(m_window->editor()->text(), "abc");
    trigger("morvixS1");
    m_window->editor()->setText("<B>");
    trigger("A2");  // tag mode's own items reach the same editor
    EXPECT_EQ(m_window->editor()->selLength(), 3u);
}

// Each item of a menu as "menu>item<TAB>short-cut" (plus " [check]" when it
// carries a check mark), a separator as "menu>-", submenus by their path,
// an empty one as "menu>submenu>".
void flatten(const QMenu* menu, const std::string& path, std::vector<std::string>* items) {
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            items->push_back(path + ">-");
            continue;
        }
        const std::string item = path + ">" + a->text().toStdString();
        if (a->menu() != nullptr) {
            // A submenu filled as it opens shows as itself.
            if (a->menu()->actions().isEmpty())
                items->push_back(item + ">");
            flatten(a->menu(), item, items);
            continue;
        }
        std::string row = item;
        if (!a->shortcut().isEmpty())
            row += "\t" + a->shortcut().toString(QKeySequence::PortableText).toStdString();
        if (a->isCheckable())
            row += " [check]";
        items->push_back(row);
    }
}

std::vector<std::string> menuItems(const QMenuBar* bar) {
    std::vector<std::string> items;
    for (QAction* top : bar->actions())
        flatten(top->menu(), top->text().toStdString(), &items);
    return items;
}

// Catches a wrong caption (half-width katakana, access key, "..."), a lost
// or extra separator, a wrong short-cut, an item in the wrong place, or the
// highlight item or the background picture item without its check mark, in
// either mode's menu bar.
TEST_F(TvantlerTest, MenuBarsShowTheirItemsInOrder) {
    const std::vector<std::string> text = {
        "ﾌｧｲﾙ(&F)>新規作成(&N)\tCtrl+N",
        "ﾌｧｲﾙ(&F)>開く(&O)...\tCtrl+O",
        "ﾌｧｲﾙ(&F)>上書き保存(&S)\tCtrl+S",
        "ﾌｧｲﾙ(&F)>名前を付けて保存(&A)...",
        "ﾌｧｲﾙ(&F)>html変換して保存(&H)...",
        "ﾌｧｲﾙ(&F)>-",
        "ﾌｧｲﾙ(&F)>ﾌﾟﾚﾋﾞｭｰ(&P)\tCtrl+P",
        "ﾌｧｲﾙ(&F)>-",
        "ﾌｧｲﾙ(&F)>最近使ったﾌｧｲﾙ(&R)>",
        "ﾌｧｲﾙ(&F)>文字コードを指定して開き直す(&E)...",
        "ﾌｧｲﾙ(&F)>文字コードを変えて保存(&W)...",
        "ﾌｧｲﾙ(&F)>-",
        "ﾌｧｲﾙ(&F)>終了(&X)",
        "編集(&E)>やり直し(&U)\tCtrl+Z",
        "編集(&E)>-",
        "編集(&E)>切り抜き(&T)\tCtrl+X",
        "編集(&E)>コピー(&C)\tCtrl+C",
        "編集(&E)>張り付け(&P)\tCtrl+V",
        "編集(&E)>-",
        "編集(&E)>全て選択(&A)\tCtrl+A",
        "編集(&E)>削除(&L)",
        "編集(&E)>-",
        "編集(&E)>やり直し(&R)\tCtrl+Y",
        "検索(&S)>検索(&F)...\tCtrl+F",
        "検索(&S)>上を検索(&P)\tShift+F3",
        "検索(&S)>下を検索(&N)\tF3",
        "検索(&S)>-",
        "検索(&S)>置換(&R)...\tCtrl+R",
        "検索(&S)>行へ移動(&G)...\tCtrl+G",
        "設定(&U)>色指定(&C)...",
        "設定(&U)>背景画像(&P)... [check]",
        "設定(&U)>詳細設定(&D)...",
        "設定(&U)>-",
        "設定(&U)>ﾌｫﾝﾄ(&F)...",
        "設定(&U)>ｵﾌﾟｼｮﾝ(&O)...",
        "設定(&U)>行番号を表示(&N) [check]",
        "切り替え(&C)>morvix(&S)",
        "切り替え(&C)>html変換してmorvix(&H)",
        "ﾍﾙﾌﾟ(&H)>korvaneﾍﾙﾌﾟ(&H)",
        "ﾍﾙﾌﾟ(&H)>ﾊﾞｰｼﾞｮﾝ情報(&V)",
    };
    const std::string deco = "htmlﾀｸﾞ1(&T)>文字装飾(&F)>";
    const std::string structure = "htmlﾀｸﾞ1(&T)>構造指定(&S)>";
    const std::string place = "htmlﾀｸﾞ1(&T)>位置指定(&D)>";
    const std::vector<std::string> tag = {
        "ﾌｧｲﾙ(&F)>開く(&O)...\tCtrl+O",
        "ﾌｧｲﾙ(&F)>上書き保存(&S)\tCtrl+S",
        "ﾌｧｲﾙ(&F)>名前を付けて保存(&A)...",
        "ﾌｧｲﾙ(&F)>htmlﾀｸﾞをﾊｲﾗｲﾄ表示(&H) [check]",
        "ﾌｧｲﾙ(&F)>ﾌﾟﾚﾋﾞｭｰ(&P)\tCtrl+P",
        "ﾌｧｲﾙ(&F)>最近使ったﾌｧｲﾙ(&R)>",
        "ﾌｧｲﾙ(&F)>文字コードを指定して開き直す(&E)...",
        "ﾌｧｲﾙ(&F)>文字コードを変えて保存(&W)...",
        "ﾌｧｲﾙ(&F)>終了(&X)",
        "編集(&E)>やり直し(&U)\tCtrl+Z",
        "編集(&E)>-",
        "編集(&E)>切り抜き(&T)\tCtrl+X",
        "編集(&E)>コピー(&C)\tCtrl+C",
        "編集(&E)>張り付け(&P)\tCtrl+V",
        "編集(&E)>-",
        "編集(&E)>全て選択(&A)\tCtrl+A",
        "編集(&E)>削除(&L)",
        "編集(&E)>-",
        "編集(&E)>やり直し(&R)\tCtrl+Y",
        "検索(&S)>検索(&F)...\tCtrl+F",
        "検索(&S)>上を検索(&P)\tShift+F3",
        "検索(&S)>下を検索(&N)\tF3",
        "検索(&S)>-",
        "検索(&S)>置換(&R)...\tCtrl+R",
        "検索(&S)>行へ移動(&G)...\tCtrl+G",
        deco + "太字(&B)",
        deco + "ｲﾀﾘｯｸ(&I)",
        deco + "下線付き(&U)",
        deco + "字消し線付き(&S)",
        deco + "等幅ﾌｫﾝﾄ(&T)",
        structure + "簡易ﾘﾝｸ(&A)",
        structure + "ﾒｰﾙｱﾄﾞﾚｽ(&M)",
        structure + "改行(&B)",
        structure + "横罫線(&R)",
        structure + "見出し(&H)>H1(&F)",
        structure + "見出し(&H)>H2(&S)",
        structure + "見出し(&H)>H3(&T)",
        structure + "見出し(&H)>H4(&O)",
        structure + "見出し(&H)>H5(&I)",
        structure + "見出し(&H)>H6(&X)",
        structure + "段落(&P)",
        structure + "ﾃｷｽﾄ表示(&E)",
        structure + "ﾘｽﾄ(&L)>順不同ﾘｽﾄ(&U)",
        structure + "ﾘｽﾄ(&L)>連番付きﾘｽﾄ(&O)",
        place + "左揃え(&L)",
        place + "中央揃え(&C)",
        place + "右揃え(&R)",
        "htmlﾀｸﾞ2(&M)>ﾌｫﾝﾄ指定(&F)...",
        "htmlﾀｸﾞ2(&M)>ﾘﾝｸ・ﾒｰﾙ(&L)...",
        "htmlﾀｸﾞ2(&M)>ﾍﾟｰｼﾞ内ﾘﾝｸ(&P),,,",
        "htmlﾀｸﾞ2(&M)>簡易画像(&E)",
        "htmlﾀｸﾞ2(&M)>画像配置(&I)...",
        "htmlﾀｸﾞ2(&M)>ﾍﾟｰｼﾞの点検(&K)...\tCtrl+Shift+K",
        "設定(&U)>ﾌｫﾝﾄ(&F)...",
        "設定(&U)>ｵﾌﾟｼｮﾝ(&O)...",
        "設定(&U)>行番号を表示(&N) [check]",
        "切り替え(&C)>korvane(&S)",
        "切り替え(&C)>ﾀｸﾞを抜いてkorvane(&H)",
        "ﾍﾙﾌﾟ(&H)>morvixﾍﾙﾌﾟ(&H)",
        "ﾍﾙﾌﾟ(&H)>ﾊﾞｰｼﾞｮﾝ情報(&V)",
    };
    create();
    EXPECT_EQ(menuItems(m_window->menuBar()), text);
    trigger("morvixS1");
    EXPECT_EQ(menuItems(m_window->menuBar()), tag);
    trigger("korvaneS1");
    EXPECT_EQ(menuItems(m_window->menuBar()), text);
}

// Each button of a tool bar as "name hint" (the whole two-part hint), a
// separator as "-".
std::vector<std::string> toolButtons(const QToolBar* bar) {
    std::vector<std::string> buttons;
    for (QAction* a : bar->actions())
        buttons.push_back(a->isSeparator()
                              ? std::string("-")
                              : a->objectName().toStdString() + " " + a->statusTip().toStdString());
    return buttons;
}

// Catches a button out of order, a lost separator, a wrong hint, or a tool
// tip that shows the long part of the hint instead of the short one.
TEST_F(TvantlerTest, ToolBarsShowTheirButtonsInOrder) {
    const std::vector<std::string> tbMain = {
        "ToolButton1 新規作成",     "ToolButton2 開く",
        "ToolButton3 上書き保存",   "-",
        "ToolButton5 ﾌﾟﾚﾋﾞｭｰ",      "-",
        "ToolButton7 やり直し",     "-",
        "ToolButton9 切り取り",     "ToolButton10 コピー",
        "ToolButton11 張り付け",    "-",
        "ToolButton13 検索",        "ToolButton14 上を検索",
        "ToolButton15 下を検索",    "-",
        "ToolButton25 korvaneﾍﾙﾌﾟ",
    };
    const std::vector<std::string> toolBar1 = {
        "ToolButton17 開く",
        "ToolButton18 上書き保存",
        "ToolButton20 ﾌﾟﾚﾋﾞｭｰ",
        "-",
        "ToolButton22 やり直し",
        "-",
        "ToolButton31 太字|太字に設定します。",
        "ToolButton32 ｲﾀﾘｯｸ|斜体に設定します。",
        "ToolButton33 下線付き|下線をつけます。",
        "ToolButton34 字消し線付き|中央に線を付けます。",
        "ToolButton35 等幅ﾌｫﾝﾄ|全ての文字を同じ幅に設定します。",
        "ToolButton36 簡易ﾘﾝｸ|選択文字をﾘﾝｸ先としたﾘﾝｸを張ります。",
        "ToolButton37 ﾒｰﾙｱﾄﾞﾚｽ|選択文字をﾒｰﾙｱﾄﾞﾚｽとしたﾘﾝｸを張ります。",
        "ToolButton38 改行|改行します。",
        "ToolButton39 横罫線|横一行に、線を引きます。",
        "ToolButton40 段落|段落を設定します。",
        "ToolButton41 ﾃｷｽﾄ表示|改行やタブなどをそのまま表示します。",
        "ToolButton43 左揃え|文字を左側に揃えます。",
        "ToolButton44 中央揃え|文字を中央に揃えます。",
        "ToolButton45 右揃え|文字を右側に揃えます。",
        "-",
        "ToolButton19 ﾌｫﾝﾄ指定|使用するフォントの種類・色・サイズを設定します。",
        "ToolButton23 ﾘﾝｸ・ﾒｰﾙ|ｱﾄﾞﾚｽを指定して、ﾘﾝｸを張ります。",
        "ToolButton27 ﾍﾟｰｼﾞ内ﾘﾝｸ|同じﾌｧｲﾙ内で移動できるﾘﾝｸを張ります。",
        "ToolButton29 簡易画像|画像を配置します。",
        "ToolButton28 画像配置|大きさなどを指定して、画像を配置します。",
        "ToolButton46 ﾍﾟｰｼﾞの点検|画像やﾘﾝｸ先、ﾍﾟｰｼﾞ内の名前、閉じ忘れたﾀｸﾞなどを点検します。",
        "-",
        "ToolButton24 morvixﾍﾙﾌﾟ",
    };
    create();
    EXPECT_EQ(toolButtons(toolBar("tbMain")), tbMain);
    EXPECT_EQ(toolButtons(toolBar("ToolBar1")), toolBar1);
    for (const char* bar : {"tbMain", "ToolBar1"}) {
        for (QAction* a : toolBar(bar)->actions()) {
            if (a->isSeparator())
                continue;
            EXPECT_EQ(a->toolTip(), a->statusTip().section('|', 0, 0))
                << a->objectName().toStdString();
        }
    }
    EXPECT_FALSE(action("ToolButton29")->isEnabled());  // the simple image starts disabled
}

// Catches the tag-mode tool bar overflowing the default window (its last
// buttons hidden behind the "»" extension) in either mode.
TEST_F(TvantlerTest, EveryToolButtonFitsTheDefaultWidth) {
    create();
    m_window->show();
    ASSERT_EQ(m_window->frameGeometry().width(), 600);
    for (const char* command : {"", "morvixS1"}) {
        if (*command != '\0')
            trigger(command);
        QToolBar* bar = toolBar(m_window->isTagMode() ? "ToolBar1" : "tbMain");
        bar->layout()->activate();
        for (QAction* a : bar->actions()) {
            QWidget* button = bar->widgetForAction(a);
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(button->isVisible()) << a->objectName().toStdString();
            EXPECT_LE(button->geometry().right(), bar->contentsRect().right())
                << a->objectName().toStdString();
        }
        auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
        ASSERT_NE(more, nullptr);
        EXPECT_FALSE(more->isVisible());
    }
}

// Catches the context menu missing or out of order, captions with access
// keys, or an item of it with a short-cut (which would clash with the menu
// bar's own).
TEST_F(TvantlerTest, ContextMenuServesBothModes) {
    create();
    auto* popup = m_window->findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    ASSERT_NE(popup, nullptr);
    std::vector<std::string> items;
    for (QAction* a : popup->actions()) {
        items.push_back(
            a->isSeparator() ? "-" : a->objectName().toStdString() + " " + a->text().toStdString());
        EXPECT_TRUE(a->shortcut().isEmpty());
    }
    const std::vector<std::string> expected = {
        "Repeat2 やり直し",
        "-",
        "N7 切り抜き",
        "Copy2 コピー",
        "N8 張り付け",
        "-",
        "N10 全て選択",
        "Delete2 削除",
        "-",
        "Redo2 やり直し",
    };
    EXPECT_EQ(items, expected);
    // A right click in the editor opens it, enabled by the editor's state.
    m_window->show();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(m_window->editor()->viewport(), &click);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_FALSE(action("N7")->isEnabled());  // nothing selected
    popup->hide();
    // A right click on the tool bar opens nothing: the main window's own menu
    // there would show the other mode's tool bar.
    QContextMenuEvent onBar(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(toolBar("tbMain"), &onBar);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    // The same editor in tag mode: the menu's commands reach it.
    trigger("morvixS1");
    m_window->editor()->setText("<B>x</B>");
    trigger("N10");
    EXPECT_EQ(m_window->editor()->selLength(), 8u);
    trigger("Delete2");
    EXPECT_EQ(m_window->editor()->text(), "");
}

// Catches a redo key or item missing from a mode, one that redoes twice
// (the menu's short-cut and the editor's own key both taking it), or one
// that puts back something else than the undo took.
TEST_F(TvantlerTest, RedoKeysAndItemsRedoInBothModes) {
    struct Way {
        const char* name;
        int key;  // 0: the item is triggered
        Qt::KeyboardModifiers modifiers;
        bool editorFocused;
        const char* textItem;
        const char* tagItem;
    };
    const Way ways[] = {
        {"Ctrl+Y to the window", Qt::Key_Y, Qt::ControlModifier, false, "", ""},
        {"Ctrl+Shift+Z to the window", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, false,
         "", ""},
        {"Ctrl+Y in the editor", Qt::Key_Y, Qt::ControlModifier, true, "", ""},
        {"Ctrl+Shift+Z in the editor", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, true, "",
         ""},
        {"the Edit menu's item", 0, {}, false, "Redo1", "Redo3"},
        {"the context menu's item", 0, {}, false, "Redo2", "Redo2"},
    };
    for (const bool tagMode : {false, true}) {
        for (const Way& way : ways) {
            SCOPED_TRACE(std::string(tagMode ? "tag mode, " : "text mode, ") + way.name);
            create();
            m_window->show();
            m_window->activateWindow();
            QCoreApplication::processEvents();
            if (tagMode)
                trigger("morvixS1");
            RichEdit* editor = m_window->editor();
            editor->setText("ab");
            editor->setSelStart(2);
            editor->replaceSelection("c");
            editor->setSelStart(3);
            editor->replaceSelection("d");
            editor->undo();
            editor->undo();
            ASSERT_EQ(editor->text(), "ab");
            if (way.key == 0) {
                trigger(tagMode ? way.tagItem : way.textItem);
            } else {
                QWidget* target = m_window.get();
                if (way.editorFocused) {
                    editor->setFocus();
                    target = editor;
                } else if (QWidget* focus = QApplication::focusWidget()) {
                    focus->clearFocus();
                }
                QKeyEvent press(QEvent::KeyPress, way.key, way.modifiers);
                QApplication::sendEvent(target, &press);
            }
            EXPECT_EQ(editor->text(), "abc") << "one step, once";
        }
    }
}

// Catches the open menus enabling by the wrong rule: undo without history,
// cut or copy without a selection, paste without text on the clipboard;
// or the text-mode Edit menu and the context menu disagreeing.
TEST_F(TvantlerTest, EditItemsFollowTheEditorWhenTheirMenuOpens) {
    struct Opener {
        const char* name;
        void (Tvantler::*open)();
        const char* undo;
        const char* redo;
        const char* cut;
        const char* copy;
        const char* paste;
    };
    const Opener openers[] = {
        {"Edit menu", &Tvantler::Edit1Click, "Repeat1", "Redo1", "T1", "Copy1", "P2"},
        {"context menu", &Tvantler::PopMenuUp, "Repeat2", "Redo2", "N7", "Copy2", "N8"},
    };
    struct Row {
        const char* name;
        bool typed;     // an undoable edit before the menu opens
        bool undone;    // and that edit undone
        bool selected;  // part of the text selected
        bool clipboardText;
        bool undo, redo, cutCopy, paste;
    };
    const Row rows[] = {
        {"fresh text, nothing selected", false, false, false, false, false, false, false, false},
        {"after an edit", true, false, false, false, true, false, false, false},
        {"after an edit and its undo", true, true, false, false, false, true, false, false},
        {"with a selection", false, false, true, false, false, false, true, false},
        {"text on the clipboard", false, false, false, true, false, false, false, true},
    };
    for (const Opener& opener : openers) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(opener.name) + ": " + row.name);
            create();
            RichEdit* editor = m_window->editor();
            editor->setText("abc def");
            if (row.typed) {
                editor->setSelection(7, 7);
                editor->replaceSelection("!");
            }
            if (row.undone)
                editor->undo();
            if (row.selected)
                editor->setSelection(0, 3);
            else
                editor->setSelection(2, 2);
            if (row.clipboardText)
                QApplication::clipboard()->setText(QStringLiteral("x"));
            else
                QApplication::clipboard()->setMimeData(new QMimeData);  // nothing as text
            (m_window.get()->*opener.open)();
            EXPECT_EQ(action(opener.undo)->isEnabled(), row.undo);
            EXPECT_EQ(action(opener.redo)->isEnabled(), row.redo);
            EXPECT_EQ(action(opener.cut)->isEnabled(), row.cutCopy);
            EXPECT_EQ(action(opener.copy)->isEnabled(), row.cutCopy);
            EXPECT_EQ(action(opener.paste)->isEnabled(), row.paste);
        }
    }
}

void collectActions(const QMenu* menu, std::set<QAction*>* actions) {
    for (QAction* a : menu->actions()) {
        actions->insert(a);
        if (a->menu() != nullptr)
            collectActions(a->menu(), actions);
    }
}

// Catches the hidden mode's short-cuts staying live. Both modes bind Ctrl+O,
// Ctrl+S, F3 and the rest; with both sets live Qt finds each key ambiguous
// and fires neither, or a key of the hidden mode fires its command.
TEST_F(TvantlerTest, OnlyTheShownModesShortCutsFire) {
    create();
    m_window->show();
    m_window->activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), m_window.get());

    // Items whose command is not in the program yet are enabled for the
    // count: a disabled item would never fire and prove nothing.
    QObject guard;
    std::map<QAction*, int> fired;
    std::set<QKeySequence> keys;
    for (QAction* a : m_window->findChildren<QAction*>()) {
        if (a->shortcut().isEmpty())
            continue;
        a->setEnabled(true);
        fired[a] = 0;
        keys.insert(a->shortcut());
        QObject::connect(a, &QAction::triggered, &guard, [&fired, a] { ++fired[a]; });
    }
    ASSERT_GE(keys.size(), 12u);  // both menu bars' short-cuts were found
    // Ctrl+O and Ctrl+S (on the untitled document) ask for a file once per
    // mode shown; every one of them is cancelled.
    for (int i = 0; i < 3; ++i) {
        m_scripted->odMain->cancel();
        m_scripted->sdMain->cancel();
    }

    for (const char* command : {"", "morvixS1", "korvaneS1"}) {
        if (*command != '\0')
            trigger(command);
        SCOPED_TRACE(m_window->isTagMode() ? "tag mode" : "text mode");
        std::set<QAction*> shown;
        for (QAction* top : m_window->menuBar()->actions())
            collectActions(top->menu(), &shown);
        for (const QKeySequence& key : keys) {
            SCOPED_TRACE(key.toString().toStdString());
            for (auto& [a, count] : fired)
                count = 0;
            // No focus widget: the editor would take its own editing keys first.
            if (QWidget* focus = QApplication::focusWidget())
                focus->clearFocus();
            QKeyEvent press(QEvent::KeyPress, key[0].key(), key[0].keyboardModifiers());
            QApplication::sendEvent(m_window.get(), &press);
            for (const auto& [a, count] : fired) {
                if (a->shortcut() == key)
                    EXPECT_EQ(count, shown.count(a) ? 1 : 0) << a->objectName().toStdString();
                else
                    EXPECT_EQ(count, 0) << a->objectName().toStdString();
            }
        }
    }
}

// Catches the page check missing from tag mode or its tool bar, its dialog
// not checking the editor's page, a save that leaves the list as it was,
// and the dialog left open over text mode, where its places mean nothing.
TEST_F(TvantlerTest, PageCheckFollowsTheDocument) {
    const test::TempDir dir;
    create();
    trigger("morvixS1");
    m_window->editor()->setText("<IMG src=\"a.gif\" alt=\"\">");
    trigger("K1");
    auto* dialog = m_window->findChild<QDialog*>(QStringLiteral("TfCheck"));
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("lvFindings"));
    ASSERT_NE(list, nullptr);
    const auto messages = [list] {
        QStringList texts;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            texts << list->model()->index(r, 3).data().toString();
        return texts;
    };
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith(QStringLiteral("保存すると点検できます")));

    m_scripted->sdMain->choose(dir.file("page.htm"));
    trigger("Save2");
    EXPECT_EQ(messages(), QStringList{QStringLiteral("「a.gif」が見つかりません")});
    test::writeFile(dir.file("a.gif"), "GIF89a");
    trigger("Save2");
    EXPECT_TRUE(messages().isEmpty());

    dialog->hide();
    m_window->editor()->setText("<B>");
    trigger("ToolButton46");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(messages().size(), 1);
    trigger("korvaneS1");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(errors().empty());
}

// Catches a stored system colour ("the window background") turned into
// Windows' classic white instead of the desktop's colour at start-up.
TEST_F(TvantlerTest, StoredSystemColourTakesTheDesktopsColour) {
    const QPalette old = QApplication::palette();
    QPalette dark = old;
    dark.setColor(QPalette::Active, QPalette::Base, QColor(0x12, 0x34, 0x56));
    QApplication::setPalette(dark);
    m_home.writeSettings("[Option]\r\nColor=1\r\n[Color]\r\nBack=-16777211\r\n");
    create();
    QApplication::setPalette(old);
    EXPECT_EQ(m_window->settings().page.BackColor, -16777211);
    EXPECT_EQ(m_window->settings().page.BackColorHtml, "#123456");
}

// Catches tool buttons without a picture (a bare text button in the bar).
TEST_F(TvantlerTest, EveryToolButtonHasAPicture) {
    create();
    for (const char* bar : {"tbMain", "ToolBar1"}) {
        for (QAction* a : toolBar(bar)->actions()) {
            if (a->isSeparator())
                continue;
            EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
            EXPECT_FALSE(a->icon().pixmap(16, 16).isNull()) << a->objectName().toStdString();
        }
    }
}

// Catches the window left with Qt's generic icon (what X11 shows in the
// frame and the task bar when none is set), or a picture that is not the
// packaged icon in one of its sizes; the program's boxes and dialogs show
// the same icon.
TEST_F(TvantlerTest, ShowsTheProgramsIcon) {
    create();
    const QIcon icon = m_window->windowIcon();
    const QDir packaged(QStringLiteral(KORVANE_SOURCE_DIR "/packaging/icons"));
    const QStringList pictures = packaged.entryList({QStringLiteral("korvane-*.png")});
    ASSERT_FALSE(pictures.isEmpty());
    // Compared as a pixmap holds them: premultiplied.
    const auto premultiplied = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    for (const QString& name : pictures) {
        const QImage expected = premultiplied(QImage(packaged.filePath(name)));
        EXPECT_EQ(premultiplied(icon.pixmap(expected.size()).toImage()), expected)
            << name.toStdString();
    }
    EXPECT_EQ(QApplication::windowIcon().cacheKey(), icon.cacheKey());
}

// Catches the window growing by its frame on every run, or the size stored
// as something other than the outer size on close.
TEST_F(TvantlerTest, StoredSizeIsRestoredAndClosingStoresIt) {
    m_home.writeSettings("[Window]\r\nHeight=480\r\nWidth=640\r\n");
    create();
    m_window->show();
    EXPECT_EQ(m_window->frameGeometry().size(), QSize(640, 480));
    m_window->resize(700, 500);
    const QSize outer = m_window->frameGeometry().size();
    EXPECT_TRUE(m_window->close());
    Profile profile(m_home.settingsFile());
    ASSERT_TRUE(profile.load().exists);
    EXPECT_EQ(profile.readInteger("Window", "Width", 0), outer.width());
    EXPECT_EQ(profile.readInteger("Window", "Height", 0), outer.height());
    EXPECT_TRUE(errors().empty());
}

// Catches the help buttons showing the style's life buoy (four red corner
// arrows at 16 pixels) or another button's picture instead of help.
TEST_F(TvantlerTest, HelpButtonsShowHelp) {
    create();
    const QImage buoy =
        m_window->style()->standardIcon(QStyle::SP_DialogHelpButton).pixmap(16, 16).toImage();
    const QImage help = action("ToolButton25")->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(action("ToolButton24")->icon().pixmap(16, 16).toImage(), help);
    EXPECT_NE(help, buoy);
    if (QIcon::hasThemeIcon(QStringLiteral("help-contents"))) {
        EXPECT_EQ(action("ToolButton25")->icon().name(), QStringLiteral("help-contents"));
    }
    for (const char* bar : {"tbMain", "ToolBar1"}) {
        for (QAction* a : toolBar(bar)->actions()) {
            if (a->isSeparator() || a->objectName() == QStringLiteral("ToolButton25") ||
                a->objectName() == QStringLiteral("ToolButton24"))
                continue;
            EXPECT_NE(a->icon().pixmap(16, 16).toImage(), help) << a->objectName().toStdString();
        }
    }
}

// Catches the window growing (or shrinking) by its frame from one run to
// the next, and a first start that is not 600 x 440 outside.
TEST_F(TvantlerTest, ClosingAndStartingAgainGivesTheSameWindow) {
    std::vector<QSize> outer;
    for (int run = 0; run < 3; ++run) {
        create();
        m_window->show();
        outer.push_back(m_window->frameGeometry().size());
        EXPECT_TRUE(m_window->close());
    }
    EXPECT_EQ(outer, (std::vector<QSize>(3, QSize(600, 440))));
}

// Catches stored sizes used as they stand: a window larger than the screen
// (its close box and the save question out of reach; 100000 made a window of
// hundreds of megabytes), one too small to use, or the unfitted value kept in
// the file for the next run.
TEST_F(TvantlerTest, StoredSizeIsFittedToTheScreenAndStoredBack) {
    const struct {
        const char* width;
        const char* height;
    } rows[] = {
        {"5000", "5000"}, {"100000", "100000"}, {"2147483647", "2147483647"},
        {"0", "0"},       {"-1", "-600"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.width) + " x " + row.height);
        m_home.writeSettings(std::string("[Window]\r\nHeight=") + row.height +
                             "\r\nWidth=" + row.width + "\r\n");
        create();
        m_window->show();
        const QSize available = m_window->screen()->availableGeometry().size();
        const QSize outer = m_window->frameGeometry().size();
        EXPECT_LE(outer.width(), available.width());
        EXPECT_LE(outer.height(), available.height());
        EXPECT_GE(outer.width(), kMinimumWindowSize.width);
        EXPECT_GE(outer.height(), kMinimumWindowSize.height);
        EXPECT_TRUE(m_window->close());
        Profile profile(m_home.settingsFile());
        ASSERT_TRUE(profile.load().exists);
        EXPECT_EQ(profile.readInteger("Window", "Width", 0), outer.width());
        EXPECT_EQ(profile.readInteger("Window", "Height", 0), outer.height());
    }
}

// Sets an environment variable for the life of the guard.
class EnvironmentOverride {
  public:
    EnvironmentOverride(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvironmentOverride() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Catches a size write that fails and keeps the window open (Exit, which
// drops unsaved text, would be the only way out) or fails silently.
TEST_F(TvantlerTest, CloseReportsAndClosesWhenTheSizeCannotBeWritten) {
    struct Row {
        const char* name;
        // Spoils the settings location; returns the settings file's path.
        std::function<std::string(const test::TempDir&)> spoil;
    };
    std::optional<EnvironmentOverride> home;
    std::optional<EnvironmentOverride> config;
    const std::vector<Row> rows = {
        {"a folder where the file should be",
         [this](const test::TempDir&) {
             // No write succeeds there, not even root's.
             std::filesystem::create_directory(m_home.settingsFile());
             return m_home.settingsFile();
         }},
        {"a settings folder that is a file",
         [&](const test::TempDir& scratch) {
             // A program folder that is a file is not writable, so the user's
             // config folder takes the file; that is a file too.
             const std::string file = scratch.file("plain");
             test::writeFile(file, "x");
             home.emplace(kProgramHomeVariable, file);
             config.emplace("XDG_CONFIG_HOME", file);
             return file + "/korvane/" + kSettingsFileName;
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const test::TempDir scratch;
        const std::string path = row.spoil(scratch);
        create();
        m_window->show();
        EXPECT_TRUE(m_window->close());
        EXPECT_FALSE(m_window->isVisible());
        ASSERT_EQ(errors().size(), 1u);
        EXPECT_EQ(errors()[0], path + " に書き込めません");
        EXPECT_FALSE(m_scripted->messages->errorDetails()[0].empty());
        m_window.reset();
        config.reset();
        home.reset();
    }
}

// Catches the size written (or its failure reported) before the save
// question, or a Cancel that still closes.
TEST_F(TvantlerTest, SaveQuestionComesBeforeTheSizeWrite) {
    std::filesystem::create_directory(m_home.settingsFile());
    create();
    m_window->show();
    m_window->editor()->replaceSelection("unsaved");

    m_scripted->messages->answerSave(SaveAnswer::Cancel);
    EXPECT_FALSE(m_window->close());
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(m_scripted->messages->saveQuestions().size(), 1u);
    EXPECT_TRUE(errors().empty());  // a cancelled close stores nothing

    m_scripted->messages->answerSave(SaveAnswer::No);
    EXPECT_TRUE(m_window->close());
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_scripted->messages->saveQuestions().size(), 2u);
    EXPECT_EQ(errors().size(), 1u);
}

// Settings changed during the run reach the objects that keep a copy:
// catches a highlighter that still colours in the colour read at start-up,
// and a tag-mode font change that waits for the next switch of mode.
TEST_F(TvantlerTest, SettingsChangedInTheRunTakeEffect) {
    create();
    m_window->show();
    trigger("morvixS1");
    m_window->editor()->setText("<B>x</B>");
    Options options = m_window->settings().options;
    options.tColor = 0x00FF00;
    ASSERT_TRUE(m_window->settingsStore().storeOptions(options));
    trigger("html1");
    if (!m_window->tagsHighlighted())
        trigger("html1");
    ASSERT_TRUE(m_window->tagsHighlighted());
    EXPECT_EQ(m_window->editor()->colorAt(0), CharColor::of(0x00FF00));

    ASSERT_TRUE(m_window->settingsStore().storeTagModeFont("Noto Sans Mono CJK JP", 23));
    EXPECT_EQ(m_window->editor()->font().pointSize(), 23);
}

// Every tag command of the two tag menus and the tag tool bar, chosen by its
// object name in the real window: catches an item or button left disabled or
// wired to the wrong command (the page must change, or the right dialog
// show).
TEST_F(TvantlerTest, EveryTagActionDoesItsWork) {
    create();
    m_window->show();
    trigger("morvixS1");
    const std::pair<const char*, const char*> inserting[] = {
        {"B2", "<B>x</B>"},
        {"ToolButton31", "<B>x</B>"},
        {"I1", "<I>x</I>"},
        {"ToolButton32", "<I>x</I>"},
        {"N17", "<U>x</U>"},
        {"ToolButton33", "<U>x</U>"},
        {"S3", "<S>x</S>"},
        {"ToolButton34", "<S>x</S>"},
        {"T3", "<TT>x</TT>"},
        {"ToolButton35", "<TT>x</TT>"},
        {"H1", "<A href=\"x\">"},
        {"ToolButton36", "<A href=\"x\">"},
        {"M1", "mailto:x"},
        {"ToolButton37", "mailto:x"},
        {"B3", "<BR>"},
        {"ToolButton38", "<BR>"},
        {"R1", "<HR>"},
        {"ToolButton39", "<HR>"},
        {"H1F1", "<H1>x</H1>"},
        {"H2S1", "<H2>x</H2>"},
        {"H3T1", "<H3>x</H3>"},
        {"H4O1", "<H4>x</H4>"},
        {"H5I1", "<H5>x</H5>"},
        {"H6X1", "<H6>x</H6>"},
        {"P6", "<P>x</P>"},
        {"ToolButton40", "<P>x</P>"},
        {"txtE1", "<PRE>x</PRE>"},
        {"ToolButton41", "<PRE>x</PRE>"},
        {"U2", "<UL>"},
        {"O1", "<OL>"},
        {"L1", "left"},
        {"ToolButton43", "left"},
        {"C1", "<CENTER>x</CENTER>"},
        {"ToolButton44", "<CENTER>x</CENTER>"},
        {"R2", "right"},
        {"ToolButton45", "right"},
    };
    for (const auto& [name, expected] : inserting) {
        SCOPED_TRACE(name);
        m_window->editor()->setText("x");
        m_window->editor()->setSelection(0, 1);
        trigger(name);
        EXPECT_NE(m_window->editor()->text().find(expected), std::string::npos)
            << m_window->editor()->text();
    }
    const std::pair<const char*, const char*> showing[] = {
        {"F2", "TfFont"},    {"ToolButton19", "TfFont"},
        {"N19", "TfNrLink"}, {"ToolButton23", "TfNrLink"},
        {"P7", "TfLink"},    {"ToolButton27", "TfLink"},
        {"I2", "TfImage"},   {"ToolButton28", "TfImage"},
    };
    for (const auto& [name, dialog] : showing) {
        SCOPED_TRACE(name);
        trigger(name);
        auto* shown = m_window->findChild<QWidget*>(QString::fromUtf8(dialog));
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->isVisible());
        shown->hide();
    }
}

// Catches the simple image's button left on, while its menu item is off,
// after a switch of mode or a conversion leaves the document without a name
// (pressed, it wrote the picture's full path into the page), and either of
// the two left off once an open, a save or Save As names the document.
TEST_F(TvantlerTest, SimpleImageFollowsTheDocumentName) {
    const test::TempDir dir;
    const std::string page = dir.file("page.htm");
    test::writeFile(page, "<P>x");
    create();
    const auto openPage = [&] {
        m_scripted->odMain->choose(page);
        trigger("Open2");
    };
    const auto switchAndBack = [&] {
        trigger("korvaneS1");
        trigger("morvixS1");
    };
    struct Step {
        const char* name;
        std::function<void()> run;
        bool named;
    };
    const Step steps[] = {
        {"tag mode at the start", [&] { trigger("morvixS1"); }, false},
        {"a page opened", openPage, true},
        {"to text mode and back", switchAndBack, false},
        {"opened again", openPage, true},
        {"tags stripped, then converted back",
         [&] {
             trigger("htmlkorvaneH1");
             trigger("htmlmorvixH1");
         },
         false},
        {"saved under a new name",
         [&] {
             m_scripted->sdMain->choose(dir.file("saved.html"));
             trigger("Save2");
         },
         true},
        {"saved again", [&] { trigger("Save2"); }, true},
        {"to text mode and back after saving", switchAndBack, false},
        {"saved as",
         [&] {
             m_scripted->sdMain->choose(dir.file("other.html"));
             trigger("SaveAs2");
         },
         true},
    };
    auto* html2 = m_window->findChild<QMenu*>(QStringLiteral("html2T1"));
    ASSERT_NE(html2, nullptr);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.run();
        ASSERT_TRUE(m_window->isTagMode());
        // As the tool bar shows it, and as the menu shows both once it opens.
        EXPECT_EQ(action("ToolButton29")->isEnabled(), step.named);
        emit html2->aboutToShow();
        EXPECT_EQ(action("E1")->isEnabled(), step.named);
        EXPECT_EQ(action("ToolButton29")->isEnabled(), step.named);
    }
    EXPECT_TRUE(errors().empty());
}

// Unsaved text survives a program that is gone: catches text thrown away by
// a switch of mode without being journalled first, a title typed alone left
// out of the journal, a journal left after a normal close, a start that does
// not offer the text of a copy that died (or restores it unmodified, so that
// closing would lose it again), and a window started with a file that never
// offers it.
TEST_F(TvantlerTest, JournalKeepsUnsavedTextForTheNextStart) {
    const std::string folder = m_home.path() + "/journal";
    const auto journals = [&] {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(folder, ec))
            names.push_back(e.path().filename().string());
        return names;
    };
    create();
    m_window->show();
    m_window->editor()->replaceSelection("typed \x93\xfa\x96\x7b");
    trigger("morvixS1");  // throws the text away on purpose
    ASSERT_EQ(journals().size(), 1u);
    const auto kept = Journal::read(folder + "/" + journals()[0]);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->text, "typed \x93\xfa\x96\x7b");
    EXPECT_FALSE(kept->tagMode);

    // Left by a copy that died: a window started with a file offers it and
    // hands it to a copy of its own; an empty one restores it.
    const std::string dead =
        folder + "/" + machineToken() + "-" + std::to_string(test::endedProcessId()) + ".journal";
    std::filesystem::rename(folder + "/" + journals()[0], dead);
    const std::string page = m_home.path() + "/page.htm";
    test::writeFile(page, "<P>mine</P>");
    create();
    m_scripted->messages->answerChoice(0);
    m_window->interpretCommandLine({page});
    EXPECT_EQ(m_window->editor()->text(), "<P>mine</P>");
    EXPECT_EQ(m_shell->startedCopies(),
              (std::vector<std::vector<std::string>>{{kRecoverSwitch, dead}}));
    EXPECT_TRUE(std::filesystem::exists(dead));

    create();
    m_window->interpretCommandLine({kRecoverSwitch, dead});
    EXPECT_TRUE(m_scripted->messages->choiceQuestions().empty());
    EXPECT_EQ(m_window->editor()->text(), "typed \x93\xfa\x96\x7b");
    EXPECT_TRUE(m_window->editor()->modified());
    EXPECT_FALSE(std::filesystem::exists(dead));

    // A normal close leaves no journal behind.
    m_window->show();
    m_scripted->messages->answerSave(SaveAnswer::No);
    EXPECT_TRUE(m_window->close());
    EXPECT_TRUE(journals().empty());

    // The title is text mode's too: typed with the text, it is kept.
    create();
    m_window->show();
    auto* timer = m_window->findChild<QTimer*>(QStringLiteral("JournalTimer"));
    ASSERT_NE(timer, nullptr);
    timer->setInterval(1);
    // The write goes in steps between events and waits for the disk on a
    // thread: the journal is looked at until it says what it should.
    const auto journalHolds = [&](const std::string& text, const std::string& title) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 10'000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            const std::vector<std::string> found = journals();
            const std::optional<JournalEntry> entry =
                found.size() == 1 ? Journal::read(folder + "/" + found[0]) : std::nullopt;
            if (entry && entry->text == text && entry->title == title)
                return true;
        }
        return false;
    };
    m_window->editor()->replaceSelection("body");
    EXPECT_TRUE(journalHolds("body", ""));
    m_window->titleBox()->setText(QStringLiteral("新しい題"));
    EXPECT_TRUE(journalHolds("body", "\x90\x56\x82\xb5\x82\xa2\x91\xe8"));
    m_scripted->messages->answerSave(SaveAnswer::No);
    EXPECT_TRUE(m_window->close());
}

// Catches Exit going through close (which would store the size and ask the
// save question) or not ending the event loop at all.
TEST_F(TvantlerTest, ExitEndsAtOnceWithoutWriting) {
    for (const char* exitItem : {"Exit1", "Exit2"}) {
        SCOPED_TRACE(exitItem);
        create();
        m_window->show();
        if (std::string(exitItem) == "Exit2")
            trigger("morvixS1");
        QTimer::singleShot(0, m_window.get(), [this, exitItem] { trigger(exitItem); });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(5000);
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_TRUE(m_window->isVisible());
        EXPECT_FALSE(std::filesystem::exists(m_home.settingsFile()));
    }
}

// Catches the editor's key handlers not being connected: Enter must carry the
// line's leading blanks over in both modes, and Left at the start and Right
// at the end must not move anything.
TEST_F(TvantlerTest, EditorKeysAreWiredInBothModes) {
    for (const char* mode : {"text", "tag"}) {
        SCOPED_TRACE(mode);
        create();
        m_window->show();
        if (std::string(mode) == "tag")
            trigger("morvixS1");
        RichEdit* edit = m_window->editor();
        edit->setText("  \tabc");
        edit->setSelStart(edit->textLength());
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(edit, &enter);
        EXPECT_EQ(edit->text(), "  \tabc\r\n  \t");
        EXPECT_EQ(edit->selStart(), edit->textLength());

        edit->setSelStart(edit->textLength());
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(edit, &right);
        EXPECT_EQ(edit->selStart(), edit->textLength());
        EXPECT_EQ(edit->selLength(), 0u);
    }
}

}  // namespace
}  // namespace korvane
