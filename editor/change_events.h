// The editor's change event (EditControl::setChangeHandler): raised once for
// each edit of the text, when the document has finished reporting it.
//
// An operation of ours that edits (a replacement, an undo, a paste) holds
// the event back in a Scope until it has finished, so that the handler sees
// the caret where the operation leaves it.
#pragma once

#include <functional>
#include <utility>

namespace korvane {

class ChangeEvents {
  public:
    class Scope {
      public:
        explicit Scope(ChangeEvents& events) : m_events(events) { ++m_events.m_scopeDepth; }
        ~Scope() {
            if (--m_events.m_scopeDepth == 0 && m_events.m_owed) {
                m_events.m_owed = false;
                m_events.raise();
            }
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        ChangeEvents& m_events;
    };

    // 0 silences the event; any other value lets it through.
    unsigned mask() const { return m_mask; }
    void setMask(unsigned mask) { m_mask = mask; }
    void setHandler(std::function<void()> handler) { m_handler = std::move(handler); }

    // The text changed; the event follows with deliver().
    void noteChange() { m_changed = true; }
    // A new text is no edit: a change noted for the old one goes.
    void forgetChange() { m_changed = false; }
    // Raises the event for a change noted, now or at the end of the scope.
    void deliver() {
        if (!m_changed)
            return;
        m_changed = false;
        if (m_scopeDepth > 0)
            m_owed = true;
        else
            raise();
    }

  private:
    void raise() {
        if (m_mask != 0 && m_handler)
            m_handler();
    }

    unsigned m_mask = 1;
    std::function<void()> m_handler;
    bool m_changed = false;
    int m_scopeDepth = 0;
    bool m_owed = false;
};

}  // namespace korvane
