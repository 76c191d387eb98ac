#include "tags/tf_image.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "editor/sjis_line_edit.h"
#include "tags/picture_size.h"
#include "tags/qt_picture_size.h"
#include "tags/radio_group.h"

namespace korvane {

TfImage::TfImage(EditControl& edit, TagHighlighter& highlighter, CommonDialogs& dialogs,
                 CurrentFileSource currentFile, PathStyle pathStyle, QWidget* parent)
    : FileTagDialog(edit, highlighter, dialogs, *dialogs.odImage, std::move(currentFile), pathStyle,
                    QStringLiteral("画像配置"), "TfImage", parent) {
    auto box = [this](const char* name) {
        auto* field = new SjisLineEdit(this);
        field->setObjectName(QString::fromLatin1(name));
        return field;
    };
    eFile = box("eFile");
    eFile->setMinimumWidth(240);
    bRefer = browseButton(QStringLiteral("参照(&R)"), "bRefer", [this] { bReferClick(); });
    eHeight = box("eHeight");
    eWidth = box("eWidth");
    eAlt = box("eAlt");
    eBorder = box("eBorder");
    // The number boxes take no line break: Enter is discarded, and one that
    // comes in with pasted text is dropped (it would end up in the tag).
    for (SjisLineEdit* number : {eHeight, eWidth, eBorder}) {
        number->setAlignment(Qt::AlignRight);
        number->setLineBreaks(SjisLineBreaks::Removed);
        number->installEventFilter(this);
    }
    rgPosition =
        new RadioGroup(QStringLiteral("画像の位置(&P)"),
                       {QStringLiteral("指定無し"), QStringLiteral("left(画像左)"),
                        QStringLiteral("right(画像右)"), QStringLiteral("top(画像上揃え)"),
                        QStringLiteral("middle(画像中揃え)"), QStringLiteral("bottom(画像下揃え)")},
                       this);
    rgPosition->setObjectName(QStringLiteral("rgPosition"));

    dialogs.odImage->setFilter(kPictureFilter);

    auto* fields = new QGridLayout;
    fields->addWidget(buddyLabel(QStringLiteral("ファイル名(&F)"), eFile, this), 0, 0);
    fields->addWidget(eFile, 0, 1, 1, 3);
    fields->addWidget(bRefer, 0, 4);
    fields->addWidget(buddyLabel(QStringLiteral("高さ(&H)"), eHeight, this), 1, 0);
    fields->addWidget(eHeight, 1, 1);
    fields->addWidget(buddyLabel(QStringLiteral("幅(&W)"), eWidth, this), 1, 2);
    fields->addWidget(eWidth, 1, 3);
    fields->addWidget(buddyLabel(QStringLiteral("代替文字(&A)"), eAlt, this), 2, 0);
    fields->addWidget(eAlt, 2, 1, 1, 4);
    fields->addWidget(buddyLabel(QStringLiteral("枠線の太さ(&B)"), eBorder, this), 3, 0);
    fields->addWidget(eBorder, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(rgPosition);
    layout->addLayout(buttons);

    connect(bOK, &QPushButton::clicked, this, &TfImage::bOKClick);
}

void TfImage::formShow() {
    bRefer->setEnabled(documentNamed());
    for (SjisLineEdit* field : {eFile, eHeight, eWidth, eAlt, eBorder})
        field->clear();
    rgPosition->setItemIndex(0);
}

bool TfImage::memopress(const QKeyEvent& key) const {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

bool TfImage::eventFilter(QObject* watched, QEvent* event) {
    // Enter would otherwise reach the dialog and press OK.
    if (event->type() == QEvent::KeyPress &&
        (watched == eHeight || watched == eWidth || watched == eBorder) &&
        memopress(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return TagDialog::eventFilter(watched, event);
}

void TfImage::bReferClick() {
    // Pictures usually lie beside the page, and the location is made
    // relative to it: browsing starts there (once a picture is picked, the
    // dialog proposes that one again).
    const auto picked = pickLocation(StartFolder::Document);
    if (!picked)
        return;
    // The fields always belong to the picture just picked: one whose size
    // cannot be read empties them.
    const PictureSizeFields size = pictureSizeFields(pictureSizeOf(picked->file));
    eHeight->setBytes(size.height);
    eWidth->setBytes(size.width);
    eFile->setBytes(picked->location);
}

void TfImage::bOKClick() {
    ImageTagFields fields;
    fields.file = inDocument(eFile->bytes());
    if (!fields.file.empty()) {
        fields.height = inDocument(eHeight->bytes());
        fields.width = inDocument(eWidth->bytes());
        fields.alt = inDocument(eAlt->bytes());
        fields.border = inDocument(eBorder->bytes());
        fields.position = static_cast<ImagePosition>(rgPosition->itemIndex());
        if (const std::optional<std::string> text = imageTagText(m_edit.selText(), fields))
            insertAtSelection(*text);
    }
    hide();
}

}  // namespace korvane
