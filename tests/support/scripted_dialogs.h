// Common dialogs for tests: each one answers from a queue of scripted
// answers and records what it was shown, so a test can drive a command
// through its dialogs and check what the user would have seen. No window is
// ever shown.
//
// They keep their state through the same base classes as the Qt dialogs, so
// a remembered name, a kept colour or font behaves here as it does on screen.
// A dialog that runs with no answer queued fails the test and cancels: an
// unexpected dialog is a fault.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/common_dialogs.h"

namespace korvane::test {

class ScriptedFileDialog : public FileDialog {
  public:
    explicit ScriptedFileDialog(FileDialogKind kind,
                                std::shared_ptr<std::string> recentFolder = {});

    // The next run chooses `path` with the filter it offered, or with the
    // zero-based filter `filterIndex`.
    void choose(std::string path);
    void choose(std::string path, std::size_t filterIndex);
    // The next run is cancelled.
    void cancel();

    // What each run showed, in order.
    const std::vector<FileDialogQuery>& shown() const { return m_shown; }
    std::size_t pendingAnswers() const { return m_answers.size(); }

  protected:
    std::optional<FileDialogAnswer> ask(const FileDialogQuery& query) override;

  private:
    struct Answer {
        std::optional<std::string> path;  // none: cancel
        std::optional<std::size_t> filterIndex;
    };
    std::deque<Answer> m_answers;
    std::vector<FileDialogQuery> m_shown;
};

class ScriptedColorDialog : public ColorDialog {
  public:
    explicit ScriptedColorDialog(SystemColorLookup systemColor = {}, ColorValue initial = 0);

    void choose(ColorValue color);
    void cancel();

    // The colour each run opened on, in order.
    const std::vector<ColorValue>& shown() const { return m_shown; }
    std::size_t pendingAnswers() const { return m_answers.size(); }

  protected:
    std::optional<ColorValue> ask(ColorValue current) override;

  private:
    std::deque<std::optional<ColorValue>> m_answers;
    std::vector<ColorValue> m_shown;
};

class ScriptedFontDialog : public FontDialog {
  public:
    void choose(FontChoice font);
    void cancel();

    // The font each run opened on, in order.
    const std::vector<FontChoice>& shown() const { return m_shown; }
    std::size_t pendingAnswers() const { return m_answers.size(); }

  protected:
    std::optional<FontChoice> ask(const FontChoice& current) override;

  private:
    std::deque<std::optional<FontChoice>> m_answers;
    std::vector<FontChoice> m_shown;
};

class RecordingMessageBoxes : public MessageBoxes {
  public:
    void showError(const std::string& text, const std::string& detail = {}) override;
    void showMessage(const std::string& text) override;
    SaveAnswer askSave(const std::string& text) override;
    // Answers the scripted yes/no answers in order, then No.
    bool askYesNo(const std::string& text) override;
    void answerYesNo(bool yes) { m_yesNo.push_back(yes); }
    const std::vector<std::string>& questions() const { return m_yesNoQuestions; }
    // Answers the scripted choices in order, then as Esc would.
    std::size_t askChoice(const std::string& text, const std::vector<std::string>& buttons,
                          std::size_t defaultButton, std::size_t escapeButton) override;
    void answerChoice(std::size_t button) { m_choices.push_back(button); }
    const std::vector<std::string>& choiceQuestions() const { return m_choiceQuestions; }

    // The answer of the next save question.
    void answerSave(SaveAnswer answer);

    const std::vector<std::string>& errors() const { return m_errors; }
    // The system's reason given with each error ("" where none was).
    const std::vector<std::string>& errorDetails() const { return m_errorDetails; }
    const std::vector<std::string>& messages() const { return m_messages; }
    const std::vector<std::string>& saveQuestions() const { return m_questions; }
    std::size_t pendingAnswers() const { return m_answers.size(); }

  private:
    std::deque<SaveAnswer> m_answers;
    std::vector<std::string> m_errors;
    std::vector<std::string> m_errorDetails;
    std::deque<bool> m_yesNo;
    std::vector<std::string> m_yesNoQuestions;
    std::deque<std::size_t> m_choices;
    std::vector<std::string> m_choiceQuestions;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_questions;
};

// A whole scripted set. Hand release() to the window under test; the
// pointers stay valid as long as the window keeps the set.
class ScriptedDialogs {
  public:
    explicit ScriptedDialogs(SystemColorLookup systemColor = {});

    CommonDialogs release();

    ScriptedFileDialog* odMain = nullptr;
    ScriptedFileDialog* sdMain = nullptr;
    ScriptedFileDialog* sdHtml = nullptr;
    ScriptedFileDialog* odBackPicture = nullptr;
    ScriptedFileDialog* odLink = nullptr;
    ScriptedFileDialog* odImage = nullptr;
    ScriptedFontDialog* FontDialog1 = nullptr;
    ScriptedColorDialog* pageColor = nullptr;
    ScriptedColorDialog* highlightColor = nullptr;
    ScriptedColorDialog* fontTagColor = nullptr;
    RecordingMessageBoxes* messages = nullptr;

  private:
    CommonDialogs m_set;
};

}  // namespace korvane::test
