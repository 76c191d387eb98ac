#include "app/tf_option.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/system_colors.h"
#include "tags/radio_group.h"

namespace korvane {

namespace {

QCheckBox* checkBox(const char* name, const char* caption, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// The list's items are the widths; the option is the item's index.
constexpr const char* kTabWidths[] = {"1", "2", "4", "8"};

}  // namespace

TfOption::TfOption(SettingsStore& store, TagHighlighter& highlighter, ColorDialog& ColorDialog1,
                   QWidget* parent)
    : ModelessDialog(QStringLiteral("オプション"), "fOption", parent),
      m_store(store),
      m_highlighter(highlighter),
      m_colorDialog1(ColorDialog1) {
    // Text mode's group: the opening rule at the left, the keep options at
    // the right with the four details indented under their switch, the tab
    // width along the bottom.
    GroupBox1 = new QGroupBox(QStringLiteral("korvane"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    rgkvnHtml = new RadioGroup(
        QStringLiteral("HTMLﾌｧｲﾙを開いた際(&M)"),
        {QStringLiteral("korvaneでそのまま開く"), QStringLiteral("morvixに切り替えて開く"),
         QStringLiteral("korvaneでﾀｸﾞ抜きして開く")},
        GroupBox1);
    rgkvnHtml->setObjectName(QStringLiteral("rgkvnHtml"));
    cbDetail = checkBox("cbDetail", "詳細設定の値を保持する(&D)", GroupBox1);
    cbAuthor = checkBox("cbAuthor", "制作者名(&A)", GroupBox1);
    cbDescription = checkBox("cbDescription", "内容の説明(&E)", GroupBox1);
    cbHead = checkBox("cbHead", "ＨＥＡＤ(&H))", GroupBox1);
    cbKeywords = checkBox("cbKeywords", "キーワード(&K)", GroupBox1);
    cbColor = checkBox("cbColor", "色指定の値を保持する(&C)", GroupBox1);
    Label1 =
        new QLabel(QStringLiteral("HTML変換の際、タブを全角空白何文字に変換するか(&T)"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    cbTab = new QComboBox(GroupBox1);
    cbTab->setObjectName(QStringLiteral("cbTab"));
    for (const char* width : kTabWidths)
        cbTab->addItem(QString::fromLatin1(width));
    Label1->setBuddy(cbTab);
    Label3 = new QLabel(QStringLiteral("新しいページの文字コード(&J)"), GroupBox1);
    Label3->setObjectName(QStringLiteral("Label3"));
    cbNewEncoding = new QComboBox(GroupBox1);
    cbNewEncoding->setObjectName(QStringLiteral("cbNewEncoding"));
    // In the order of the stored values.
    cbNewEncoding->addItem(QStringLiteral("Shift_JIS"));
    cbNewEncoding->addItem(QStringLiteral("UTF-8"));
    Label3->setBuddy(cbNewEncoding);

    auto* subOptions = new QGridLayout;
    subOptions->setContentsMargins(20, 0, 0, 0);
    subOptions->addWidget(cbAuthor, 0, 0);
    subOptions->addWidget(cbDescription, 0, 1);
    subOptions->addWidget(cbHead, 1, 0);
    subOptions->addWidget(cbKeywords, 1, 1);
    auto* keep = new QVBoxLayout;
    keep->addWidget(cbDetail);
    keep->addLayout(subOptions);
    keep->addWidget(cbColor);
    keep->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(rgkvnHtml);
    top->addLayout(keep, 1);
    auto* tabRow = new QHBoxLayout;
    tabRow->addWidget(Label1);
    tabRow->addWidget(cbTab);
    tabRow->addStretch(1);
    auto* encodingRow = new QHBoxLayout;
    encodingRow->addWidget(Label3);
    encodingRow->addWidget(cbNewEncoding);
    encodingRow->addStretch(1);
    auto* group1 = new QVBoxLayout(GroupBox1);
    group1->addLayout(top);
    group1->addLayout(tabRow);
    group1->addLayout(encodingRow);

    // Tag mode's group: the opening rule at the left, the highlighting at
    // the right.
    GroupBox2 = new QGroupBox(QStringLiteral("morvix"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    rgmvxHtml = new RadioGroup(
        QStringLiteral("ﾃｷｽﾄﾌｧｲﾙを開いた際(&X)"),
        {QStringLiteral("korvaneに切り替えて開く"), QStringLiteral("morvixでﾀｸﾞ打ちして開く")},
        GroupBox2);
    rgmvxHtml->setObjectName(QStringLiteral("rgmvxHtml"));
    cbHilight = checkBox("cbHilight", "ﾃﾞﾌｫﾙﾄでﾀｸﾞをﾊｲﾗｲﾄ表示(&I)", GroupBox2);
    Label2 = new QLabel(QStringLiteral("ﾊｲﾗｲﾄ色"), GroupBox2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Shape1 = new QFrame(GroupBox2);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setAutoFillBackground(true);
    Shape1->setFixedSize(41, 25);
    bHilight = new QPushButton(QStringLiteral("設定(&L)"), GroupBox2);
    bHilight->setObjectName(QStringLiteral("bHilight"));
    bHilight->setAutoDefault(false);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(Label2);
    colorRow->addWidget(Shape1);
    colorRow->addWidget(bHilight);
    colorRow->addStretch(1);
    auto* highlight = new QVBoxLayout;
    highlight->addWidget(cbHilight);
    highlight->addLayout(colorRow);
    highlight->addStretch(1);
    auto* group2 = new QHBoxLayout(GroupBox2);
    group2->addWidget(rgmvxHtml);
    group2->addLayout(highlight, 1);

    bOK = new QPushButton(QStringLiteral("ＯＫ"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    bOK->setMinimumSize(153, 33);
    bCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bCancel->setAutoDefault(false);
    bCancel->setMinimumSize(169, 33);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bOK);
    buttons->addStretch(1);
    buttons->addWidget(bCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    // A fixed dialog frame, as large as its contents need.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The design states, for the look before the first showing.
    rgkvnHtml->setItemIndex(0);
    rgmvxHtml->setItemIndex(1);
    cbTab->setCurrentIndex(1);
    cbDetail->setChecked(true);
    cbAuthor->setChecked(true);
    cbColor->setChecked(true);
    cbHilight->setChecked(true);

    connect(cbDetail, &QCheckBox::clicked, this, &TfOption::cbDetailClick);
    connect(cbHilight, &QCheckBox::clicked, this, &TfOption::cbHilightClick);
    connect(bHilight, &QPushButton::clicked, this, &TfOption::bHilightClick);
    connect(bOK, &QPushButton::clicked, this, &TfOption::bOKClick);
    connect(bCancel, &QPushButton::clicked, this, &TfOption::bCancelClick);
}

void TfOption::formShow() {
    const Options& o = m_store.values().options;
    rgkvnHtml->setItemIndex(o.kvnHtml);
    rgmvxHtml->setItemIndex(o.mvxHtml);
    // A stored index outside the list shows the width it stands for: 8.
    cbTab->setCurrentIndex(o.tab >= 0 && o.tab < cbTab->count() ? o.tab : cbTab->count() - 1);
    cbNewEncoding->setCurrentIndex(o.newPageEncoding);
    cbDetail->setChecked(o.keepDetail);
    cbAuthor->setChecked(o.keepAuthor);
    cbKeywords->setChecked(o.keepKeywords);
    cbDescription->setChecked(o.keepDescription);
    cbHead->setChecked(o.keepHead);
    cbColor->setChecked(o.keepColor);
    cbHilight->setChecked(o.hilight);
    setShapeColor(m_highlighter.HighlightColor());
    cbDetailClick();
    cbHilightClick();
}

void TfOption::cbDetailClick() {
    const bool on = cbDetail->isChecked();
    for (QCheckBox* box : {cbAuthor, cbHead, cbDescription, cbKeywords})
        box->setEnabled(on);
}

void TfOption::cbHilightClick() {
    bHilight->setEnabled(cbHilight->isChecked());
}

void TfOption::setShapeColor(ColorValue color) {
    m_shapeColor = color;
    QPalette p = Shape1->palette();
    p.setColor(QPalette::Window, qColorOf(color));
    p.setColor(QPalette::WindowText, qColorOf(color));
    Shape1->setPalette(p);
}

void TfOption::bHilightClick() {
    m_colorDialog1.setColor(m_shapeColor);
    if (m_colorDialog1.run())
        setShapeColor(m_colorDialog1.color());
}

Options TfOption::chosenOptions() const {
    Options o = m_store.values().options;
    // A stored value outside the items shows no item chosen; it is kept as
    // it was unless the user chooses one.
    if (rgkvnHtml->itemIndex() >= 0)
        o.kvnHtml = rgkvnHtml->itemIndex();
    if (rgmvxHtml->itemIndex() >= 0)
        o.mvxHtml = rgmvxHtml->itemIndex();
    o.tab = cbTab->currentIndex();
    o.newPageEncoding = cbNewEncoding->currentIndex();
    // Disabled sub-options count with their ticks like the others.
    o.keepDetail = cbDetail->isChecked();
    o.keepAuthor = cbAuthor->isChecked();
    o.keepKeywords = cbKeywords->isChecked();
    o.keepDescription = cbDescription->isChecked();
    o.keepHead = cbHead->isChecked();
    o.keepColor = cbColor->isChecked();
    o.hilight = cbHilight->isChecked();
    o.tColor = m_shapeColor;
    return o;
}

// The new values are in effect before the file is written: a key that
// cannot be written is reported, the keys after it are not written, and the
// dialog stays open to try again.
void TfOption::bOKClick() {
    const Options options = chosenOptions();
    if (m_shapeColor != m_highlighter.HighlightColor()) {
        m_highlighter.setHighlightColor(m_shapeColor);
        if (m_highlighter.TagsHighlighted())
            m_highlighter.forceWholeTextPass();
    }
    if (!m_store.storeOptions(options))
        return;
    hide();
}

}  // namespace korvane
