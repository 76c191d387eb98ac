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

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, EditControlContract, MemoryFactory);

}  // namespace korvane::test
