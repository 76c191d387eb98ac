// A radio group as the tag dialogs show it: a titled box of radio buttons
// in one column, whose access key reaches the chosen item and whose arrow
// keys move through the items in item order (Down and Right to the next,
// Up and Left to the one before, round at the ends), choosing as they go.
//
// Qt's own arrow keys pick the nearest button on the screen, so Left and
// Right do nothing in a column; a Windows radio group steps in item order.
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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::vector<QRadioButton*> m_items;
};

}  // namespace korvane
