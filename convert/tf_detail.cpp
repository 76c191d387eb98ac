#include "convert/tf_detail.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolTip>
#include <algorithm>
#include <initializer_list>
#include <utility>

#include "editor/qt_sjis.h"
#include "editor/sjis_line_edit.h"
#include "platform/system_color_index.h"
#include "platform/system_colors.h"

namespace korvane {

namespace {

QLabel* fieldLabel(const char* name, const char* caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

// The memo's text is Shift_JIS-clean as it comes in, like the one-line
// boxes: what the settings file and the page will hold is what shows.
void keepShiftJisClean(QPlainTextEdit* memo) {
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo] {
        const QString text = memo->toPlainText();
        const SjisFiltered filtered = filterForShiftJis(text, SjisLineBreaks::Paragraph);
        if (filtered.text == text)
            return;
        QTextCursor cursor = memo->textCursor();
        const int position = cursor.position();
        memo->setPlainText(filtered.text);
        cursor = memo->textCursor();
        cursor.setPosition(std::min(position, static_cast<int>(filtered.text.size())));
        memo->setTextCursor(cursor);
        if (!filtered.replaced.isEmpty())
            QToolTip::showText(memo->mapToGlobal(memo->cursorRect().bottomLeft()),
                               replacementNotice(filtered.replaced), memo);
    });
}

QString memoText(std::string_view bytes) {
    QString text = fromSjis(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string memoBytes(const QPlainTextEdit* memo) {
    QString text = memo->toPlainText();
    text.replace(QChar(0x2029), QChar('\n'));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return toSjis(text);
}

}  // namespace

TfDetail::TfDetail(PageSettings& page, std::function<bool()> store, QWidget* parent)
    : ModelessDialog(QStringLiteral("詳細設定"), "TfDetail", parent),
      m_page(page),
      m_store(std::move(store)) {
    QFont font = this->font();
    font.setPixelSize(12);
    setFont(font);
    QFont big = font;
    big.setPixelSize(15);

    // The check box sits on the frame's top edge, where a title would be.
    m_frame = new QGroupBox(this);
    m_frame->setFont(big);
    cbDetail = new QCheckBox(QStringLiteral("詳細設定をする(&D)"), this);
    cbDetail->setObjectName(QStringLiteral("cbDetail"));
    cbDetail->setFont(big);
    cbDetail->setAutoFillBackground(true);
    cbDetail->adjustSize();
    cbDetail->move(8, 0);

    eAuthor = new SjisLineEdit(m_frame);
    eAuthor->setObjectName(QStringLiteral("eAuthor"));
    eDescription = new SjisLineEdit(m_frame);
    eDescription->setObjectName(QStringLiteral("eDescription"));
    eKeywords = new SjisLineEdit(m_frame);
    eKeywords->setObjectName(QStringLiteral("eKeywords"));
    mHead = new QPlainTextEdit(m_frame);
    mHead->setObjectName(QStringLiteral("mHead"));
    // Tab moves on, as in a dialog; Enter makes a new line of the head text.
    mHead->setTabChangesFocus(true);
    keepShiftJisClean(mHead);

    QLabel* lAuthor = fieldLabel("lAuthor", "製作者名(&A)", eAuthor, m_frame);
    QLabel* lDescription = fieldLabel("lDescription", "内容説明(&E)", eDescription, m_frame);
    QLabel* lKeywords = fieldLabel("lKeywords", "キーワード(&K)", eKeywords, m_frame);
    QLabel* lHead = fieldLabel("lHead", "<HEAD>に追加する内容(&H)", mHead, m_frame);
    lHead->setTextFormat(Qt::PlainText);
    for (QLabel* label : {lAuthor, lDescription, lKeywords, lHead}) {
        label->setFont(font);
        label->adjustSize();
    }

    // The design is drawn for a font whose check box is 17 pixels high and
    // whose labels are 16; a desktop's fonts are taller. The rows under the
    // check box, and the memo under its label, move down by what the fonts
    // need beyond the design, and the dialog grows by as much, so that no
    // control covers another.
    const int belowBox = std::max(0, cbDetail->height() - 17);
    const int belowHeadLabel = belowBox + std::max(0, lHead->height() - 16);
    // The frame's edge runs through the middle of the check box's text;
    // positions inside the frame are relative to that edge.
    const int frameTop = cbDetail->height() / 2;
    m_frame->setGeometry(3, frameTop, 409, 209 + belowHeadLabel - frameTop);
    const int dy = belowBox - frameTop;
    lAuthor->move(8, 26 + dy);
    lDescription->move(8, 50 + dy);
    lKeywords->move(7, 74 + dy);
    lHead->move(8, 104 + dy);
    eAuthor->setGeometry(96, 24 + dy, 308, 23);
    eDescription->setGeometry(96, 48 + dy, 308, 23);
    eKeywords->setGeometry(96, 72 + dy, 308, 23);
    mHead->setGeometry(8, 120 + belowHeadLabel - frameTop, 393, 81);
    for (QWidget* field : std::initializer_list<QWidget*>{eAuthor, eDescription, eKeywords, mHead})
        field->setFont(font);

    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    QFont okFont = font;
    okFont.setPixelSize(13);
    bOK->setFont(okFont);
    bOK->setDefault(true);
    bOK->setGeometry(232, 216 + belowHeadLabel, 81, std::max(25, bOK->minimumSizeHint().height()));
    lCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    lCancel->setObjectName(QStringLiteral("lCancel"));
    lCancel->setAutoDefault(false);
    lCancel->setGeometry(328, 215 + belowHeadLabel, 81,
                         std::max(25, lCancel->minimumSizeHint().height()));
    const int buttonsBottom = std::max(bOK->geometry().bottom(), lCancel->geometry().bottom()) + 1;

    // The tab order follows the design: the switch, the fields, OK, Cancel.
    setTabOrder(cbDetail, eAuthor);
    setTabOrder(eAuthor, eDescription);
    setTabOrder(eDescription, eKeywords);
    setTabOrder(eKeywords, mHead);
    setTabOrder(mHead, bOK);
    setTabOrder(bOK, lCancel);

    connect(cbDetail, &QCheckBox::clicked, this, &TfDetail::cbDetailClick);
    connect(bOK, &QPushButton::clicked, this, &TfDetail::bOKClick);
    connect(lCancel, &QPushButton::clicked, this, &TfDetail::lCancelClick);

    cbDetailClick();
    setFixedSize(417, std::max(243 + belowHeadLabel, buttonsBottom + 2));
    move(233, 107);
}

void TfDetail::formShow() {
    eAuthor->setBytes(m_page.Author);
    eDescription->setBytes(m_page.Description);
    eKeywords->setBytes(m_page.Keywords);
    mHead->setPlainText(memoText(m_page.HeadText));
    cbDetail->setChecked(m_page.DetailOn);
    cbDetailClick();
}

// Greyed with the button face while the switch is off, as the fields are
// kept but not written into pages; the labels stay as they are.
void TfDetail::cbDetailClick() {
    const bool on = cbDetail->isChecked();
    const QColor base = qColorOf(static_cast<ColorValue>(
        systemColor(QApplication::palette(), on ? kColorWindow : kColorBtnFace)));
    for (QWidget* field :
         std::initializer_list<QWidget*>{eAuthor, eDescription, eKeywords, mHead}) {
        field->setEnabled(on);
        QPalette p = field->palette();
        p.setColor(QPalette::Base, base);
        field->setPalette(p);
    }
}

void TfDetail::bOKClick() {
    m_page.Author = eAuthor->bytes();
    m_page.Description = eDescription->bytes();
    m_page.Keywords = eKeywords->bytes();
    m_page.HeadText = memoBytes(mHead);
    m_page.DetailOn = cbDetail->isChecked();
    if (m_store && !m_store())
        return;
    hide();
}

}  // namespace korvane
