#include "app/menu_builder.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QToolBar>
#include <QVariant>

#include <string>

#include "app/tool_icons.h"

namespace korvane {

namespace {

constexpr const char* kHasCommand = "korvaneHasCommand";

void connectCommand(QAction* action, const char* command, const CommandTable& commands) {
    if (*command == '\0' || !commands.has(command)) {
        action->setEnabled(false);
        return;
    }
    action->setProperty(kHasCommand, true);
    QObject::connect(action, &QAction::triggered, action,
                     [&commands, name = std::string(command)] { commands.run(name); });
}

QAction* addItem(QMenu* menu, const MenuRow& row, const CommandTable& commands) {
    QAction* action = menu->addAction(QString::fromUtf8(row.caption));
    action->setObjectName(QString::fromUtf8(row.name));
    action->setShortcuts(
        QKeySequence::listFromString(QString::fromUtf8(row.keys), QKeySequence::PortableText));
    if (*row.hint != '\0')
        action->setStatusTip(QString::fromUtf8(row.hint));
    action->setCheckable(row.checkable);
    connectCommand(action, row.command, commands);
    return action;
}

}  // namespace

std::vector<QMenu*> buildMenus(QWidget* owner, const std::vector<MenuRow>& rows,
                               const CommandTable& commands) {
    std::vector<QMenu*> topLevel;
    std::vector<QMenu*> open;  // the menu being filled and the ones it is inside
    for (const MenuRow& row : rows) {
        switch (row.kind) {
            case MenuRow::Kind::Menu: {
                auto* menu = new QMenu(QString::fromUtf8(row.caption), owner);
                menu->setObjectName(QString::fromUtf8(row.name));
                if (*row.command != '\0' && commands.has(row.command)) {
                    QObject::connect(
                        menu, &QMenu::aboutToShow, menu,
                        [&commands, name = std::string(row.command)] { commands.run(name); });
                }
                topLevel.push_back(menu);
                open.assign(1, menu);
                break;
            }
            case MenuRow::Kind::Submenu:
                open.push_back(open.back()->addMenu(QString::fromUtf8(row.caption)));
                open.back()->setObjectName(QString::fromUtf8(row.name));
                break;
            case MenuRow::Kind::End:
                open.pop_back();
                break;
            case MenuRow::Kind::Item:
                addItem(open.back(), row, commands);
                break;
            case MenuRow::Kind::Separator:
                open.back()->addSeparator();
                break;
        }
    }
    return topLevel;
}

void fillMenu(QMenu* menu, const std::vector<MenuRow>& rows, const CommandTable& commands) {
    for (const MenuRow& row : rows) {
        if (row.kind == MenuRow::Kind::Separator)
            menu->addSeparator();
        else if (row.kind == MenuRow::Kind::Item)
            addItem(menu, row, commands);
    }
}

void fillToolBar(QToolBar* bar, const std::vector<ToolRow>& rows, const CommandTable& commands) {
    for (const ToolRow& row : rows) {
        if (*row.name == '\0') {
            bar->addSeparator();
            continue;
        }
        const QString name = QString::fromUtf8(row.name);
        const QString hint = QString::fromUtf8(row.hint);
        QAction* action =
            bar->addAction(toolButtonIcon(row.icon, bar->style()), hint.section('|', 0, 0));
        action->setObjectName(name);
        action->setToolTip(hint.section('|', 0, 0));
        action->setStatusTip(hint);
        connectCommand(action, row.command, commands);
    }
}

bool hasCommand(const QObject* button) {
    return button != nullptr && button->property(kHasCommand).toBool();
}

QMenu* attachContextMenu(QPlainTextEdit& editor, const std::vector<MenuRow>& rows,
                         const CommandTable& commands, std::function<void()> beforeShow) {
    auto* menu = new QMenu(editor.window());
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    fillMenu(menu, rows, commands);
    const auto popUp = [menu, &editor, beforeShow = std::move(beforeShow)](const QPoint& pos) {
        beforeShow();
        menu->popup(editor.viewport()->mapToGlobal(pos));
    };
    editor.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&editor, &QWidget::customContextMenuRequested, menu, popUp);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        auto* shortcut = new QShortcut(keys, &editor);
        shortcut->setContext(Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, menu,
                         [popUp, &editor] { popUp(editor.cursorRect().bottomLeft()); });
    }
    return menu;
}

// Buttons as tight as a Windows tool bar of 16-pixel pictures: all 25 of tag
// mode's buttons fit the default 600-pixel window, none hidden behind the
// overflow arrow that the style's roomier buttons would need.
QToolBar* addModeToolBar(QMainWindow* window, const char* name) {
    QToolBar* bar = window->addToolBar(QString::fromUtf8(name));
    bar->setObjectName(QString::fromUtf8(name));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setStyleSheet(
        QStringLiteral("QToolBar{spacing:0px;padding:1px}QToolButton{padding:1px 0px;margin:0px}"));
    return bar;
}

}  // namespace korvane
