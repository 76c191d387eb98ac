#include "tags/tf_link.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>
#include <string>

#include "editor/sjis_line_edit.h"
#include "tags/radio_group.h"
#include "tags/tag_text.h"

namespace korvane {

TfLink::TfLink(EditControl& edit, TagHighlighter& highlighter, QWidget* parent)
    : TagDialog(edit, highlighter, QStringLiteral("ﾍﾟｰｼﾞ内ﾘﾝｸ"), "TfLink", parent) {
    rgLink = new RadioGroup(QStringLiteral("元/先(&L)"),
                            {QStringLiteral("ﾘﾝｸ元"), QStringLiteral("ﾘﾝｸ先")}, this);
    rgLink->setObjectName(QStringLiteral("rgLink"));
    eLink = new SjisLineEdit(this);
    eLink->setObjectName(QStringLiteral("eLink"));
    eLink->setMinimumWidth(160);

    auto* name = new QHBoxLayout;
    name->addWidget(buddyLabel(QStringLiteral("名前(&N)"), eLink, this));
    name->addWidget(eLink);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rgLink);
    layout->addLayout(name);
    layout->addLayout(buttons);

    connect(bOK, &QPushButton::clicked, this, &TfLink::bOKClick);
}

void TfLink::formShow() {
    rgLink->setItemIndex(static_cast<int>(nextLinkEnd(static_cast<LinkEnd>(rgLink->itemIndex()))));
}

void TfLink::bOKClick() {
    const std::string name = inDocument(eLink->bytes());
    if (!name.empty()) {
        const auto end = static_cast<LinkEnd>(rgLink->itemIndex());
        if (const std::optional<std::string> text = anchorTagText(m_edit.selText(), name, end))
            insertAtSelection(*text);
    }
    hide();
}

}  // namespace korvane
