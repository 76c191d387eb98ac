// Every dialog of the program's own from the keyboard, with real key events:
// where the focus is each time a dialog opens, and where the access key and
// Tab of a radio group put it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "app/tf_option.h"
#include "convert/page_settings.h"
#include "convert/tf_color.h"
#include "convert/tf_detail.h"
#include "edit/find_dialog.h"
#include "edit/search.h"
#include "edit/tag_highlighter.h"
#include "edit/tf_line.h"
#include "edit/tf_replace.h"
#include "tags/tf_font.h"
#include "tags/tf_image.h"
#include "tags/tf_link.h"
#include "tags/tf_nr_link.h"
#include "tests/support/memory_edit_control.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

enum class Dialog { FontTag, Link, PageLink, Image, Colors, Details, Options, Find, Replace, Line };

// What the main window gives its dialogs, without a main window.
class DialogKeyboardTest : public ::testing::Test {
  protected:
    DialogKeyboardTest()
        : m_highlighter(m_edit),
          m_search(m_edit),
          m_set(m_scripted.release()),
          m_store(m_dir.file("krv13.ini")) {
        m_edit.setChangeHandler([this] { m_highlighter.reMainChange(); });
        m_store.load();
        m_store.setMessages(m_scripted.messages);
    }

    std::unique_ptr<QDialog> make(Dialog which) {
        const CurrentFileSource page = [this] { return m_dir.file("index.htm"); };
        switch (which) {
            case Dialog::FontTag:
                return std::make_unique<TfFont>(m_edit, m_highlighter, m_set, m_page);
            case Dialog::Link:
                return std::make_unique<TfNrLink>(m_edit, m_highlighter, m_set, page,
                                                  PathStyle::Posix);
            case Dialog::PageLink:
                return std::make_unique<TfLink>(m_edit, m_highlighter);
            case Dialog::Image:
                return std::make_unique<TfImage>(m_edit, m_highlighter, m_set, page,
                                                 PathStyle::Posix);
            case Dialog::Colors:
                return std::make_unique<TfColor>(m_page, *m_set.pageColor, [] { return true; });
            case Dialog::Details:
                return std::make_unique<TfDetail>(m_page, [] { return true; });
            case Dialog::Options:
                return std::make_unique<TfOption>(m_store, m_highlighter, *m_set.highlightColor);
            case Dialog::Find:
                return std::make_unique<FindDialog>(m_search);
            case Dialog::Replace:
                return std::make_unique<TfReplace>(m_search);
            case Dialog::Line:
                return std::make_unique<TfLine>(m_edit);
        }
        return nullptr;
    }

    // Opens the dialog as its command does and makes it the active window.
    static void open(QDialog& dialog) {
        if (auto* tag = dynamic_cast<TagDialog*>(&dialog))
            tag->showModeless();
        else if (auto* own = dynamic_cast<ModelessDialog*>(&dialog))
            own->showModeless();
        else if (auto* find = dynamic_cast<FindDialog*>(&dialog))
            find->showFindDialog();
        else if (auto* replace = dynamic_cast<TfReplace*>(&dialog))
            replace->showReplaceDialog();
        dialog.activateWindow();
        ASSERT_TRUE(test::waitFor([&] { return QApplication::activeWindow() == &dialog; }));
    }

    test::TempDir m_dir;
    test::MemoryEditControl m_edit;
    TagHighlighter m_highlighter;
    Search m_search;
    test::ScriptedDialogs m_scripted;
    CommonDialogs m_set;
    SettingsStore m_store;
    PageSettings m_page;
    QWidget m_desk;  // stands in for the main window
};

std::vector<QRadioButton*> itemsOf(const QGroupBox& group) {
    const QList<QRadioButton*> items =
        group.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    return {items.begin(), items.end()};
}

// The chosen button of the group named `group`.
std::function<QWidget*(QDialog&)> chosenOf(const char* group) {
    return [group](QDialog& dialog) -> QWidget* {
        for (QRadioButton* item : itemsOf(*child<QGroupBox>(dialog, group))) {
            if (item->isChecked())
                return item;
        }
        return nullptr;
    };
}

std::function<QWidget*(QDialog&)> named(const char* name) {
    return [name](QDialog& dialog) { return child<QWidget>(dialog, name); };
}

QString focusName() {
    const QWidget* focus = QApplication::focusWidget();
    return focus == nullptr ? QStringLiteral("(none)") : focus->objectName();
}

// Catches a dialog that opens with the focus on its OK button (a tag
// dialog's buttons come first in Qt's tab order) or on whatever had it
// when the dialog was last closed, and a radio group first in tab order
// that takes the focus on another item than the chosen one.
TEST_F(DialogKeyboardTest, EachShowFocusesTheFirstField) {
    const struct {
        const char* name;
        Dialog dialog;
        std::function<QWidget*(QDialog&)> first;
        const char* last;  // focused before the dialog is closed
    } rows[] = {
        {"font tag", Dialog::FontTag, named("cbSize"), "bCancel"},
        {"link", Dialog::Link, named("eAddress"), "bCancel"},
        {"page link", Dialog::PageLink, chosenOf("rgLink"), "eLink"},
        {"image", Dialog::Image, named("eFile"), "eAlt"},
        {"colours", Dialog::Colors, named("cbFont"), "bCancel"},
        {"details", Dialog::Details, named("cbDetail"), "lCancel"},
        {"options", Dialog::Options, chosenOf("rgkvnHtml"), "cbTab"},
        {"find", Dialog::Find, named("findWhat"), "matchCase"},
        {"replace", Dialog::Replace, named("ePre"), "eAfter"},
        {"go to line", Dialog::Line, named("eLine"), "bCancel"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::unique_ptr<QDialog> dialog = make(row.dialog);
        for (int show = 1; show <= 2; ++show) {
            SCOPED_TRACE(show);
            open(*dialog);
            QWidget* first = row.first(*dialog);
            ASSERT_NE(first, nullptr);
            EXPECT_EQ(QApplication::focusWidget(), first) << focusName().toStdString();
            child<QWidget>(*dialog, row.last)->setFocus(Qt::MouseFocusReason);
            dialog->hide();
            // As a desktop does: another window becomes the active one.
            test::showActive(m_desk);
        }
    }
}

// Catches the access key of a radio group, or Tab into it, landing on the
// item focused last instead of the chosen one (an arrow key then moves from
// the wrong item), and arrow keys that do not step to the next item.
TEST_F(DialogKeyboardTest, RadioGroupsAreEnteredAtTheChosenItem) {
    const struct {
        const char* name;
        Dialog dialog;
        const char* group;
        Qt::Key accessKey;  // 0: the group has none
        const char* elsewhere;
    } rows[] = {
        {"page link", Dialog::PageLink, "rgLink", Qt::Key_L, "eLink"},
        {"image", Dialog::Image, "rgPosition", Qt::Key_P, "eFile"},
        {"options, text mode", Dialog::Options, "rgkvnHtml", Qt::Key_M, "cbTab"},
        {"options, tag mode", Dialog::Options, "rgmvxHtml", Qt::Key_X, "cbHilight"},
        {"find", Dialog::Find, "direction", Qt::Key(0), "findWhat"},
        {"replace", Dialog::Replace, "rgDirection", Qt::Key_D, "ePre"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::unique_ptr<QDialog> dialog = make(row.dialog);
        open(*dialog);
        auto* group = child<QGroupBox>(*dialog, row.group);
        const std::vector<QRadioButton*> items = itemsOf(*group);
        ASSERT_GE(items.size(), 2u);
        const int n = static_cast<int>(items.size());
        QWidget* elsewhere = child<QWidget>(*dialog, row.elsewhere);
        // Item 1 chosen by the program (as a dialog's show does) after
        // item 0 had the focus, then the focus elsewhere.
        auto chooseSecond = [&] {
            items[0]->setFocus(Qt::MouseFocusReason);
            items[1]->setChecked(true);
            elsewhere->setFocus(Qt::MouseFocusReason);
        };

        chooseSecond();
        for (int presses = 0; presses < 20 && !group->isAncestorOf(QApplication::focusWidget());
             ++presses)
            test::pressKey(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), items[1]) << "Tab: " << focusName().toStdString();
        test::pressKey(Qt::Key_Down);
        EXPECT_TRUE(items[2 % n]->isChecked()) << "Down after Tab";
        EXPECT_EQ(QApplication::focusWidget(), items[2 % n]);

        if (row.accessKey == 0)
            continue;
        chooseSecond();
        test::pressKey(row.accessKey, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), items[1]) << "Alt: " << focusName().toStdString();
        test::pressKey(Qt::Key_Down);
        EXPECT_TRUE(items[2 % n]->isChecked()) << "Down after the access key";
        EXPECT_EQ(QApplication::focusWidget(), items[2 % n]);
    }
}

}  // namespace
}  // namespace korvane
