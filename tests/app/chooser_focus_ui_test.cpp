// The program's own Qt choosers opened from its modeless dialogs over a main
// window with an editor, as a person uses them: where the keyboard focus is
// once a chooser has closed, and where the next Enter goes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/settings_store.h"
#include "app/tf_option.h"
#include "convert/page_settings.h"
#include "convert/tf_color.h"
#include "edit/tag_highlighter.h"
#include "editor/rich_edit.h"
#include "platform/qt_common_dialogs.h"
#include "platform/system_colors.h"
#include "tags/tf_font.h"
#include "tags/tf_image.h"
#include "tags/tf_nr_link.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/dialog_keys.h"

namespace korvane {
namespace {

using test::child;

enum class Dialog { FontTag, Link, Image, PageColor, Options };
enum class Close { Confirm, Cancel };

const std::string kSelected = "selected";

// The main window as the program has it for this: the editor in the middle
// holding a selection, the Qt common dialogs parented to the window.
class ChooserFocusTest : public ::testing::Test {
  protected:
    ChooserFocusTest()
        : m_editor(new RichEdit(&m_main)),
          m_highlighter(*m_editor),
          m_dialogs(makeQtCommonDialogs(&m_main, systemColorLookup())),
          m_store(m_dir.file("krv13.ini")) {
        m_main.setCentralWidget(m_editor);
        m_editor->setChangeHandler([this] { m_highlighter.reMainChange(); });
        m_store.load();
        m_store.setMessages(m_dialogs.messages.get());
        m_page.ColorCheck = kCheckFont;
        for (const char* name : {"index.htm", "next.htm", "photo.gif", "\U0001F600.htm"})
            test::writeFile(m_dir.file(name), "x");
    }

    std::unique_ptr<QDialog> make(Dialog which) {
        const CurrentFileSource page = [this] { return m_dir.file("index.htm"); };
        switch (which) {
            case Dialog::FontTag:
                return std::make_unique<TfFont>(*m_editor, m_highlighter, m_dialogs, m_page,
                                                &m_main);
            case Dialog::Link:
                return std::make_unique<TfNrLink>(*m_editor, m_highlighter, m_dialogs, page,
                                                  PathStyle::Posix, &m_main);
            case Dialog::Image:
                return std::make_unique<TfImage>(*m_editor, m_highlighter, m_dialogs, page,
                                                 PathStyle::Posix, &m_main);
            case Dialog::PageColor:
                return std::make_unique<TfColor>(
                    m_page, *m_dialogs.pageColor, [] { return true; }, &m_main);
            case Dialog::Options:
                return std::make_unique<TfOption>(m_store, m_highlighter, *m_dialogs.highlightColor,
                                                  &m_main);
        }
        return nullptr;
    }

    // Closes the chooser that is up, as a person would: a file typed and
    // opened or a colour chosen, or the chooser cancelled. Anything else
    // that waits for a person fails the test and is closed.
    void closeChooser(Close how, const std::string& file) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && m_chooserParent) {
            m_boxParent = box->parentWidget();
            box->close();
            return;
        }
        m_chooserParent = modal->parentWidget();
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            if (how == Close::Cancel) {
                files->reject();
            } else {
                auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(name, nullptr);
                name->setText(QString::fromStdString(file));
                static_cast<QDialog*>(files)->accept();  // Open, as Enter in the name box
            }
        } else if (auto* colors = qobject_cast<QColorDialog*>(modal)) {
            if (how == Close::Cancel) {
                colors->reject();
            } else {
                colors->setCurrentColor(QColor(0x12, 0x34, 0x56));
                colors->accept();
            }
        } else {
            ADD_FAILURE() << "unexpected window: " << modal->windowTitle().toStdString();
            modal->close();
            return;
        }
        // The offscreen platform activates nothing when a window closes; a
        // desktop activates the closed window's parent. Here the test does
        // what the desktop does.
        if (m_chooserParent != nullptr)
            m_chooserParent->window()->activateWindow();
        else
            ADD_FAILURE() << "a chooser without a parent";
    }

    test::TempDir m_dir;
    QMainWindow m_main;
    RichEdit* m_editor;
    TagHighlighter m_highlighter;
    CommonDialogs m_dialogs;
    SettingsStore m_store;
    PageSettings m_page;
    QPointer<QWidget> m_chooserParent;
    QPointer<QWidget> m_boxParent;  // of an error box after the chooser
};

// Catches a chooser that hands the focus to the main window when it closes
// (it was the main window's child, and nothing gave the focus back): the
// Enter pressed next for the dialog's OK replaced the editor's selection
// with a line break.
TEST_F(ChooserFocusTest, FocusComesBackToTheDialogThatAsked) {
    const struct {
        const char* name;
        Dialog dialog;
        const char* check;   // checked first to enable the button; nullptr: none
        const char* button;  // opens the chooser
        Close close;
        const char* file;  // typed into a file chooser
        bool errorBox;     // shown after the chooser
    } rows[] = {
        {"font tag colour chosen", Dialog::FontTag, "cbColor", "bColor", Close::Confirm, "", false},
        {"font tag colour cancelled", Dialog::FontTag, "cbColor", "bColor", Close::Cancel, "",
         false},
        {"link file chosen", Dialog::Link, nullptr, "bAddress", Close::Confirm, "next.htm", false},
        {"link file cancelled", Dialog::Link, nullptr, "bAddress", Close::Cancel, "", false},
        {"link file Shift_JIS cannot name", Dialog::Link, nullptr, "bAddress", Close::Confirm,
         "\U0001F600.htm", true},
        {"picture chosen", Dialog::Image, nullptr, "bRefer", Close::Confirm, "photo.gif", false},
        {"picture cancelled", Dialog::Image, nullptr, "bRefer", Close::Cancel, "", false},
        {"page colour chosen", Dialog::PageColor, nullptr, "bFontColor", Close::Confirm, "", false},
        {"page colour cancelled", Dialog::PageColor, nullptr, "bFontColor", Close::Cancel, "",
         false},
        {"highlight colour chosen", Dialog::Options, "cbHilight", "bHilight", Close::Confirm, "",
         false},
        {"highlight colour cancelled", Dialog::Options, "cbHilight", "bHilight", Close::Cancel, "",
         false},
    };
    const std::string text = "before " + kSelected + " after";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_editor->setText(text);
        m_editor->setSelection(7, 7 + kSelected.size());
        test::showActive(m_main);
        m_editor->setFocus();

        const std::unique_ptr<QDialog> dialog = make(row.dialog);
        test::showActive(*dialog);
        if (row.check != nullptr) {
            auto* check = child<QCheckBox>(*dialog, row.check);
            ASSERT_NE(check, nullptr);
            if (!check->isChecked())
                check->click();
        }
        auto* button = child<QPushButton>(*dialog, row.button);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled());
        int okClicks = 0;
        QObject::connect(child<QPushButton>(*dialog, "bOK"), &QPushButton::clicked,
                         [&okClicks] { ++okClicks; });

        m_chooserParent = nullptr;
        m_boxParent = nullptr;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout,
                         [&] { closeChooser(row.close, row.file ? m_dir.file(row.file) : ""); });
        closer.start(50);
        button->setFocus(Qt::MouseFocusReason);
        button->click();
        closer.stop();
        test::waitFor([&] { return QApplication::focusWidget() != nullptr; });

        EXPECT_EQ(m_chooserParent, dialog.get());
        EXPECT_EQ(m_boxParent, row.errorBox ? dialog.get() : nullptr);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->window(), dialog.get()) << focus->metaObject()->className();
        test::pressKey(Qt::Key_Return);
        EXPECT_EQ(okClicks, 1);
        const std::string after = m_editor->text();
        EXPECT_EQ(after.find("\r\n"), std::string::npos);
        EXPECT_NE(after.find(kSelected), std::string::npos);
        dialog->hide();
    }
}

}  // namespace
}  // namespace korvane
