// The page check on any page, named or not, in any of the encodings, linking
// to a page of any bytes: no fault, and every finding in the page, in order,
// with a line and a column.
#include "fuzz/fuzz_input.h"
#include "tags/page_check.h"
#include "tests/support/fake_page_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    fuzz::Input input(data, size);
    static constexpr TextEncoding kEncodings[] = {TextEncoding::ShiftJis, TextEncoding::Utf8,
                                                  TextEncoding::EucJp, TextEncoding::Utf16Le};
    PageCheckInput page;
    page.encoding = kEncodings[input.byte() % 4];
    page.pagePath = input.flag() ? "/site/index.htm" : "";
    page.heldBackground = input.piece();
    const test::FakePageFiles files({{"/site/index.htm", ""},
                                     {"/site/other.htm", input.piece()},
                                     {"/site/img/a.gif", input.piece()},
                                     {"/home/user/b.gif", "GIF89a"}});
    page.text = input.rest();
    const PageCheckResult result = checkPage(page, files);
    fuzz::check(result.complete);
    std::size_t last = 0;
    for (const Finding& finding : result.findings) {
        fuzz::check(finding.offset >= last && finding.offset <= page.text.size());
        fuzz::check(finding.length <= page.text.size() - finding.offset);
        fuzz::check(finding.line >= 1 && finding.column >= 1 && !finding.message.empty());
        last = finding.offset;
    }
    return 0;
}
