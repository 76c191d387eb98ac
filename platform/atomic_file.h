// Whole-file reads and safe whole-file writes.
//
// A write to a regular file goes to a temporary file in the target's folder,
// is flushed to the disk and then renamed over the target, so a failed or
// interrupted write never leaves a truncated file behind: the reader sees the
// old file or the new one, never a mixture. The new file is given the old
// one's owner, group, mode and extended attributes (ACLs are extended
// attributes) before the rename.
//
// Where the rename cannot keep what the old file was (its owner or group
// cannot be given to a new file, an attribute cannot be copied, it has more
// than one name) or the folder refuses a new file while the file itself is
// writable, the file is written in place behind a complete copy of its old
// contents (see writeFileAtomically).
//
// What is not a regular file is never replaced: a symbolic link is written
// through to the file it points to (a dangling one creates that file), a FIFO
// or a device is written in place, a socket is refused. A name that stands
// for one of this process's own descriptors (/dev/stdout, /dev/stderr,
// /dev/fd/N, /proc/self/fd/N) is written to that descriptor.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct FileResult {
    bool ok = false;
    std::string error;  // the reason when !ok, in English
};

// The reason given when a file or its work does not fit in memory.
inline constexpr const char* kNotEnoughMemory = "not enough memory";

// Reads the whole file into `bytes`. Only a regular file is read: a FIFO or
// a device could block or never end, and is refused as "not a regular file".
// A file larger than the memory available is "not enough memory".
FileResult readWholeFile(const std::string& path, std::string& bytes);

// Standard input to its end, whatever it is (a pipe, a terminal, a file).
FileResult readStandardInput(std::string& bytes);

// The same a block at a time, for a file too large to hold twice: `block`
// gets each block and the file's size as it was when opened, and stops the
// read by returning false (the result is then ok, with `stopped` set).
struct BlocksRead : FileResult {
    bool stopped = false;
};
BlocksRead readFileInBlocks(
    const std::string& path,
    const std::function<bool(std::string_view block, std::size_t size)>& block);

// Replaces the contents of the file at `path` with `bytes`, as described
// above. A target without any write bit is refused like Windows refuses a
// read-only file, even for root. A new file gets 0666 less the umask.
//
// An in-place write first writes a copy of the old contents beside the file
// (a hidden ".<name>.korvane-backup-…"), or in the user's cache folder under
// "backups" when the folder refuses it, and flushes it; when that copy cannot
// be made the file is not touched. When writing the new contents fails, the
// old contents are put back from the copy and the copy removed; when even
// that fails, the copy is kept and its path is named in the error. A copy in
// the cache folder carries a hash of the file's full path in its name, since
// files of one name from every folder meet there.
//
// When the path, or a link on the way, names a descriptor of this process
// (a shell's redirection: `-o /dev/stdout >> log`), the bytes are written to
// that descriptor at its offset and in its mode (appending when it was opened
// so); nothing is truncated or renamed. A descriptor that is not open for
// writing is the system's error.
FileResult writeFileAtomically(const std::string& path, std::string_view bytes);

// The copies of the old contents that in-place writes of the file at `path`
// left because their writer died midway (killed, or the machine lost power):
// the file may then hold a mixture of old and new contents, and such a copy
// is its last whole contents. Looked for beside the file at the end of its
// links and in the cache folder. Only copies of this user, written on this
// machine by a process that is gone, count: a process that now has the
// writer's id but started after the copy was last written is not its writer.
// Newest first.
std::vector<std::string> findInterruptedBackups(const std::string& path);

// Removes those of `backups` that findInterruptedBackups(path) still lists,
// once a save has made the file whole again; returns the ones removed.
std::vector<std::string> removeInterruptedBackups(const std::string& path,
                                                  const std::vector<std::string>& backups);

// Removes the temporary files in `folder` that writers on this machine left
// behind when they died (killed, or the machine lost power). Files of live
// writers, of other machines sharing the folder and backups of in-place
// writes are kept. Returns how many were removed.
int removeStaleTemporaryFiles(const std::string& folder);

// The start of the names of the temporary files the process `pid` on this
// machine writes: ".korvane-<host>-<pid>-", followed by six characters.
std::string temporaryFilePrefix(long pid);

// Follows the chain of symbolic links from `path` (each relative target read
// from the folder of its link) to the name that is not a link; that name need
// not exist. False with the reason in `error` for a loop or a chain that
// cannot be read.
bool resolveLinkChain(const std::string& path, std::string& resolved, std::string& error);

}  // namespace korvane
