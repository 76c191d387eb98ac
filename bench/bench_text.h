// Generated documents for the benchmarks.
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

}  // namespace korvane::bench
