// Where the toolkit's text (UTF-16 QString) meets the program's Shift_JIS
// bytes: the conversions the Qt widgets share, and the filter that keeps
// incoming text (typed, composed, pasted, dropped) to what Shift_JIS can hold.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

#include "base/text_codec.h"

namespace korvane {

// The units of a QString, without a copy.
std::u16string_view viewOf(const QString& s);
QString qstringOf(std::u16string_view s);

// Shift_JIS bytes as a QString, and back.
QString fromSjis(std::string_view bytes);
std::string toSjis(const QString& text);
// The editor document's text of bytes in `codec` with CR LF line breaks,
// decoded in one pass: each CR LF becomes its paragraph break.
QString documentTextOf(std::string_view crlfBytes, const TextCodec& codec = shiftJisCodec());

// What a line break in incoming text becomes.
enum class SjisLineBreaks {
    Paragraph,  // "\n", a paragraph break of the editor (CR, LF, CR LF, U+2028, U+2029)
    Space,      // " ", in a one-line box
    Removed,    // nothing, in a box for a number
};

struct SjisFiltered {
    QString text;
    // One entry per replaced character: "X→Y" (Y is what the file holds).
    QStringList replaced;
};

// Replaces each character CP932 cannot hold by what CP932 writes for it (the
// look-alike Windows writes, else "?") and each line break as asked.
SjisFiltered filterForShiftJis(const QString& text, SjisLineBreaks lineBreaks);
// The same for a document in `codec`: what it cannot hold is replaced by
// what it writes (UTF-8 holds everything but half a surrogate pair).
SjisFiltered filterForCodec(const QString& text, SjisLineBreaks lineBreaks, const TextCodec& codec);

// The message that tells the user which characters were replaced, naming
// the charset that could not hold them.
QString replacementNotice(const QStringList& replaced,
                          std::string_view charset = shiftJisCodec().charsetName());

}  // namespace korvane
