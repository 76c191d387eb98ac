#include "app/journal.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/process.h"

namespace korvane {

namespace {

constexpr std::string_view kMagic = "korvane-journal 1\n";
constexpr std::string_view kSuffix = ".journal";

void appendField(std::string& out, std::string_view value) {
    out += std::to_string(value.size());
    out += '\n';
    out += value;
    out += '\n';
}

std::optional<std::string> takeField(std::string_view& in) {
    const std::size_t newline = in.find('\n');
    if (newline == std::string_view::npos)
        return std::nullopt;
    std::size_t size = 0;
    const auto [end, ec] = std::from_chars(in.data(), in.data() + newline, size);
    if (ec != std::errc() || end != in.data() + newline || size > in.size() - newline - 1 ||
        in.size() - newline - 1 - size < 1 || in[newline + 1 + size] != '\n')
        return std::nullopt;
    std::string value(in.substr(newline + 1, size));
    in.remove_prefix(newline + 2 + size);
    return value;
}

}  // namespace

std::string encodeJournal(const JournalEntry& entry) {
    std::string out(kMagic);
    out += entry.tagMode ? "tag\n" : "text\n";
    appendField(out, entry.currentFile);
    appendField(out, entry.title);
    appendField(out, entry.text);
    return out;
}

std::optional<JournalEntry> decodeJournal(std::string_view in) {
    if (in.substr(0, kMagic.size()) != kMagic)
        return std::nullopt;
    in.remove_prefix(kMagic.size());
    JournalEntry entry;
    if (in.substr(0, 4) == "tag\n") {
        entry.tagMode = true;
        in.remove_prefix(4);
    } else if (in.substr(0, 5) == "text\n") {
        in.remove_prefix(5);
    } else {
        return std::nullopt;
    }
    auto file = takeField(in);
    auto title = file ? takeField(in) : std::nullopt;
    auto text = title ? takeField(in) : std::nullopt;
    if (!text || !in.empty())
        return std::nullopt;
    entry.currentFile = std::move(*file);
    entry.title = std::move(*title);
    entry.text = std::move(*text);
    return entry;
}

Journal::Journal(std::string folder)
    : m_folder(std::move(folder)),
      m_path(m_folder + "/" + machineToken() + "-" + std::to_string(currentProcessId()) +
             std::string(kSuffix)) {}

bool Journal::write(const JournalEntry& entry) {
    std::error_code ec;
    std::filesystem::create_directories(m_folder, ec);
    return writeFileAtomically(m_path, encodeJournal(entry)).ok;
}

void Journal::remove() {
    std::error_code ec;
    std::filesystem::remove(m_path, ec);
}

std::vector<std::string> Journal::leftBehind() const {
    const std::string prefix = machineToken() + "-";
    std::vector<std::pair<std::filesystem::file_time_type, std::string>> found;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(m_folder, ec)) {
        const std::string name = item.path().filename().string();
        if (name.size() <= prefix.size() + kSuffix.size() || name.rfind(prefix, 0) != 0 ||
            !name.ends_with(kSuffix))
            continue;
        const std::string_view digits(name.data() + prefix.size(),
                                      name.size() - prefix.size() - kSuffix.size());
        long pid = 0;
        const auto [end, parsed] =
            std::from_chars(digits.data(), digits.data() + digits.size(), pid);
        if (parsed != std::errc() || end != digits.data() + digits.size() ||
            pid == currentProcessId() || !processIsGone(pid))
            continue;
        std::error_code timeError;
        found.emplace_back(item.last_write_time(timeError), item.path().string());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a > b; });
    std::vector<std::string> paths;
    for (auto& [time, path] : found)
        paths.push_back(std::move(path));
    return paths;
}

std::optional<JournalEntry> Journal::take(const std::string& path) {
    // A rename succeeds for one taker only.
    const std::string taken = path + ".taken-" + std::to_string(currentProcessId());
    std::error_code ec;
    std::filesystem::rename(path, taken, ec);
    if (ec)
        return std::nullopt;
    std::optional<JournalEntry> entry = read(taken);
    std::filesystem::remove(taken, ec);
    return entry;
}

std::optional<JournalEntry> Journal::read(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes).ok)
        return std::nullopt;
    return decodeJournal(bytes);
}

}  // namespace korvane
