#include "tags/radio_group.h"

#include <QKeyEvent>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace korvane {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent) {
    auto* layout = new QVBoxLayout(this);
    for (const QString& text : items) {
        auto* button = new QRadioButton(text, this);
        button->installEventFilter(this);
        layout->addWidget(button);
        m_items.push_back(button);
    }
}

int RadioGroup::itemIndex() const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->isChecked())
            return static_cast<int>(i);
    }
    return -1;
}

void RadioGroup::setItemIndex(int index) {
    if (index >= 0 && index < count()) {
        item(index)->setChecked(true);
        return;
    }
    // Auto-exclusive buttons refuse to uncheck the last checked one.
    for (QRadioButton* button : m_items) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}

bool RadioGroup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QGroupBox::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    int step = 0;
    if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Right)
            step = 1;
        else if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Left)
            step = -1;
    }
    const auto at = std::find(m_items.begin(), m_items.end(), watched);
    if (step == 0 || at == m_items.end())
        return QGroupBox::eventFilter(watched, event);
    const int n = count();
    int next = static_cast<int>(at - m_items.begin());
    // Disabled items are stepped over; a group with none enabled stays.
    for (int tries = 0; tries < n; ++tries) {
        next = (next + step + n) % n;
        if (item(next)->isEnabled())
            break;
    }
    item(next)->setChecked(true);
    item(next)->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

}  // namespace korvane
