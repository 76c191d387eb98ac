// Guessing and converting files that are not Shift_JIS: any bytes, no fault;
// what a conversion writes is Shift_JIS that decodes without a broken byte.
#include "base/shift_jis.h"
#include "fuzz/fuzz_input.h"
#include "platform/encodings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TextEncoding guessed = guessEncoding(bytes);
    for (const TextEncoding from : {guessed, TextEncoding::Utf8, TextEncoding::Utf16Le,
                                    TextEncoding::Utf16Be, TextEncoding::EucJp}) {
        const ConvertedText converted = convertToShiftJis(bytes, from);
        if (!converted.ok || from == TextEncoding::ShiftJis)
            continue;
        for (const char16_t c : decodeShiftJis(converted.bytes))
            fuzz::check(!isInvalidByteStandIn(c));
    }
    return 0;
}
