#include "tags/tf_nr_link.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>
#include <string>

#include "editor/sjis_line_edit.h"

namespace korvane {

TfNrLink::TfNrLink(EditControl& edit, TagHighlighter& highlighter, CommonDialogs& dialogs,
                   CurrentFileSource currentFile, PathStyle pathStyle, QWidget* parent)
    : FileTagDialog(edit, highlighter, dialogs, *dialogs.odLink, std::move(currentFile), pathStyle,
                    QStringLiteral("ﾘﾝｸ・ﾒｰﾙ"), "TfNrLink", parent) {
    eAddress = new SjisLineEdit(this);
    eAddress->setObjectName(QStringLiteral("eAddress"));
    eName = new SjisLineEdit(this);
    eName->setObjectName(QStringLiteral("eName"));
    CheckBox1 = new QCheckBox(QStringLiteral("ﾒｰﾙｱﾄﾞﾚｽ(&M)"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    bAddress =
        browseButton(QStringLiteral("ｱﾄﾞﾚｽ参照(&R)"), "bAddress", [this] { bAddressClick(); });

    dialogs.odLink->setFilter(kLinkFilter);
    dialogs.odLink->setDefaultExtension("htm");

    auto* grid = new QGridLayout;
    grid->addWidget(buddyLabel(QStringLiteral("ｱﾄﾞﾚｽ(&A)"), eAddress, this), 0, 0);
    grid->addWidget(eAddress, 0, 1);
    grid->addWidget(bAddress, 0, 2);
    grid->addWidget(buddyLabel(QStringLiteral("名前(&N)"), eName, this), 1, 0);
    grid->addWidget(eName, 1, 1, 1, 2);
    grid->addWidget(CheckBox1, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    eAddress->setMinimumWidth(240);

    connect(CheckBox1, &QCheckBox::toggled, this, &TfNrLink::CheckBox1Click);
    connect(bOK, &QPushButton::clicked, this, &TfNrLink::bOKClick);
}

void TfNrLink::formShow() {
    eName->setBytes(inField(m_edit.selText()));
    // A mail address box still checked from an earlier use keeps browsing
    // off, as checking it does: a picked file is no mail address.
    bAddress->setEnabled(documentNamed() && !CheckBox1->isChecked());
}

void TfNrLink::CheckBox1Click() {
    if (CheckBox1->isChecked())
        bAddress->setEnabled(false);
    else if (documentNamed())
        bAddress->setEnabled(true);
}

void TfNrLink::bAddressClick() {
    if (const auto picked = pickLocation(StartFolder::Recent))
        eAddress->setBytes(picked->location);
}

void TfNrLink::bOKClick() {
    LinkTagFields fields;
    fields.address = inDocument(eAddress->bytes());
    fields.name = inDocument(eName->bytes());
    fields.mail = CheckBox1->isChecked();
    if (!fields.address.empty() && !fields.name.empty()) {
        if (const std::optional<std::string> text = linkTagText(m_edit.selText(), fields))
            insertAtSelection(*text);
    }
    hide();
}

}  // namespace korvane
