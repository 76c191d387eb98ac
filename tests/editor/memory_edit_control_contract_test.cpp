// The in-memory control that the core tests edit through runs the whole
// EditControl contract, as the Qt editor does.
#include <memory>

#include "tests/support/edit_control_contract.h"
#include "tests/support/memory_edit_control.h"

namespace korvane::test {
namespace {

struct MemoryFactory {
    static std::unique_ptr<EditControl> make() { return std::make_unique<MemoryEditControl>(); }
};

template <const TextCodec& (*Codec)()>
struct MemoryCodecFactory {
    static const TextCodec& codec() { return Codec(); }
    static std::unique_ptr<EditControl> make() {
        auto edit = std::make_unique<MemoryEditControl>();
        edit->setCodec(codec());
        return edit;
    }
};

using MemoryCodecs =
    ::testing::Types<MemoryCodecFactory<shiftJisCodec>, MemoryCodecFactory<utf8Codec>,
                     MemoryCodecFactory<eucJpCodec>>;

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, EditControlContract, MemoryFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, CodecEditControlContract, MemoryCodecs);

}  // namespace korvane::test
