#include "platform/qt_common_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/font_style_names.h"
#include "platform/system_colors.h"

namespace korvane {

namespace {

const QString kCaption = QStringLiteral("korvane");

// A message box sizes itself to its text and buttons and leaves its caption
// little room: the window manager, which puts an icon and three buttons
// beside the title, then cuts "korvane" down to a dot. So a box is at least
// as wide as its caption in the title font (bold, as most frames draw it)
// with room for those, each about as wide as the title bar is high.
int captionWidth(const QString& caption) {
    QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    title.setBold(true);
    const QFontMetrics metrics(title);
    return metrics.horizontalAdvance(caption) + 6 * metrics.height();
}

class CaptionedMessageBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    // QMessageBox fixes its size again on each show and layout request, from
    // its text alone: a short question with many buttons (the encodings)
    // would squeeze their captions to a few letters each.
    bool event(QEvent* event) override {
        const bool done = QMessageBox::event(event);
        if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest) {
            int need = captionWidth(windowTitle());
            if (const auto* row = findChild<QDialogButtonBox*>(); row != nullptr && layout()) {
                const QMargins margins = layout()->contentsMargins();
                need = std::max(need, row->sizeHint().width() + margins.left() + margins.right());
            }
            if (width() < need)
                setFixedWidth(need);
        }
        return done;
    }
};

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Paths are the file system's bytes; Qt holds them as text, decoded the way
// Qt itself opens files (QFile::decodeName and encodeName).
QString fromLocalPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string toLocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The file dialog's Type column. Qt's own names for folders, drives and
// links are missing from its Japanese translation; file types come from the
// MIME database in the default locale, which main() makes Japanese.
class JapaneseFileTypes : public QFileIconProvider {
  public:
    QString type(const QFileInfo& info) const override {
        if (info.isDir())
            return info.isRoot() ? QStringLiteral("ドライブ")
                                 : QStringLiteral("ファイル フォルダー");
        if (info.isSymLink() && !info.exists())
            return QStringLiteral("ショートカット");
        return QFileIconProvider::type(info);
    }
};

QFileIconProvider* japaneseFileTypes() {
    // The model's gatherer thread may ask it while a dialog closes, so it
    // lives for the whole run.
    static JapaneseFileTypes* const provider = new JapaneseFileTypes;
    return provider;
}

// Draws the file list's sizes and dates in the default locale; the model
// writes them in the system's, which is English under LC_ALL=C.
class LocaleFileListDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString text = fileListText(index);
        if (!text.isNull())
            option->text = text;
    }
};

bool hasWildcard(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

bool isFolder(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The window a chooser last gave the activation back to. The window system
// hands it over later, after the chooser's handler has gone on: a box that
// the same handler shows next (a picked name that cannot be written) belongs
// to that window too.
QPointer<QWidget>& windowGivenBack() {
    static QPointer<QWidget> window;
    return window;
}

// A chooser still active when a box or another chooser is asked for is one
// that is closing (its asker has gone on): it is never the owner, or the box
// would go with it.
bool canOwnDialogs(const QWidget* window) {
    return window != nullptr && window->isVisible() && window->windowType() != Qt::Popup &&
           window->windowType() != Qt::ToolTip &&
           qobject_cast<const QFileDialog*>(window) == nullptr &&
           qobject_cast<const QColorDialog*>(window) == nullptr &&
           qobject_cast<const QFontDialog*>(window) == nullptr;
}

// A chooser or box belongs to the window it was asked from, and gives that
// window the activation and its focus back when it closes. A dialog's button
// asks from the dialog, not from the main window: a chooser parented to the
// main window hands the activation to the main window when it closes (the
// desktop activates a closed window's parent), and the Enter a person
// presses next for the dialog's OK would replace the editor's selection.
class AskingWindow {
  public:
    // The active window, the one a chooser has just given the activation
    // back to, or `fallback` (the main window) when there is neither.
    static QWidget* current(QWidget* fallback) {
        if (QWidget* active = QApplication::activeWindow(); canOwnDialogs(active))
            return active;
        if (QWidget* givenBack = windowGivenBack(); canOwnDialogs(givenBack))
            return givenBack;
        return fallback;
    }

    explicit AskingWindow(QWidget* window) : m_window(window) {
        QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && window != nullptr && focus->window() == window)
            m_focus = focus;
    }
    ~AskingWindow() {
        if (m_window == nullptr || !m_window->isVisible())
            return;
        windowGivenBack() = m_window;
        if (m_focus != nullptr && m_focus->isVisible() && m_focus->isEnabled())
            m_focus->setFocus(Qt::ActiveWindowFocusReason);
        m_window->activateWindow();
    }
    AskingWindow(const AskingWindow&) = delete;
    AskingWindow& operator=(const AskingWindow&) = delete;

    QWidget* window() const { return m_window; }

  private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_focus;
};

}  // namespace

QtFileDialog::QtFileDialog(FileDialogKind kind, std::shared_ptr<std::string> recentFolder,
                           QWidget* parent)
    : FileDialog(kind, std::move(recentFolder)), m_parent(parent) {}

void configureFileDialog(QFileDialog& dialog, const FileDialogQuery& query) {
    const bool save = query.kind == FileDialogKind::Save;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // QtFileChooser asks before replacing a file itself: about the name as
    // it will be written, in Japanese, with "いいえ" the default answer.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, save);
    // The descriptions already name their patterns ("htmlﾌｧｲﾙ(*.htm;*.html)");
    // Qt's copy of them in the list would only say it twice.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (!query.title.empty())
        dialog.setWindowTitle(fromUtf8(query.title));
    dialog.setIconProvider(japaneseFileTypes());
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        auto* local = new LocaleFileListDelegate(details);
        details->setItemDelegateForColumn(kFileSizeColumn, local);
        details->setItemDelegateForColumn(kFileDateColumn, local);
        // Qt's width fits its English "Folder"; the Japanese type names are
        // longer and would show as "フ…ー".
        const int typeWidth =
            details->fontMetrics().horizontalAdvance(QStringLiteral("ファイル フォルダー")) + 16;
        if (details->header()->sectionSize(kFileTypeColumn) < typeWidth)
            details->header()->resizeSection(kFileTypeColumn, typeWidth);
    }

    QStringList filters;
    for (const std::string& filter : qtNameFilters(query.filters))
        filters.append(fromUtf8(filter));
    // Without filters Qt shows every file, as Windows does.
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(static_cast<qsizetype>(query.filterIndex)));
    }
    // A save dialog's typed name gets the default extension. An open dialog
    // leaves Qt's suffix off: Qt would add it to a name that exists as typed
    // and then refuse it as missing. QtFileChooser completes the name only
    // when the typed one does not exist.
    dialog.setDefaultSuffix(save ? fromUtf8(query.defaultExtension) : QString());
    if (!query.folder.empty())
        dialog.setDirectory(fromLocalPath(query.folder));
    if (!query.fileName.empty())
        dialog.selectFile(fromLocalPath(query.fileName));
}

QString fileListText(const QModelIndex& index) {
    const auto* model = qobject_cast<const QFileSystemModel*>(index.model());
    if (model == nullptr)
        return {};
    if (index.column() == kFileSizeColumn)  // a folder shows no size
        return model->isDir(index) ? QString() : QLocale().formattedDataSize(model->size(index));
    if (index.column() == kFileDateColumn)
        return QLocale().toString(model->lastModified(index), QLocale::ShortFormat);
    return {};
}

QtFileChooser::QtFileChooser(const FileDialogQuery& query, QWidget* parent)
    : QFileDialog(parent), m_query(query) {
    configureFileDialog(*this, query);
    m_firstShownFolder = QDir::cleanPath(directory().absolutePath());
    if (QLineEdit* name = nameEdit())
        connect(name, &QLineEdit::textChanged, this, [this] { allowOpening(); });
    allowOpening();
}

QLineEdit* QtFileChooser::nameEdit() const {
    return findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

std::string QtFileChooser::typedPath() const {
    const QLineEdit* edit = nameEdit();
    const QString typed = edit != nullptr ? edit->text() : QString();
    if (typed.isEmpty())
        return {};
    // Qt cannot hold a name that is not UTF-8: its text of one names another
    // file, and a folder of such a name it cannot show at all (it shows
    // another). So the name proposed, still shown as it was in the folder
    // first shown, is the file it was given as, and names in the folder given
    // keep that folder's bytes.
    if (!m_query.fileName.empty() && typed == fromLocalPath(m_query.fileName) &&
        QDir::cleanPath(directory().absolutePath()) == m_firstShownFolder)
        return joinPath(m_query.folder, m_query.fileName);
    const QString path =
        QDir::cleanPath(QDir::isAbsolutePath(typed) ? typed : directory().absoluteFilePath(typed));
    const QFileInfo info(path);
    if (!m_query.folder.empty() && info.path() == QDir::cleanPath(fromLocalPath(m_query.folder)))
        return joinPath(m_query.folder, toLocalPath(info.fileName()));
    return toLocalPath(path);
}

std::string QtFileChooser::fileToOpen() const {
    const std::string typed = typedPath();
    if (typed.empty() || isFolder(typed))
        return {};
    if (exists(typed))
        return typed;
    // Windows' open dialog completes a name typed without extension, but
    // only one that does not exist as typed.
    const std::string completed = withDefaultExtension(typed, m_query.defaultExtension);
    if (completed != typed && exists(completed) && !isFolder(completed))
        return completed;
    return {};
}

void QtFileChooser::allowOpening() {
    if (m_query.kind != FileDialogKind::Open)
        return;
    // Qt enables Open only for names its model lists: not for a name that
    // needs its extension, nor for one that is not UTF-8.
    auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QPushButton* open = buttons != nullptr ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (open != nullptr && !open->isEnabled() && !fileToOpen().empty())
        open->setEnabled(true);
}

bool QtFileChooser::filterByTypedPattern() {
    QLineEdit* name = nameEdit();
    if (name == nullptr)
        return false;
    const QString typed = name->text().trimmed();
    if (!hasWildcard(typed) || exists(typedPath()))
        return false;
    // "dir/*.htm" shows that folder, then its files that match, as Windows'
    // dialogs do; a file of that very name is chosen like any other.
    const qsizetype slash = typed.lastIndexOf(QLatin1Char('/'));
    QString pattern = typed;
    if (slash >= 0) {
        const QString folder = typed.left(slash + 1);
        const QString path =
            QDir::isAbsolutePath(folder) ? folder : directory().absoluteFilePath(folder);
        if (!QFileInfo(path).isDir())
            return false;
        setDirectory(QDir::cleanPath(path));
        pattern = typed.mid(slash + 1);
    }
    QStringList patterns;
    for (const QString& one : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        patterns.append(one.trimmed());
    if (auto* model = findChild<QFileSystemModel*>()) {
        model->setNameFilterDisables(false);
        model->setNameFilters(patterns);
    }
    name->setText(pattern);
    return true;
}

void QtFileChooser::accept() {
    if (filterByTypedPattern())
        return;
    if (m_query.kind == FileDialogKind::Open) {
        m_chosen = fileToOpen();
        if (!m_chosen.empty()) {
            // Qt's own check looks in its model, which has no entry for a
            // name that is not UTF-8.
            QDialog::accept();
            return;
        }
        QFileDialog::accept();  // enters a folder, or says the file is missing
        return;
    }
    // A name typed without extension comes back from Qt with the default
    // one; FileDialog::run adds it to the typed name just the same.
    std::string chosen = typedPath();
    if (chosen.empty()) {
        const QStringList files = selectedFiles();
        if (!files.isEmpty())
            chosen = toLocalPath(files.first());
    }
    // A folder's name is Qt's to enter, not a file to replace.
    if (!chosen.empty() && !isFolder(chosen) && !mayReplace(chosen))
        return;
    QFileDialog::accept();
    if (result() != QDialog::Accepted)
        return;
    m_chosen = chosen;
}

bool QtFileChooser::mayReplace(const std::string& chosen) {
    // The file the save will write: the default extension is added to a
    // name typed without one.
    const std::string written = withDefaultExtension(chosen, m_query.defaultExtension);
    if (!exists(written) || isFolder(written))
        return true;
    const AskingWindow asking(this);
    CaptionedMessageBox box(QMessageBox::Warning, kCaption,
                            fromLocalPath(fileNameOf(written)) +
                                QStringLiteral(" は既に存在します。\n上書きしますか？"),
                            QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    // An Enter pressed by habit, Esc and the close button keep the file.
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<FileDialogAnswer> QtFileDialog::ask(const FileDialogQuery& query) {
    const AskingWindow asking(AskingWindow::current(m_parent));
    QtFileChooser dialog(query, asking.window());
    if (dialog.exec() != QDialog::Accepted || dialog.chosenPath().empty())
        return std::nullopt;
    FileDialogAnswer answer;
    answer.path = dialog.chosenPath();
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
    const AskingWindow asking(AskingWindow::current(m_parent));
    const QColor chosen = QColorDialog::getColor(qColorOf(current), asking.window());
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

QStringList scriptFontFamilies(
    const QStringList& families,
    const std::function<QList<QFontDatabase::WritingSystem>(const QString&)>& writingSystems) {
    QStringList kept;
    for (const QString& family : families) {
        const QList<QFontDatabase::WritingSystem> systems =
            writingSystems ? writingSystems(family) : QFontDatabase::writingSystems(family);
        const bool script = std::any_of(systems.begin(), systems.end(), [](auto system) {
            return system != QFontDatabase::Any && system != QFontDatabase::Symbol &&
                   system != QFontDatabase::Other;
        });
        if (script)
            kept << family;
    }
    return kept;
}

namespace {

// The name the style list shows for `style`, one of the family's `styles`.
QString shownStyleName(const QStringList& styles, const QString& style) {
    const qsizetype at = styles.indexOf(style);
    if (at < 0)
        return style;
    std::vector<std::string> english;
    for (const QString& one : styles)
        english.push_back(one.toStdString());
    return QString::fromStdString(japaneseStyleNames(english)[static_cast<std::size_t>(at)]);
}

// Shows the style list's names in Japanese; the list keeps the fonts' own
// names, by which QFontDialog finds the style it makes the font with.
class JapaneseStyleNames : public QStyledItemDelegate {
  public:
    JapaneseStyleNames(const QStringListModel& styles, QObject* parent)
        : QStyledItemDelegate(parent), m_styles(styles) {}

    QString displayText(const QVariant& value, const QLocale& /*locale*/) const override {
        return shownStyleName(m_styles.stringList(), value.toString());
    }

  private:
    const QStringListModel& m_styles;
};

// The list's names, and the read-only box above it that shows the chosen
// one (QFontDialog writes the font's own name there each time).
void showStylesInJapanese(QListView& list, QStringListModel& styles, QFontDialog& dialog) {
    list.setItemDelegate(new JapaneseStyleNames(styles, &list));
    for (QLineEdit* box : dialog.findChildren<QLineEdit*>()) {
        if (box->focusProxy() != &list)
            continue;
        QObject::connect(box, &QLineEdit::textChanged, box, [box, &styles](const QString& text) {
            const QString shown = shownStyleName(styles.stringList(), text);
            if (shown != text)
                box->setText(shown);
        });
        box->setText(shownStyleName(styles.stringList(), box->text()));
    }
}

// Qt's own dialog (not the desktop's), so that its family list can be cut
// down to fonts with a script. The family and style boxes only take what
// the lists hold, so only existing fonts and their real styles can be
// chosen. The writing-system filter would refill the list with every
// family, so it is not offered.
std::optional<QFont> runFontDialog(const QFont& shown, QWidget* parent) {
    QFontDialog dialog(parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setCurrentFont(shown);
    for (QComboBox* box : dialog.findChildren<QComboBox*>()) {
        box->hide();
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->buddy() == box)
                label->hide();
        }
    }
    // The family list is the longest of the three lists (families, styles,
    // sizes); Qt does not name them.
    QListView* families = nullptr;
    QStringListModel* familyModel = nullptr;
    for (QListView* list : dialog.findChildren<QListView*>()) {
        auto* model = qobject_cast<QStringListModel*>(list->model());
        if (model && (!familyModel || model->rowCount() > familyModel->rowCount())) {
            families = list;
            familyModel = model;
        }
    }
    if (familyModel) {
        familyModel->setStringList(scriptFontFamilies(familyModel->stringList()));
        const qsizetype row =
            std::max<qsizetype>(familyModel->stringList().indexOf(shown.family()), 0);
        if (familyModel->rowCount() > 0)
            families->setCurrentIndex(familyModel->index(static_cast<int>(row)));
    }
    // The upright, normal-weight style where the family has one, not the
    // first in the list (often Oblique): only the family and size are kept.
    for (QListView* list : dialog.findChildren<QListView*>()) {
        auto* model = qobject_cast<QStringListModel*>(list->model());
        if (!model || list == families)
            continue;
        const QStringList styles = QFontDatabase::styles(dialog.currentFont().family());
        if (model->stringList() != styles)
            continue;
        showStylesInJapanese(*list, *model, dialog);
        for (int i = 0; i < styles.size(); ++i) {
            const QString family = dialog.currentFont().family();
            // italic() is false for an oblique style; the font's style is not.
            const QFont face = QFontDatabase::font(family, styles[i], 12);
            if (face.style() == QFont::StyleNormal &&
                QFontDatabase::weight(family, styles[i]) == QFont::Normal) {
                list->setCurrentIndex(model->index(i));
                break;
            }
        }
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

}  // namespace

std::optional<FontChoice> QtFontDialog::ask(const FontChoice& current) {
    QFont shown = m_font;
    if (!current.family.empty())
        shown.setFamily(fromUtf8(current.family));
    if (current.pointSize > 0)
        shown.setPointSize(current.pointSize);
    std::optional<QFont> chosen;
    {
        const AskingWindow asking(AskingWindow::current(m_parent));
        chosen = runFontDialog(shown, asking.window());
    }
    if (!chosen)
        return std::nullopt;
    m_font = *chosen;
    return fontChoiceOf(*chosen);
}

QtMessageBoxes::QtMessageBoxes(QWidget* parent) : m_parent(parent) {}

void QtMessageBoxes::showError(const std::string& text, const std::string& detail) {
    const AskingWindow asking(AskingWindow::current(m_parent));
    CaptionedMessageBox box(QMessageBox::Critical, kCaption, fromUtf8(text), QMessageBox::Ok,
                            asking.window());
    if (!detail.empty())
        box.setDetailedText(fromUtf8(detail));
    box.exec();
}

void QtMessageBoxes::showMessage(const std::string& text) {
    const AskingWindow asking(AskingWindow::current(m_parent));
    CaptionedMessageBox box(QMessageBox::NoIcon, kCaption, fromUtf8(text), QMessageBox::Ok,
                            asking.window());
    box.exec();
}

SaveAnswer QtMessageBoxes::askSave(const std::string& text) {
    const AskingWindow asking(AskingWindow::current(m_parent));
    const std::unique_ptr<QMessageBox> box = makeSaveQuestion(asking.window(), fromUtf8(text));
    box->exec();
    return saveAnswerOf(*box);
}

bool QtMessageBoxes::askYesNo(const std::string& text) {
    const AskingWindow asking(AskingWindow::current(m_parent));
    CaptionedMessageBox box(QMessageBox::Question, kCaption, fromUtf8(text), QMessageBox::NoButton,
                            asking.window());
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::size_t QtMessageBoxes::askChoice(const std::string& text,
                                      const std::vector<std::string>& buttons,
                                      std::size_t defaultButton, std::size_t escapeButton) {
    CaptionedMessageBox box(QMessageBox::NoIcon, kCaption, fromUtf8(text), QMessageBox::NoButton,
                            m_parent);
    std::vector<QPushButton*> added;
    for (const std::string& caption : buttons)
        added.push_back(box.addButton(fromUtf8(caption), QMessageBox::ActionRole));
    if (defaultButton < added.size())
        box.setDefaultButton(added[defaultButton]);
    if (escapeButton < added.size())
        box.setEscapeButton(added[escapeButton]);
    box.exec();
    const auto chosen = std::find(added.begin(), added.end(), box.clickedButton());
    return chosen == added.end() ? escapeButton : static_cast<std::size_t>(chosen - added.begin());
}

std::unique_ptr<QMessageBox> makeSaveQuestion(QWidget* parent, const QString& text) {
    auto box = std::make_unique<CaptionedMessageBox>(QMessageBox::NoIcon, kCaption, text,
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
