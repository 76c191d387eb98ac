// Find and replace in the main editor: the search state of the window
// (`SearchText`, `LastFindFound`), the find commands of both modes and the
// work of the find and replace dialogs.
//
// A search never wraps around the ends of the text and never shows a
// message box; whether it found something is left in LastFindFound, and a
// line in the status line says when nothing was found and how many
// replace-all replaced, without taking the focus or the selection. It works on
// EditControl::find, so matches start only at character boundaries and,
// without match case, the ASCII letters and the full-width Latin letters
// (Ａ-Ｚ, ａ-ｚ) compare regardless of case, nothing else.
//
// The search text and the replacement are Shift_JIS, as the dialogs' fields
// and the settings file keep them; they are searched for and inserted in the
// editor's codec.
//
// An empty search text finds nothing: the find dialog, OK and replace-all
// all end at once after that one search that found nothing (LastFindFound
// false, the selection as it was). F3 and Shift+F3 do not even search.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "base/command_table.h"
#include "base/edit_control.h"
#include "base/progress.h"

namespace korvane {

// What the search needs of the find dialog: showing it, and its match-case
// box, which counts for F3 and Shift+F3 even while the dialog is closed.
class FindDialogPort {
  public:
    virtual ~FindDialogPort() = default;
    // Shows the dialog modelessly, or brings it to the front when it is open.
    virtual void showFindDialog() = 0;
    virtual bool matchCaseTicked() const = 0;
};

// What the search needs of the replace dialog.
class ReplaceDialogPort {
  public:
    virtual ~ReplaceDialogPort() = default;
    virtual void showReplaceDialog() = 0;
};

class Search {
  public:
    // The edit control's find request takes match case and whole word; the
    // program only ever sets match case.
    struct Options {
        bool matchCase = false;
    };

    // Each replacement raises the editor's change event, which the window
    // hands to the tag highlighter: the tags around it are coloured again as
    // after a typed change, replace-all included.
    explicit Search(EditControl& edit) : m_edit(edit) {}
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    // The dialogs, created after this object; without them the commands
    // that show them do nothing and match case is off.
    void setDialogs(FindDialogPort* find, ReplaceDialogPort* replace) {
        m_findDialog = find;
        m_replaceDialog = replace;
    }

    // Where "「…」が見つかりません" and "n 個置換しました" go (UTF-8).
    void setStatusReporter(std::function<void(const std::string& message)> report) {
        m_report = std::move(report);
    }

    // Where replace-all shows its progress. None: nothing is shown.
    void setProgressDisplay(ProgressDisplay* display) { m_progress = display; }

    const std::string& SearchText() const { return m_searchText; }
    bool LastFindFound() const { return m_lastFindFound; }
    // Start-up: nothing searched for yet.
    void reset() {
        m_searchText.clear();
        m_lastFindFound = false;
    }

    // --- commands ---
    void Find1Click();
    // Find up (Shift+F3) and down (F3): repeat the last search; nothing at
    // all before the first one.
    void P3Click();
    void N12Click();
    void Replace1Click();

    // The find dialog's find-next: its text becomes the search text; the
    // direction is the dialog's. The dialog stays open.
    void FdmainFind(std::string_view findWhat, bool down);

    // Adds match case when the find dialog's box is ticked.
    void AutoFindBase(Options& options) const;
    // From the end of the selection to the end of the text; selects the
    // first occurrence found.
    void AutoFindDown(Options options);
    // The last occurrence that ends at or before the selection start, found
    // by forward searches each starting behind the one before, so an
    // occurrence that overlaps the previous one is skipped.
    void AutoFindUp(Options options);

    // The replace dialog's two actions. Both first make `pre` the search
    // text. OK replaces the next occurrence in the direction (up: the caret
    // goes to the start of the inserted text); replace-all repeats that until
    // a search finds nothing, as one undo step.
    void replaceNext(std::string_view pre, std::string_view after, bool matchCase, bool up);
    void replaceAll(std::string_view pre, std::string_view after, bool matchCase, bool up);

    // Every name the commands have in the menus and tool bars.
    void registerCommands(CommandTable& table);

  private:
    // One search of the search text in the direction, with match case as
    // the find dialog's box says.
    void findWithDialogsCase(bool down);
    // AutoFindDown or AutoFindUp.
    void autoFind(Options options, bool down);
    // One search in the direction, then the replacement of what it found.
    // False when the search found nothing.
    bool replaceStep(std::string_view after, Options options, bool up);
    void select(std::size_t start);
    // After a search of the user's: says so when it found nothing.
    void reportIfNotFound();
    // Shift_JIS bytes in the editor's codec.
    std::string inEditorCodec(std::string_view sjis) const;

    EditControl& m_edit;
    FindDialogPort* m_findDialog = nullptr;
    ReplaceDialogPort* m_replaceDialog = nullptr;
    std::string m_searchText;
    bool m_lastFindFound = false;
    ProgressDisplay* m_progress = nullptr;
    std::function<void(const std::string&)> m_report;
};

}  // namespace korvane
