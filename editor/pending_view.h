// What the editor owes the widget: a selection set through EditControl and
// a scroll to the caret.
//
// A pass over 45,000 tags sets a selection for each; handing each one to the
// widget would lay the text out 45,000 times. The selection is kept here
// instead, in document positions, and handed over when something needs the
// widget's cursor, or once the running handler has finished. A hidden or
// locked editor owes its scroll until it shows: only the last one can be
// seen.
#pragma once

#include <optional>
#include <utility>

namespace korvane {

class PendingView {
  public:
    // Positions [anchor, position) of the document, not handed over yet.
    const std::optional<std::pair<int, int>>& selection() const { return m_selection; }
    // Keeps a selection to hand over. Returns true when the editor must ask
    // for a later hand-over (none is asked for yet); handOverArrived() tells
    // that it has come.
    bool select(int anchor, int position) {
        m_selection = std::make_pair(anchor, position);
        if (m_handOverAsked)
            return false;
        m_handOverAsked = true;
        return true;
    }
    void handOverArrived() { m_handOverAsked = false; }
    // Holds a selection without asking for a hand-over: a text load keeps
    // the old text's selection here while the widget shows the new
    // document, and gives back the one that was owed when it is dropped.
    void holdSelection(std::optional<std::pair<int, int>> selection) { m_selection = selection; }
    // The widget's cursor moved with an edit: a selection still waiting for
    // it would point into the old text.
    void dropSelection() { m_selection.reset(); }
    std::optional<std::pair<int, int>> takeSelection() {
        const std::optional<std::pair<int, int>> taken = m_selection;
        m_selection.reset();
        return taken;
    }

    void oweScroll() { m_scrollOwed = true; }
    bool takeScroll() { return std::exchange(m_scrollOwed, false); }

  private:
    std::optional<std::pair<int, int>> m_selection;
    bool m_handOverAsked = false;
    bool m_scrollOwed = false;
};

}  // namespace korvane
