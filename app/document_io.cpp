#include "app/document_io.h"

#include <cstdint>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

#include "base/line_breaks.h"
#include "base/shift_jis.h"
#include "base/text_codec.h"
#include "platform/atomic_file.h"
#include "platform/file_identity.h"
#include "platform/memory_tuning.h"

namespace korvane {

namespace {

DocumentRead readHeld(const std::string& path, std::size_t headroom,
                      std::optional<TextEncoding> as) {
    DocumentRead result;
    // Showing a text takes many times its size (the bytes, the decoded text,
    // the editor's paragraphs and their layout, the byte mirror). A file that
    // cannot fit is refused before anything is read or replaced, rather than
    // ending the program halfway through.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > headroom / kShowingFactor) {
        result.error = kNotEnoughMemory;
        return result;
    }
    try {
        std::string raw;
        const FileResult read = readWholeFile(path, raw);
        if (!read.ok) {
            result.error = read.error;
            return result;
        }
        ContentHash hash;
        hash.add(raw);
        result.hash = hash.value();
        // The text is held in its own encoding, every byte but the line
        // breaks as the file has it: a duplicate code put in Windows' form
        // would change a file nobody edited (a file with NEC or IBM codes).
        result.encoding = as ? *as : guessEncoding(raw);
        if (as && (*as == TextEncoding::Utf8 || *as == TextEncoding::Utf8Bom))
            result.encoding =
                raw.starts_with("\xEF\xBB\xBF") ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
        if (as && (*as == TextEncoding::Utf16Le || *as == TextEncoding::Utf16Be))
            result.encoding =
                raw.starts_with("\xFE\xFF") ? TextEncoding::Utf16Be : TextEncoding::Utf16Le;
        HeldDocument held = holdDocument(raw, result.encoding);
        if (!held.ok && as) {
            result.error = kNotInEncoding;
            return result;
        }
        if (!held.ok) {
            result.encoding = TextEncoding::ShiftJis;
            held = holdDocument(raw, result.encoding);
        }
        std::string().swap(raw);
        result.bytes = std::move(held.bytes);
        result.breaks = std::move(held.breaks);
    } catch (const std::bad_alloc&) {
        std::string().swap(result.bytes);
        result.error = kNotEnoughMemory;
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace

DocumentRead readDocument(const std::string& path, std::size_t headroom) {
    return readHeld(path, headroom, std::nullopt);
}

DocumentRead readDocument(const std::string& path) {
    return readDocument(path, memoryHeadroom());
}

DocumentRead readDocumentAs(const std::string& path, TextEncoding encoding) {
    return readHeld(path, memoryHeadroom(), encoding);
}

TextEncoding encodingOfStart(const std::string& path) {
    std::string start;
    bool whole = true;
    readFileInBlocks(path, [&](std::string_view block, std::size_t size) {
        start.assign(block);
        whole = block.size() >= size;
        return false;
    });
    // A UTF-16 file is known by its mark; any other guess needs whole
    // characters, which a line break ends in every encoding read here.
    if (!whole && !start.starts_with("\xFF\xFE") && !start.starts_with("\xFE\xFF")) {
        const std::size_t cut = start.find_last_of("\r\n");
        start.resize(cut == std::string::npos ? 0 : cut + 1);
    }
    return guessEncoding(start);
}

PiecesRead readDocumentInPieces(const std::string& path, std::size_t headroom,
                                const std::function<void(std::string_view)>& piece,
                                Progress& progress) {
    PiecesRead result;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > headroom / kShowingFactor) {
        result.error = kNotEnoughMemory;
        return result;
    }
    EncodingGuess guess;
    ContentHash hash;
    LineBreaks::Scan breaks(false);
    // A file of CR LF, as most are, goes on without a copy of each piece.
    const auto send = [&](std::string_view raw) {
        if (hasOnlyCrLf(raw)) {
            guess.add(raw);
            piece(raw);
            return;
        }
        const std::string bytes = normalizeLineBreaks(raw);
        guess.add(bytes);
        piece(bytes);
    };
    bool first = true;
    bool utf16 = false;
    std::size_t done = 0;
    std::string carry;
    try {
        const BlocksRead read =
            readFileInBlocks(path, [&](std::string_view block, std::size_t total) {
                if (first) {
                    first = false;
                    // Its line breaks are two bytes each: cut at the bytes of
                    // CR and LF, it would come apart.
                    utf16 = block.starts_with("\xFF\xFE") || block.starts_with("\xFE\xFF");
                    if (utf16) {
                        result.encoding = guessEncoding(block.substr(0, 2));
                        return false;
                    }
                }
                hash.add(block);
                breaks.add(block);
                // Cut behind the block's last line break, unless it is a CR
                // at the very end: the LF of its CR LF may be in the next
                // block. What comes before goes on without a copy when
                // nothing is carried from the block before, as with lines
                // shorter than a block.
                std::size_t cut = block.find_last_of("\r\n");
                if (cut != std::string_view::npos && cut + 1 == block.size() && block[cut] == '\r')
                    cut = cut == 0 ? std::string_view::npos : block.find_last_of("\r\n", cut - 1);
                if (cut == std::string_view::npos) {
                    carry.append(block);
                } else if (carry.empty()) {
                    send(block.substr(0, cut + 1));
                    carry.assign(block.substr(cut + 1));
                } else {
                    carry.append(block.substr(0, cut + 1));
                    send(carry);
                    carry.assign(block.substr(cut + 1));
                }
                done += block.size();
                return progress.report(done, total);
            });
        if (!read.ok) {
            result.error = read.error;
            return result;
        }
        if (read.stopped && !utf16) {
            result.cancelled = true;
            return result;
        }
        if (!utf16)
            send(carry);
    } catch (const std::bad_alloc&) {
        result.error = kNotEnoughMemory;
        return result;
    }
    if (!utf16) {
        result.encoding = guess.result();
        result.breaks = breaks.finish();
        // Lines of a file that mixes its breaks are looked at once more, for
        // each one's own.
        if (result.breaks.mixed()) {
            LineBreaks::Scan lines;
            readFileInBlocks(path, [&lines](std::string_view block, std::size_t) {
                lines.add(block);
                return true;
            });
            result.breaks = lines.finish();
        }
    }
    result.hash = hash.value();
    result.ok = true;
    return result;
}

bool writeDocument(const std::string& path, std::string_view bytes, std::string& error) {
    const FileResult written = writeFileAtomically(path, bytes);
    error = written.error;
    return written.ok;
}

bool isExistingFile(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::string changedOnDiskText(const std::string& path) {
    return "ファイル " + path +
           " は、ほかのプログラムで変更されました。\n読み込み直しますか？「このまま」を選ぶと、"
           "編集中の文章をそのまま残します。";
}

std::string overwriteChangedText(const std::string& path) {
    return "ファイル " + path +
           " は、読み込んだ後にほかのプログラムで変更されています。\n上書きしますか？";
}

std::string deletedOnDiskText(const std::string& path) {
    return "ファイル " + path +
           " は、ほかのプログラムによって削除されたか、名前を変えられました。\n編集中の文章は、"
           "保存するまでここにしかありません。";
}

std::string documentFormatText(TextEncoding encoding, const LineBreaks& breaks) {
    std::string name = encodingName(encoding);
    // The byte order is the file's as much as its encoding is.
    if (encoding == TextEncoding::Utf16Le)
        name += " LE";
    else if (encoding == TextEncoding::Utf16Be)
        name += " BE";
    return name + "  " + breaks.name();
}

std::string readFailedText(const std::string& path) {
    return "ファイル " + path + " は開けません";
}

std::string createFailedText(const std::string& path) {
    return "ファイル " + path + " を作成できません";
}

std::string reopenQuestionText(const std::string& path, TextEncoding current) {
    return "ファイル " + path + " を、どの文字コードとして開き直しますか？\n（今は " +
           encodingName(current) +
           " として読んでいます。編集中の内容は読み直した内容に置き換わり"
           "ます）";
}

std::string saveEncodingQuestionText(TextEncoding current) {
    return "どの文字コードで保存しますか？（今は " + encodingName(current) +
           "）\nページの META charset も合わせて書き換えます。";
}

std::string addCharsetQuestionText(std::string_view charset) {
    return "このページには文字コードの宣言（META charset）がありません。\n" + std::string(charset) +
           " の宣言を HEAD に追加しますか？";
}

std::string unencodableText(const std::string& name, const std::vector<SjisReplacement>& replaced,
                            const TextCodec& target) {
    std::string text =
        "次の文字は " + name + " で書けません（" + std::to_string(replaced.size()) + " 文字）:\n";
    constexpr std::size_t kListed = 40;
    for (std::size_t i = 0; i < replaced.size() && i < kListed; ++i) {
        const SjisReplacement& r = replaced[i];
        appendUtf8(text, r.character);
        text += "→" + target.toUtf8(r.bytes) + " ";
    }
    if (replaced.size() > kListed)
        text += "…";
    return text + "\n右の文字に置き換えて保存しますか？";
}

std::string interruptedSaveQuestionText(const std::string& path,
                                        const std::vector<std::string>& backups) {
    std::string text = "前回の保存が途中で止まったため、ファイル " + path +
                       " の内容が壊れているかもしれません。\n";
    if (backups.size() == 1) {
        return text + "保存前の内容が " + backups.front() +
               " に残っています。\n保存前の内容を開きますか？";
    }
    // Several saves stopped: each copy holds what the file was before one
    // of them. The newest is offered, as what it was last; when the saves
    // stopped one after another without a whole one between, that is a
    // mixture itself, so every copy is named.
    text += "保存前の内容が次のファイルに残っています（新しい順）:\n";
    for (const std::string& backup : backups)
        text += backup + "\n";
    return text + "いちばん新しい " + backups.front() + " の内容を開きますか？";
}

}  // namespace korvane
