// Characters that came into the document but cannot stay there as they are.
//
// The mirror finds them as it takes in an edit (TextMirror::Problem): a
// character Shift_JIS cannot hold, a line break inside a line. They are
// collected while the document reports the edit and put right once it has
// finished, as an edit of their own that the user is told about. Text that
// comes in through our own doors is filtered on the way in already; this
// catches what came in past them (a toolkit call on the widget).
#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

#include "editor/text_mirror.h"

class QTextDocument;

namespace korvane {

class TextFixups {
  public:
    // The problems of an edit the mirror has taken in, whose new lines start
    // at its line `firstLine`. A damaged byte that a character after it
    // would merge with is not put right, only told about.
    void collect(const TextMirror& mirror, const std::vector<TextMirror::Problem>& problems,
                 std::size_t firstLine);
    // The problems of a mirror made afresh from the whole document; merging
    // bytes are left as they are, untold.
    void collectWhole(const TextMirror& mirror, const std::vector<TextMirror::Problem>& problems);
    // Nothing to put right any more (a new text, an undo that brings back
    // what was there before).
    void clear() { m_fixups.clear(); }

    bool due() const { return !m_fixups.empty(); }
    // Makes the replacements in one edit block; returns "X→Y" for each
    // character replaced (a line break is replaced without a word).
    QStringList apply(QTextDocument& doc);
    // The notice owed about bytes that will merge, once; empty when none is.
    QString takeNotice();

  private:
    struct Fixup {
        int position = 0;
        int length = 0;
        QString replacement;
    };

    std::vector<Fixup> m_fixups;
    QString m_notice;
};

}  // namespace korvane
