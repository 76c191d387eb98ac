// ToHtml with any text, title and page settings (tab widths out of range
// included): no fault, nothing of the body lost, and a whole page.
#include "convert/page_settings.h"
#include "convert/to_html.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    fuzz::Input in(data, size);
    PageSettings page;
    page.ColorCheck = in.number();
    page.setColors(in.number(), in.number(), in.number(), in.number(), in.number());
    page.DetailOn = in.flag();
    page.Author = in.piece();
    page.Description = in.piece();
    page.Keywords = in.piece();
    page.HeadText = in.piece();
    page.BackPictureOn = in.flag();
    page.BackPicture = in.piece();
    const int tab = in.byte() % 6 - 1;  // out of range too
    const std::string title = in.piece();
    const std::string body(in.rest());
    const std::string html = ToHtml(body, title, page, tab);
    fuzz::check(html.size() >= body.size());
    fuzz::check(html.ends_with("</HTML>"));
    return 0;
}
