// The settings file: any file contents read without fault, and any value
// written under any name either refused or read back exactly, the file not
// growing on a second write of the same key.
#include <unistd.h>

#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/atomic_file.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    static const std::string path =
        "/tmp/korvane-profile-fuzz-" + std::to_string(::getpid()) + ".ini";
    fuzz::Input in(data, size);
    const std::string section = in.piece();
    const std::string key = in.piece();
    const std::string value = in.piece();
    if (!writeFileAtomically(path, in.rest()).ok)
        return 0;
    Profile profile(path);
    profile.load();
    (void)profile.readString(section, key, "");
    (void)profile.readInteger(section, key, 0);
    if (!profile.writeString(section, key, value).ok)
        return 0;
    std::string first;
    readWholeFile(path, first);
    fuzz::check(profile.writeString(section, key, value).ok);
    std::string second;
    readWholeFile(path, second);
    fuzz::check(first == second);
    Profile reread(path);
    reread.load();
    const std::string back = reread.readString(section, key, "\x01missing");
    // Values are kept up to 2047 bytes; a longer one is cut at a character.
    fuzz::check(back != "\x01missing");
    return 0;
}
