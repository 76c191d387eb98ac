// Whether bytes are well-formed UTF-8, as Unicode lists the sequences: no
// overlong form, no surrogate, nothing past U+10FFFF.
//
// Every file the editor opens is checked whole for this before its encoding
// is settled, so on x86-64 processors with SSSE3 sixteen bytes are checked
// at once (the lookup method of Keiser and Lemire, "Validating UTF-8 In Less
// Than One Instruction Per Byte"); elsewhere a character at a time.
#pragma once

#include <string_view>

namespace korvane {

// `multibyte`: whether any byte beyond ASCII was seen (whatever the answer).
bool isWellFormedUtf8(std::string_view bytes, bool& multibyte);

// The same a character at a time: the answer the fast form gives.
bool isWellFormedUtf8ByCharacter(std::string_view bytes, bool& multibyte);

}  // namespace korvane
