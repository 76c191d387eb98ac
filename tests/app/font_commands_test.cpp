// The editor font commands over the in-memory editor, scripted font dialog
// and a settings store on a temporary file.
#include "app/font_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

const std::string kMsGothic932 = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

class FontCommandsTest : public ::testing::Test {
  protected:
    FontCommandsTest()
        : m_store(m_dir.file("krv13.ini")),
          m_highlighter(m_edit),
          m_set(m_scripted.release()),
          m_commands(m_store, m_highlighter, m_set,
                     FontCommands::Editor{[this] { return m_shown; },
                                          [this](const EditorFont& font) {
                                              m_applied.push_back(font);
                                              // Colours are all there is to see
                                              // when the font goes on.
                                              m_coloursAtApply = m_edit.colorAt(0);
                                          }}) {
        m_store.load();
        m_store.setMessages(m_scripted.messages);
    }

    std::string ini() const {
        return std::filesystem::exists(m_store.path()) ? test::readFile(m_store.path()) : "";
    }

    test::TempDir m_dir;
    SettingsStore m_store;
    test::MemoryEditControl m_edit;
    TagHighlighter m_highlighter;
    test::ScriptedDialogs m_scripted;
    CommonDialogs m_set;
    FontChoice m_shown{"DejaVu Sans Mono", 10};
    std::vector<EditorFont> m_applied;
    CharColor m_coloursAtApply;
    FontCommands m_commands;
};

// Catches the dialog opening on the stored name instead of the font shown,
// the font not applied at once, the keys of the other mode written, or the
// name stored as UTF-8.
TEST_F(FontCommandsTest, EachModeWritesItsOwnKeys) {
    struct Row {
        const char* command;
        const char* file;
    };
    const Row rows[] = {
        {"Font1Click", "[Font]\r\nkvnName=%s\r\nkvnSize=12\r\n"},
        {"Font2Click", "[Font]\r\nmvxName=%s\r\nmvxSize=12\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        std::filesystem::remove(m_store.path());
        m_applied.clear();
        m_scripted.FontDialog1->choose({"ＭＳ ゴシック", 12});
        CommandTable table;
        m_commands.registerCommands(table);
        ASSERT_TRUE(table.run(row.command));
        EXPECT_EQ(m_scripted.FontDialog1->shown().back(), m_shown);
        EXPECT_EQ(m_applied, (std::vector<EditorFont>{{kMsGothic932, 12}}));
        std::string expected = row.file;
        expected.replace(expected.find("%s"), 2, kMsGothic932);
        EXPECT_EQ(ini(), expected);
    }
    EXPECT_EQ(m_store.values().kvnName, kMsGothic932);
    EXPECT_EQ(m_store.values().mvxSize, 12);
}

// Catches a cancelled dialog that still applies or stores a font.
TEST_F(FontCommandsTest, CancelChangesNothing) {
    m_scripted.FontDialog1->cancel();
    m_commands.Font1Click();
    m_scripted.FontDialog1->cancel();
    m_commands.Font2Click();
    EXPECT_TRUE(m_applied.empty());
    EXPECT_EQ(ini(), "");
    EXPECT_EQ(m_store.values().kvnName, "FixedSys");
}

// Catches the font change in tag mode losing the tag colours or the
// selection, or applying the font while the old colours are still on.
TEST_F(FontCommandsTest, TagModeFontKeepsColoursAndSelection) {
    m_edit.setText("<P>abc</P>");
    m_highlighter.html1Click();
    m_edit.setSelection(4, 6);
    m_scripted.FontDialog1->choose({"Noto Sans Mono CJK JP", 11});
    m_commands.Font2Click();
    EXPECT_TRUE(m_highlighter.TagsHighlighted());
    EXPECT_EQ(m_coloursAtApply, CharColor::autoColor());
    EXPECT_EQ(m_edit.colorAt(0), CharColor::of(m_highlighter.HighlightColor()));
    EXPECT_EQ(m_edit.colorAt(8), CharColor::of(m_highlighter.HighlightColor()));
    EXPECT_EQ(m_edit.colorAt(4), CharColor::autoColor());
    EXPECT_EQ(m_edit.selStart(), 4u);
    EXPECT_EQ(m_edit.selLength(), 2u);
}

// Catches a font change without highlighting that turns the highlighting on.
TEST_F(FontCommandsTest, TagModeFontWithoutHighlightingLeavesItOff) {
    m_edit.setText("<P>abc</P>");
    m_scripted.FontDialog1->choose({"Noto Sans Mono CJK JP", 11});
    m_commands.Font2Click();
    EXPECT_FALSE(m_highlighter.TagsHighlighted());
    EXPECT_EQ(m_edit.colorAt(0), CharColor::autoColor());
    EXPECT_EQ(m_applied.size(), 1u);
}

// Catches a font name Shift_JIS cannot hold stored mangled (the next start
// would look for another font), and a failed write that takes the font back.
TEST_F(FontCommandsTest, UnstorableNamesAreRefusedAndFailedWritesKeepTheFont) {
    m_scripted.FontDialog1->choose({"\xEB\x82\x98\xEB\x88\x94 Gothic", 10});  // Hangul
    m_commands.Font1Click();
    EXPECT_TRUE(m_applied.empty());
    EXPECT_EQ(m_scripted.messages->errors(),
              std::vector<std::string>{unwritableFontText("\xEB\x82\x98\xEB\x88\x94 Gothic")});

    std::filesystem::create_directory(m_store.path());  // no write succeeds, not even root's
    m_scripted.FontDialog1->choose({"Noto Sans Mono", 13});
    m_commands.Font1Click();
    EXPECT_EQ(m_applied, (std::vector<EditorFont>{{"Noto Sans Mono", 13}}));
    EXPECT_EQ(m_store.values().kvnSize, 13);
    EXPECT_EQ(m_scripted.messages->errors().size(), 2u);
}

}  // namespace
}  // namespace korvane
