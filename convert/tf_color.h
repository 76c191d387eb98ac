// The page colour dialog "色指定": the five BODY colours, each with a switch
// that says whether it is written into the page, and a preview of the page's
// colour scheme in the colours being chosen.
//
// It works on its own copy of the colours (WorkColors), loaded each time it
// is shown; OK puts them into the page settings and hands them to `store`,
// which writes them as the keep-colour option allows.
#pragma once

#include <array>
#include <functional>

#include "convert/page_settings.h"
#include "platform/common_dialogs.h"
#include "platform/modeless_dialog.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace korvane {

class TfColor : public ModelessDialog {
    Q_OBJECT

  public:
    // Rows top to bottom; the background row is last and has no label.
    enum Row { FontRow, LinkRow, VlinkRow, AlinkRow, BackRow, RowCount };

    // `store` writes page's colours to the settings file and returns false
    // when a key could not be written (the failure is shown by it).
    TfColor(PageSettings& page, ColorDialog& cdSetColor, std::function<bool()> store,
            QWidget* parent = nullptr);

    ColorValue workColor(Row row) const { return WorkColors[static_cast<std::size_t>(row)]; }

    // Handlers.
    void cbClick(Row row);
    void colorClick(Row row);
    void bOKClick();
    void bCancelClick() { reject(); }

  protected:
    void formShow() override;

  private:
    // Runs the colour dialog on `color`; a cancel leaves it as it was.
    ColorValue ColorDialogOpen(ColorValue& color);
    void paintPreview();

    PageSettings& m_page;
    ColorDialog& m_cdSetColor;
    std::function<bool()> m_store;
    std::array<ColorValue, RowCount> WorkColors{};

    std::array<QCheckBox*, RowCount> m_checks{};
    std::array<QPushButton*, RowCount> m_buttons{};
    std::array<QLabel*, AlinkRow + 1> m_labels{};
    QFrame* sBackColor = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bCancel = nullptr;
};

}  // namespace korvane
