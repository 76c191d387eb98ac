// The file menus' "最近使ったﾌｧｲﾙ(&R)" submenu, filled each time it opens
// from the list that every running copy shares.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QMenu;

namespace korvane {

inline constexpr const char* kRecentMissingTip = "ファイルが見つかりません";

// Makes `menu` the list `files` (newest first, UTF-8 paths): items
// "&1 path" to "&0 path" that run `open`, a file that is no longer there
// greyed with a tip saying so, then "一覧を消去", which runs `clear`.
void fillRecentMenu(QMenu& menu, const std::vector<std::string>& files,
                    const std::function<void(const std::string& path)>& open,
                    const std::function<void()>& clear);

}  // namespace korvane
