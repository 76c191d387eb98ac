// The tag scanner and the three highlight passes on the in-memory editor:
// any text and any edits, no fault; with highlighting off nothing stays
// coloured, and an insertion through the tag sequence keeps the text whole.
#include "base/line_breaks.h"
#include "edit/tag_highlighter.h"
#include "fuzz/fuzz_input.h"
#include "tests/support/memory_edit_control.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    fuzz::Input in(data, size);
    test::MemoryEditControl edit;
    TagHighlighter highlighter(edit);
    edit.setChangeHandler([&] { highlighter.reMainChange(); });
    edit.setText(in.piece());
    highlighter.html1Click();
    for (int step = in.byte() % 16; step > 0; --step) {
        const std::size_t length = edit.textLength() + 1;
        const std::size_t a = in.byte() * 256u % length;
        const std::size_t b = in.byte() * 256u % length;
        edit.setSelection(std::min(a, b), std::max(a, b));
        switch (in.byte() % 4) {
            case 0:
                edit.replaceSelection(in.piece());
                break;
            case 1: {
                const std::string text = in.piece();
                const std::size_t before = edit.textLength() - edit.selLength();
                highlighter.insertTagText(text);
                // Every line break goes in as CR LF.
                fuzz::check(edit.textLength() == before + normalizeLineBreaks(text).size());
                break;
            }
            case 2:
                highlighter.html1Click();
                break;
            default:
                highlighter.forceWholeTextPass();
                break;
        }
    }
    highlighter.turnOff();
    fuzz::check(!test::hasColour(edit));
    return 0;
}
