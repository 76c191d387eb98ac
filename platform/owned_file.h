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

}  // namespace korvane
