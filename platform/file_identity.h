// What tells a file apart from what it was: its place on the disk, size and
// time, and where those cannot be trusted (times of a network file system
// are coarse), a hash of its bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

struct FileIdentity {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    // The file system keeps times too coarse to tell two writes in one
    // second apart, or changes them behind the writer's back (NFS, SMB,
    // FUSE): only the bytes can say whether the file changed.
    bool coarseTimes = false;
};

// The file `path` is now (its links followed).
FileIdentity fileIdentity(const std::string& path);

// A hash of bytes, fed in pieces however they are cut: 64 bits, eight bytes
// at a step, enough to tell a changed file from its old self (nobody is
// trying to hide a change) and quick enough to run beside every read. The
// words go to four lanes in turn, so that four mix at once; a hash is never
// kept beyond the run that made it.
class ContentHash {
  public:
    void add(std::string_view bytes);
    std::uint64_t value() const;

  private:
    void mix(std::uint64_t word);

    static constexpr std::uint64_t kStart = 14695981039346656037ull;
    std::uint64_t m_lanes[4] = {kStart, kStart + 1, kStart + 2, kStart + 3};
    unsigned m_lane = 0;          // the next word's
    std::uint64_t m_partial = 0;  // the bytes of an unfinished word
    unsigned m_partialBytes = 0;
    std::uint64_t m_length = 0;
};

// The hash of the file's bytes; nothing when it cannot be read.
std::optional<std::uint64_t> fileHash(const std::string& path);

}  // namespace korvane
