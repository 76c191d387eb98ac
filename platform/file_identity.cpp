#include "platform/file_identity.h"

#include <sys/stat.h>
#include <sys/vfs.h>

#include <cstring>

#include "platform/atomic_file.h"

namespace korvane {

namespace {

// File systems whose times say little: another machine writes the file
// (NFS, SMB/CIFS), or a program in between serves it (FUSE: sshfs and the
// like), or the times are whole seconds or coarser (FAT, exFAT).
bool hasCoarseTimes(const std::string& path) {
    struct statfs fs {};
    if (::statfs(path.c_str(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case 0x6969:      // NFS
        case 0x517B:      // SMB
        case 0xFF534D42:  // CIFS
        case 0xFE534D42:  // SMB2
        case 0x65735546:  // FUSE
        case 0x4d44:      // FAT
        case 0x2011BAB0:  // exFAT
            return true;
        default:
            return false;
    }
}

}  // namespace

FileIdentity fileIdentity(const std::string& path) {
    FileIdentity id;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return id;
    id.exists = true;
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.inode = static_cast<std::uint64_t>(st.st_ino);
    id.size = static_cast<std::uint64_t>(st.st_size);
    id.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.coarseTimes = hasCoarseTimes(path);
    return id;
}

namespace {

inline void mixInto(std::uint64_t& hash, std::uint64_t word) {
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    hash ^= hash >> 29;
}

}  // namespace

void ContentHash::mix(std::uint64_t word) {
    mixInto(m_lanes[m_lane], word);
    m_lane = (m_lane + 1) % 4;
}

void ContentHash::add(std::string_view bytes) {
    m_length += bytes.size();
    std::size_t i = 0;
    while (m_partialBytes != 0 && i < bytes.size()) {
        m_partial |= std::uint64_t{static_cast<unsigned char>(bytes[i++])} << (8 * m_partialBytes);
        if (++m_partialBytes == 8) {
            mix(m_partial);
            m_partial = 0;
            m_partialBytes = 0;
        }
    }
    // Four words at a step, one to each lane, where the first lane is next.
    if (m_lane == 0) {
        for (; i + 32 <= bytes.size(); i += 32) {
            std::uint64_t words[4];
            std::memcpy(words, bytes.data() + i, sizeof words);
            for (int k = 0; k < 4; ++k)
                mixInto(m_lanes[k], words[k]);
        }
    }
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        mix(word);
    }
    for (; i < bytes.size(); ++i)
        m_partial |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * m_partialBytes++);
}

std::uint64_t ContentHash::value() const {
    std::uint64_t hash = m_lanes[0];
    for (int k = 1; k < 4; ++k)
        mixInto(hash, m_lanes[k]);
    hash = (hash ^ m_partial) * 0x9E3779B97F4A7C15ull;
    hash ^= m_length;
    return hash ^ (hash >> 31);
}

std::optional<std::uint64_t> fileHash(const std::string& path) {
    ContentHash hash;
    const BlocksRead read = readFileInBlocks(path, [&hash](std::string_view block, std::size_t) {
        hash.add(block);
        return true;
    });
    if (!read.ok)
        return std::nullopt;
    return hash.value();
}

}  // namespace korvane
