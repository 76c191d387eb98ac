// Whether the document's file was changed, replaced or deleted by another
// program since the editor read or wrote it.
//
// What the editor last read or wrote is remembered as the file's place,
// size and time and a hash of its bytes. A place, size and time that are the
// same say nothing changed; where only the time differs (a "touch", a copy
// that kept the bytes) or the file system's times cannot be trusted, the
// bytes decide. A change the user was told of counts as seen: it is not
// asked about again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_identity.h"

namespace korvane {

class DiskWatch {
  public:
    using Identify = std::function<FileIdentity(const std::string&)>;
    using Hash = std::function<std::optional<std::uint64_t>(const std::string&)>;

    // The real file system unless given others (tests).
    explicit DiskWatch(Identify identify = {}, Hash hash = {});

    // The file `path` holds the bytes of `hash` now: the editor just read or
    // wrote them.
    void remember(const std::string& path, std::uint64_t hash);
    // The document has no file it read (a new or renamed document).
    void forget() { m_path.clear(); }

    enum class State { Same, Changed, Deleted };
    // Since it was remembered, or last acknowledged.
    State check();
    // The user was told of what check() found: the file as it is now is
    // what the editor knows of it.
    void acknowledge();

  private:
    Identify m_identify;
    Hash m_hash;
    std::string m_path;
    FileIdentity m_known;
    std::uint64_t m_knownHash = 0;
};

}  // namespace korvane
