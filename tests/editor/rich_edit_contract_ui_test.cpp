// The Qt editor runs the whole EditControl contract.
#include <memory>

#include "editor/rich_edit.h"
#include "tests/support/edit_control_contract.h"

namespace korvane::test {
namespace {

struct RichEditFactory {
    static std::unique_ptr<EditControl> make() {
        auto edit = std::make_unique<RichEdit>();
        edit->resize(1200, 400);  // wide enough that no test line wraps
        edit->show();
        return edit;
    }
};

// Every line of a text set or loaded held as the lines of a large text
// are: several to a paragraph, and (loaded) without bytes of its own where
// the codec writes them so.
struct GroupedRichEditFactory {
    static std::unique_ptr<EditControl> make() {
        auto edit = std::make_unique<RichEdit>();
        edit->setGroupLinesFrom(0);
        edit->setLeanLinesFrom(0);
        edit->resize(1200, 400);
        edit->show();
        return edit;
    }
};

template <const TextCodec& (*Codec)(), typename Editor = RichEditFactory>
struct RichEditCodecFactory {
    static const TextCodec& codec() { return Codec(); }
    static std::unique_ptr<EditControl> make() {
        std::unique_ptr<EditControl> edit = Editor::make();
        edit->setCodec(codec());
        return edit;
    }
};

using RichEditCodecs =
    ::testing::Types<RichEditCodecFactory<shiftJisCodec>, RichEditCodecFactory<utf8Codec>,
                     RichEditCodecFactory<eucJpCodec>,
                     RichEditCodecFactory<shiftJisCodec, GroupedRichEditFactory>,
                     RichEditCodecFactory<utf8Codec, GroupedRichEditFactory>,
                     RichEditCodecFactory<eucJpCodec, GroupedRichEditFactory>>;

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(RichEdit, EditControlContract, RichEditFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(GroupedRichEdit, EditControlContract, GroupedRichEditFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(RichEdit, CodecEditControlContract, RichEditCodecs);

}  // namespace korvane::test
