// The files the program keeps for itself: the settings file, the preview
// page and the journals of unsaved text.
//
// They live in folders that may be shared (a portable folder, a KORVANE_HOME
// that several users point at) and the program may run as root. A symbolic
// link that another user planted at one of their names must not lead a write
// to a file of that user's choosing, so a link is followed only when it and
// the file it reaches belong to the user the program runs as — the rule the
// kernel's protected-symlinks setting applies in shared sticky folders,
// applied everywhere. Documents the user chose are not subject to it: they
// are written through links as the user made them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/atomic_file.h"

namespace korvane {

// Where a write of the program's own file `path` lands: the end of its chain
// of links, or `path` itself. False with the reason in `error` when a link on
// the way, or the file a link reaches, belongs to another user, or the chain
// cannot be read.
bool ownedFileTarget(const std::string& path, std::string& target, std::string& error);

// Hands a file's contents, piece by piece and in order, to `put`; `put`
// answers false when the write failed, and the source should stop then.
// False from the source itself: it could not give all of them.
using ByteSink = std::function<bool(std::string_view piece)>;
using ByteSource = std::function<bool(const ByteSink& put)>;

// Writes a private file of the program's: the journal and the preview hold
// the user's text, which no other user may read. The file is made anew each
// time, 0600, and renamed over the old one (never written in place, so
// neither a hard link nor a file of another user at the name is written
// into); the folder must exist. Links are followed by the rule above. The
// contents come from `source` a piece at a time, so a large text needs no
// second copy in memory. Running out of memory on the way is a failure with
// kNotEnoughMemory as its reason; the old file is then as it was.
FileResult writePrivateFile(const std::string& path, const ByteSource& source);
FileResult writePrivateFile(const std::string& path, std::string_view bytes);

// The same write, a piece at a time over as many steps as the caller likes:
// a window writes a large text between the user's keys and leaves the wait
// for the disk (finish) to a thread of its own. Until finish() has renamed
// it into place, the old file stays as it was; a write dropped on the way
// (destroyed unfinished) leaves no temporary file behind.
class PrivateFileWrite {
  public:
    // Nothing, with the reason in `failed`, when the file cannot be begun.
    static std::unique_ptr<PrivateFileWrite> begin(const std::string& path, FileResult& failed);
    ~PrivateFileWrite();
    PrivateFileWrite(const PrivateFileWrite&) = delete;
    PrivateFileWrite& operator=(const PrivateFileWrite&) = delete;

    // False once a piece could not be written; failure() then says why.
    bool put(std::string_view piece);
    // Why a piece could not be written; ok while every piece was.
    FileResult failure() const;
    // Flushes the contents to the disk and renames them over the old file.
    // May wait long for a slow disk; any thread may call it, once.
    FileResult finish();

  private:
    class Temporary;
    PrivateFileWrite(std::string target, std::unique_ptr<Temporary> temp);

    std::string m_target;
    std::unique_ptr<Temporary> m_temp;
    int m_error = 0;
};

}  // namespace korvane
