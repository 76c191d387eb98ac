#include "editor/qt_sjis.h"

#include "base/shift_jis.h"
#include "base/sjis_bytes.h"

namespace korvane {

std::u16string_view viewOf(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.constData()), static_cast<std::size_t>(s.size())};
}

QString qstringOf(std::u16string_view s) {
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

QString fromSjis(std::string_view bytes) {
    return qstringOf(decodeShiftJis(bytes));
}

std::string toSjis(const QString& text) {
    return encodeShiftJis(viewOf(text)).bytes;
}

QString documentTextOf(std::string_view crlfBytes, const TextCodec& codec) {
    QString text(static_cast<qsizetype>(crlfBytes.size()), Qt::Uninitialized);
    const std::size_t units =
        decodeDocument(codec, crlfBytes, reinterpret_cast<char16_t*>(text.data()));
    text.truncate(static_cast<qsizetype>(units));
    return text;
}

namespace {

bool isLineBreak(char16_t c) {
    return c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029;
}

// Text that needs no look at the codec: ASCII without line breaks.
bool isPlainAscii(std::u16string_view text) {
    for (char16_t c : text) {
        if (c >= 0x80 || c == u'\r' || c == u'\n')
            return false;
    }
    return true;
}

// A damaged lead byte that the codec reports because the next character
// pairs with it. It is written as it is; the editor deals with it.
bool isMerge(const SjisReplacement& r) {
    return isInvalidByteStandIn(r.character) && r.bytes.size() == 1 &&
           isSjisLeadByte(static_cast<unsigned char>(r.bytes[0]));
}

}  // namespace

SjisFiltered filterForShiftJis(const QString& text, SjisLineBreaks lineBreaks) {
    return filterForCodec(text, lineBreaks, shiftJisCodec());
}

SjisFiltered filterForCodec(const QString& text, SjisLineBreaks lineBreaks,
                            const TextCodec& codec) {
    SjisFiltered out;
    const std::u16string_view in = viewOf(text);
    if (isPlainAscii(in)) {
        out.text = text;
        return out;
    }
    const bool sjis = &codec == &shiftJisCodec();
    const SjisEncoded encoded = codec.encode(in);
    const auto& reports = encoded.replaced;
    out.text.reserve(text.size());
    std::size_t r = 0;
    const std::size_t n = in.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = in[i];
        while (r < reports.size() && reports[r].index < i)
            ++r;
        if (isLineBreak(c)) {
            if (c == u'\r' && i + 1 < n && in[i + 1] == u'\n')
                ++i;
            if (lineBreaks == SjisLineBreaks::Paragraph)
                out.text += QChar(u'\n');
            else if (lineBreaks == SjisLineBreaks::Space)
                out.text += QChar(u' ');
            continue;
        }
        if (r < reports.size() && reports[r].index == i && !(sjis && isMerge(reports[r]))) {
            const std::size_t length = reports[r].character > 0xFFFF ? 2 : 1;
            const QString written = qstringOf(codec.decode(reports[r].bytes));
            const QString entry = qstringOf(in.substr(i, length)) + QStringLiteral("→") + written;
            if (!out.replaced.contains(entry))
                out.replaced.push_back(entry);
            out.text += written;
            i += length - 1;
            continue;
        }
        out.text += QChar(c);
    }
    return out;
}

QString replacementNotice(const QStringList& replaced, std::string_view charset) {
    constexpr qsizetype kShown = 10;
    QStringList shown = replaced.mid(0, kShown);
    if (replaced.size() > kShown)
        shown.push_back(QStringLiteral("…"));
    return QString::fromLatin1(charset.data(), static_cast<qsizetype>(charset.size())) +
           QStringLiteral(" で書けない文字を置き換えました: ") + shown.join(QLatin1Char(' '));
}

}  // namespace korvane
