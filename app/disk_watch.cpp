#include "app/disk_watch.h"

#include <utility>

namespace korvane {

DiskWatch::DiskWatch(Identify identify, Hash hash)
    : m_identify(std::move(identify)), m_hash(std::move(hash)) {
    if (!m_identify)
        m_identify = [](const std::string& path) { return fileIdentity(path); };
    if (!m_hash)
        m_hash = [](const std::string& path) { return fileHash(path); };
}

void DiskWatch::remember(const std::string& path, std::uint64_t hash) {
    m_path = path;
    m_known = m_identify(path);
    m_knownHash = hash;
}

DiskWatch::State DiskWatch::check() {
    if (m_path.empty())
        return State::Same;
    const FileIdentity now = m_identify(m_path);
    if (!now.exists)
        return m_known.exists ? State::Deleted : State::Same;
    if (!m_known.exists || now.size != m_known.size)
        return State::Changed;
    const bool samePlace = now.device == m_known.device && now.inode == m_known.inode;
    if (samePlace && now.modifiedNs == m_known.modifiedNs && !now.coarseTimes)
        return State::Same;
    // Another place (a save by rename), another time, or times not to be
    // trusted: the bytes say.
    const std::optional<std::uint64_t> hash = m_hash(m_path);
    if (hash && *hash == m_knownHash) {
        m_known = now;  // the same bytes: nothing to ask about, now or later
        return State::Same;
    }
    return State::Changed;
}

void DiskWatch::acknowledge() {
    if (m_path.empty())
        return;
    m_known = m_identify(m_path);
    if (m_known.exists) {
        if (const std::optional<std::uint64_t> hash = m_hash(m_path))
            m_knownHash = *hash;
    }
}

}  // namespace korvane
