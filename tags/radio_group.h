// A radio group as the tag and options dialogs show it: a titled box of
// radio buttons in one column, answering the keyboard as a Windows radio
// group does (useWindowsRadioKeys): its access key and Tab reach the chosen
// item, and the arrow keys step through the items in item order, choosing
// as they go.
#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

namespace korvane {

class RadioGroup : public QGroupBox {
    Q_OBJECT

  public:
    RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

    // The chosen item, -1 while none is.
    int itemIndex() const;
    // -1 chooses none.
    void setItemIndex(int index);
    int count() const { return static_cast<int>(m_items.size()); }
    QRadioButton* item(int index) const { return m_items.at(static_cast<std::size_t>(index)); }

  private:
    std::vector<QRadioButton*> m_items;
};

}  // namespace korvane
