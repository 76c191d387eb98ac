#include "app/documents.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "app/document_io.h"
#include "base/line_breaks.h"
#include "base/shift_jis.h"
#include "base/text_pieces.h"
#include "convert/relative_path.h"
#include "convert/to_html.h"
#include "convert/to_text.h"
#include "platform/atomic_file.h"
#include "platform/file_identity.h"
#include "platform/memory_tuning.h"

namespace korvane {

namespace {

constexpr const char* kTextFirstFilter =
    "ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt|htmlﾌｧｲﾙ(*.htm;*.html)|*.htm;*.html|全てのﾌｧｲﾙ(*.*)|*.*";
constexpr const char* kHtmlFirstFilter =
    "htmlﾌｧｲﾙ(*.htm;*.html)|*.htm;*.html|ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*";
constexpr const char* kReadingCaption = "ファイルを読み込んでいます...";
constexpr const char* kHtmlFilter = "htmlﾌｧｲﾙ(*.htm;*.html)|*.htm;*.html|全てのﾌｧｲﾙ(*.*)|*.*";

// The editor does not paint while a file is loaded and converted, so the raw
// text never shows before its conversion or its colours.
class RedrawOff {
  public:
    explicit RedrawOff(EditControl& edit) : m_edit(edit) { m_edit.setRedraw(false); }
    ~RedrawOff() { m_edit.setRedraw(true); }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

  private:
    EditControl& m_edit;
};

}  // namespace

Documents::Documents(EditControl& edit, TagHighlighter& highlighter,
                     const StartupSettings& settings, CommonDialogs& dialogs, Shell& shell,
                     DocumentWindow& window)
    : m_edit(edit),
      m_highlighter(highlighter),
      m_settings(settings),
      m_dialogs(dialogs),
      m_shell(shell),
      m_window(window),
      m_encoding(newPageEncodingOf(settings.options)) {
    // A window starts with a new document, in the encoding the options give
    // new pages; the editor is still empty.
    m_edit.setCodec(codecOf(m_encoding));
}

void Documents::nameDocument(std::string path) {
    m_currentFile = std::move(path);
    m_fileUnread = false;
    // Whatever the file holds now, the editor did not read it (yet).
    m_watch.forget();
    // A new text, a converted one included, has CR LF line breaks.
    if (m_currentFile == kUntitled)
        m_breaks = LineBreaks();
    m_window.documentRenamed();
    m_window.formatChanged();
}

void Documents::adoptEncoding(TextEncoding encoding) {
    m_encoding = encoding;
    m_window.formatChanged();
}

std::string Documents::fileBytes(std::string_view text) const {
    return fileBytesOf(text, m_encoding, m_breaks);
}

void Documents::forgetFile() {
    nameDocument(kUntitled);
    m_dialogs.clearMainNames();
}

// What a read for the editor brought.
struct Documents::Opened {
    LoadOutcome outcome = LoadOutcome::Failed;
    // The text in the editor's load, not shown yet; dropped, it leaves the
    // editor as it was.
    std::unique_ptr<EditControl::TextLoad> load;
    std::string bytes;  // or the whole text
    std::string error;
    // The text is the old contents a killed save left in a copy, not the
    // file's: nothing on the disk holds it under the document's name.
    bool fromBackup = false;
    std::uint64_t hash = 0;  // of the bytes read
    LineBreaks breaks;
    TextEncoding encoding = TextEncoding::ShiftJis;  // what the text is in
};

// A save of this file that was killed midway may have left it a mixture of
// old and new contents, the old ones only in a hidden copy. The user is told
// and may take the copy's contents instead of the file's.
std::string Documents::offerInterruptedSave(const std::string& path) {
    if (m_quiet || !m_dialogs.messages)
        return path;
    const std::vector<std::string> backups = findInterruptedBackups(path);
    if (backups.empty())
        return path;
    for (const std::string& backup : backups) {
        if (std::find(m_interruptedBackups.begin(), m_interruptedBackups.end(), backup) ==
            m_interruptedBackups.end()) {
            m_interruptedBackups.push_back(backup);
        }
    }
    return m_dialogs.messages->askYesNo(interruptedSaveQuestionText(path, backups))
               ? backups.front()
               : path;
}

bool Documents::readPieces(const std::string& source, TextEncoding encoding, bool whole,
                           Opened& opened) {
    opened.load.reset();
    // Swapped, not assigned: an empty string assigned keeps the buffer.
    std::string().swap(opened.bytes);
    if (!whole)
        opened.load = m_edit.beginTextLoadIn(codecOf(encoding));
    // The mark is the file's, not the text's: a save writes it again.
    bool first = encoding == TextEncoding::Utf8Bom;
    PiecesRead read;
    {
        const std::unique_ptr<Progress> progress = startProgress(m_progress, kReadingCaption, true);
        read = readDocumentInPieces(
            source, memoryHeadroom(),
            [&opened, &first](std::string_view piece) {
                if (first && piece.starts_with("\xEF\xBB\xBF"))
                    piece.remove_prefix(3);
                first = false;
                if (opened.load)
                    opened.load->append(piece);
                else
                    opened.bytes.append(piece);
            },
            *progress);
    }
    opened.encoding = read.encoding;
    opened.hash = read.hash;
    opened.breaks = read.breaks;
    if (read.cancelled)
        opened.outcome = LoadOutcome::Cancelled;
    else if (!read.ok)
        opened.error = read.error;
    if (read.cancelled || !read.ok) {
        opened.load.reset();
        return false;
    }
    return true;
}

// The encoding is decided without a question: a byte order mark, valid UTF-8,
// a declaration the bytes agree with, EUC-JP that is not Shift_JIS, else
// Shift_JIS. The editor is told it from the file's start before the first
// piece goes in; when the whole file says otherwise (UTF-8 only in its last
// lines), it is read once more as what it is.
Documents::Opened Documents::readForOpen(const std::string& path, bool whole) {
    Opened opened;
    const std::string source = offerInterruptedSave(path);
    opened.fromBackup = source != path;
    // A whole read as the editor's text: its error, or its bytes and what
    // they are.
    const auto takeWhole = [&opened](DocumentRead read) {
        if (!read.ok) {
            opened.error = read.error;
            return;
        }
        opened.bytes = std::move(read.bytes);
        opened.encoding = read.encoding;
        opened.hash = read.hash;
        opened.breaks = read.breaks;
        opened.outcome = LoadOutcome::Loaded;
    };
    if (m_readAs) {
        takeWhole(readDocumentAs(source, *m_readAs));
        return opened;
    }
    TextEncoding expected = encodingOfStart(source);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (expected == TextEncoding::Utf16Le || expected == TextEncoding::Utf16Be)
            break;
        if (!readPieces(source, expected, whole, opened))
            return opened;
        if (opened.encoding == expected) {
            opened.outcome = LoadOutcome::Loaded;
            return opened;
        }
        expected = opened.encoding;
    }
    // UTF-16 is held as UTF-8: it is read whole and converted.
    opened.load.reset();
    std::string().swap(opened.bytes);
    takeWhole(readDocument(source));
    return opened;
}

void Documents::reportUnread(const std::string& path, const std::string& error) {
    if (path == m_currentFile)
        m_fileUnread = true;
    if (!m_quiet && m_dialogs.messages)
        m_dialogs.messages->showError(readFailedText(path), error);
}

std::string Documents::inDocument(std::string_view shiftJis) const {
    return recodeFromShiftJis(shiftJis, m_edit.codec());
}

bool Documents::writeOrReport(const std::string& path, std::string_view bytes) {
    std::string error;
    if (writeDocument(path, bytes, error)) {
        // The program's own save is no change by another program.
        if (path == m_currentFile) {
            ContentHash hash;
            hash.add(bytes);
            m_watch.remember(path, hash.value());
        }
        // The file is whole again: the copies of its interrupted saves have
        // done their work, and left alone they would ask again at every open.
        if (!m_interruptedBackups.empty()) {
            for (const std::string& removed : removeInterruptedBackups(path, m_interruptedBackups))
                std::erase(m_interruptedBackups, removed);
        }
        if (m_fileUsed)
            m_fileUsed(path);
        return true;
    }
    if (!m_quiet && m_dialogs.messages)
        m_dialogs.messages->showError(createFailedText(path), error);
    return false;
}

// --- opening ---

void Documents::handToCopy(const Route& route, const std::string& path) {
    if (route.copy == CopySwitch::None)
        return;
    if (route.needsExistingFile && !isExistingFile(path))
        return;
    // A copy that cannot be started is not reported; this window is unchanged.
    m_shell.startCopy(copyArguments(route.copy, path));
}

bool Documents::openFile(OpenSource source, const std::string& path) {
    RouteQuery query;
    query.source = source;
    query.path = path;
    query.tagMode = m_window.isTagMode();
    query.untitled = isUntitled();
    query.editorEmpty = m_edit.textLength() == 0;
    query.kvnHtml = m_settings.options.kvnHtml;
    query.mvxHtml = m_settings.options.mvxHtml;
    const Route route = routeFile(query);
    if (!route.here) {
        handToCopy(route, path);
        return true;
    }
    const std::string previous = m_currentFile;
    const bool previousUnread = m_fileUnread;
    nameDocument(path);
    if (route.step == HereStep::NameOnly || (route.needsExistingFile && !isExistingFile(path))) {
        // Named after a file it did not load: saving must not replace it
        // unasked.
        m_fileUnread = isExistingFile(path);
        m_window.showCaption();
        return true;
    }
    const LoadOutcome outcome = loadHere(route, path);
    if (outcome == LoadOutcome::Cancelled) {
        nameDocument(previous);
        m_fileUnread = previousUnread;
    }
    return outcome == LoadOutcome::Loaded;
}

// In tag mode the tags are coloured when the route asks for the default
// highlighting, and also whenever the highlighting is on: the flag must not
// claim colours that the new text does not have. The text counts as just
// loaded.
void Documents::afterText(const Route& route) {
    if (m_window.isTagMode() && ((route.highlightByDefault && m_highlighter.HighlightByDefault()) ||
                                 m_highlighter.TagsHighlighted()))
        m_highlighter.forceWholeTextPass();
    m_edit.setModified(false);
}

void Documents::showConverted(std::string_view bytes, const TextCodec& codec, const Route& route,
                              Progress& conversion) {
    {
        ProgressPart loading(conversion, kConversionShare, 1.0);
        setTextInPieces(m_edit, bytes, loading, codec);
    }
    afterText(route);
}

void Documents::showText(std::string_view bytes, const TextCodec& codec, const Route& route,
                         const char* caption) {
    {
        const std::unique_ptr<Progress> progress = startProgress(m_progress, caption, false);
        setTextInPieces(m_edit, bytes, *progress, codec);
    }
    afterText(route);
}

void Documents::showOpened(Opened& opened, const Route& route) {
    if (!opened.load) {
        showText(opened.bytes, codecOf(opened.encoding), route, kReadingCaption);
        return;
    }
    opened.load->commit();
    opened.load.reset();
    afterText(route);
}

// A text that passed the size check may still not fit once it is decoded,
// converted and laid out: that is a file that cannot be opened, not the end
// of the program. The editor is left empty rather than half-filled.
LoadOutcome Documents::loadHere(const Route& route, const std::string& path) {
    try {
        const LoadOutcome outcome = loadStep(route, path);
        if (outcome == LoadOutcome::Loaded && m_fileUsed)
            m_fileUsed(path);
        return outcome;
    } catch (const std::bad_alloc&) {
    }
    try {
        m_edit.setText({});
    } catch (const std::bad_alloc&) {
    }
    reportUnread(path, kNotEnoughMemory);
    m_window.showCaption();
    return LoadOutcome::Failed;
}

// The file is read first: a read the user cancels changes nothing. Then
// each step changes the layout and shows the text; when the read failed,
// the layout change stays done, and the caption follows the mode and name.
LoadOutcome Documents::loadStep(const Route& route, const std::string& path) {
    if (route.step == HereStep::NameOnly) {
        m_window.showCaption();
        return LoadOutcome::Loaded;
    }
    const bool whole = route.step == HereStep::StripTags || route.step == HereStep::ConvertToHtml;
    Opened opened = readForOpen(path, whole);
    if (opened.outcome == LoadOutcome::Cancelled)
        return LoadOutcome::Cancelled;
    const bool read = opened.outcome == LoadOutcome::Loaded;
    switch (route.step) {
        case HereStep::NameOnly:
        case HereStep::AsItIs:
            if (read)
                showOpened(opened, route);
            break;
        case HereStep::IntoTagMode: {
            m_window.enterTagMode();
            RedrawOff off(m_edit);
            if (read)
                showOpened(opened, route);
            break;
        }
        case HereStep::AsTagSource: {
            // The editor is empty; colours it had go with the flag.
            if (m_highlighter.TagsHighlighted())
                m_highlighter.clearTagsHighlighted();
            RedrawOff off(m_edit);
            if (read)
                showOpened(opened, route);
            break;
        }
        case HereStep::IntoTextMode:
            m_highlighter.turnOff();
            m_window.enterTextMode();
            if (read)
                showOpened(opened, route);
            break;
        case HereStep::StripTags: {
            if (!read)
                break;
            RedrawOff off(m_edit);
            const std::unique_ptr<Progress> progress =
                startProgress(m_progress, kConvertingCaption, false);
            TextAndTitle stripped;
            {
                ProgressPart converting(*progress, 0.0, kConversionShare);
                stripped = ToText(opened.bytes, &converting);
            }
            std::string().swap(opened.bytes);  // its memory, before the text is shown
            const TextCodec& codec = codecOf(opened.encoding);
            // The title box is Shift_JIS, as the title of every text is.
            if (stripped.title)
                m_window.setTitleBytes(recodeToShiftJis(*stripped.title, codec));
            showConverted(stripped.text, codec, route, *progress);
            nameDocument(kUntitled);
            break;
        }
        case HereStep::ConvertToHtml: {
            if (!read)
                break;
            RedrawOff off(m_edit);
            const std::unique_ptr<Progress> progress =
                startProgress(m_progress, kConvertingCaption, false);
            // The page is made in the text's own encoding, and declares it.
            const TextCodec& codec = codecOf(opened.encoding);
            std::string page;
            {
                ProgressPart converting(*progress, 0.0, kConversionShare);
                page = ToHtml(opened.bytes, recodeFromShiftJis(m_window.titleBytes(), codec),
                              m_settings.page, m_settings.options.tab, codec, &converting);
            }
            std::string().swap(opened.bytes);  // its memory, before the page is shown
            showConverted(page, codec, route, *progress);
            nameDocument(kUntitled);
            break;
        }
    }
    if (!read) {
        reportUnread(path, opened.error);
        m_window.showCaption();
        return LoadOutcome::Failed;
    }
    if (!isUntitled()) {
        m_breaks = opened.breaks;
        m_watch.remember(path, opened.hash);
        m_encoding = opened.encoding;
    } else {
        // A conversion's result is a new document in the file's codec; a
        // UTF-16 text's page is written as the UTF-8 its META declares.
        const bool utf16 =
            opened.encoding == TextEncoding::Utf16Le || opened.encoding == TextEncoding::Utf16Be;
        m_encoding = utf16 ? TextEncoding::Utf8 : opened.encoding;
    }
    m_window.formatChanged();
    // Closing must ask before the copy's contents are lost, and a save
    // writes them over the damaged file.
    if (opened.fromBackup) {
        m_edit.setModified(true);
        m_watch.acknowledge();  // the file is what it is, not what the copy holds
    }
    m_window.showCaption();
    return LoadOutcome::Loaded;
}

void Documents::New1Click() {
    m_shell.startCopy({});
}

void Documents::Open1Click() {
    FileDialog& dialog = *m_dialogs.odMain;
    dialog.setDefaultExtension("txt");
    dialog.setFilter(kTextFirstFilter);
    dialog.setFilterIndex(1);
    const std::optional<std::string> path = dialog.run();
    if (path)
        openFile(OpenSource::TextModeOpen, *path);
}

void Documents::Open2Click() {
    FileDialog& dialog = *m_dialogs.odMain;
    dialog.setDefaultExtension("htm");
    dialog.setFilter(kHtmlFirstFilter);
    dialog.setFilterIndex(1);
    const std::optional<std::string> path = dialog.run();
    if (path)
        openFile(OpenSource::TagModeOpen, *path);
}

void Documents::openRecent(const std::string& path) {
    openFile(m_window.isTagMode() ? OpenSource::TagModeOpen : OpenSource::TextModeOpen, path);
}

void Documents::WMDropFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (!openFile(OpenSource::Drop, path))
            return;  // the file could not be read: the rest are left alone
    }
}

void Documents::interpretCommandLine(const StartupPlan& plan) {
    // Told before anything opens: the rest of the start-up goes on without
    // the names, as if they had not been given.
    if (!m_quiet && m_dialogs.messages) {
        for (const RefusedName& refused : plan.refused)
            m_dialogs.messages->showError(refusedNameText(refused));
    }
    switch (plan.kind) {
        case StartupKind::Nothing:
            nameDocument(kUntitled);
            m_window.showCaption();
            return;
        case StartupKind::OpenAsHtml:
        case StartupKind::Convert: {
            const std::string& path = plan.paths.front();
            nameDocument(path);
            if (!isExistingFile(path)) {
                // Nothing is opened; the caption names the file a save writes.
                m_window.showCaption();
                return;
            }
            Route route;
            route.here = true;
            if (plan.kind == StartupKind::OpenAsHtml) {
                route.step = HereStep::IntoTagMode;
            } else if (isHtmlFile(path, OpenSource::CommandLine)) {
                route.step = HereStep::StripTags;
            } else {
                // The layout step empties the title box: the page has no title.
                m_window.enterTagMode();
                route.step = HereStep::ConvertToHtml;
            }
            if (loadHere(route, path) == LoadOutcome::Cancelled) {
                nameDocument(kUntitled);
                m_window.showCaption();
            }
            return;
        }
        case StartupKind::FileList:
            for (const std::string& path : plan.paths) {
                if (!openFile(OpenSource::CommandLine, path))
                    break;
            }
            m_window.showCaption();
            return;
    }
}

// --- saving ---

std::string Documents::relativePicture(const std::string& page) const {
    const std::string& picture = m_settings.page.BackPicture;
    if (picture.empty())
        return {};
    // Paths are compared in the platform's own form; the result is a piece
    // of the picture's path, so it always goes back into Shift_JIS.
    const std::string relative =
        RelativePath(page, decodeShiftJisToUtf8(picture), PathStyle::Posix);
    return encodeShiftJisFromUtf8(relative).bytes;
}

SaveOutcome Documents::Save1Click() {
    if (isUntitled() || m_fileUnread)
        return SaveAs1Click();
    if (!mayOverwrite())
        return SaveOutcome::Cancelled;
    if (!writeOrReport(m_currentFile, fileBytes(m_edit.text())))
        return SaveOutcome::Failed;
    m_edit.setModified(false);
    return SaveOutcome::Saved;
}

SaveOutcome Documents::SaveAs1Click() {
    return saveAs(false);
}

// A page refers to its background picture from where it is saved, by every
// save command alike: the editor keeps the full path the conversion gave it.
std::string Documents::pageForFile(const std::string& path) const {
    std::string bytes = m_edit.text();
    replaceFirstOccurrence(bytes, inDocument(m_settings.page.BackPicture),
                           inDocument(relativePicture(path)));
    return bytes;
}

SaveOutcome Documents::Save2Click() {
    if (isUntitled() || m_fileUnread)
        return SaveAs2Click();
    if (!mayOverwrite())
        return SaveOutcome::Cancelled;
    if (!writeOrReport(m_currentFile, fileBytes(pageForFile(m_currentFile))))
        return SaveOutcome::Failed;
    m_edit.setModified(false);
    m_window.pageSaved();
    return SaveOutcome::Saved;
}

SaveOutcome Documents::SaveAs2Click() {
    return saveAs(true);
}

SaveOutcome Documents::saveAs(bool tagMode) {
    FileDialog& dialog = *m_dialogs.sdMain;
    // A file that could not be read is replaced only by a confirmed name:
    // the dialog opens on it.
    if (m_fileUnread)
        dialog.proposeFileName(m_currentFile);
    dialog.setDefaultExtension(tagMode ? "html" : "txt");
    dialog.setFilter(tagMode ? kHtmlFirstFilter : kTextFirstFilter);
    const std::optional<std::string> path = dialog.run();
    if (!path)
        return SaveOutcome::Cancelled;
    nameDocument(*path);
    const bool written = writeOrReport(
        m_currentFile, fileBytes(tagMode ? pageForFile(m_currentFile) : m_edit.text()));
    // The caption names the document's file even when the write failed: the
    // next save goes there.
    m_window.showCaption();
    if (!written)
        return SaveOutcome::Failed;
    m_edit.setModified(false);
    if (tagMode) {
        m_window.pageSaved();
    }
    return SaveOutcome::Saved;
}

void Documents::htmlH1Click() {
    FileDialog& dialog = *m_dialogs.sdHtml;
    dialog.setDefaultExtension("htm");
    dialog.setFilter(kHtmlFilter);
    const std::optional<std::string> path = dialog.run();
    if (!path)
        return;
    RedrawOff off(m_edit);
    std::string page;
    {
        const std::unique_ptr<Progress> progress =
            startProgress(m_progress, kConvertingCaption, false);
        page = ToHtml(m_edit.text(), inDocument(m_window.titleBytes()), m_settings.page,
                      m_settings.options.tab, m_edit.codec(), progress.get());
    }
    replaceFirstOccurrence(page, inDocument(m_settings.page.BackPicture),
                           inDocument(relativePicture(*path)));
    // An export: the document keeps its name and its text, but counts as
    // saved. After a failure it stays modified.
    if (writeOrReport(*path, page))
        m_edit.setModified(false);
}

void Documents::registerCommands(CommandTable& table) {
    table.add("New1Click", [this] { New1Click(); });
    table.add("Open1Click", [this] { Open1Click(); });
    table.add("Save1Click", [this] { Save1Click(); });
    table.add("SaveAs1Click", [this] { SaveAs1Click(); });
    table.add("htmlH1Click", [this] { htmlH1Click(); });
    table.add("Open2Click", [this] { Open2Click(); });
    table.add("Save2Click", [this] { Save2Click(); });
    table.add("SaveAs2Click", [this] { SaveAs2Click(); });
    table.add("reopenInEncodingClick", [this] { reopenInEncoding(); });
    table.add("saveInEncodingClick", [this] { saveInEncoding(); });
}

bool Documents::mayOverwrite() {
    if (m_watch.check() != DiskWatch::State::Changed || !m_dialogs.messages)
        return true;
    const bool overwrite = m_dialogs.messages->askYesNo(overwriteChangedText(m_currentFile));
    // Told once: not again at the next activation, nor at the next save.
    m_watch.acknowledge();
    return overwrite;
}

void Documents::checkDisk() {
    if (m_checkingDisk || !m_dialogs.messages || isUntitled() || m_fileUnread)
        return;
    // The questions below take the window's activation away and give it
    // back: that activation must not ask again.
    m_checkingDisk = true;
    switch (m_watch.check()) {
        case DiskWatch::State::Same:
            break;
        case DiskWatch::State::Deleted:
            m_watch.acknowledge();
            // The editor holds the only copy now: closing must ask.
            m_edit.setModified(true);
            m_dialogs.messages->showMessage(deletedOnDiskText(m_currentFile));
            break;
        case DiskWatch::State::Changed: {
            const std::size_t answer = m_dialogs.messages->askChoice(
                changedOnDiskText(m_currentFile), {"読み込み直す(&R)", "このまま(&K)"}, 1, 1);
            m_watch.acknowledge();
            if (answer == 0)
                reload();
            break;
        }
    }
    m_checkingDisk = false;
}

// The usual question first: the text in the editor may be kept under
// another name before the file's new contents replace it.
bool Documents::reload(std::optional<TextEncoding> as) {
    if (m_edit.modified()) {
        switch (m_dialogs.messages->askSave(kSaveQuestionText)) {
            case SaveAnswer::Cancel:
                return false;
            case SaveAnswer::No:
                break;
            case SaveAnswer::Yes: {
                const std::string file = m_currentFile;
                if (saveAs(m_window.isTagMode()) != SaveOutcome::Saved)
                    return false;
                nameDocument(file);
                break;
            }
        }
    }
    Route route;
    route.here = true;
    route.step = HereStep::AsItIs;
    m_readAs = as;
    loadHere(route, m_currentFile);
    m_readAs.reset();
    return true;
}

namespace {

// The encodings offered, in the order of their buttons.
struct EncodingChoice {
    TextEncoding encoding;
    const char* button;
};
constexpr EncodingChoice kReopenChoices[] = {
    {TextEncoding::ShiftJis, "Shift_JIS(&S)"},
    {TextEncoding::Utf8, "UTF-8(&U)"},
    {TextEncoding::EucJp, "EUC-JP(&E)"},
    {TextEncoding::Utf16Le, "UTF-16(&T)"},
};
constexpr EncodingChoice kSaveChoices[] = {
    {TextEncoding::ShiftJis, "Shift_JIS(&S)"},    {TextEncoding::Utf8, "UTF-8(&U)"},
    {TextEncoding::Utf8Bom, "UTF-8 BOM付き(&B)"}, {TextEncoding::EucJp, "EUC-JP(&E)"},
    {TextEncoding::Utf16Le, "UTF-16(&T)"},
};

// Asks for one of `choices`, the current one the default; nothing when the
// user cancelled.
template <std::size_t N>
std::optional<TextEncoding> askEncoding(MessageBoxes& messages, const std::string& text,
                                        const EncodingChoice (&choices)[N], TextEncoding current) {
    std::vector<std::string> buttons;
    std::optional<std::size_t> same;       // the current encoding itself
    std::optional<std::size_t> sameCodec;  // one held alike (UTF-16 BE for LE)
    for (std::size_t i = 0; i < N; ++i) {
        buttons.emplace_back(choices[i].button);
        if (choices[i].encoding == current)
            same = i;
        else if (!sameCodec && &codecOf(choices[i].encoding) == &codecOf(current))
            sameCodec = i;
    }
    const std::size_t chosen = same ? *same : sameCodec.value_or(0);
    buttons.emplace_back("ｷｬﾝｾﾙ");
    const std::size_t answer = messages.askChoice(text, buttons, chosen, N);
    if (answer >= N)
        return std::nullopt;
    return choices[answer].encoding;
}

}  // namespace

void Documents::reopenInEncoding() {
    if (!m_dialogs.messages)
        return;
    if (isUntitled() || m_fileUnread) {
        m_dialogs.messages->showMessage(kNothingToReopenText);
        return;
    }
    const std::optional<TextEncoding> as =
        askEncoding(*m_dialogs.messages, reopenQuestionText(m_currentFile, m_encoding),
                    kReopenChoices, m_encoding);
    if (as)
        reload(as);
}

bool Documents::declareCharset(const TextCodec& target) {
    const std::string page = m_edit.text();
    const std::string name(target.charsetName());
    if (const auto spot = metaCharsetName(page)) {
        if (page.compare(spot->first, spot->second - spot->first, name) == 0)
            return true;
        m_edit.beginEditBlock();
        m_edit.setSelection(spot->first, spot->second);
        m_edit.replaceSelection(name);
        m_edit.endEditBlock();
        return true;
    }
    const std::optional<std::size_t> place = charsetMetaPlace(page);
    if (!place)
        return true;
    switch (m_dialogs.messages->askChoice(addCharsetQuestionText(name),
                                          {"追加する(&A)", "追加しない(&N)", "ｷｬﾝｾﾙ"}, 0, 2)) {
        case 0:
            m_edit.beginEditBlock();
            m_edit.setSelection(*place, *place);
            m_edit.replaceSelection(charsetMeta(target) + "\r\n");
            m_edit.endEditBlock();
            return true;
        case 1:
            return true;
        default:
            return false;
    }
}

// The text is converted in the editor, where the user sees it, and then
// saved as usual: to the document's file, or through the name dialog.
SaveOutcome Documents::saveInEncoding() {
    if (!m_dialogs.messages)
        return SaveOutcome::Cancelled;
    const std::optional<TextEncoding> target = askEncoding(
        *m_dialogs.messages, saveEncodingQuestionText(m_encoding), kSaveChoices, m_encoding);
    if (!target)
        return SaveOutcome::Cancelled;
    const TextCodec& codec = codecOf(*target);
    if (&codec != &m_edit.codec()) {
        const SjisEncoded converted = convertBytes(m_edit.text(), m_edit.codec(), codec);
        if (!converted.replaced.empty() &&
            m_dialogs.messages->askChoice(
                unencodableText(encodingName(*target), converted.replaced, codec),
                {"置き換えて保存(&R)", "ｷｬﾝｾﾙ"}, 1, 1) != 0)
            return SaveOutcome::Cancelled;
    }
    if (m_window.isTagMode() && !declareCharset(codec))
        return SaveOutcome::Cancelled;
    m_edit.setCodec(codec);
    m_encoding = *target;
    m_window.formatChanged();
    return m_window.isTagMode() ? Save2Click() : Save1Click();
}

bool Documents::FormCloseQuery() {
    if (!m_edit.modified())
        return true;
    switch (m_dialogs.messages->askSave(kSaveQuestionText)) {
        case SaveAnswer::No:
            return true;
        case SaveAnswer::Cancel:
            return false;
        case SaveAnswer::Yes:
            break;
    }
    m_quiet = true;
    const SaveOutcome outcome = m_window.isTagMode() ? Save2Click() : Save1Click();
    m_quiet = false;
    // A cancelled name dialog keeps the window too: closing would lose the
    // text the user just asked to save.
    return outcome == SaveOutcome::Saved;
}

}  // namespace korvane
