// Line breaks as the editor reads them.
#include "base/line_breaks.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane {
namespace {

// Catches a lone CR or LF taken as CR LF by the check that lets the editor
// skip normalising (it would then hold a broken line break), and text that
// is CR LF throughout sent through a needless copy; each row's answer must
// agree with whether normalising changes the text.
TEST(LineBreaks, OnlyCrLfIsRecognised) {
    const char* rows[] = {"",     "plain", "a\r\nb",   "a\r\nb\r\n", "\r\n\r\n",
                          "a\nb", "a\rb",  "a\r\r\nb", "a\r\n\nb",   "a\r",
                          "\n",   "\r",    "\r\n\r",   "\x83\r\n",   "x\n\r"};
    for (const char* row : rows) {
        const std::string text = row;
        EXPECT_EQ(hasOnlyCrLf(text), normalizeLineBreaks(text) == text)
            << testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace korvane
