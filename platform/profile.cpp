#include "platform/profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/owned_file.h"
#include "platform/program_folder.h"

namespace korvane {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool isTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Whether a double-byte character starts at `i`. A first byte without a valid
// second byte is a character of its own, as the Windows code page conversion
// takes it, so that a broken byte cannot swallow the "=" or "]" after it.
bool isPairAt(std::string_view s, std::size_t i) {
    return i + 1 < s.size() && isLeadByte(static_cast<unsigned char>(s[i])) &&
           isTrailByte(static_cast<unsigned char>(s[i + 1]));
}

std::size_t charLength(std::string_view s, std::size_t i) {
    return isPairAt(s, i) ? 2 : 1;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    // No second byte is a blank, so trimming from the end cannot split a
    // double-byte character.
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::size_t findChar(std::string_view s, char c, std::size_t from = 0) {
    for (std::size_t i = from; i < s.size(); i += charLength(s, i)) {
        if (s[i] == c)
            return i;
    }
    return std::string_view::npos;
}

// Folds ASCII letters only, and never the second byte of a double-byte
// character: 0x8341 and 0x8361 are different characters.
std::string foldCase(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); i += charLength(out, i)) {
        if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldCase(a) == foldCase(b);
}

std::string valueKey(std::string_view section, std::string_view key) {
    return foldCase(section) + '\n' + foldCase(key);
}

struct Line {
    std::size_t begin = 0;  // first byte of the content
    std::size_t end = 0;    // one past the content, before the line break
    std::size_t next = 0;   // first byte of the following line
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // raw value text, trimmed
};

ParsedLine parseLine(std::string_view content) {
    const std::string_view line = trim(content);
    ParsedLine parsed;
    if (line.empty() || line.front() == ';')
        return parsed;
    if (line.front() == '[') {
        const std::size_t close = findChar(line, ']', 1);
        if (close != std::string_view::npos) {
            parsed.kind = LineKind::Section;
            parsed.name = trim(line.substr(1, close - 1));
        }
        return parsed;
    }
    const std::size_t equals = findChar(line, '=');
    if (equals == std::string_view::npos)
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = trim(line.substr(0, equals));
    parsed.value = trim(line.substr(equals + 1));
    return parsed;
}

// Calls f(line) for every line; CR LF, LF and CR each end a line.
template <typename F>
void forEachLine(std::string_view bytes, F&& f) {
    std::size_t pos = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    while (pos < bytes.size()) {
        Line line;
        line.begin = pos;
        std::size_t i = pos;
        while (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n')
            ++i;
        line.end = i;
        if (i < bytes.size()) {
            i += (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        }
        line.next = i;
        if (!f(line, parseLine(bytes.substr(line.begin, line.end - line.begin))))
            return;
        pos = i;
    }
}

// Where section/key is, or would go, in the file.
struct KeyPlace {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;              // when keyFound
    std::string_view keyName;  // the file's own spelling, when keyFound
    Line lastContentLine;      // last non-blank line of the section, when sectionFound
};

KeyPlace findKey(std::string_view bytes, std::string_view section, std::string_view key) {
    KeyPlace place;
    bool inSection = false;
    forEachLine(bytes, [&](const Line& line, const ParsedLine& parsed) {
        if (parsed.kind == LineKind::Section) {
            if (inSection)
                return false;  // the first section of the name ends here
            if (sameName(parsed.name, section)) {
                inSection = true;
                place.sectionFound = true;
                place.lastContentLine = line;
            }
            return true;
        }
        if (!inSection)
            return true;
        if (!trim(bytes.substr(line.begin, line.end - line.begin)).empty()) {
            place.lastContentLine = line;
        }
        if (parsed.kind == LineKind::Key && sameName(parsed.name, key)) {
            place.keyFound = true;
            place.keyLine = line;
            place.keyName = parsed.name;
            return false;
        }
        return true;
    });
    return place;
}

void appendHex(std::string& out, unsigned char b) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool needsQuotedForm(std::string_view value) {
    if (value.empty())
        return false;
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return true;
    if (isBlank(value.front()) || isBlank(value.back()))
        return true;
    return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

std::string unescapeBody(std::string_view body) {
    std::string out;
    out.reserve(body.size());
    std::size_t i = 0;
    while (i < body.size()) {
        if (isPairAt(body, i)) {
            out.append(body.substr(i, 2));
            i += 2;
            continue;
        }
        if (body[i] != '\\' || i + 1 >= body.size()) {
            out += body[i++];
            continue;
        }
        switch (body[i + 1]) {
            case '\\':
                out += '\\';
                i += 2;
                continue;
            case '"':
                out += '"';
                i += 2;
                continue;
            case 'r':
                out += '\r';
                i += 2;
                continue;
            case 'n':
                out += '\n';
                i += 2;
                continue;
            case '0':
                out += '\0';
                i += 2;
                continue;
            case 'x':
                if (i + 3 < body.size() && hexDigit(body[i + 2]) >= 0 &&
                    hexDigit(body[i + 3]) >= 0) {
                    out += static_cast<char>(hexDigit(body[i + 2]) * 16 + hexDigit(body[i + 3]));
                    i += 4;
                    continue;
                }
                break;
            default:
                break;
        }
        // Any other backslash is itself, as in a Windows path.
        out += body[i++];
    }
    return out;
}

// A name whose last character is a lone first byte of a double-byte
// character would pair with the "]" or "=" written after it: the line would
// never read back, and each write would add another copy of it.
bool endsInLoneLeadByte(std::string_view name) {
    std::size_t last = 0;
    for (std::size_t i = 0; i < name.size(); i += charLength(name, i))
        last = i;
    return !name.empty() && last + 1 == name.size() &&
           isLeadByte(static_cast<unsigned char>(name[last]));
}

bool validSectionName(std::string_view name) {
    return !name.empty() && trim(name).size() == name.size() && !endsInLoneLeadByte(name) &&
           name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos &&
           findChar(name, ']') == std::string_view::npos;
}

bool validKeyName(std::string_view name) {
    return !name.empty() && trim(name).size() == name.size() && !endsInLoneLeadByte(name) &&
           name.front() != ';' && name.front() != '[' &&
           name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos &&
           findChar(name, '=') == std::string_view::npos;
}

// Hexadecimal digits up to 32 bits, as a signed 32-bit pattern.
std::optional<std::int32_t> parseHex(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(d);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// How long a write waits for another copy of the program to finish its own.
// A write takes milliseconds; a lock held longer belongs to a program that
// hangs or holds it on purpose, and the window must not freeze behind it.
constexpr auto kLockWait = std::chrono::milliseconds(1000);

// A blocking flock() on `fd` in a thread of its own, so that the caller can
// stop waiting for it. Polling with LOCK_NB instead starves: a copy writing
// key after key frees the lock only for moments between its writes, while a
// blocked flock() is woken when it is freed. A waiter given up on takes the
// lock when it comes and lets it go at once, closing `fd`.
struct LockWaiter {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    int error = 0;
};

int waitForLock(int fd) {
    auto waiter = std::make_shared<LockWaiter>();
    try {
        std::thread([waiter, fd] {
            int result = 0;
            while ((result = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
            }
            const int err = result == 0 ? 0 : errno;
            const std::lock_guard<std::mutex> hold(waiter->mutex);
            waiter->done = true;
            waiter->error = err;
            if (waiter->abandoned)
                ::close(fd);
            waiter->finished.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return EAGAIN;  // no thread to wait in: as if the wait ran out
    }
    std::unique_lock<std::mutex> hold(waiter->mutex);
    if (waiter->finished.wait_for(hold, kLockWait, [&] { return waiter->done; }))
        return waiter->error;
    waiter->abandoned = true;  // the descriptor is the waiter's now
    return EWOULDBLOCK;
}

// Holds an exclusive flock on the lock file beside a profile for the life of
// the object.
class FileLock {
  public:
    FileLock(const std::string& path, const std::string& folder) {
        // Never through a link: one planted at the lock's name by another
        // user would have this program create or open a file of theirs.
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (m_fd < 0) {
            const int createError = errno;
            // An existing lock file that is not ours to write still takes a
            // lock.
            if (createError == EACCES || createError == EROFS)
                m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
            if (m_fd < 0) {
                // Without a lock file, the reason is the folder's: the
                // second try's "No such file" would mislead.
                m_error = errno == ENOENT && createError != ENOENT
                              ? "cannot create files in the folder " + folder + ": " +
                                    std::strerror(createError)
                              : std::string(std::strerror(createError));
                return;
            }
        }
        int err = 0;
        do {
            err = ::flock(m_fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
        } while (err == EINTR);
        if (err == 0)
            return;
        if (err == EWOULDBLOCK) {
            err = waitForLock(m_fd);
            if (err == 0)
                return;
            if (err == EWOULDBLOCK || err == EAGAIN) {
                m_error = "the settings file is locked by another program";
                if (err == EWOULDBLOCK)
                    m_fd = -1;  // closed by the waiter
            }
        }
        if (m_error.empty())
            m_error = std::strerror(err);
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    ~FileLock() {
        if (m_fd >= 0)
            ::close(m_fd);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return m_fd >= 0; }
    const std::string& error() const { return m_error; }

  private:
    int m_fd = -1;
    std::string m_error;
};

// The file a profile path stands for: the end of its chain of links. Two
// copies of the program, one given a link and one the real path, must lock
// and write the same file.
std::string realFile(const std::string& path, std::string& error) {
    std::string real;
    return resolveLinkChain(path, real, error) ? real : std::string();
}

}  // namespace

std::string writeFailedMessage(const std::string& path) {
    return path + " に書き込めません";
}

std::string ProfileReader::readString(std::string_view section, std::string_view key,
                                      std::string_view fallback) const {
    const std::optional<std::string> value = lookup(section, key);
    return value ? cutAtCharacter(*value) : std::string(fallback);
}

std::int32_t ProfileReader::readInteger(std::string_view section, std::string_view key,
                                        std::int32_t fallback) const {
    const std::optional<std::string> value = lookup(section, key);
    return value ? parseProfileInteger(*value, fallback) : fallback;
}

bool ProfileReader::readBool(std::string_view section, std::string_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

ProfileWriteResult ProfileWriter::writeInteger(std::string_view section, std::string_view key,
                                               std::int32_t value) {
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return writeString(section, key,
                       std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

ProfileWriteResult ProfileWriter::writeBool(std::string_view section, std::string_view key,
                                            bool value) {
    return writeString(section, key, value ? "1" : "0");
}

std::optional<std::string> profileLookup(std::string_view fileBytes, std::string_view section,
                                         std::string_view key) {
    const KeyPlace place = findKey(fileBytes, section, key);
    if (!place.keyFound)
        return std::nullopt;
    const std::string_view content =
        fileBytes.substr(place.keyLine.begin, place.keyLine.end - place.keyLine.begin);
    return decodeProfileValue(parseLine(content).value);
}

std::string profileWithValue(std::string_view fileBytes, std::string_view section,
                             std::string_view key, std::string_view value) {
    const KeyPlace place = findKey(fileBytes, section, key);
    const std::string encoded = encodeProfileValue(value);
    std::string out;
    out.reserve(fileBytes.size() + key.size() + encoded.size() + section.size() + 8);
    if (place.keyFound) {
        out.append(fileBytes.substr(0, place.keyLine.begin));
        out.append(place.keyName).append("=").append(encoded);
        out.append(fileBytes.substr(place.keyLine.end));
        return out;
    }
    const std::string keyLine = std::string(key) + "=" + encoded;
    if (place.sectionFound) {
        const Line& last = place.lastContentLine;
        out.append(fileBytes.substr(0, last.next));
        if (last.next == last.end)
            out.append(kCrLf);  // the file's last line had no break
        out.append(keyLine).append(kCrLf);
        out.append(fileBytes.substr(last.next));
        return out;
    }
    out.append(fileBytes);
    if (!out.empty() && out.back() != '\n' && out.back() != '\r' && out != kUtf8Bom) {
        out.append(kCrLf);
    }
    out.append("[").append(section).append("]").append(kCrLf);
    out.append(keyLine).append(kCrLf);
    return out;
}

std::string encodeProfileValue(std::string_view value) {
    if (!needsQuotedForm(value))
        return std::string(value);
    std::string out = "\"";
    out.reserve(value.size() + 8);
    std::size_t i = 0;
    while (i < value.size()) {
        if (isPairAt(value, i)) {
            out.append(value.substr(i, 2));
            i += 2;
            continue;
        }
        const char c = value[i++];
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\0':
                out += "\\0";
                break;
            default:
                // A first byte without its second would pair up with the
                // backslash of a following escape when read.
                if (isLeadByte(static_cast<unsigned char>(c))) {
                    appendHex(out, static_cast<unsigned char>(c));
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

std::string decodeProfileValue(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return unescapeBody(text.substr(1, text.size() - 2));
    }
    return std::string(text);
}

std::string cutAtCharacter(std::string_view value, std::size_t limit) {
    if (value.size() <= limit)
        return std::string(value);
    std::size_t i = 0;
    while (i < value.size()) {
        const std::size_t next = i + charLength(value, i);
        if (next > limit)
            break;
        i = next;
    }
    return std::string(value.substr(0, i));
}

std::int32_t parseProfileInteger(std::string_view text, std::int32_t fallback) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return parseHex(text.substr(2)).value_or(fallback);
    }
    if (!text.empty() && text[0] == '$')
        return parseHex(text.substr(1)).value_or(fallback);
    // from_chars takes an optional "-" and decimal digits, nothing else;
    // the whole text must be the number.
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return fallback;
    return value;
}

Profile::Profile(std::string path) : m_path(std::move(path)) {}

ProfileLoadResult Profile::load() {
    ProfileLoadResult result;
    m_values.clear();
    std::string error;
    if (const std::string real = realFile(m_path, error); !real.empty()) {
        // Start-up is the time to clear what writers that died left behind.
        removeStaleTemporaryFiles(std::filesystem::path(real).parent_path().string());
    }
    struct stat st {};
    if (::stat(m_path.c_str(), &st) != 0 && errno == ENOENT)
        return result;
    // Something is there (or cannot even be looked at): its reason is the
    // one to give, not that the file is missing.
    result.exists = true;
    std::string bytes;
    const FileResult read = readWholeFile(m_path, bytes);
    if (!read.ok) {
        result.ok = false;
        result.error = read.error;
        return result;
    }
    setContents(bytes);
    return result;
}

void Profile::setContents(std::string_view bytes) {
    m_values.clear();
    // Only the first section of a name counts, and in it the first key.
    std::unordered_map<std::string, bool> seenSections;
    std::string current;
    bool live = false;
    forEachLine(bytes, [&](const Line&, const ParsedLine& parsed) {
        if (parsed.kind == LineKind::Section) {
            current = foldCase(parsed.name);
            live = seenSections.emplace(current, true).second;
        } else if (parsed.kind == LineKind::Key && live) {
            m_values.emplace(current + '\n' + foldCase(parsed.name),
                             decodeProfileValue(parsed.value));
        }
        return true;
    });
}

std::optional<std::string> Profile::lookup(std::string_view section, std::string_view key) const {
    const auto it = m_values.find(valueKey(section, key));
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

ProfileWriteResult Profile::writeString(std::string_view section, std::string_view key,
                                        std::string_view value) {
    if (!validSectionName(section) || !validKeyName(key)) {
        return ProfileWriteResult{false, m_path, "invalid section or key name"};
    }
    return rewrite(
        [&](std::string_view bytes) { return profileWithValue(bytes, section, key, value); });
}

ProfileWriteResult Profile::rewrite(
    const std::function<std::string(std::string_view bytes)>& change) {
    const auto failure = [&](std::string reason) {
        return ProfileWriteResult{false, m_path, std::move(reason)};
    };

    // The settings file is the program's own: a link at its name is
    // followed only when it is the user's (see ownedFileTarget).
    std::string error;
    std::string real;
    if (!ownedFileTarget(m_path, real, error))
        return failure(error);
    const std::string folder = std::filesystem::path(real).parent_path().string();
    if (!folder.empty() && !ensureFolderExists(folder, error))
        return failure(error);

    const FileLock lock(real + ".lock", folder.empty() ? "." : folder);
    if (!lock.locked())
        return failure(lock.error());

    // Re-read under the lock: another copy may have written since our load.
    // Only a missing file reads as empty; overwriting a file we could not
    // read would lose every key in it.
    std::string bytes;
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return failure(std::strerror(errno));
    } else {
        const FileResult read = readWholeFile(real, bytes);
        if (!read.ok)
            return failure(read.error);
    }

    std::string updated = change(bytes);
    const FileResult written = writeFileAtomically(real, updated);
    if (!written.ok)
        return failure(written.error);
    setContents(updated);
    return {};
}

}  // namespace korvane
