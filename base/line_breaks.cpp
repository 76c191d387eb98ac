#include "base/line_breaks.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "base/cpu_features.h"

namespace korvane {

std::string normalizeLineBreaks(std::string_view bytes) {
    // CR and LF are never the second byte of a Shift_JIS character, so the
    // bytes can be taken one by one.
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 64);
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        std::size_t j = i;
        while (j < n && bytes[j] != '\r' && bytes[j] != '\n')
            ++j;
        out.append(bytes.data() + i, j - i);
        if (j >= n)
            break;
        out.append("\r\n");
        i = (bytes[j] == '\r' && j + 1 < n && bytes[j + 1] == '\n') ? j + 2 : j + 1;
    }
    return out;
}

namespace {

// The next LF at or after `p` (null when there is none before `end`) and
// the first CR before it (or before `end`), null when there is none: both
// found by memchr, a line at a time.
struct NextBreak {
    const char* lf;
    const char* cr;
};

NextBreak nextBreak(const char* p, const char* end) {
    const auto* lf =
        static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* const upTo = lf != nullptr ? lf : end;
    const auto* cr =
        static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(upTo - p)));
    return {lf, cr};
}

#if defined(KORVANE_X86_DISPATCH)
// pastCrLfBlocks sixty-four bytes at a time.
__attribute__((target("avx2,popcnt"))) const char* pastCrLfBlocksAvx2(const char* p,
                                                                      const char* end,
                                                                      std::size_t& crlfs) {
    const __m256i crs = _mm256_set1_epi8('\r');
    const __m256i lfs = _mm256_set1_epi8('\n');
    std::uint64_t carry = 0;  // the block before ended in a CR
    while (end - p >= 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        const auto half = [](int mask) {
            return static_cast<std::uint64_t>(static_cast<std::uint32_t>(mask));
        };
        const std::uint64_t cr = half(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, crs))) |
                                 half(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, crs))) << 32;
        const std::uint64_t lf = half(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, lfs))) |
                                 half(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, lfs))) << 32;
        if (lf != ((cr << 1) | carry))
            break;
        crlfs += static_cast<std::size_t>(_mm_popcnt_u64(lf));
        carry = cr >> 63;
        p += 64;
    }
    return carry != 0 ? p - 1 : p;
}
#endif

// From `p`, blocks of bytes in which each LF comes right behind a CR and
// each CR right before an LF, as in nearly every file: returns where that
// stops, short of `end` by less than a block, and adds the CR LFs passed to
// `crlfs`. A CR at the end of the last block passed is not passed: its LF
// is still to come. Sixty-four bytes a step with AVX2; without it, the
// caller's line-by-line walk does all.
const char* pastCrLfBlocks(const char* p, const char* end, std::size_t& crlfs) {
#if defined(KORVANE_X86_DISPATCH)
    if (cpuHasAvx2())
        return pastCrLfBlocksAvx2(p, end, crlfs);
#endif
    (void)end;
    (void)crlfs;
    return p;
}

}  // namespace

bool hasOnlyCrLf(std::string_view bytes) {
    const char* const end = bytes.data() + bytes.size();
    std::size_t crlfs = 0;
    const char* p = pastCrLfBlocks(bytes.data(), end, crlfs);
    while (p < end) {
        const NextBreak next = nextBreak(p, end);
        // A CR anywhere but right before this LF stands alone, and so does
        // an LF without one.
        if (next.lf == nullptr)
            return next.cr == nullptr;
        if (next.cr == nullptr || next.cr + 1 != next.lf)
            return false;
        p = next.lf + 1;
    }
    return true;
}

}  // namespace korvane

namespace korvane {

namespace {

constexpr std::uint32_t kHashStart = 2166136261u;

std::uint32_t hashBytes(std::uint32_t hash, std::string_view bytes) {
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

std::string_view breakBytes(LineBreak kind) {
    switch (kind) {
        case LineBreak::Lf:
            return "\n";
        case LineBreak::Cr:
            return "\r";
        case LineBreak::CrLf:
            break;
    }
    return "\r\n";
}

// How far ahead a save looks for a line it cannot find at once: lines the
// user inserted or removed shift the rest only by a few.
constexpr std::size_t kLookAhead = 64;

}  // namespace

void LineBreaks::Scan::lineEnds(LineBreak kind) {
    ++m_counts[static_cast<int>(kind)];
    if (m_first) {
        m_first = false;
        m_firstKind = kind;
    } else if (kind != m_firstKind) {
        m_mixed = true;
    }
    // Every line's hash is kept until the end tells whether they are needed:
    // only a mixed file keeps them.
    if (m_withLines) {
        m_hashes.push_back(m_hash);
        m_kinds.push_back(kind);
    }
    m_hash = kHashStart;
}

// A line at a time with memchr, not a byte at a time: a large file is
// scanned as it is read, and the bytes between line breaks are most of it.
void LineBreaks::Scan::add(std::string_view raw) {
    const char* p = raw.data();
    const char* const end = p + raw.size();
    if (m_pendingCr && p < end) {
        m_pendingCr = false;
        if (*p == '\n') {
            lineEnds(LineBreak::CrLf);
            ++p;
        } else {
            lineEnds(LineBreak::Cr);
        }
    }
    const auto lineText = [this](const char* from, const char* to) {
        if (m_withLines)
            m_hash = hashBytes(m_hash, std::string_view(from, static_cast<std::size_t>(to - from)));
    };
    // Without each line's hash, only the count of each kind matters: CR LF
    // files (nearly all) go through a block at a time.
    if (!m_withLines) {
        std::size_t crlfs = 0;
        p = pastCrLfBlocks(p, end, crlfs);
        if (crlfs > 0) {
            lineEnds(LineBreak::CrLf);
            m_counts[static_cast<int>(LineBreak::CrLf)] += crlfs - 1;
        }
    }
    while (p < end) {
        const auto [lf, cr] = nextBreak(p, end);
        const char* const upTo = lf != nullptr ? lf : end;
        if (cr != nullptr) {
            lineText(p, cr);
            if (cr + 1 == lf) {
                lineEnds(LineBreak::CrLf);
                p = lf + 1;
            } else if (cr + 1 == end) {
                m_pendingCr = true;  // its LF may begin the next piece
                p = end;
            } else {
                lineEnds(LineBreak::Cr);
                p = cr + 1;
            }
            continue;
        }
        lineText(p, upTo);
        if (lf == nullptr)
            break;
        lineEnds(LineBreak::Lf);
        p = lf + 1;
    }
}

LineBreaks LineBreaks::Scan::finish() {
    if (m_pendingCr) {
        m_pendingCr = false;
        lineEnds(LineBreak::Cr);
    }
    LineBreaks breaks;
    breaks.m_mixed = m_mixed;
    if (m_first)
        return breaks;
    int common = 0;
    for (int k = 1; k < 3; ++k) {
        if (m_counts[k] > m_counts[common])
            common = k;
    }
    breaks.m_common = static_cast<LineBreak>(common);
    if (m_mixed && m_withLines) {
        breaks.m_hashes = std::move(m_hashes);
        breaks.m_kinds = std::move(m_kinds);
    }
    std::vector<std::uint32_t>().swap(m_hashes);
    std::vector<LineBreak>().swap(m_kinds);
    return breaks;
}

LineBreaks LineBreaks::of(std::string_view fileBytes) {
    Scan scan;
    scan.add(fileBytes);
    return scan.finish();
}

std::string LineBreaks::name() const {
    if (m_mixed)
        return "混在";
    switch (m_common) {
        case LineBreak::Lf:
            return "LF";
        case LineBreak::Cr:
            return "CR";
        case LineBreak::CrLf:
            break;
    }
    return "CRLF";
}

std::string LineBreaks::restore(std::string_view crlfText) const {
    if (!m_mixed && m_common == LineBreak::CrLf)
        return std::string(crlfText);
    std::string out;
    out.reserve(crlfText.size());
    std::size_t old = 0;  // the file's line the next line is looked for from
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = crlfText.find("\r\n", start);
        if (end == std::string_view::npos) {
            out.append(crlfText.substr(start));
            return out;
        }
        const std::string_view line = crlfText.substr(start, end - start);
        out.append(line);
        LineBreak kind = m_common;
        if (m_mixed) {
            const std::uint32_t hash = hashBytes(kHashStart, line);
            const std::size_t limit = std::min(m_hashes.size(), old + kLookAhead);
            for (std::size_t k = old; k < limit; ++k) {
                if (m_hashes[k] == hash) {
                    kind = m_kinds[k];
                    old = k + 1;
                    break;
                }
            }
        }
        out.append(breakBytes(kind));
        start = end + 2;
    }
}

}  // namespace korvane
