#include "platform/qt_common_dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cmath>

#include "platform/system_colors.h"

namespace korvane {

namespace {

const QString kCaption = QStringLiteral("korvane");

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

QtFileDialog::QtFileDialog(FileDialogKind kind, std::shared_ptr<std::string> recentFolder,
                           QWidget* parent)
    : FileDialog(kind, std::move(recentFolder)), m_parent(parent) {}

void configureFileDialog(QFileDialog& dialog, const FileDialogQuery& query) {
    const bool save = query.kind == FileDialogKind::Save;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, save);
    // The descriptions already name their patterns ("htmlﾌｧｲﾙ(*.htm;*.html)");
    // Qt's copy of them in the list would only say it twice.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (!query.title.empty())
        dialog.setWindowTitle(fromUtf8(query.title));

    QStringList filters;
    for (const std::string& filter : qtNameFilters(query.filters))
        filters.append(fromUtf8(filter));
    // Without filters Qt shows every file, as Windows does.
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(static_cast<qsizetype>(query.filterIndex)));
    }
    // The open dialog completes a name typed without extension before it
    // looks for the file; the save dialog's names get theirs in FileDialog.
    dialog.setDefaultSuffix(fromUtf8(query.defaultExtension));
    if (!query.folder.empty())
        dialog.setDirectory(fromUtf8(query.folder));
    if (!query.fileName.empty())
        dialog.selectFile(fromUtf8(query.fileName));
}

std::optional<FileDialogAnswer> QtFileDialog::ask(const FileDialogQuery& query) {
    QFileDialog dialog(m_parent);
    configureFileDialog(dialog, query);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    FileDialogAnswer answer;
    answer.path = files.first().toStdString();
    answer.filterIndex = selectedFilterIndex(dialog, query);
    return answer;
}

std::size_t selectedFilterIndex(const QFileDialog& dialog, const FileDialogQuery& query) {
    // With the details hidden Qt names the selected filter by what the list
    // shows, the description alone, not by the text it was given.
    const QString selected = dialog.selectedNameFilter();
    for (std::size_t i = 0; i < query.filters.size(); ++i) {
        const FileFilter& filter = query.filters[i];
        if (selected == fromUtf8(qtNameFilter(filter)) ||
            selected == fromUtf8(filter.description).simplified())
            return i;
    }
    return query.filterIndex;
}

QtColorDialog::QtColorDialog(QWidget* parent, SystemColorLookup systemColor, ColorValue initial)
    : ColorDialog(std::move(systemColor), initial), m_parent(parent) {}

std::optional<ColorValue> QtColorDialog::ask(ColorValue current) {
    const QColor chosen = QColorDialog::getColor(qColorOf(current), m_parent);
    if (!chosen.isValid())
        return std::nullopt;
    return colorValueOf(chosen);
}

QtFontDialog::QtFontDialog(QWidget* parent) : m_parent(parent) {}

FontChoice fontChoiceOf(const QFont& font) {
    FontChoice choice;
    choice.family = font.family().toStdString();
    const double points = font.pointSizeF();
    choice.pointSize = points > 0 ? std::max(1, static_cast<int>(std::lround(points))) : 0;
    return choice;
}

std::optional<FontChoice> QtFontDialog::ask(const FontChoice& current) {
    QFont shown = m_font;
    if (!current.family.empty())
        shown.setFamily(fromUtf8(current.family));
    if (current.pointSize > 0)
        shown.setPointSize(current.pointSize);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, shown, m_parent);
    if (!ok)
        return std::nullopt;
    m_font = chosen;
    return fontChoiceOf(chosen);
}

QtMessageBoxes::QtMessageBoxes(QWidget* parent) : m_parent(parent) {}

void QtMessageBoxes::showError(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, kCaption, fromUtf8(text), QMessageBox::Ok, m_parent);
    box.exec();
}

void QtMessageBoxes::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kCaption, fromUtf8(text), QMessageBox::Ok, m_parent);
    box.exec();
}

SaveAnswer QtMessageBoxes::askSave(const std::string& text) {
    const std::unique_ptr<QMessageBox> box = makeSaveQuestion(m_parent, fromUtf8(text));
    box->exec();
    return saveAnswerOf(*box);
}

std::unique_ptr<QMessageBox> makeSaveQuestion(QWidget* parent, const QString& text) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, kCaption, text,
                                             QMessageBox::NoButton, parent);
    QPushButton* yes = box->addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    box->addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    QPushButton* cancel = box->addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box->setDefaultButton(yes);
    // Esc and the close button answer Cancel, never Yes or No.
    box->setEscapeButton(cancel);
    return box;
}

SaveAnswer saveAnswerOf(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked)
        return SaveAnswer::Cancel;
    switch (box.buttonRole(clicked)) {
        case QMessageBox::YesRole:
            return SaveAnswer::Yes;
        case QMessageBox::NoRole:
            return SaveAnswer::No;
        default:
            return SaveAnswer::Cancel;
    }
}

CommonDialogs makeQtCommonDialogs(QWidget* parent, const SystemColorLookup& systemColor) {
    // One folder for all file dialogs: each opens where the last one was
    // confirmed, as Windows' dialogs follow the current folder.
    auto recentFolder = std::make_shared<std::string>();
    CommonDialogs set;
    set.odMain = std::make_unique<QtFileDialog>(FileDialogKind::Open, recentFolder, parent);
    set.sdMain = std::make_unique<QtFileDialog>(FileDialogKind::Save, recentFolder, parent);
    set.sdHtml = std::make_unique<QtFileDialog>(FileDialogKind::Save, recentFolder, parent);
    set.odBackPicture = std::make_unique<QtFileDialog>(FileDialogKind::Open, recentFolder, parent);
    set.odLink = std::make_unique<QtFileDialog>(FileDialogKind::Open, recentFolder, parent);
    set.odImage = std::make_unique<QtFileDialog>(FileDialogKind::Open, recentFolder, parent);
    set.FontDialog1 = std::make_unique<QtFontDialog>(parent);
    set.pageColor = std::make_unique<QtColorDialog>(parent, systemColor);
    set.highlightColor = std::make_unique<QtColorDialog>(parent, systemColor);
    set.fontTagColor = std::make_unique<QtColorDialog>(parent, systemColor);
    set.messages = std::make_unique<QtMessageBoxes>(parent);
    return set;
}

}  // namespace korvane
