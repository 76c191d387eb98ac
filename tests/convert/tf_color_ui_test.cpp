// The page colour dialog over a settings store on a temporary file and a
// scripted colour dialog: its controls, the preview, OK, Cancel and the
// keep-colour option.
#include "convert/tf_color.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <filesystem>
#include <string>

#include "app/settings_store.h"
#include "platform/system_colors.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

class TfColorTest : public ::testing::Test {
  protected:
    TfColorTest()
        : m_store(m_dir.file("krv13.ini")), m_dialog(m_store.page(), *m_scripted.pageColor, [this] {
              return m_store.storeColors();
          }) {
        m_store.load();
        m_store.setMessages(m_scripted.messages);
    }

    QCheckBox* box(const char* name) { return child<QCheckBox>(m_dialog, name); }
    QPushButton* button(const char* name) { return child<QPushButton>(m_dialog, name); }
    QLabel* label(const char* name) { return child<QLabel>(m_dialog, name); }
    QColor textColor(const char* name) {
        return label(name)->palette().color(QPalette::WindowText);
    }
    QColor fill() {
        return child<QFrame>(m_dialog, "sBackColor")->palette().color(QPalette::Window);
    }
    std::string ini() const {
        return std::filesystem::exists(m_store.path()) ? test::readFile(m_store.path()) : "";
    }

    test::TempDir m_dir;
    test::ScriptedDialogs m_scripted;
    SettingsStore m_store;
    TfColor m_dialog;
};

// Catches a row missing, misnamed or captioned differently, or the dialog
// shown modal.
TEST_F(TfColorTest, Controls) {
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("色指定"));
    EXPECT_FALSE(m_dialog.isModal());
    const struct {
        const char* check;
        const char* button;
        const char* caption;
    } rows[] = {{"cbFont", "bFontColor", "文字色(&F)"},
                {"cbLink", "bLinkColor", "未読リンク(&L)"},
                {"cbVLink", "bVlinkColor", "既読リンク(&V)"},
                {"cbAlink", "bAlinkColor", "選択リンク(&A)"},
                {"cbBack", "bBackColor", "背景色(&B)"}};
    for (const auto& row : rows) {
        EXPECT_EQ(box(row.check)->text(), QString()) << row.check;
        EXPECT_EQ(button(row.button)->text(), QString::fromUtf8(row.caption));
    }
    EXPECT_EQ(label("lFontColor")->text(), QStringLiteral("文字色"));
    EXPECT_EQ(label("lAlinkColor")->text(), QStringLiteral("選択リンク"));
    EXPECT_EQ(button("bOK")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(button("bOK")->isDefault());
    EXPECT_EQ(button("bCancel")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
}

// Catches the show handler not following ColorCheck (a button enabled for
// a colour that is off, a label shown) or a preview not in the page's
// colours.
TEST_F(TfColorTest, ShowLoadsChecksAndPreviewFromThePage) {
    m_store.page().ColorCheck = kCheckLink | kCheckBack;
    m_store.page().setColors(0x00FFFF, 0x000080, 0x008000, 0x800080, 0xFF0000);
    m_dialog.showModeless();
    EXPECT_FALSE(box("cbFont")->isChecked());
    EXPECT_FALSE(button("bFontColor")->isEnabled());
    EXPECT_FALSE(label("lFontColor")->isVisibleTo(&m_dialog));
    EXPECT_TRUE(box("cbLink")->isChecked());
    EXPECT_TRUE(button("bLinkColor")->isEnabled());
    EXPECT_TRUE(label("lLinkColor")->isVisibleTo(&m_dialog));
    EXPECT_TRUE(button("bBackColor")->isEnabled());
    EXPECT_EQ(fill(), qColorOf(0x00FFFF));
    EXPECT_EQ(textColor("lLinkColor"), qColorOf(0x008000));
    EXPECT_EQ(textColor("lFontColor"), qColorOf(0x000080));
    m_dialog.hide();
}

// Catches a colour button that changes the page before OK, a preview that
// does not repaint, or a cancelled colour dialog that changes the colour.
TEST_F(TfColorTest, ColourButtonsChangeOnlyTheWorkingColours) {
    m_store.page().ColorCheck = kCheckFont | kCheckBack;
    m_dialog.showModeless();
    m_scripted.pageColor->choose(0x0000FF);
    button("bFontColor")->click();
    EXPECT_EQ(m_scripted.pageColor->shown().back(), 0x000000);  // opened on the working colour
    EXPECT_EQ(textColor("lFontColor"), qColorOf(0x0000FF));
    m_scripted.pageColor->choose(0x00FF00);
    button("bBackColor")->click();
    EXPECT_EQ(fill(), qColorOf(0x00FF00));
    m_scripted.pageColor->cancel();
    button("bBackColor")->click();
    EXPECT_EQ(m_dialog.workColor(TfColor::BackRow), 0x00FF00);
    EXPECT_EQ(m_store.page().FontColor, 0x000000);
    m_dialog.hide();
}

// Catches the command reloading an open dialog (the colours being chosen
// would be lost) instead of only bringing it to the front.
TEST_F(TfColorTest, ShowingAnOpenDialogKeepsItsWorkingValues) {
    m_store.page().ColorCheck = kCheckFont;
    m_dialog.showModeless();
    m_scripted.pageColor->choose(0x0000FF);
    button("bFontColor")->click();
    box("cbLink")->click();
    m_dialog.showModeless();
    EXPECT_EQ(m_dialog.workColor(TfColor::FontRow), 0x0000FF);
    EXPECT_TRUE(box("cbLink")->isChecked());
    m_dialog.hide();
}

// Catches a cancel that keeps the changed colour or check box for the next
// showing, or one that stores anything.
TEST_F(TfColorTest, CancelLeavesEverything) {
    m_store.page().ColorCheck = kCheckFont;
    m_dialog.showModeless();
    m_scripted.pageColor->choose(0x0000FF);
    button("bFontColor")->click();
    box("cbLink")->click();
    button("bCancel")->click();
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_store.page().FontColor, 0x000000);
    EXPECT_EQ(m_store.page().ColorCheck, kCheckFont);
    EXPECT_EQ(ini(), "");
    m_dialog.showModeless();
    EXPECT_EQ(m_dialog.workColor(TfColor::FontRow), 0x000000);
    EXPECT_FALSE(box("cbLink")->isChecked());
    m_dialog.hide();
}

// Catches an unchecked colour whose value is dropped or reset (only its bit
// may go), text forms not recomputed for colours that are off, or the keys
// written in another order.
TEST_F(TfColorTest, UncheckingAColourKeepsItsValue) {
    m_store.page().ColorCheck = kCheckFont | kCheckLink;
    m_dialog.showModeless();
    m_scripted.pageColor->choose(0x0000FF);
    button("bLinkColor")->click();
    box("cbLink")->click();  // off again: the new colour stays
    EXPECT_FALSE(button("bLinkColor")->isEnabled());
    EXPECT_FALSE(label("lLinkColor")->isVisibleTo(&m_dialog));
    button("bOK")->click();
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_store.page().ColorCheck, kCheckFont);
    EXPECT_EQ(m_store.page().LinkColor, 0x0000FF);
    EXPECT_EQ(m_store.page().LinkColorHtml, "#FF0000");
    EXPECT_EQ(ini(),
              "[Color]\r\nCheck=1\r\nBack=16777215\r\nFont=0\r\nLink=255\r\nVlink=8388736\r\n"
              "Alink=16711680\r\n");
}

// Catches the keep-colour option ignored: with it off OK changes the run's
// colours only and leaves the settings file alone.
TEST_F(TfColorTest, KeepColourOffChangesTheRunOnly) {
    Options options = m_store.values().options;
    options.keepColor = false;
    ASSERT_TRUE(m_store.storeOptions(options));
    const std::string before = ini();
    m_dialog.showModeless();
    box("cbBack")->click();
    m_scripted.pageColor->choose(0x00FFFF);
    button("bBackColor")->click();
    button("bOK")->click();
    EXPECT_EQ(m_store.page().BackColor, 0x00FFFF);
    EXPECT_EQ(m_store.page().BackColorHtml, "#FFFF00");
    EXPECT_EQ(m_store.page().ColorCheck, kCheckBack);
    EXPECT_EQ(ini(), before);
}

// Catches a failed write that hides the dialog (the choice would be lost
// from view) or is not reported.
TEST_F(TfColorTest, FailedWriteIsReportedAndTheDialogStays) {
    std::filesystem::create_directory(m_store.path());  // no write succeeds, not even root's
    m_dialog.showModeless();
    box("cbFont")->click();
    button("bOK")->click();
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(m_scripted.messages->errors().size(), 1u);
    EXPECT_EQ(m_store.page().ColorCheck, kCheckFont);
    m_dialog.hide();
}

// Catches access keys that do not reach their colour buttons.
TEST_F(TfColorTest, AccessKeysRunTheColourButtons) {
    m_store.page().ColorCheck = kCheckFont | kCheckVlink;
    test::showActive(m_dialog);
    m_scripted.pageColor->choose(0x123456);
    test::pressKey(Qt::Key_V, Qt::AltModifier);
    test::waitForAnimatedClick();
    EXPECT_EQ(m_dialog.workColor(TfColor::VlinkRow), 0x123456);
    m_dialog.hide();
}

}  // namespace
}  // namespace korvane
