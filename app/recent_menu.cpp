#include "app/recent_menu.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace korvane {

void fillRecentMenu(QMenu& menu, const std::vector<std::string>& files,
                    const std::function<void(const std::string& path)>& open,
                    const std::function<void()>& clear) {
    menu.clear();
    // The tip of a greyed item is the only word on why it is grey.
    menu.setToolTipsVisible(true);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString path = QString::fromStdString(files[i]);
        // Access keys 1 to 9, then 0; an "&" in the name is shown as it is.
        const QString caption =
            QStringLiteral("&%1 %2")
                .arg((i + 1) % 10)
                .arg(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
        QAction* item = menu.addAction(caption);
        item->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        const QFileInfo info(path);
        if (!info.exists() || info.isDir()) {
            item->setEnabled(false);
            item->setToolTip(QString::fromUtf8(kRecentMissingTip));
        } else {
            item->setToolTip(path);
        }
        QObject::connect(item, &QAction::triggered, &menu, [open, name = files[i]] { open(name); });
    }
    if (files.empty()) {
        menu.addAction(QStringLiteral("(なし)"))->setEnabled(false);
    }
    menu.addSeparator();
    QAction* clearItem = menu.addAction(QStringLiteral("一覧を消去"));
    clearItem->setObjectName(QStringLiteral("RecentClear"));
    clearItem->setEnabled(!files.empty());
    QObject::connect(clearItem, &QAction::triggered, &menu, [clear] { clear(); });
}

}  // namespace korvane
