#include "convert/tf_color.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <utility>

#include "platform/system_colors.h"

namespace korvane {

namespace {

struct RowDesign {
    const char* check;
    const char* button;
    const char* caption;
    const char* label;  // nullptr: no label
    const char* labelCaption;
    std::int32_t bit;
    int top;
};

constexpr RowDesign kRows[TfColor::RowCount] = {
    {"cbFont", "bFontColor", "文字色(&F)", "lFontColor", "文字色", kCheckFont, 8},
    {"cbLink", "bLinkColor", "未読リンク(&L)", "lLinkColor", "未読リンク", kCheckLink, 48},
    {"cbVLink", "bVlinkColor", "既読リンク(&V)", "lVlinkColor", "既読リンク", kCheckVlink, 88},
    {"cbAlink", "bAlinkColor", "選択リンク(&A)", "lAlinkColor", "選択リンク", kCheckAlink, 128},
    {"cbBack", "bBackColor", "背景色(&B)", nullptr, nullptr, kCheckBack, 160},
};

// The design is laid out for a 12-pixel font; the buttons' captions are
// wider in the fonts a Linux desktop has, so the columns right of the
// buttons move over by what the widest caption needs.
constexpr int kDesignButtonWidth = 73;

}  // namespace

TfColor::TfColor(PageSettings& page, ColorDialog& cdSetColor, std::function<bool()> store,
                 QWidget* parent)
    : ModelessDialog(QStringLiteral("色指定"), "TfColor", parent),
      m_page(page),
      m_cdSetColor(cdSetColor),
      m_store(std::move(store)) {
    QFont font = this->font();
    font.setPixelSize(12);
    setFont(font);

    for (int row = 0; row < RowCount; ++row) {
        const RowDesign& d = kRows[row];
        auto* check = new QCheckBox(this);
        check->setObjectName(QString::fromLatin1(d.check));
        auto* button = new QPushButton(QString::fromUtf8(d.caption), this);
        button->setObjectName(QString::fromLatin1(d.button));
        button->setAutoDefault(false);
        m_checks[static_cast<std::size_t>(row)] = check;
        m_buttons[static_cast<std::size_t>(row)] = button;
        connect(check, &QCheckBox::clicked, this, [this, row] { cbClick(static_cast<Row>(row)); });
        connect(button, &QPushButton::clicked, this,
                [this, row] { colorClick(static_cast<Row>(row)); });
    }
    int buttonWidth = kDesignButtonWidth;
    for (QPushButton* button : m_buttons)
        buttonWidth = std::max(buttonWidth, button->sizeHint().width());
    const int shift = buttonWidth - kDesignButtonWidth;

    sBackColor = new QFrame(this);
    sBackColor->setObjectName(QStringLiteral("sBackColor"));
    sBackColor->setAutoFillBackground(true);
    sBackColor->setFrameShape(QFrame::Box);
    sBackColor->setGeometry(104 + shift, 0, 97 + shift / 2, 153);
    QFont labelFont = font;
    labelFont.setPixelSize(15);
    for (int row = 0; row < AlinkRow + 1; ++row) {
        const RowDesign& d = kRows[row];
        auto* label = new QLabel(QString::fromUtf8(d.labelCaption), sBackColor);
        label->setObjectName(QString::fromLatin1(d.label));
        label->setFont(labelFont);
        // Transparent: the label shows its colour on the page's background.
        label->setAutoFillBackground(false);
        label->move(16, d.top);
        label->adjustSize();
        m_labels[static_cast<std::size_t>(row)] = label;
    }
    // The last label whole inside the rectangle, whatever the font's height.
    const int previewHeight = std::max(153, m_labels[AlinkRow]->geometry().bottom() + 4);
    sBackColor->resize(sBackColor->width(), std::min(previewHeight, 158));

    for (int row = 0; row < RowCount; ++row) {
        const RowDesign& d = kRows[row];
        m_checks[static_cast<std::size_t>(row)]->setGeometry(8, d.top + 4, 17, 17);
        const int width = row == BackRow ? 57 + shift / 2 : buttonWidth;
        m_buttons[static_cast<std::size_t>(row)]->setGeometry(24, d.top, width, 25);
    }

    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bCancel->setAutoDefault(false);
    const int okLeft = 96 + shift / 2;
    const int cancelWidth = std::max(41, bCancel->sizeHint().width());
    bOK->setGeometry(okLeft, 160, 49, 25);
    bCancel->setGeometry(okLeft + 49 + 15, 160, cancelWidth, 25);
    connect(bOK, &QPushButton::clicked, this, &TfColor::bOKClick);
    connect(bCancel, &QPushButton::clicked, this, &TfColor::bCancelClick);

    const int right = std::max(sBackColor->geometry().right(), bCancel->geometry().right());
    setFixedSize(right + 2, 190);
    move(409, 117);
}

void TfColor::formShow() {
    for (int row = 0; row < RowCount; ++row) {
        const bool on = (m_page.ColorCheck & kRows[row].bit) != 0;
        m_checks[static_cast<std::size_t>(row)]->setChecked(on);
        cbClick(static_cast<Row>(row));
    }
    WorkColors = {m_page.FontColor, m_page.LinkColor, m_page.VlinkColor, m_page.AlinkColor,
                  m_page.BackColor};
    paintPreview();
}

void TfColor::cbClick(Row row) {
    const auto i = static_cast<std::size_t>(row);
    const bool on = m_checks[i]->isChecked();
    m_buttons[i]->setEnabled(on);
    if (row != BackRow)
        m_labels[i]->setVisible(on);
}

ColorValue TfColor::ColorDialogOpen(ColorValue& color) {
    m_cdSetColor.setColor(color);
    m_cdSetColor.run();
    color = m_cdSetColor.color();
    return color;
}

void TfColor::colorClick(Row row) {
    ColorDialogOpen(WorkColors[static_cast<std::size_t>(row)]);
    paintPreview();
}

void TfColor::paintPreview() {
    QPalette back = sBackColor->palette();
    back.setColor(QPalette::Window, qColorOf(WorkColors[BackRow]));
    sBackColor->setPalette(back);
    for (int row = 0; row < AlinkRow + 1; ++row) {
        QLabel* label = m_labels[static_cast<std::size_t>(row)];
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, qColorOf(WorkColors[static_cast<std::size_t>(row)]));
        label->setPalette(p);
    }
}

// The run's page settings change in any case; the settings file only as the
// keep-colour option allows. A write that fails leaves the dialog open, so
// the choice is still there to try again.
void TfColor::bOKClick() {
    std::int32_t check = 0;
    for (int row = 0; row < RowCount; ++row) {
        if (m_checks[static_cast<std::size_t>(row)]->isChecked())
            check += kRows[row].bit;
    }
    m_page.ColorCheck = check;
    m_page.setColors(WorkColors[BackRow], WorkColors[FontRow], WorkColors[LinkRow],
                     WorkColors[VlinkRow], WorkColors[AlinkRow], systemColorLookup());
    if (m_store && !m_store())
        return;
    hide();
}

}  // namespace korvane
