#include "platform/dialog_focus.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <algorithm>
#include <vector>

namespace korvane {

namespace {

bool takesTabFocus(const QWidget& widget, const QWidget& window) {
    return widget.isVisibleTo(&window) && widget.isEnabled() &&
           (widget.focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

void setTabFocus(QWidget& widget, bool on) {
    const int policy = widget.focusPolicy();
    widget.setFocusPolicy(
        static_cast<Qt::FocusPolicy>(on ? policy | Qt::TabFocus : policy & ~Qt::TabFocus));
}

// Lives as a child of its group box and watches the box and its buttons.
// Events still reach it while a button or the box is being destroyed (its
// type then no longer what it was), so watched objects are told apart by
// addresses taken while they were whole, and only the events handled here
// go on to the buttons themselves.
class WindowsRadioKeys : public QObject {
  public:
    explicit WindowsRadioKeys(QGroupBox& group)
        : QObject(&group), m_group(group), m_groupObject(&group) {
        for (QRadioButton* button : group.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
            m_items.push_back(button);
            m_itemObjects.push_back(button);
            button->installEventFilter(this);
            connect(button, &QAbstractButton::toggled, this, [this] { onlyTargetTakesTab(); });
        }
        group.installEventFilter(this);
        onlyTargetTakesTab();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_groupObject)
            return event->type() == QEvent::Shortcut && shortcut();
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::KeyPress)
            return false;
        const auto at = std::find(m_itemObjects.begin(), m_itemObjects.end(), watched);
        if (at == m_itemObjects.end())
            return false;
        const auto index = static_cast<std::size_t>(at - m_itemObjects.begin());
        if (event->type() == QEvent::FocusIn)
            return tabbedIn(*m_items[index], *static_cast<QFocusEvent*>(event));
        return arrowKey(static_cast<int>(index), *static_cast<QKeyEvent*>(event));
    }

  private:
    // The button that Tab and the access key reach: the chosen one, the
    // first enabled one while none is chosen.
    QRadioButton* target() const {
        for (QRadioButton* button : m_items) {
            if (button->isChecked())
                return button;
        }
        for (QRadioButton* button : m_items) {
            if (button->isEnabled())
                return button;
        }
        return nullptr;
    }

    // Qt moves the Tab stop to whichever button had the focus last; in a
    // Windows group it is the chosen button.
    void onlyTargetTakesTab() {
        const QRadioButton* stop = target();
        if (stop == nullptr)
            return;
        for (QRadioButton* button : m_items)
            setTabFocus(*button, button == stop);
    }

    // A button that had the focus while another is chosen (the program
    // chose that one since, or a mouse press was let go outside this one)
    // made itself Qt's Tab stop of the group: Tab moves on to the chosen.
    bool tabbedIn(QRadioButton& button, const QFocusEvent& focus) {
        if (focus.reason() != Qt::TabFocusReason && focus.reason() != Qt::BacktabFocusReason)
            return false;
        QRadioButton* stop = target();
        if (button.isChecked() || stop == nullptr || !stop->isChecked() || !stop->isEnabled())
            return false;
        stop->setFocus(focus.reason());
        return true;
    }

    bool shortcut() {
        if (m_group.isCheckable())
            return false;  // its access key ticks the box: Qt's own
        QRadioButton* stop = target();
        if (stop == nullptr || !stop->isEnabled() || !stop->isVisibleTo(m_group.window()))
            return false;
        stop->setFocus(Qt::ShortcutFocusReason);
        return true;
    }

    bool arrowKey(int from, const QKeyEvent& key) {
        if (key.modifiers() != Qt::NoModifier && key.modifiers() != Qt::KeypadModifier)
            return false;
        int step = 0;
        if (key.key() == Qt::Key_Down || key.key() == Qt::Key_Right)
            step = 1;
        else if (key.key() == Qt::Key_Up || key.key() == Qt::Key_Left)
            step = -1;
        if (step == 0)
            return false;
        const int n = static_cast<int>(m_items.size());
        int next = from;
        // Disabled items are stepped over; a group with none enabled stays.
        for (int tries = 0; tries < n; ++tries) {
            next = (next + step + n) % n;
            if (m_items[static_cast<std::size_t>(next)]->isEnabled())
                break;
        }
        QRadioButton* chosen = m_items[static_cast<std::size_t>(next)];
        chosen->setChecked(true);
        chosen->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }

    QGroupBox& m_group;
    const QObject* m_groupObject;
    std::vector<QRadioButton*> m_items;
    std::vector<const QObject*> m_itemObjects;
};

}  // namespace

void useWindowsRadioKeys(QGroupBox& group) {
    new WindowsRadioKeys(group);
}

void focusFirstField(QWidget& dialog) {
    for (QWidget* widget = dialog.nextInFocusChain(); widget != nullptr && widget != &dialog;
         widget = widget->nextInFocusChain()) {
        if (dialog.isAncestorOf(widget) && takesTabFocus(*widget, dialog)) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

}  // namespace korvane
