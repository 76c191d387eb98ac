// Text for tests of wrapped lines.
#pragma once

#include <cstddef>
#include <string>

namespace korvane::test {

// `length` bytes of "word word ...": a line that wraps at word boundaries
// in any editor narrower than it.
inline std::string words(std::size_t length) {
    std::string text;
    while (text.size() < length)
        text += "word ";
    text.resize(length);
    return text;
}

}  // namespace korvane::test
