// The options dialog "オプション": how each mode opens files of the other
// kind, the tab width of the conversion, which page settings are kept from
// one run to the next, and the tag highlighting default and colour.
//
// Every showing loads the controls from the run's options; OK hands them
// to the settings store, which writes all eleven keys, and recolours the
// tags at once when the highlight colour changed while they are coloured.
#pragma once

#include "app/settings.h"
#include "app/settings_store.h"
#include "base/command_table.h"
#include "edit/tag_highlighter.h"
#include "platform/common_dialogs.h"
#include "platform/modeless_dialog.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace korvane {

class RadioGroup;

class TfOption : public ModelessDialog {
    Q_OBJECT

  public:
    // `ColorDialog1` is the highlight colour's dialog, kept for the run.
    TfOption(SettingsStore& store, TagHighlighter& highlighter, ColorDialog& ColorDialog1,
             QWidget* parent = nullptr);

    // What the controls say now, as the options OK would store.
    Options chosenOptions() const;
    ColorValue shapeColor() const { return m_shapeColor; }

    // Handlers.
    void cbDetailClick();
    void cbHilightClick();
    void bHilightClick();
    void bOKClick();
    void bCancelClick() { reject(); }

  protected:
    // FormShow.
    void formShow() override;

  private:
    void setShapeColor(ColorValue color);

    SettingsStore& m_store;
    TagHighlighter& m_highlighter;
    ColorDialog& m_colorDialog1;
    ColorValue m_shapeColor = 0;

    QGroupBox* GroupBox1 = nullptr;
    RadioGroup* rgkvnHtml = nullptr;
    QCheckBox* cbDetail = nullptr;
    QCheckBox* cbAuthor = nullptr;
    QCheckBox* cbDescription = nullptr;
    QCheckBox* cbHead = nullptr;
    QCheckBox* cbKeywords = nullptr;
    QCheckBox* cbColor = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cbTab = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cbNewEncoding = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    RadioGroup* rgmvxHtml = nullptr;
    QCheckBox* cbHilight = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* Shape1 = nullptr;
    QPushButton* bHilight = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bCancel = nullptr;
};

}  // namespace korvane
