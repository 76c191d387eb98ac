#include "tags/page_check.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/encodings.h"
#include "tags/page_markup.h"
#include "tags/picture_size.h"
#include "tags/tag_nesting.h"

namespace korvane {

namespace {

namespace fs = std::filesystem;
using namespace markup;

std::string number(std::size_t n) {
    return std::to_string(n);
}

// --- files ---

// A folder's names, and the same in lower case for a name in another case.
struct Listing {
    std::unordered_set<std::string> names;
    std::unordered_map<std::string, std::string> byLowerCase;
};

struct Resolution {
    enum class Found { Exact, OtherCase, Missing };
    Found found = Found::Missing;
    PageFiles::Kind kind = PageFiles::Kind::Missing;
    std::string path;  // as it is on the disk
};

// The names of anchors a page gives ("name" of A, "id" of any tag), in
// UTF-8.
using Names = std::unordered_set<std::string>;

class Checker {
  public:
    Checker(const PageCheckInput& input, const PageFiles& files, Progress* progress)
        : m_input(input),
          m_text(input.text),
          m_codec(codecOf(input.encoding)),
          m_files(files),
          m_progress(progress),
          m_nesting(m_findings) {
        if (!input.pagePath.empty()) {
            m_page = fs::path(input.pagePath).lexically_normal();
            m_folder = m_page.parent_path();
        }
    }

    PageCheckResult run() {
        scan();
        if (m_complete) {
            m_nesting.finish();
            checkOwnFragments();
        }
        checkCharset();
        finishPositions();
        return {std::move(m_findings), m_complete};
    }

  private:
    struct Fragment {
        std::size_t offset;
        std::size_t length;
        std::string name;  // UTF-8
    };
    struct NameUse {
        std::size_t offset;
        std::size_t length;
        std::size_t first;  // where the name was given first
        std::string name;
    };

    void add(std::size_t offset, std::size_t length, FindingKind kind, std::string message) {
        m_findings.push_back({offset, length, 0, 0, kind, std::move(message)});
    }

    std::string utf8(std::string_view bytes) const {
        return isAscii(bytes) ? std::string(bytes) : m_codec.toUtf8(bytes);
    }

    void scan();
    void startTag(const TagInfo& info, std::size_t at, std::size_t nameEnd, std::size_t gt);
    void reference(const Attribute& attribute, bool picture, const Attributes& attributes,
                   std::size_t tagStart, std::size_t tagLength);
    bool localPath(std::string_view location);
    void giveName(const Attribute& attribute, Names& given);
    void checkPictureSize(const Resolution& file, const Attributes& attributes,
                          std::size_t tagStart, std::size_t tagLength);
    void checkOwnFragments();
    void checkCharset();
    void finishPositions();

    const Resolution& resolve(const fs::path& path);
    const std::optional<Listing>& listing(const std::string& folder);
    const std::optional<Names>& namesOfPage(const std::string& path);

    const PageCheckInput& m_input;
    std::string_view m_text;
    const TextCodec& m_codec;
    const PageFiles& m_files;
    Progress* m_progress;
    std::vector<Finding> m_findings;
    TagNesting m_nesting;
    bool m_complete = true;

    fs::path m_page;    // empty: not saved yet
    fs::path m_folder;  // the page's folder
    bool m_waitReported = false;
    bool m_base = false;  // a BASE tag: relative locations are the server's
    bool m_backgroundSeen = false;

    std::unordered_map<std::string, Resolution> m_resolved;
    std::unordered_map<std::string, const Resolution*> m_relative;  // from the page's folder
    std::unordered_map<std::string, std::optional<Listing>> m_listings;
    std::unordered_map<std::string, bool> m_rootFolders;
    std::unordered_map<std::string, std::optional<PictureSize>> m_pictures;
    std::unordered_map<std::string, std::optional<Names>> m_pageNames;

    std::unordered_map<std::string, std::size_t> m_names;  // name -> where given first
    // The id of the tag before, and where that tag ends.
    std::optional<std::pair<std::string, std::size_t>> m_idBefore;
    std::vector<NameUse> m_twice;
    std::vector<Fragment> m_fragments;

    Attribute m_charset;  // the first META charset
};

void Checker::scan() {
    m_complete =
        forEachPageTag(m_text, m_progress, kPageCheckReportBytes, [this](const TagPlace& tag) {
            if (!tag.end)
                startTag(tag.info, tag.at, tag.nameEnd, tag.gt);
            else if (tag.info.role != Role::None)
                m_nesting.end(tag.info, tag.at, tag.gt + 1 - tag.at);
        });
}

void Checker::startTag(const TagInfo& info, std::size_t at, std::size_t nameEnd, std::size_t gt) {
    const Attributes attributes = readAttributes(m_text, nameEnd, gt);
    const std::size_t length = gt + 1 - at;
    const bool picture = info.tag == Tag::Img || info.tag == Tag::Image;

    if (info.tag == Tag::Base) {
        m_base = m_base || attributes.href.present;
    } else {
        for (const Attribute* location :
             {&attributes.href, &attributes.src, &attributes.background}) {
            if (location->present)
                reference(*location, picture && location == &attributes.src, attributes, at,
                          length);
        }
    }
    // The names a tag gives count once, and so does the name of an A that
    // stands first in the tag whose id it repeats (<H2 id="x"><A name="x">),
    // which old browsers find by the one and new ones by the other.
    Names given;
    if (info.tag == Tag::A && attributes.name.present) {
        if (m_idBefore.has_value() &&
            trimmed(m_text.substr(m_idBefore->second, at - m_idBefore->second)).empty())
            given.insert(m_idBefore->first);
        giveName(attributes.name, given);
    }
    if (attributes.id.present)
        giveName(attributes.id, given);
    m_idBefore.reset();
    if (attributes.id.present)
        m_idBefore.emplace(utf8(withoutReferences(attributes.id.value)), gt + 1);
    if (picture && !attributes.alt.present)
        add(at, length, FindingKind::MissingAlt, "画像に alt（代わりの文字）がありません");
    if (info.tag == Tag::Meta && !m_charset.present) {
        if (attributes.charset.present) {
            m_charset = attributes.charset;
        } else if (attributes.content.present) {
            const std::string content = lowered(attributes.content.value);
            const std::size_t key = content.find("charset");
            std::size_t name = key == std::string::npos ? key : key + 7;
            while (name < content.size() && isSpace(content[name]))
                ++name;
            if (name < content.size() && content[name] == '=') {
                ++name;
                while (name < content.size() &&
                       (isSpace(content[name]) || content[name] == '"' || content[name] == '\''))
                    ++name;
                std::size_t end = name;
                while (end < content.size() && !isSpace(content[end]) && content[end] != ';' &&
                       content[end] != '"' && content[end] != '\'')
                    ++end;
                m_charset.present = true;
                m_charset.value = attributes.content.value.substr(name, end - name);
                m_charset.offset = attributes.content.offset + name;
            }
        }
    }
    if (info.role != Role::None && !attributes.selfClosing)
        m_nesting.start(info, at, length);
}

// A name an anchor gives: a name given before by another tag is given
// twice; a tag's own NAME and ID may agree.
void Checker::giveName(const Attribute& attribute, Names& given) {
    std::string name = utf8(withoutReferences(attribute.value));
    if (name.empty() || !given.insert(name).second)
        return;
    const auto [it, added] = m_names.emplace(name, attribute.offset);
    if (!added)
        m_twice.push_back({attribute.offset, attribute.value.size(), it->second, std::move(name)});
}

// A location on this computer: a drive ("C:\", "C:/"), a share ("\\host"),
// a "file:" URL, or a path from the root whose first folder this computer
// has ("/home/...") - a path from the site's root ("/images/...") names no
// folder here.
bool Checker::localPath(std::string_view location) {
    if (location.size() >= 3 && isLetter(location[0]) && location[1] == ':' &&
        (location[2] == '\\' || location[2] == '/'))
        return true;
    if (location.starts_with("\\\\"))
        return true;
    if (location.size() >= 5 && equalsIgnoringCase(location.substr(0, 5), "file:"))
        return true;
    if (location.size() >= 2 && location[0] == '/' && location[1] != '/') {
        const std::size_t slash = location.find('/', 1);
        const std::string first(location.substr(
            1, slash == std::string_view::npos ? std::string_view::npos : slash - 1));
        if (first.empty() || first == "." || first == "..")
            return false;
        const auto [it, added] = m_rootFolders.emplace(first, false);
        if (added)
            it->second = m_files.kindOf("/" + first) == PageFiles::Kind::Folder;
        return it->second;
    }
    return false;
}

// A scheme: letters, digits, "+", "-", "." before a ":", at least two of
// them (one letter is a drive).
bool hasScheme(std::string_view location) {
    std::size_t i = 0;
    while (i < location.size() &&
           (isLetter(location[i]) || (i > 0 && (isDigit(location[i]) || location[i] == '+' ||
                                                location[i] == '-' || location[i] == '.'))))
        ++i;
    return i >= 2 && i < location.size() && location[i] == ':';
}

void Checker::reference(const Attribute& attribute, bool picture, const Attributes& attributes,
                        std::size_t tagStart, std::size_t tagLength) {
    const std::string_view raw = trimmed(attribute.value);
    if (raw.empty())
        return;
    const std::size_t offset =
        attribute.offset + static_cast<std::size_t>(raw.data() - attribute.value.data());
    const std::size_t length = raw.size();
    const std::string shown = utf8(raw);

    // The background picture a text-mode conversion wrote as a full path:
    // the save writes it relative to the page, so it is checked where it
    // is.
    if (!m_backgroundSeen && !m_input.heldBackground.empty() && raw == m_input.heldBackground) {
        m_backgroundSeen = true;
        const Resolution& file = resolve(fs::path(shown).lexically_normal());
        if (file.found == Resolution::Found::Missing)
            add(offset, length, FindingKind::MissingFile,
                joined({"「", shown, "」が見つかりません"}));
        return;
    }

    std::string location = withoutReferences(shown);
    if (location.front() == '#') {
        if (location.size() > 1)
            m_fragments.push_back({offset, length, percentDecoded(location.substr(1))});
        return;
    }
    if (localPath(location)) {
        add(offset, length, FindingKind::LocalPath,
            joined({"「", shown,
                    "」はこのコンピューターの中の場所です。アップロードすると開けなくなります"}));
        return;
    }
    if (hasScheme(location) || location.starts_with("//") || location.front() == '/' ||
        location.front() == '\\')
        return;
    if (m_base)
        return;
    if (m_page.empty()) {
        if (!m_waitReported) {
            m_waitReported = true;
            add(offset, length, FindingKind::NeedsSave,
                "保存すると点検できます（ファイルやほかのページへの参照は、ページのフォルダから"
                "調べます）");
        }
        return;
    }

    // Browsers read a backslash as "/".
    std::replace(location.begin(), location.end(), '\\', '/');
    std::string fragment;
    const std::size_t hash = location.find('#');
    if (hash != std::string::npos) {
        fragment = percentDecoded(std::string_view(location).substr(hash + 1));
        location.resize(hash);
    }
    const std::size_t query = location.find('?');
    if (query != std::string::npos)
        location.resize(query);
    const std::string path = percentDecoded(location);

    if (path.empty()) {
        // "?x" or "#x" alone: this page.
        if (!fragment.empty())
            m_fragments.push_back({offset, length, fragment});
        return;
    }
    // A page names the same few files again and again.
    const auto [known, added] = m_relative.emplace(path, nullptr);
    if (added)
        known->second = &resolve((m_folder / fs::path(path)).lexically_normal());
    const Resolution* file = known->second;
    switch (file->found) {
        case Resolution::Found::Missing:
            add(offset, length, FindingKind::MissingFile,
                joined({"「", shown, "」が見つかりません"}));
            return;
        case Resolution::Found::OtherCase: {
            const std::string actual =
                fs::path(file->path).lexically_relative(m_folder).generic_string();
            add(offset, length, FindingKind::CaseOnly,
                joined({"「", shown, "」は大文字と小文字が違います（実際は「", actual,
                        "」）。Windowsでは開けますが、多くのサーバーでは開けません"}));
            break;
        }
        case Resolution::Found::Exact:
            break;
    }
    if (file->kind != PageFiles::Kind::File)
        return;
    if (picture)
        checkPictureSize(*file, attributes, tagStart, tagLength);
    if (fragment.empty())
        return;
    if (fs::path(file->path) == m_page) {
        m_fragments.push_back({offset, length, fragment});
        return;
    }
    const std::optional<Names>& names = namesOfPage(file->path);
    if (names && names->count(fragment) == 0)
        add(offset, length, FindingKind::MissingName,
            joined({"「", fs::path(file->path).filename().string(), "」に名前「", fragment,
                    "」がありません"}));
}

void Checker::checkPictureSize(const Resolution& file, const Attributes& attributes,
                               std::size_t tagStart, std::size_t tagLength) {
    if (!attributes.width.present && !attributes.height.present)
        return;
    const auto [it, added] = m_pictures.emplace(file.path, std::nullopt);
    if (added) {
        if (const std::unique_ptr<std::istream> in = m_files.open(file.path))
            it->second = readPictureSize(*in, readPlainHeadSize, kPlainHeadBytes);
    }
    if (!it->second)
        return;
    const PictureSize size = *it->second;
    // Only a number of pixels can be compared; "50%" is meant to differ.
    const auto differs = [](const Attribute& given, unsigned actual) {
        const std::string_view value = trimmed(given.value);
        if (!given.present || value.empty() || value.size() > 9 ||
            !std::all_of(value.begin(), value.end(), isDigit))
            return false;
        return std::stoul(std::string(value)) != actual;
    };
    if (!differs(attributes.width, size.width) && !differs(attributes.height, size.height))
        return;
    std::string given;
    if (attributes.width.present)
        given += "width=\"" + std::string(trimmed(attributes.width.value)) + "\"";
    if (attributes.height.present)
        given += (given.empty() ? "" : " ") +
                 ("height=\"" + std::string(trimmed(attributes.height.value)) + "\"");
    add(tagStart, tagLength, FindingKind::WrongSize,
        utf8(given) + " ですが、画像の実際の大きさは " + number(size.width) + "×" +
            number(size.height) + " です");
}

void Checker::checkOwnFragments() {
    for (const Fragment& fragment : m_fragments) {
        if (m_names.count(fragment.name) == 0)
            add(fragment.offset, fragment.length, FindingKind::MissingName,
                joined({"このページに名前「", fragment.name, "」がありません"}));
    }
}

// The charset the page declares against the encoding it is in, and the
// characters the declared one cannot hold: each character once, where it
// first stands.
void Checker::checkCharset() {
    if (!m_charset.present)
        return;
    const std::string declaredName(trimmed(m_charset.value));
    const bool utf16 =
        m_input.encoding == TextEncoding::Utf16Le || m_input.encoding == TextEncoding::Utf16Be;
    const std::string documentName = utf16 ? "UTF-16" : std::string(m_codec.charsetName());
    const std::optional<TextEncoding> declared = declaredEncoding("charset=" + declaredName);
    const TextCodec* target = declared ? &codecOf(*declared) : nullptr;
    if (target == nullptr || utf16 || target->charsetName() != m_codec.charsetName())
        add(m_charset.offset, m_charset.value.size(), FindingKind::CharsetMismatch,
            joined({"META の charset 「", utf8(declaredName), "」は、この文書の文字コード ",
                    documentName, " と違います"}));
    if (target == nullptr)
        return;

    struct Place {
        std::size_t offset;
        std::size_t length;
        std::size_t count;
    };
    std::map<char32_t, Place> unheld;
    const bool sameCodec = target == &m_codec;
    const std::size_t n = m_text.size();
    for (std::size_t lineStart = 0; lineStart < n;) {
        const void* lf = std::memchr(m_text.data() + lineStart, '\n', n - lineStart);
        const std::size_t lineEnd =
            lf == nullptr ? n
                          : static_cast<std::size_t>(static_cast<const char*>(lf) - m_text.data());
        const std::string_view line = m_text.substr(lineStart, lineEnd - lineStart);
        const std::size_t next = lineEnd + 1;
        if (!isAscii(line)) {
            const std::u16string units = m_codec.decode(line);
            bool suspect = std::any_of(units.begin(), units.end(),
                                       [](char16_t u) { return isInvalidByteStandIn(u); });
            if (!suspect && !sameCodec)
                suspect = !target->holdsAll(units);
            // Only a line that holds one is looked at a character at a time.
            for (std::size_t i = 0; suspect && i < line.size();) {
                const std::size_t length = m_codec.charLength(line, i);
                const std::string_view bytes = line.substr(i, length);
                if (!isAscii(bytes)) {
                    const std::u16string character = m_codec.decode(bytes);
                    char32_t key = 0;
                    if (!character.empty() && isInvalidByteStandIn(character[0])) {
                        key = character[0];
                    } else if (!sameCodec && !target->holdsAll(character)) {
                        key = character.size() == 2
                                  ? 0x10000 + ((char32_t{character[0]} - 0xD800) << 10) +
                                        (character[1] - 0xDC00)
                                  : character[0];
                    }
                    if (key != 0) {
                        const auto [it, added] =
                            unheld.emplace(key, Place{lineStart + i, length, 0});
                        ++it->second.count;
                    }
                }
                i += length;
            }
        }
        lineStart = next;
    }

    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const auto& [character, place] : unheld) {
        std::string message;
        if (isInvalidByteStandIn(character)) {
            const unsigned byte = character - kInvalidByteBase;
            message = documentName + " として読めないバイト 0x" + kHex[byte >> 4] +
                      kHex[byte & 0xF] + " があります";
        } else {
            std::string code;
            for (char32_t c = character; c != 0 || code.size() < 4; c >>= 4)
                code.insert(code.begin(), kHex[c & 0xF]);
            message =
                joined({"「", m_codec.toUtf8(m_text.substr(place.offset, place.length)), "」（U+",
                        code, "）は charset ", target->charsetName(), " では書けません"});
        }
        if (place.count > 1)
            message += "（ほか " + number(place.count - 1) + " か所）";
        add(place.offset, place.length, FindingKind::CharsetCannotHold, std::move(message));
    }
}

// Lines and columns, and the names given twice with the line of their
// first use.
void Checker::finishPositions() {
    std::vector<std::size_t> lineStarts{0};
    const std::size_t n = m_text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = m_text[i];
        if (c == '\r') {
            if (i + 1 < n && m_text[i + 1] == '\n')
                ++i;
            lineStarts.push_back(i + 1);
        } else if (c == '\n') {
            lineStarts.push_back(i + 1);
        }
    }
    const auto lineOf = [&lineStarts](std::size_t offset) {
        return static_cast<std::size_t>(
            std::upper_bound(lineStarts.begin(), lineStarts.end(), offset) - lineStarts.begin());
    };
    for (NameUse& twice : m_twice)
        add(twice.offset, twice.length, FindingKind::DuplicateName,
            joined({"名前「", twice.name, "」は ", number(lineOf(twice.first)),
                    " 行目でも使われています"}));

    std::stable_sort(m_findings.begin(), m_findings.end(),
                     [](const Finding& a, const Finding& b) { return a.offset < b.offset; });
    // Columns count characters from the line's start; findings on one line
    // go on counting from the one before, so a page that is one long line
    // is walked once.
    std::size_t line = 0;
    std::size_t at = 0;
    std::size_t column = 1;
    for (Finding& finding : m_findings) {
        const std::size_t offset = std::min(finding.offset, n);
        const std::size_t found = lineOf(offset);
        if (found != line) {
            line = found;
            at = lineStarts[line - 1];
            column = 1;
        }
        while (at < offset) {
            at += m_codec.charLength(m_text, at);
            ++column;
        }
        finding.line = line;
        finding.column = column;
    }
}

const std::optional<Listing>& Checker::listing(const std::string& folder) {
    const auto [it, added] = m_listings.emplace(folder, std::nullopt);
    if (added) {
        if (std::optional<std::vector<std::string>> names = m_files.namesIn(folder)) {
            Listing listing;
            for (std::string& name : *names) {
                listing.byLowerCase.emplace(lowered(name), name);
                listing.names.insert(std::move(name));
            }
            it->second = std::move(listing);
        }
    }
    return it->second;
}

// Walks the path from the root one name at a time through the folders'
// listings, so that a name in another case is told from the name itself
// whether or not the disk ignores case. The names the page's own folder
// shares with the path are known to be there as they are.
const Resolution& Checker::resolve(const fs::path& path) {
    const auto [it, added] = m_resolved.emplace(path.string(), Resolution{});
    Resolution& result = it->second;
    if (!added)
        return result;

    const fs::path relative = path.relative_path();
    fs::path reached = path.root_path();
    auto part = relative.begin();
    if (!m_folder.empty() && m_folder.root_path() == reached) {
        const fs::path known = m_folder.relative_path();
        for (auto folder = known.begin();
             folder != known.end() && part != relative.end() && *folder == *part; ++folder, ++part)
            reached /= *part;
    }
    bool otherCase = false;
    for (; part != relative.end(); ++part) {
        const std::string name = part->string();
        if (name.empty())
            continue;
        const std::optional<Listing>& names = listing(reached.string());
        if (!names) {
            // A folder that cannot be listed: only the name as it is.
            reached /= name;
            if (m_files.kindOf(reached.string()) == PageFiles::Kind::Missing)
                return result;
        } else if (names->names.count(name) != 0) {
            reached /= name;
        } else if (const auto other = names->byLowerCase.find(lowered(name));
                   other != names->byLowerCase.end()) {
            otherCase = true;
            reached /= other->second;
        } else {
            return result;
        }
    }
    result.kind = m_files.kindOf(reached.string());
    if (result.kind == PageFiles::Kind::Missing)
        return result;
    result.found = otherCase ? Resolution::Found::OtherCase : Resolution::Found::Exact;
    result.path = reached.string();
    return result;
}

// The names another page gives, read with the editor's guess of its
// encoding.
const std::optional<Names>& Checker::namesOfPage(const std::string& path) {
    const auto [it, added] = m_pageNames.emplace(path, std::nullopt);
    if (!added)
        return it->second;
    const std::unique_ptr<std::istream> in = m_files.open(path);
    if (!in)
        return it->second;
    std::string bytes;
    char buffer[1 << 16];
    while (in->read(buffer, sizeof buffer) || in->gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in->gcount()));
        if (bytes.size() > kLinkedPageReadLimit)
            return it->second;
    }
    TextEncoding encoding = TextEncoding::ShiftJis;
    bytes = pageText(bytes, encoding);
    const TextCodec& codec = codecOf(encoding);
    Names names;
    forEachPageTag(bytes, nullptr, 0, [&](const TagPlace& tag) {
        if (tag.end)
            return;
        const Attributes attributes = readAttributes(bytes, tag.nameEnd, tag.gt);
        for (const Attribute* name : {&attributes.name, &attributes.id}) {
            if (!name->present || (name == &attributes.name && tag.info.tag != Tag::A))
                continue;
            const std::string value = withoutReferences(name->value);
            names.insert(isAscii(value) ? value : codec.toUtf8(value));
        }
    });
    it->second = std::move(names);
    return it->second;
}

}  // namespace

std::string_view kindName(FindingKind kind) {
    switch (kind) {
        case FindingKind::MissingFile:
            return "missing-file";
        case FindingKind::CaseOnly:
            return "case-mismatch";
        case FindingKind::LocalPath:
            return "local-path";
        case FindingKind::NeedsSave:
            return "not-saved";
        case FindingKind::MissingName:
            return "missing-anchor";
        case FindingKind::DuplicateName:
            return "duplicate-anchor";
        case FindingKind::MissingAlt:
            return "missing-alt";
        case FindingKind::WrongSize:
            return "size-mismatch";
        case FindingKind::UnclosedTag:
            return "unclosed-tag";
        case FindingKind::StrayEndTag:
            return "stray-end-tag";
        case FindingKind::CrossedTags:
            return "misnested-tags";
        case FindingKind::CharsetMismatch:
            return "charset-mismatch";
        case FindingKind::CharsetCannotHold:
            return "charset-cannot-hold";
    }
    return "unknown";
}

std::string_view kindCaption(FindingKind kind) {
    switch (kind) {
        case FindingKind::MissingFile:
            return "ファイルなし";
        case FindingKind::CaseOnly:
            return "大文字小文字";
        case FindingKind::LocalPath:
            return "PC内の場所";
        case FindingKind::NeedsSave:
            return "未保存";
        case FindingKind::MissingName:
            return "名前なし";
        case FindingKind::DuplicateName:
            return "名前の重複";
        case FindingKind::MissingAlt:
            return "altなし";
        case FindingKind::WrongSize:
            return "画像の大きさ";
        case FindingKind::UnclosedTag:
            return "閉じ忘れ";
        case FindingKind::StrayEndTag:
            return "余分な終了タグ";
        case FindingKind::CrossedTags:
            return "入れ子の誤り";
        case FindingKind::CharsetMismatch:
            return "文字コード";
        case FindingKind::CharsetCannotHold:
            return "書けない文字";
    }
    return "";
}

std::string pageText(std::string_view fileBytes, TextEncoding& encoding) {
    encoding = guessEncoding(fileBytes);
    if (encoding != TextEncoding::Utf16Le && encoding != TextEncoding::Utf16Be)
        return std::string(fileBytes);
    const bool little = encoding == TextEncoding::Utf16Le;
    std::u16string units;
    units.reserve(fileBytes.size() / 2);
    // The byte order mark, which told the encoding, is no character.
    for (std::size_t i = 2; i + 1 < fileBytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(fileBytes[i]);
        const auto second = static_cast<unsigned char>(fileBytes[i + 1]);
        units += static_cast<char16_t>(little ? (second << 8 | first) : (first << 8 | second));
    }
    return utf16ToUtf8(units);
}

PageCheckResult checkPage(const PageCheckInput& input, const PageFiles& files, Progress* progress) {
    return Checker(input, files, progress).run();
}

}  // namespace korvane
