#include "tags/tf_font.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <optional>
#include <string>
#include <vector>

#include "base/shift_jis.h"
#include "platform/system_colors.h"
#include "tags/tag_text.h"

namespace korvane {

void DropDownList::showPopup() {
    if (m_onDropDown)
        m_onDropDown();
    QComboBox::showPopup();
}

TfFont::TfFont(EditControl& edit, TagHighlighter& highlighter, CommonDialogs& dialogs,
               const PageSettings& page, QWidget* parent)
    : TagDialog(edit, highlighter, QStringLiteral("ﾌｫﾝﾄ指定"), "TfFont", parent),
      m_dialogs(dialogs),
      m_page(page),
      m_families([] { return QFontDatabase::families(); }) {
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    cbSize = new QCheckBox(QStringLiteral("ｻｲｽﾞを指定する(&S)"), this);
    coSize = new QComboBox(this);
    for (int size = 1; size <= 7; ++size)
        coSize->addItem(QString::number(size));
    coSize->setCurrentIndex(2);
    coSize->setEnabled(false);
    cbColor = new QCheckBox(QStringLiteral("色を指定する(&C)"), this);
    bColor = new QPushButton(QStringLiteral("設定"), this);
    bColor->setAutoDefault(false);
    bColor->setEnabled(false);
    cbFace = new QCheckBox(QStringLiteral("種類を指定する(&F)"), this);
    cbFont = new DropDownList(this);
    cbFont->setEnabled(false);
    cbFont->setMinimumContentsLength(16);
    named(cbSize, "cbSize");
    named(coSize, "coSize");
    named(cbColor, "cbColor");
    named(bColor, "bColor");
    named(cbFace, "cbFace");
    named(cbFont, "cbFont");

    Shape1 = new QFrame(this);
    named(Shape1, "Shape1");
    Shape1->setAutoFillBackground(true);
    Shape1->setMinimumSize(160, 90);
    Label1 = new QLabel(QStringLiteral("あいうえお"), Shape1);
    Label2 = new QLabel(QStringLiteral("アイウエオ"), Shape1);
    Label3 = new QLabel(QStringLiteral("ABCDEFG"), Shape1);
    Label4 = new QLabel(Shape1);
    named(Label1, "Label1");
    named(Label2, "Label2");
    named(Label3, "Label3");
    named(Label4, "Label4");
    auto* preview = new QVBoxLayout(Shape1);
    for (QLabel* label : {Label1, Label2, Label3, Label4})
        preview->addWidget(label);

    auto* grid = new QGridLayout;
    grid->addWidget(cbSize, 0, 0);
    grid->addWidget(coSize, 0, 1);
    grid->addWidget(cbColor, 1, 0);
    grid->addWidget(bColor, 1, 1);
    grid->addWidget(cbFace, 2, 0);
    grid->addWidget(cbFont, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(Shape1);
    layout->addLayout(buttons);

    connect(cbSize, &QCheckBox::toggled, this, &TfFont::sizeclick);
    connect(cbColor, &QCheckBox::toggled, this, &TfFont::colorclick);
    connect(cbFace, &QCheckBox::toggled, this, &TfFont::faceclick);
    connect(bColor, &QPushButton::clicked, this, &TfFont::bColorClick);
    cbFont->setOnDropDown([this] { cbFontDDown(); });
    connect(cbFont, &QComboBox::currentIndexChanged, this, &TfFont::cbFontChange);
    connect(bOK, &QPushButton::clicked, this, &TfFont::bOKClick);
}

void TfFont::formShow() {
    QPalette back = Shape1->palette();
    back.setColor(QPalette::Window, qColorOf(m_page.BackColor));
    Shape1->setPalette(back);
    setPreviewTextColor(qColorOf(m_page.FontColor));
}

void TfFont::setPreviewTextColor(const QColor& color) {
    for (QLabel* label : {Label1, Label2, Label3, Label4}) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, color);
        label->setPalette(p);
    }
}

void TfFont::sizeclick() {
    coSize->setEnabled(cbSize->isChecked());
}

void TfFont::colorclick() {
    bColor->setEnabled(cbColor->isChecked());
}

void TfFont::faceclick() {
    cbFont->setEnabled(cbFace->isChecked());
}

void TfFont::bColorClick() {
    ColorDialog& dialog = *m_dialogs.fontTagColor;
    if (dialog.run())
        setPreviewTextColor(qColorOf(dialog.color()));
}

void TfFont::cbFontDDown() {
    std::vector<std::string> installed;
    for (const QString& family : m_families())
        installed.push_back(family.toStdString());
    // Rebuilding clears the choice; the preview keeps the font it shows.
    const QSignalBlocker quiet(cbFont);
    cbFont->setUpdatesEnabled(false);
    cbFont->clear();
    for (const std::string& name : fontListEntries(std::move(installed)))
        cbFont->addItem(QString::fromStdString(name));
    cbFont->setCurrentIndex(-1);
    cbFont->setUpdatesEnabled(true);
}

void TfFont::cbFontChange() {
    const QString name = cbFont->currentText();
    if (name.isEmpty())
        return;
    for (QLabel* label : {Label1, Label2, Label3, Label4}) {
        QFont font = label->font();
        font.setFamily(name);
        label->setFont(font);
    }
    Label4->setText(name);
}

void TfFont::bOKClick() {
    if (!cbFace->isChecked() && !cbSize->isChecked() && !cbColor->isChecked()) {
        hide();
        return;
    }
    FontTagFields fields;
    fields.face = cbFace->isChecked();
    // The list holds only names Shift_JIS can write, and so every encoding
    // a page is in.
    fields.faceName = m_edit.codec().encode(cbFont->currentText().toStdU16String()).bytes;
    fields.size = cbSize->isChecked();
    fields.sizeText = coSize->currentText().toStdString();
    fields.color = cbColor->isChecked();
    fields.colorValue = m_dialogs.fontTagColor->color();
    if (const std::optional<std::string> text = fontTagText(m_edit.selText(), fields))
        insertAtSelection(*text);
    hide();
}

}  // namespace korvane
