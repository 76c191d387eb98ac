// The texts the tag commands and the tag dialogs insert, built without a
// toolkit so that every rule of them can be checked on its own.
//
// Document text is Shift_JIS bytes. Paths and font names are the desktop's
// own form (UTF-8) until they enter a tag, where they become Shift_JIS; one
// that Shift_JIS cannot hold is refused rather than written mangled.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/relative_path.h"
#include "convert/uthtml.h"

namespace korvane {

// The document's name: its full path in the desktop's form, or "Untitled".
// The main window owns it (the documents object), so the tag commands and
// dialogs ask for it each time they need it.
using CurrentFileSource = std::function<std::string()>;

// The name of a document without a file. The documents object (app/) uses
// the same literal; tags/ cannot include app/.
inline constexpr std::string_view kUntitledDocument = "Untitled";

// The document has a name: an exact, case-sensitive comparison.
bool documentHasName(std::string_view currentFile);

// The picture filter of the simple image command and the image dialog, and
// the link dialog's HTML filter, in the "desc|patterns" form.
inline constexpr const char* kPictureFilter =
    "画像ﾌｧｲﾙ(*.jpeg;*.jpg;*.png;*.gif)|*.jpeg;*.jpg;*.png;*.gif|"
    "JPEGﾌｧｲﾙ(*.jpeg;*.jpg)|*.jpeg;*.jpg|"
    "PNGﾌｧｲﾙ(*.png)|*.png|"
    "GIFﾌｧｲﾙ(*.gif)|*.gif|"
    "全てのﾌｧｲﾙ(*.*)|*.*";
inline constexpr const char* kLinkFilter =
    "htmlﾌｧｲﾙ(*.htm;*.html)|*.htm;*.html|全てのﾌｧｲﾙ(*.*)|*.*";

// The location of the picked file `target` as a link or image tag writes it,
// seen from `document` (both in the desktop's form), in Shift_JIS; nothing
// when Shift_JIS cannot hold it. Windows-style names are compared as
// Shift_JIS, where a backslash is sometimes a character's second byte.
std::optional<std::string> tagLocation(std::string_view document, std::string_view target,
                                       PathStyle style = kNativePathStyle);

// The message that refuses a picked file whose name Shift_JIS cannot hold.
std::string unwritableNameText(std::string_view path);

// --- the commands of the tag menus ---

// Every "<BR>" in any mix of case removed, in one pass from the left.
std::string removeLineBreakTags(std::string_view text);

// The list commands: each line of `selection` one item of a "UL" or "OL" list.
std::string listText(std::string_view selection, std::string_view listTag);

// S followed by the simple image command's tag for `location` (Shift_JIS).
std::string simpleImageText(std::string_view selection, std::string_view location);

// --- the dialogs' OK rules: the text that replaces the selection, or
//     nothing when the dialog only closes ---

struct FontTagFields {
    bool face = false;
    std::string faceName{};  // Shift_JIS; may be empty (no font picked)
    bool size = false;
    std::string sizeText{};  // "1" to "7"
    bool color = false;
    ColorValue colorValue = 0;
};
std::optional<std::string> fontTagText(std::string_view selection, const FontTagFields& fields);

struct LinkTagFields {
    std::string address{};  // Shift_JIS, as typed
    std::string name{};     // only has to be non-empty
    bool mail = false;
};
std::optional<std::string> linkTagText(std::string_view selection, const LinkTagFields& fields);

enum class LinkEnd { None = -1, Source = 0, Target = 1 };
// The end the page-internal link dialog offers when it is shown again.
LinkEnd nextLinkEnd(LinkEnd chosen);
// `end` None writes a target, as every item but the source does.
std::optional<std::string> anchorTagText(std::string_view selection, std::string_view name,
                                         LinkEnd end);

// The image dialog's positions, in item order.
enum class ImagePosition { None, Left, Right, Top, Middle, Bottom };
struct ImageTagFields {
    std::string file{};  // all Shift_JIS, as typed
    std::string height{};
    std::string width{};
    std::string alt{};
    std::string border{};
    ImagePosition position = ImagePosition::None;
};
std::optional<std::string> imageTagText(std::string_view selection, const ImageTagFields& fields);

// --- the font tag dialog's list ---

// The family names of the installed fonts, each once, in the order given.
// Where two foundries provide one family the platform names it once per
// foundry ("Nimbus Roman [urw]", "Nimbus Roman [UKWN]"); a browser knows
// only the family, so the bracketed foundry is dropped.
std::vector<std::string> plainFamilyNames(const std::vector<std::string>& installed);

// The font list as the dialog shows it after each drop-down: plain family
// names, sorted with names that begin with "@" (vertical fonts) first, those
// removed, equal names reduced to one, and names Shift_JIS cannot hold left
// out (the face attribute could not write them).
std::vector<std::string> fontListEntries(std::vector<std::string> installed);

}  // namespace korvane
