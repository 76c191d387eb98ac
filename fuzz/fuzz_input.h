// Cuts a fuzzer's input into the pieces a target needs: a few numbers and
// strings, then the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace korvane::fuzz {

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t byte() {
        if (m_rest.empty())
            return 0;
        const auto b = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return b;
    }
    std::int32_t number() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | byte();
        return static_cast<std::int32_t>(v);
    }
    bool flag() { return (byte() & 1) != 0; }
    // A string of up to 255 bytes; its length comes first.
    std::string piece() {
        const std::size_t n = std::min<std::size_t>(byte(), m_rest.size());
        std::string s(m_rest.substr(0, n));
        m_rest.remove_prefix(n);
        return s;
    }
    std::string_view rest() const { return m_rest; }

  private:
    std::string_view m_rest;
};

// A broken promise of the code under test: the fuzzer reports it as a crash.
inline void check(bool ok) {
    if (!ok)
        std::abort();
}

}  // namespace korvane::fuzz
