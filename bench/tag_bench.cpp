// The tag commands on the 1 MB page with its 45,000 tags highlighted, each
// until its result is painted (offscreen), as a ratio to one keystroke with
// the live re-colouring in the same editor.
//
// The keystroke is typed and erased, and each command is done and undone,
// so that every round works on the same page and both sides of a ratio are
// a pair of edits with their re-colouring and paint.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bench/ratio_report.h"
#include "bench/shown_editor.h"
#include "bench/tagged_page.h"
#include "edit/tag_highlighter.h"
#include "editor/rich_edit.h"
#include "platform/common_dialogs.h"
#include "platform/memory_tuning.h"
#include "tags/tag_commands.h"

namespace {

using namespace korvane;

// The simple image command's picture dialog, answered at once.
class PickedPicture : public FileDialog {
  public:
    PickedPicture() : FileDialog(FileDialogKind::Open) {}

  protected:
    std::optional<FileDialogAnswer> ask(const FileDialogQuery&) override {
        return FileDialogAnswer{"/web/img/cat.gif", 0};
    }
};

class NoMessages : public MessageBoxes {
  public:
    void showError(const std::string&, const std::string& = {}) override {}
    void showMessage(const std::string&) override {}
    SaveAnswer askSave(const std::string&) override { return SaveAnswer::Cancel; }
    bool askYesNo(const std::string&) override { return false; }
    std::size_t askChoice(const std::string&, const std::vector<std::string>&, std::size_t,
                          std::size_t escape) override {
        return escape;
    }
};

// One shown editor with the page highlighted, its highlighter and the tag
// commands, for all rows.
struct TagEditor {
    bench::ShownEditor<RichEdit> window;
    RichEdit& edit = *window.edit;
    TagHighlighter highlighter{edit};
    CommonDialogs dialogs;
    TagCommands commands{edit, highlighter, dialogs, [] { return std::string("/web/index.htm"); },
                         PathStyle::Posix};

    TagEditor() {
        dialogs.odBackPicture = std::make_unique<PickedPicture>();
        dialogs.messages = std::make_unique<NoMessages>();
        edit.setText(bench::taggedPage());
        highlighter.html1Click();
        edit.setChangeHandler([this] { highlighter.reMainChange(); });
        edit.setFocus();
        QCoreApplication::processEvents();
    }
};

TagEditor& tagEditor() {
    static TagEditor* editor = new TagEditor;
    return *editor;
}

// A run of text between two tags in the middle of the page: what a person
// selects before a command.
std::pair<std::size_t, std::size_t> plainRun() {
    const std::string& s = bench::taggedPage();
    const std::size_t start = s.find('>', s.size() / 2) + 1;
    return {start, s.find('<', start)};
}

void BM_Keystroke(benchmark::State& state) {
    TagEditor& editor = tagEditor();
    editor.edit.setSelStart(bench::insideATag());
    QCoreApplication::processEvents();
    for (auto _ : state)
        bench::typeAndEraseX(&editor.edit);
}

// Enter typed and erased: a new line in the page, as the line break
// command makes one.
void BM_EnterKeystroke(benchmark::State& state) {
    TagEditor& editor = tagEditor();
    editor.edit.setSelStart(bench::insideATag() + 1);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(&editor.edit, &enter);
        QCoreApplication::processEvents();
        QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(&editor.edit, &back);
        QCoreApplication::processEvents();
    }
}

void runCommand(benchmark::State& state, const std::function<void()>& command) {
    TagEditor& editor = tagEditor();
    const auto [start, end] = plainRun();
    for (auto _ : state) {
        editor.edit.setSelection(start, end);
        command();
        QCoreApplication::processEvents();
        editor.edit.undo();
        QCoreApplication::processEvents();
    }
    state.counters["selected_bytes"] = static_cast<double>(end - start);
}

// The handlers that insert text; the others only show a dialog or decide
// a menu item's state.
bool inserts(const std::string& handler) {
    for (const char* other : {"F2Click", "N19Click", "P7Click", "I2Click", "html2T1Click"}) {
        if (handler == other)
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bench::useOffscreenUnlessSet();
    QApplication app(argc, argv);
    keepLargeBuffersForReuse();
    benchmark::RegisterBenchmark("BM_Keystroke", BM_Keystroke)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(3);
    benchmark::RegisterBenchmark("BM_EnterKeystroke", BM_EnterKeystroke)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(3);
    std::vector<bench::RatioRow> rows;
    for (auto& [name, call] : tagEditor().commands.commands()) {
        if (!inserts(name))
            continue;
        const std::string row = "BM_Tag/" + name;
        benchmark::RegisterBenchmark(
            row.c_str(), [command = call](benchmark::State& state) { runCommand(state, command); })
            ->Unit(benchmark::kMicrosecond)
            ->Repetitions(3);
        rows.push_back({row, "BM_Keystroke", 0});
    }
    rows.push_back({"BM_Tag/B3Click", "BM_EnterKeystroke", 0});
    rows.push_back({"BM_EnterKeystroke", "BM_Keystroke", 0});
    return bench::runWithRatios(argc, argv, rows);
}
