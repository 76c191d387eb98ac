// The options dialog over a settings store on a temporary file, the
// highlighter on the in-memory editor and a scripted colour dialog.
#include "app/tf_option.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <string>

#include "tags/radio_group.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

class TfOptionTest : public ::testing::Test {
  protected:
    TfOptionTest()
        : m_store(m_dir.file("krv13.ini")),
          m_highlighter(m_edit),
          m_dialog(m_store, m_highlighter, *m_scripted.highlightColor) {
        m_store.load();
        m_store.setMessages(m_scripted.messages);
        // As the window does: the highlighter follows the stored options.
        m_store.onChange([this](SettingsStore::Change change, const StartupSettings& values) {
            if (change == SettingsStore::Change::Options)
                m_highlighter.setHighlightColor(values.options.tColor);
        });
    }

    QCheckBox* box(const char* name) { return child<QCheckBox>(m_dialog, name); }
    RadioGroup* group(const char* name) { return child<RadioGroup>(m_dialog, name); }
    QComboBox* tab() { return child<QComboBox>(m_dialog, "cbTab"); }
    void press(const char* name) { child<QPushButton>(m_dialog, name)->click(); }
    std::string ini() const {
        return std::filesystem::exists(m_store.path()) ? test::readFile(m_store.path()) : "";
    }

    test::TempDir m_dir;
    test::ScriptedDialogs m_scripted;
    SettingsStore m_store;
    test::MemoryEditControl m_edit;
    TagHighlighter m_highlighter;
    TfOption m_dialog;
};

// Catches a control missing, misnamed or captioned differently (the
// half-width katakana, the access keys, "ＨＥＡＤ(&H))" as it stands).
TEST_F(TfOptionTest, Controls) {
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("オプション"));
    EXPECT_EQ(m_dialog.objectName(), QStringLiteral("fOption"));
    EXPECT_FALSE(m_dialog.isModal());
    EXPECT_EQ(child<QGroupBox>(m_dialog, "GroupBox1")->title(), QStringLiteral("korvane"));
    EXPECT_EQ(child<QGroupBox>(m_dialog, "GroupBox2")->title(), QStringLiteral("morvix"));
    EXPECT_EQ(group("rgkvnHtml")->title(), QStringLiteral("HTMLﾌｧｲﾙを開いた際(&M)"));
    ASSERT_EQ(group("rgkvnHtml")->count(), 3);
    EXPECT_EQ(group("rgkvnHtml")->item(0)->text(), QStringLiteral("korvaneでそのまま開く"));
    EXPECT_EQ(group("rgkvnHtml")->item(1)->text(), QStringLiteral("morvixに切り替えて開く"));
    EXPECT_EQ(group("rgkvnHtml")->item(2)->text(), QStringLiteral("korvaneでﾀｸﾞ抜きして開く"));
    EXPECT_EQ(group("rgmvxHtml")->title(), QStringLiteral("ﾃｷｽﾄﾌｧｲﾙを開いた際(&X)"));
    ASSERT_EQ(group("rgmvxHtml")->count(), 2);
    EXPECT_EQ(group("rgmvxHtml")->item(0)->text(), QStringLiteral("korvaneに切り替えて開く"));
    EXPECT_EQ(group("rgmvxHtml")->item(1)->text(), QStringLiteral("morvixでﾀｸﾞ打ちして開く"));
    const std::pair<const char*, const char*> boxes[] = {
        {"cbDetail", "詳細設定の値を保持する(&D)"}, {"cbAuthor", "制作者名(&A)"},
        {"cbDescription", "内容の説明(&E)"},        {"cbHead", "ＨＥＡＤ(&H))"},
        {"cbKeywords", "キーワード(&K)"},           {"cbColor", "色指定の値を保持する(&C)"},
        {"cbHilight", "ﾃﾞﾌｫﾙﾄでﾀｸﾞをﾊｲﾗｲﾄ表示(&I)"}};
    for (const auto& [name, caption] : boxes)
        EXPECT_EQ(box(name)->text(), QString::fromUtf8(caption)) << name;
    QLabel* label1 = child<QLabel>(m_dialog, "Label1");
    EXPECT_EQ(label1->text(), QStringLiteral("HTML変換の際、タブを全角空白何文字に変換するか(&T)"));
    EXPECT_EQ(label1->buddy(), tab());
    ASSERT_EQ(tab()->count(), 4);
    EXPECT_EQ(tab()->itemText(3), QStringLiteral("8"));
    EXPECT_FALSE(tab()->isEditable());
    EXPECT_EQ(child<QLabel>(m_dialog, "Label2")->text(), QStringLiteral("ﾊｲﾗｲﾄ色"));
    EXPECT_NE(child<QFrame>(m_dialog, "Shape1"), nullptr);
    EXPECT_EQ(child<QPushButton>(m_dialog, "bHilight")->text(), QStringLiteral("設定(&L)"));
    EXPECT_EQ(child<QPushButton>(m_dialog, "bOK")->text(), QStringLiteral("ＯＫ"));
    EXPECT_TRUE(child<QPushButton>(m_dialog, "bOK")->isDefault());
    EXPECT_EQ(child<QPushButton>(m_dialog, "bCancel")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
}

// Catches a showing that keeps the last controls instead of the run's
// options, or sub-options and the colour button enabled against their
// switches.
TEST_F(TfOptionTest, ShowLoadsTheRunsOptions) {
    Options o;
    o.kvnHtml = 2;
    o.mvxHtml = 0;
    o.tab = 3;
    o.keepDetail = false;
    o.keepKeywords = true;
    o.hilight = false;
    o.tColor = 0x0000FF;
    ASSERT_TRUE(m_store.storeOptions(o));
    m_dialog.showModeless();
    EXPECT_EQ(group("rgkvnHtml")->itemIndex(), 2);
    EXPECT_EQ(group("rgmvxHtml")->itemIndex(), 0);
    EXPECT_EQ(tab()->currentText(), QStringLiteral("8"));
    EXPECT_FALSE(box("cbDetail")->isChecked());
    EXPECT_TRUE(box("cbKeywords")->isChecked());
    for (const char* name : {"cbAuthor", "cbHead", "cbDescription", "cbKeywords"})
        EXPECT_FALSE(box(name)->isEnabled()) << name;
    EXPECT_FALSE(child<QPushButton>(m_dialog, "bHilight")->isEnabled());
    EXPECT_EQ(m_dialog.shapeColor(), 0x0000FF);
    m_dialog.hide();
}

// Catches OK writing fewer than the eleven keys and the new pages'
// encoding after them, in another order, or "8" stored as the width 8
// instead of its index 3; and sub-options stored differently while
// disabled.
TEST_F(TfOptionTest, OkRewritesAllItsKeysInOrder) {
    m_dialog.showModeless();
    press("bOK");
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(ini(),
              "[Option]\r\nkvnHtml=0\r\nmvxHtml=1\r\nTab=1\r\nDetail=1\r\nAuthor=1\r\n"
              "Keywords=0\r\nDescription=0\r\nHead=1\r\nColor=1\r\nHilight=1\r\n"
              "TColor=16711680\r\nNewPageEncoding=0\r\n");

    m_dialog.showModeless();
    group("rgkvnHtml")->setItemIndex(1);
    group("rgmvxHtml")->setItemIndex(0);
    tab()->setCurrentIndex(tab()->findText(QStringLiteral("8")));
    box("cbKeywords")->click();
    box("cbDetail")->click();  // the sub-options go grey but keep their ticks
    EXPECT_FALSE(box("cbKeywords")->isEnabled());
    box("cbColor")->click();
    box("cbHilight")->click();
    auto* encoding = m_dialog.findChild<QComboBox*>(QStringLiteral("cbNewEncoding"));
    ASSERT_NE(encoding, nullptr);
    encoding->setCurrentIndex(encoding->findText(QStringLiteral("UTF-8")));
    press("bOK");
    EXPECT_EQ(ini(),
              "[Option]\r\nkvnHtml=1\r\nmvxHtml=0\r\nTab=3\r\nDetail=0\r\nAuthor=1\r\n"
              "Keywords=1\r\nDescription=0\r\nHead=1\r\nColor=0\r\nHilight=0\r\n"
              "TColor=16711680\r\nNewPageEncoding=1\r\n");
    EXPECT_EQ(newPageEncodingOf(m_store.values().options), TextEncoding::Utf8);
    EXPECT_EQ(m_store.values().options.tab, 3);
    EXPECT_FALSE(m_store.values().options.keepDetail);
}

// Catches a stored opening rule outside the items (a hand-edited file)
// coming back from OK as -1, which no opening rule knows.
TEST_F(TfOptionTest, OutOfRangeOpeningRuleIsKeptAsItWas) {
    Options o;
    o.kvnHtml = 7;
    ASSERT_TRUE(m_store.storeOptions(o));
    m_dialog.showModeless();
    EXPECT_EQ(group("rgkvnHtml")->itemIndex(), -1);
    press("bOK");
    EXPECT_EQ(m_store.values().options.kvnHtml, 7);
    EXPECT_NE(ini().find("kvnHtml=7\r\n"), std::string::npos);
}

// Catches a cancelled dialog that keeps its new highlight colour (for the
// run or the next showing) or stores anything.
TEST_F(TfOptionTest, CancelLeavesEverything) {
    m_dialog.showModeless();
    m_scripted.highlightColor->choose(0x00FF00);
    press("bHilight");
    EXPECT_EQ(m_scripted.highlightColor->shown().back(), 0xFF0000);
    EXPECT_EQ(m_dialog.shapeColor(), 0x00FF00);
    box("cbColor")->click();
    press("bCancel");
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_highlighter.HighlightColor(), 0xFF0000);
    EXPECT_EQ(ini(), "");
    m_dialog.showModeless();
    EXPECT_EQ(m_dialog.shapeColor(), 0xFF0000);
    EXPECT_TRUE(box("cbColor")->isChecked());
    m_dialog.hide();
}

// Catches a new highlight colour that waits for the next pass while tags
// are coloured, or one that colours tags while highlighting is off.
TEST_F(TfOptionTest, NewHighlightColourRecoloursAtOnce) {
    for (const bool highlighted : {true, false}) {
        SCOPED_TRACE(highlighted ? "highlighted" : "not highlighted");
        m_highlighter.setHighlightColor(0xFF0000);
        m_edit.setText("<P>abc</P>");
        m_highlighter.clearTagsHighlighted();
        if (highlighted)
            m_highlighter.html1Click();
        m_edit.setModified(false);
        m_dialog.showModeless();
        m_scripted.highlightColor->choose(0x00FF00);
        press("bHilight");
        press("bOK");
        EXPECT_EQ(m_highlighter.HighlightColor(), 0x00FF00);
        EXPECT_EQ(m_highlighter.TagsHighlighted(), highlighted);
        EXPECT_EQ(m_edit.colorAt(1),
                  highlighted ? CharColor::of(0x00FF00) : CharColor::autoColor());
        EXPECT_EQ(m_edit.colorAt(4), CharColor::autoColor());
        EXPECT_FALSE(m_edit.modified());
        EXPECT_NE(ini().find("TColor=65280\r\n"), std::string::npos);
    }
}

// Catches a failed write that hides the dialog or takes the new values
// back; the keys after the failing one are not written.
TEST_F(TfOptionTest, FailedWriteKeepsTheDialogOpen) {
    std::filesystem::create_directory(m_store.path());  // no write succeeds, not even root's
    m_dialog.showModeless();
    tab()->setCurrentIndex(0);
    press("bOK");
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(m_scripted.messages->errors().size(), 1u);
    EXPECT_EQ(m_store.values().options.tab, 0);
    m_dialog.hide();
}

// Catches access keys that do not reach their controls.
TEST_F(TfOptionTest, AccessKeys) {
    test::showActive(m_dialog);
    test::pressKey(Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), tab());
    test::pressKey(Qt::Key_C, Qt::AltModifier);
    test::waitForAnimatedClick();
    EXPECT_FALSE(box("cbColor")->isChecked());
    test::pressKey(Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), group("rgmvxHtml")->item(1));
    m_dialog.hide();
}

}  // namespace
}  // namespace korvane
