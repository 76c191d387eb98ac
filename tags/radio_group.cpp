#include "tags/radio_group.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/dialog_focus.h"

namespace korvane {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent) {
    auto* layout = new QVBoxLayout(this);
    for (const QString& text : items) {
        auto* button = new QRadioButton(text, this);
        layout->addWidget(button);
        m_items.push_back(button);
    }
    useWindowsRadioKeys(*this);
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

}  // namespace korvane
