#include "tests/support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <utility>

namespace korvane::test {

namespace {

template <typename T>
std::optional<T> nextAnswer(std::deque<std::optional<T>>& answers, const char* dialog) {
    if (answers.empty()) {
        ADD_FAILURE() << dialog << " shown with no scripted answer";
        return std::nullopt;
    }
    std::optional<T> answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

ScriptedFileDialog::ScriptedFileDialog(FileDialogKind kind,
                                       std::shared_ptr<std::string> recentFolder)
    : FileDialog(kind, std::move(recentFolder)) {}

void ScriptedFileDialog::choose(std::string path) {
    m_answers.push_back({std::move(path), std::nullopt});
}

void ScriptedFileDialog::choose(std::string path, std::size_t filterIndex) {
    m_answers.push_back({std::move(path), filterIndex});
}

void ScriptedFileDialog::cancel() {
    m_answers.push_back({std::nullopt, std::nullopt});
}

std::optional<FileDialogAnswer> ScriptedFileDialog::ask(const FileDialogQuery& query) {
    m_shown.push_back(query);
    if (m_answers.empty()) {
        ADD_FAILURE() << "file dialog shown with no scripted answer";
        return std::nullopt;
    }
    Answer answer = std::move(m_answers.front());
    m_answers.pop_front();
    if (!answer.path)
        return std::nullopt;
    return FileDialogAnswer{std::move(*answer.path),
                            answer.filterIndex.value_or(query.filterIndex)};
}

ScriptedColorDialog::ScriptedColorDialog(SystemColorLookup systemColor, ColorValue initial)
    : ColorDialog(std::move(systemColor), initial) {}

void ScriptedColorDialog::choose(ColorValue color) {
    m_answers.emplace_back(color);
}

void ScriptedColorDialog::cancel() {
    m_answers.emplace_back(std::nullopt);
}

std::optional<ColorValue> ScriptedColorDialog::ask(ColorValue current) {
    m_shown.push_back(current);
    return nextAnswer(m_answers, "colour dialog");
}

void ScriptedFontDialog::choose(FontChoice font) {
    m_answers.emplace_back(std::move(font));
}

void ScriptedFontDialog::cancel() {
    m_answers.emplace_back(std::nullopt);
}

std::optional<FontChoice> ScriptedFontDialog::ask(const FontChoice& current) {
    m_shown.push_back(current);
    return nextAnswer(m_answers, "font dialog");
}

void RecordingMessageBoxes::showError(const std::string& text, const std::string& detail) {
    m_errors.push_back(text);
    m_errorDetails.push_back(detail);
}

void RecordingMessageBoxes::showMessage(const std::string& text) {
    m_messages.push_back(text);
}

bool RecordingMessageBoxes::askYesNo(const std::string& text) {
    m_yesNoQuestions.push_back(text);
    if (m_yesNo.empty())
        return false;
    const bool yes = m_yesNo.front();
    m_yesNo.pop_front();
    return yes;
}

std::size_t RecordingMessageBoxes::askChoice(const std::string& text,
                                             const std::vector<std::string>& buttons,
                                             std::size_t /*defaultButton*/,
                                             std::size_t escapeButton) {
    m_choiceQuestions.push_back(text);
    if (m_choices.empty())
        return escapeButton;
    const std::size_t answer = m_choices.front();
    m_choices.pop_front();
    EXPECT_LT(answer, buttons.size());
    return answer;
}

SaveAnswer RecordingMessageBoxes::askSave(const std::string& text) {
    m_questions.push_back(text);
    if (m_answers.empty()) {
        // Cancel keeps the window open and the document in it: the answer
        // that loses nothing when a test forgot to script one.
        ADD_FAILURE() << "save question asked with no scripted answer";
        return SaveAnswer::Cancel;
    }
    const SaveAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void RecordingMessageBoxes::answerSave(SaveAnswer answer) {
    m_answers.push_back(answer);
}

ScriptedDialogs::ScriptedDialogs(SystemColorLookup systemColor) {
    auto recentFolder = std::make_shared<std::string>();
    auto fileDialog = [&](FileDialogKind kind, ScriptedFileDialog*& handle) {
        auto dialog = std::make_unique<ScriptedFileDialog>(kind, recentFolder);
        handle = dialog.get();
        return dialog;
    };
    auto colorDialog = [&](ScriptedColorDialog*& handle) {
        auto dialog = std::make_unique<ScriptedColorDialog>(systemColor);
        handle = dialog.get();
        return dialog;
    };
    m_set.odMain = fileDialog(FileDialogKind::Open, odMain);
    m_set.sdMain = fileDialog(FileDialogKind::Save, sdMain);
    m_set.sdHtml = fileDialog(FileDialogKind::Save, sdHtml);
    m_set.odBackPicture = fileDialog(FileDialogKind::Open, odBackPicture);
    m_set.odLink = fileDialog(FileDialogKind::Open, odLink);
    m_set.odImage = fileDialog(FileDialogKind::Open, odImage);
    auto font = std::make_unique<ScriptedFontDialog>();
    FontDialog1 = font.get();
    m_set.FontDialog1 = std::move(font);
    m_set.pageColor = colorDialog(pageColor);
    m_set.highlightColor = colorDialog(highlightColor);
    m_set.fontTagColor = colorDialog(fontTagColor);
    auto boxes = std::make_unique<RecordingMessageBoxes>();
    messages = boxes.get();
    m_set.messages = std::move(boxes);
}

CommonDialogs ScriptedDialogs::release() {
    return std::move(m_set);
}

}  // namespace korvane::test
