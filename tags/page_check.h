// The page check: what would go wrong once a hand-written page is uploaded,
// found offline in the page's own folder.
//
// - a relative SRC, HREF or BACKGROUND whose file is not beside the page, or
//   is there only in another letter case (Windows opens it, most servers do
//   not); a location on this computer ("C:\...", "file:///...", "/home/...");
// - a link to "#x" or "other.htm#x" whose page has no such name (an A tag's
//   NAME or any tag's ID), and a name given twice (but an A that stands
//   first in a tag and repeats its ID, <H2 id="x"><A name="x">, gives the
//   same name for old and new browsers);
// - IMG / IMAGE without ALT, or with a WIDTH / HEIGHT that is not the
//   picture's own;
// - tags left open, end tags without a start, and pairs that cross;
// - a META charset that is not the document's encoding, and characters the
//   declared charset cannot hold.
// Nothing is fetched: a link with a scheme (http:, mailto:, ...) or from the
// site's root ("/images/x.gif": a first folder this computer does not have)
// is left alone, and so are relative locations once a BASE tag sends them
// to a server.
//
// A tag runs from "<" and a letter to the first ">", as the highlighter
// colours it.
//
// Tags left open, in simple rules that a reader can predict:
// - B, I, U, S, STRIKE, TT, A, FONT and BLINK are inline: each closes before
//   the block it was opened in ends, else it is left open there. The blocks
//   are H1-H6, PRE, CENTER, UL, OL, TABLE (each needs its end tag) and P, LI,
//   TD, TH, whose end tag HTML leaves out: a P ends where any of those blocks
//   starts, an LI at the next LI, a TD or TH at the next TD or TH, and each
//   of them at the end of the block around it.
// - An inline end tag with inline tags opened after its start still open
//   (<B><I></B></I>), or a block opened after it, is a crossed pair; the
//   open tags stay open. Where only P, LI, TD or TH stand in between, they
//   end there as they would in a browser.
// - A block's end tag ends what was opened inside it; the inline tags and
//   the blocks that need an end tag among them were left open.
// - At the end of the page every inline tag and every block that needs an
//   end tag still open was left open.
// Comments and the contents of SCRIPT and STYLE are not looked into.
//
// Positions: byte offsets into the page's bytes; lines count from 1 (CR LF,
// CR and LF each end one), columns count characters of the page's encoding
// from 1.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/progress.h"
#include "base/text_codec.h"
#include "tags/page_files.h"

namespace korvane {

enum class FindingKind {
    MissingFile,       // a relative reference to a file that is not there
    CaseOnly,          // there, but only in another letter case
    LocalPath,         // a location on this computer
    NeedsSave,         // the page has no folder yet: its references wait for a save
    MissingName,       // "#x" with no such name in its page
    DuplicateName,     // a name given twice
    MissingAlt,        // a picture without ALT
    WrongSize,         // WIDTH / HEIGHT that are not the picture's
    UnclosedTag,       // left open at the end of its block or the page
    StrayEndTag,       // an end tag with no start
    CrossedTags,       // pairs that cross
    CharsetMismatch,   // META charset is not the document's encoding
    CharsetCannotHold  // a character the declared charset cannot hold
};

struct Finding {
    std::size_t offset = 0;  // bytes into the page
    std::size_t length = 0;  // bytes to select there
    std::size_t line = 0;    // from 1
    std::size_t column = 0;  // characters from 1
    FindingKind kind = FindingKind::MissingFile;
    std::string message;  // UTF-8, for the user
};

// The kind as scripts read it ("missing-file", "unclosed-tag", ...).
std::string_view kindName(FindingKind kind);
// The kind as the user reads it ("ファイルなし", ...; UTF-8).
std::string_view kindCaption(FindingKind kind);

struct PageCheckInput {
    // The page's bytes, in `encoding` (a UTF-16 file as its UTF-8 bytes, as
    // the editor holds it). Any line breaks.
    std::string_view text;
    TextEncoding encoding = TextEncoding::ShiftJis;
    // The page's full path in the desktop's form; empty for a page not saved
    // yet, whose relative references are then reported once as waiting for
    // a save.
    std::string pagePath;
    // The background picture's full path as a text-mode conversion wrote it
    // into the page (bytes of the page's encoding); every save writes its
    // first occurrence relative to the page, so there it is no location on
    // this computer but the picture itself. Empty: none.
    std::string heldBackground;
};

struct PageCheckResult {
    std::vector<Finding> findings;  // in the order of their places
    bool complete = true;           // false: stopped from the progress display
};

// The bytes of a page file as the editor holds them: `encoding` is what the
// editor guesses the file to be, and a UTF-16 file becomes its UTF-8 text.
std::string pageText(std::string_view fileBytes, TextEncoding& encoding);

// Progress is reported in bytes of the page; a stop ends the check with
// what was found so far.
PageCheckResult checkPage(const PageCheckInput& input, const PageFiles& files,
                          Progress* progress = nullptr);

// How often the check reports its progress: a report costs a clock
// reading, and the window stays painted every few tens of milliseconds.
inline constexpr std::size_t kPageCheckReportBytes = 64 * 1024;

// A page another page links to is read for its names up to this size; a
// larger one is not looked into.
inline constexpr std::size_t kLinkedPageReadLimit = 32u << 20;

}  // namespace korvane
