// libFuzzer target for the Shift_JIS codec.
//
// Any bytes, decoded and encoded again, must give the same text (the bytes
// themselves change only where a duplicate code comes back in Windows' form),
// with nothing reported as replaced; and the encoders must take any input
// without fault and report replacements in order, inside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/shift_jis.h"

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

void checkReport(const korvane::SjisEncoded& encoded, std::size_t inputSize) {
    std::size_t previous = 0;
    for (std::size_t i = 0; i < encoded.replaced.size(); ++i) {
        const auto& r = encoded.replaced[i];
        check(r.index < inputSize);
        check(i == 0 || r.index > previous);
        check(!r.bytes.empty() && r.bytes.size() <= 2);
        previous = r.index;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::u16string text = korvane::decodeShiftJis(bytes);
    const korvane::SjisEncoded back = korvane::encodeShiftJis(text);
    check(back.replaced.empty());
    check(korvane::decodeShiftJis(back.bytes) == text);

    const std::string utf8 = korvane::decodeShiftJisToUtf8(bytes);
    const korvane::SjisEncoded backFromUtf8 = korvane::encodeShiftJisFromUtf8(utf8);
    check(backFromUtf8.replaced.empty());
    check(backFromUtf8.bytes == back.bytes);

    // The same bytes taken as UTF-8 and as UTF-16 text typed by a user.
    checkReport(korvane::encodeShiftJisFromUtf8(bytes), size);
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    checkReport(korvane::encodeShiftJis(units), units.size());
    return 0;
}
