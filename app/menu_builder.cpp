#include "app/menu_builder.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
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
    action->setShortcut(QKeySequence(QString::fromUtf8(row.keys), QKeySequence::PortableText));
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
            bar->addAction(toolButtonIcon(name, bar->style()), hint.section('|', 0, 0));
        action->setObjectName(name);
        action->setToolTip(hint.section('|', 0, 0));
        action->setStatusTip(hint);
        connectCommand(action, row.command, commands);
    }
}

bool hasCommand(const QObject* button) {
    return button != nullptr && button->property(kHasCommand).toBool();
}

}  // namespace korvane
