#include "app/journal.h"

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/process.h"
#include "platform/program_folder.h"

namespace korvane {

namespace {

constexpr std::string_view kMagic = "korvane-journal 1\n";
constexpr std::string_view kSuffix = ".journal";
// A boot id that could not be read, in a journal's name.
constexpr std::string_view kUnknownBoot = "unknown";
// How much of a journal the recovery question reads, and how much of its
// first line it shows.
constexpr std::size_t kSummaryBytes = 64 * 1024;
constexpr std::size_t kSummaryLineBytes = 80;
// A name or a title is never near this; a larger field is a damaged file.
constexpr std::size_t kMaxHeadField = 1 << 20;

std::string lengthLine(std::size_t size) {
    return std::to_string(size) + "\n";
}

// The names of the encodings in a journal's mode line. A Shift_JIS text
// has none, as in the journals of copies that knew no other.
constexpr std::pair<TextEncoding, std::string_view> kEncodingNames[] = {
    {TextEncoding::Utf8, "utf-8"},       {TextEncoding::Utf8Bom, "utf-8-bom"},
    {TextEncoding::Utf16Le, "utf-16le"}, {TextEncoding::Utf16Be, "utf-16be"},
    {TextEncoding::EucJp, "euc-jp"},
};

std::string encodeHead(bool tagMode, TextEncoding encoding, std::string_view file,
                       std::string_view title, std::size_t textSize) {
    std::string out(kMagic);
    out += tagMode ? "tag" : "text";
    for (const auto& [known, name] : kEncodingNames) {
        if (known == encoding)
            out.append(" ").append(name);
    }
    out += '\n';
    for (const std::string_view field : {file, title}) {
        out += lengthLine(field.size());
        out += field;
        out += '\n';
    }
    out += lengthLine(textSize);
    return out;
}

enum class Parse { Done, NeedMore, Bad };

// A "<size>\n" line at the start of `in`.
Parse takeLength(std::string_view& in, std::size_t& size) {
    const std::size_t newline = in.find('\n');
    if (newline == std::string_view::npos)
        return in.size() > 20 ? Parse::Bad : Parse::NeedMore;
    const auto [end, ec] = std::from_chars(in.data(), in.data() + newline, size);
    if (ec != std::errc() || end != in.data() + newline || newline == 0)
        return Parse::Bad;
    in.remove_prefix(newline + 1);
    return Parse::Done;
}

// The journal's head: its mode, name and title, and the size of the text
// that follows; `in` is left at the text's first byte.
Parse parseHead(std::string_view& in, JournalSummary& head) {
    if (in.size() < kMagic.size())
        return kMagic.starts_with(in) ? Parse::NeedMore : Parse::Bad;
    if (!in.starts_with(kMagic))
        return Parse::Bad;
    in.remove_prefix(kMagic.size());
    const std::size_t modeEnd = in.find('\n');
    if (modeEnd == std::string_view::npos)
        return in.size() > 32 ? Parse::Bad : Parse::NeedMore;
    std::string_view mode = in.substr(0, modeEnd);
    in.remove_prefix(modeEnd + 1);
    head.encoding = TextEncoding::ShiftJis;
    if (const std::size_t blank = mode.find(' '); blank != std::string_view::npos) {
        const std::string_view name = mode.substr(blank + 1);
        mode = mode.substr(0, blank);
        bool known = false;
        for (const auto& [encoding, knownName] : kEncodingNames) {
            if (name == knownName) {
                head.encoding = encoding;
                known = true;
            }
        }
        if (!known)
            return Parse::Bad;
    }
    if (mode == "tag")
        head.tagMode = true;
    else if (mode == "text")
        head.tagMode = false;
    else
        return Parse::Bad;
    for (std::string* field : {&head.currentFile, &head.title}) {
        std::size_t size = 0;
        if (const Parse p = takeLength(in, size); p != Parse::Done)
            return p;
        if (size > kMaxHeadField)
            return Parse::Bad;
        if (in.size() < size + 1)
            return Parse::NeedMore;
        if (in[size] != '\n')
            return Parse::Bad;
        field->assign(in.substr(0, size));
        in.remove_prefix(size + 1);
    }
    return takeLength(in, head.textSize);
}

// The first line of `text` that holds more than blanks, cut short at a
// character; `text` may itself be cut anywhere.
std::string firstLineOf(std::string_view text, const TextCodec& codec) {
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.find_first_not_of(" \t") == std::string_view::npos &&
            line.find("\x81\x40") == std::string_view::npos)
            continue;
        std::size_t cut = 0;
        // A character's bytes stay together.
        while (cut < line.size() && cut < kSummaryLineBytes) {
            const std::size_t size = codec.charLength(line, cut);
            if (cut + size > kSummaryLineBytes)
                break;
            cut += size;
        }
        std::string shown(line.substr(0, cut));
        if (cut < line.size())
            shown += "...";
        return shown;
    }
    return {};
}

// This process's part of a journal's name: "<host>-<pid>-<start>-<boot>".
std::string ownName() {
    const ProcessIdentity self = currentProcessIdentity();
    std::string boot;
    for (const char c : self.bootId) {
        if (c != '-')
            boot += c;
    }
    return machineToken() + "-" + std::to_string(self.pid) + "-" + std::to_string(self.startTime) +
           "-" + (boot.empty() ? std::string(kUnknownBoot) : boot);
}

bool allDigits(std::string_view s) {
    return !s.empty() && s.size() <= 19 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The writer a journal's name names: "<host>-<pid>.journal" (older copies,
// the pid alone) or "<host>-<pid>-<start>-<boot>.journal". Nothing for a
// name of another machine or another form.
std::optional<ProcessIdentity> writerOf(std::string_view name, std::string_view host) {
    if (!name.ends_with(kSuffix) || !name.starts_with(host) || name.size() <= host.size() ||
        name[host.size()] != '-')
        return std::nullopt;
    name.remove_suffix(kSuffix.size());
    name.remove_prefix(host.size() + 1);
    std::vector<std::string_view> parts;
    for (std::size_t dash; (dash = name.find('-')) != std::string_view::npos;) {
        parts.push_back(name.substr(0, dash));
        name.remove_prefix(dash + 1);
    }
    parts.push_back(name);
    if ((parts.size() != 1 && parts.size() != 3) || !allDigits(parts[0]))
        return std::nullopt;
    ProcessIdentity writer;
    std::from_chars(parts[0].data(), parts[0].data() + parts[0].size(), writer.pid);
    if (parts.size() == 3) {
        if (!allDigits(parts[1]) || parts[2].empty())
            return std::nullopt;
        std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), writer.startTime);
        if (parts[2] != kUnknownBoot) {
            // The boot id as the kernel writes it: 8-4-4-4-12 hex digits.
            const std::string_view hex = parts[2];
            if (hex.size() != 32)
                return std::nullopt;
            writer.bootId = std::string(hex.substr(0, 8)) + "-" + std::string(hex.substr(8, 4)) +
                            "-" + std::string(hex.substr(12, 4)) + "-" +
                            std::string(hex.substr(16, 4)) + "-" + std::string(hex.substr(20));
        }
    }
    return writer.pid > 0 ? std::optional(writer) : std::nullopt;
}

// The journal folder holds nothing but this user's journals: made 0700, and
// made so again when an older copy left it open to others.
bool preparePrivateFolder(const std::string& folder, std::string& error) {
    std::string target;
    if (!ownedFileTarget(folder, target, error) || !ensureFolderExists(target, error))
        return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 077) != 0)
        ::chmod(target.c_str(), 0700);
    return true;
}

std::time_t modificationTime(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
}

}  // namespace

std::string encodeJournal(const JournalEntry& entry) {
    std::string out = encodeHead(entry.tagMode, entry.encoding, entry.currentFile, entry.title,
                                 entry.text.size());
    out += entry.text;
    out += '\n';
    return out;
}

std::optional<JournalEntry> decodeJournal(std::string_view in) {
    JournalSummary head;
    if (parseHead(in, head) != Parse::Done || in.size() != head.textSize + 1 || in.back() != '\n')
        return std::nullopt;
    in.remove_suffix(1);
    return JournalEntry{head.tagMode, std::move(head.currentFile), std::move(head.title),
                        std::string(in), head.encoding};
}

Journal::Journal(std::string folder)
    : m_folder(std::move(folder)), m_path(m_folder + "/" + ownName() + std::string(kSuffix)) {}

bool JournalWrite::put(std::string_view piece) {
    m_sent += piece.size();
    return m_file->put(piece);
}

FileResult JournalWrite::finish() {
    if (m_sent != m_textSize) {
        const FileResult failed = m_file->failure();
        return failed.ok ? FileResult{false, "the text did not come whole"} : failed;
    }
    return m_file->put("\n") ? m_file->finish() : m_file->failure();
}

std::unique_ptr<JournalWrite> Journal::begin(const JournalSource& head, FileResult& failed) {
    std::string error;
    if (!preparePrivateFolder(m_folder, error)) {
        failed = {false, error};
        return nullptr;
    }
    std::unique_ptr<PrivateFileWrite> file = PrivateFileWrite::begin(m_path, failed);
    if (!file)
        return nullptr;
    if (!file->put(
            encodeHead(head.tagMode, head.encoding, head.currentFile, head.title, head.textSize))) {
        failed = file->failure();
        return nullptr;
    }
    return std::make_unique<JournalWrite>(std::move(file), head.textSize);
}

FileResult Journal::write(const JournalSource& source) {
    try {
        FileResult failed;
        const std::unique_ptr<JournalWrite> journal = begin(source, failed);
        if (!journal)
            return failed;
        if (!source.text([&](std::string_view piece) { return journal->put(piece); }) &&
            journal->put({}))
            return {false, "the contents could not be read"};
        return journal->finish();
    } catch (const std::bad_alloc&) {
        return {false, kNotEnoughMemory};
    }
}

FileResult Journal::write(const JournalEntry& entry) {
    return write(JournalSource{entry.tagMode, entry.currentFile, entry.title, entry.text.size(),
                               [&entry](const ByteSink& put) { return put(entry.text); },
                               entry.encoding});
}

void Journal::remove() {
    ::unlink(m_path.c_str());
}

std::vector<std::string> Journal::leftBehind() const {
    const std::string host = machineToken();
    std::vector<std::pair<std::time_t, std::string>> found;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(m_folder, ec)) {
        const std::string path = item.path().string();
        const std::optional<ProcessIdentity> writer =
            writerOf(item.path().filename().string(), host);
        if (!writer || path == m_path || !processIsGone(*writer))
            continue;
        found.emplace_back(modificationTime(path), path);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a > b; });
    std::vector<std::string> paths;
    for (auto& [time, path] : found)
        paths.push_back(std::move(path));
    return paths;
}

std::optional<JournalEntry> Journal::read(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes).ok)
        return std::nullopt;
    return decodeJournal(bytes);
}

std::optional<JournalSummary> Journal::summary(const std::string& path) {
    // The head and the start of the text: enough for its first line.
    std::string start;
    JournalSummary head;
    Parse parsed = Parse::NeedMore;
    std::string_view text;
    const BlocksRead read = readFileInBlocks(path, [&](std::string_view block, std::size_t) {
        start.append(block);
        std::string_view in = start;
        head = JournalSummary{};
        parsed = parseHead(in, head);
        text = in;
        return parsed == Parse::NeedMore && start.size() < 2 * kMaxHeadField + 1024;
    });
    if (!read.ok || parsed != Parse::Done)
        return std::nullopt;
    head.firstLine =
        firstLineOf(text.substr(0, std::min({text.size(), head.textSize, kSummaryBytes})),
                    codecOf(head.encoding));
    head.written = modificationTime(path);
    return head;
}

JournalTextRead Journal::readText(const std::string& path, JournalSummary& head,
                                  const std::function<void(std::string_view)>& piece) {
    JournalTextRead result;
    std::string buffer;  // the head until it is whole, then the text's unsent end
    bool inText = false;
    bool damaged = false;
    std::size_t left = 0;  // text bytes still to come
    std::string tail;      // what follows the text: exactly one "\n"
    const auto takeText = [&](std::string_view bytes) {
        const std::size_t text = std::min(left, bytes.size());
        buffer.append(bytes.substr(0, text));
        left -= text;
        tail.append(bytes.substr(text));
        // Sent up to the last line break; a CR at the very end waits for the
        // LF of its pair.
        std::size_t cut = buffer.find_last_of('\n');
        if (left == 0)
            cut = buffer.size() - 1;
        if (cut != std::string::npos && !buffer.empty()) {
            piece(std::string_view(buffer).substr(0, cut + 1));
            buffer.erase(0, cut + 1);
        }
        return tail.size() <= 1;
    };
    try {
        const BlocksRead read = readFileInBlocks(path, [&](std::string_view block, std::size_t) {
            if (inText)
                return takeText(block);
            buffer.append(block);
            std::string_view in = buffer;
            switch (parseHead(in, head)) {
                case Parse::Bad:
                    damaged = true;
                    return false;
                case Parse::NeedMore:
                    return buffer.size() < 2 * kMaxHeadField + 1024;
                case Parse::Done:
                    break;
            }
            inText = true;
            left = head.textSize;
            const std::string rest(in);
            buffer.clear();
            return takeText(rest);
        });
        if (!read.ok) {
            result.error = read.error;
            return result;
        }
    } catch (const std::bad_alloc&) {
        result.error = kNotEnoughMemory;
        return result;
    }
    if (damaged || !inText || left != 0 || tail != "\n") {
        result.error = "the journal is damaged";
        return result;
    }
    head.written = modificationTime(path);
    result.ok = true;
    return result;
}

bool Journal::take(const std::string& path) {
    // A journal of this process's own would be replaced by the rename.
    if (::access(m_path.c_str(), F_OK) == 0)
        return false;
    std::string error;
    if (!preparePrivateFolder(m_folder, error))
        return false;
    if (std::rename(path.c_str(), m_path.c_str()) != 0)
        return false;
    // An older copy wrote its journals with the umask's mode.
    ::chmod(m_path.c_str(), 0600);
    return true;
}

bool Journal::giveBack(const std::string& path) {
    return std::rename(m_path.c_str(), path.c_str()) == 0;
}

bool Journal::discard(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

}  // namespace korvane
