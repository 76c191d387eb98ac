// Generated documents for the benchmarks.
#pragma once

#include <cstddef>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/shift_jis.h"

namespace korvane::bench {

// `prefix`, then pieces drawn at random by weight (with a fixed seed, so
// every run measures the same bytes) until the text is at least `size` long.
inline std::string weightedText(std::size_t size,
                                const std::vector<std::pair<std::string_view, int>>& pieces,
                                unsigned seed, std::string prefix = {}) {
    std::vector<int> weights;
    for (const auto& piece : pieces)
        weights.push_back(piece.second);
    std::discrete_distribution<int> pick(weights.begin(), weights.end());
    std::mt19937 rng(seed);
    std::string s = std::move(prefix);
    s.reserve(size + 64);
    while (s.size() < size)
        s += pieces[static_cast<std::size_t>(pick(rng))].first;
    return s;
}

// Japanese prose in lines of about 60 bytes, with some markup and tabs: the
// ordinary document the opening, saving and scaling benchmarks share.
inline std::string japaneseProse(std::size_t size, unsigned seed = 5) {
    return weightedText(size,
                        {{"\x8d\xa1\x93\xfa\x82\xcd", 20},          // 今日は
                         {"\x82\xa2\x82\xa2\x93\x56\x8b\x43", 20},  // いい天気
                         {"\x82\xc5\x82\xb7\x81\x42", 20},          // です。
                         {"\x83\x5c\x83\x74\x83\x67", 10},          // ソフト
                         {"<B>", 2},
                         {"abc ", 5},
                         {"\t", 1},
                         {"\r\n", 8}},
                        seed);
}

// Japanese prose with no line break at all: the one-line page (generated or
// minified HTML) that the editor holds in pieces.
inline std::string japaneseLine(std::size_t size) {
    return weightedText(size,
                        {{"\x8d\xa1\x93\xfa\x82\xcd", 20},          // 今日は
                         {"\x82\xa2\x82\xa2\x93\x56\x8b\x43", 20},  // いい天気
                         {"\x82\xc5\x82\xb7\x81\x42", 20},          // です。
                         {"abc ", 5}},
                        7);
}

// japaneseProse of about `size` bytes written to `path` a megabyte at a
// time, so that making a file of hundreds of megabytes costs no memory;
// `utf8`: the same text in UTF-8 (about 1.4 times the bytes), as most pages
// are now written.
inline void writeJapaneseProse(const std::string& path, std::size_t size, bool utf8 = false) {
    std::ofstream out(path, std::ios::binary);
    unsigned seed = 1;
    for (std::size_t written = 0; written < size; ++seed) {
        std::string piece = japaneseProse(1 << 20, seed);
        // Each megabyte ends a line, so the pieces join into whole lines.
        piece += "\r\n";
        // The size counts the Shift_JIS text: both files hold the same.
        written += piece.size();
        if (utf8)
            piece = decodeShiftJisToUtf8(piece);
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    }
}

// The "<...>" pairs of a text, as the highlighting passes find them.
inline std::size_t countTags(const std::string& s) {
    std::size_t n = 0;
    for (std::size_t i = s.find('<'); i != std::string::npos; i = s.find('<', i)) {
        const std::size_t close = s.find('>', i);
        if (close == std::string::npos)
            break;
        ++n;
        i = close + 1;
    }
    return n;
}

// A field of /proc/self/status ("VmRSS:", "VmHWM:") in bytes.
inline std::size_t statusBytes(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string word;
    std::size_t kilobytes = 0;
    while (in >> word) {
        if (word == key && in >> kilobytes)
            return kilobytes * 1024;
    }
    return 0;
}

inline double residentMegabytes() {
    return static_cast<double>(statusBytes("VmRSS:")) / (1024.0 * 1024.0);
}

}  // namespace korvane::bench
