// The four mode switches on the in-memory editor, without a main window.
#include "app/mode_switches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text_pieces.h"
#include "tests/support/fake_mode_window.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/recording_progress.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"

namespace korvane {
namespace {

struct Switches : test::WindowParts {
    Switches() {
        settings.kvnName = "TextFont";
        settings.mvxName = "TagFont";
    }
    bool coloured() const { return test::hasColour(edit); }
};

// Text to page and back: catches the title box or the tab width not used,
// the wrong mode's font, tags left uncoloured (or coloured when the default
// is off), and colours or the page's title lost on the way back.
TEST(ModeSwitches, ConvertingSwitchesCarryTheDocumentAcross) {
    for (const bool byDefault : {true, false}) {
        SCOPED_TRACE(byDefault);
        Switches s;
        s.highlighter.setHighlightByDefault(byDefault);
        s.window.title = "T";
        s.edit.setText("a\tb");
        s.modes.htmlmorvixH1Click();
        EXPECT_TRUE(s.window.tag);
        EXPECT_NE(s.edit.text().find("<TITLE>T</TITLE>"), std::string::npos);
        EXPECT_NE(s.edit.text().find("a\x81\x40\x81\x40"
                                     "b"),
                  std::string::npos);
        EXPECT_EQ(s.window.steps,
                  (std::vector<std::string>{"font TagFont", "tag layout", "caption"}));
        EXPECT_EQ(s.highlighter.TagsHighlighted(), byDefault);
        EXPECT_EQ(s.coloured(), byDefault);

        s.window.steps.clear();
        s.modes.htmlkorvaneH1Click();
        EXPECT_FALSE(s.window.tag);
        EXPECT_EQ(s.edit.text(),
                  "a\x81\x40\x81\x40"
                  "b");
        EXPECT_EQ(s.window.title, "T");
        EXPECT_FALSE(s.highlighter.TagsHighlighted());
        EXPECT_FALSE(s.coloured());
        EXPECT_EQ(s.window.steps, (std::vector<std::string>{"freeze", "font TextFont", "thaw",
                                                            "text layout", "caption"}));
    }
}

// The plain switches start an empty document in the other mode: catches
// text or a file name carried over, and highlighting left on in text mode.
TEST(ModeSwitches, PlainSwitchesStartEmpty) {
    Switches s;
    s.edit.setText("keep?");
    s.modes.morvixS1Click();
    EXPECT_TRUE(s.window.tag);
    EXPECT_EQ(s.edit.text(), "");
    EXPECT_TRUE(s.highlighter.TagsHighlighted());
    EXPECT_TRUE(s.documents.isUntitled());
    s.edit.setText("<B>x</B>");
    s.modes.korvaneS1Click();
    EXPECT_FALSE(s.window.tag);
    EXPECT_EQ(s.edit.text(), "");
    EXPECT_FALSE(s.highlighter.TagsHighlighted());
}

// A conversion of a big document shows one progress that runs once through
// the conversion and the load of its result: catches a conversion that
// reports nothing (the window unpainted for a second or more at 200 MB) and
// a display that starts over for the load.
TEST(ModeSwitches, BigConversionsShowOneProgressToTheEnd) {
    Switches s;
    test::RecordingProgressDisplay progress;
    s.modes.setProgressDisplay(&progress);
    std::string text;
    while (text.size() < (std::size_t{3} << 20))
        text += "a line of text with <markup> & \"quotes\"\t\x82\xa0\r\n";
    s.edit.setText(text);
    const auto check = [&progress] {
        ASSERT_EQ(progress.works.size(), 1u);
        EXPECT_EQ(progress.works[0].caption, kConvertingCaption);
        double last = 0;
        bool converting = false;
        for (const auto& [done, total] : progress.works[0].reports) {
            const double part = static_cast<double>(done) / static_cast<double>(total);
            EXPECT_GE(part, last);
            converting = converting || (part > 0 && part < kConversionShare);
            last = part;
        }
        EXPECT_TRUE(converting);
        EXPECT_DOUBLE_EQ(last, 1.0);
        progress.works.clear();
    };
    s.modes.htmlmorvixH1Click();
    {
        SCOPED_TRACE("to a page");
        check();
    }
    s.modes.htmlkorvaneH1Click();
    {
        SCOPED_TRACE("back to text");
        check();
    }
}

}  // namespace
}  // namespace korvane
