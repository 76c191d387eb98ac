// The tag text builders on any selection and any dialog fields: no fault,
// and whatever they write keeps the selection.
#include "fuzz/fuzz_input.h"
#include "tags/tag_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    fuzz::Input in(data, size);
    const std::string selection = in.piece();
    const auto keeps = [&](const std::optional<std::string>& text) {
        fuzz::check(!text || text->find(selection) != std::string::npos);
    };
    FontTagFields font{in.flag(), in.piece(), in.flag(), in.piece(), in.flag(), in.number()};
    keeps(fontTagText(selection, font));
    LinkTagFields link{in.piece(), in.piece(), in.flag()};
    keeps(linkTagText(selection, link));
    keeps(anchorTagText(selection, in.piece(), static_cast<LinkEnd>(in.byte() % 3 - 1)));
    ImageTagFields image{in.piece(), in.piece(), in.piece(),
                         in.piece(), in.piece(), static_cast<ImagePosition>(in.byte() % 6)};
    (void)imageTagText(selection, image);
    (void)listText(selection, in.flag() ? "UL" : "OL");
    (void)simpleImageText(selection, in.piece());
    return 0;
}
