// The settings kept in "krv13.ini" from one run to the next: every key with
// its type and default, the start-up read and the writing operations.
//
// The file is read once, at start-up, and each writing operation writes only
// its own keys, one after the other, at once. A writing operation stops at
// the first key that cannot be written: the keys before it stay written and
// the result names the file, so the caller can show writeFailedMessage().
//
// Strings are Shift_JIS bytes, as in the file (a font name "ＭＳ ゴシック" is
// its Shift_JIS bytes here too).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/page_settings.h"
#include "convert/uthtml.h"
#include "platform/profile.h"

#include "base/text_codec.h"

namespace korvane {

// Section "Option".
struct Options {
    int kvnHtml = 0;      // opening an HTML file in text mode: 0 as it is, 1 tag mode, 2 stripped
    int mvxHtml = 1;      // opening a text file in tag mode: 0 text mode, 1 converted
    int tab = 1;          // tab width index: 0, 1, 2, 3 give 1, 2, 4, 8 full-width spaces
    bool hilight = true;  // HighlightByDefault
    ColorValue tColor = 0xFF0000;  // HighlightColor (blue)
    bool keepColor = true;         // "Color": section Color is read and written
    bool keepDetail = true;        // "Detail": section Detail is read and written
    bool keepAuthor = true;
    bool keepKeywords = false;
    bool keepDescription = false;
    bool keepHead = true;
    // The encoding of a new document and of the page text mode makes of it:
    // 0 Shift_JIS, 1 UTF-8 ("NewPageEncoding", a key of our own: other
    // programs that read the file skip it).
    int newPageEncoding = 0;
};

// The encoding `newPageEncoding` stands for.
TextEncoding newPageEncodingOf(const Options& options);

// Everything the main window takes from the file at start-up.
struct StartupSettings {
    int height = 440;  // outer size of the main window in pixels, as stored
    int width = 600;
    std::string kvnName = "FixedSys";  // editor font in text mode
    std::string mvxName = "FixedSys";  // editor font in tag mode
    int kvnSize = 14;                  // points
    int mvxSize = 14;
    Options options;
    // Option/LineNumbers: the editor shows line numbers. Written by its menu
    // item alone, not by the options dialog's eleven keys.
    bool lineNumbers = false;
    PageSettings page;  // the background picture is never stored: it starts empty
};

// The start-up read, key by key in this order: Window/Height, Width;
// Font/kvnName, mvxName (default: the kvnName just read), kvnSize, mvxSize
// (default: the kvnSize just read); Option/kvnHtml, mvxHtml, Tab, Hilight,
// TColor, Color; only if Option/Color: Color/Check, Back, Font, Link, Vlink,
// Alink (else their defaults); Option/Detail, Author, Keywords, Description,
// Head; only if Option/Detail: Detail/Detail, then each only if its option is
// on Detail/Author, Description, Keywords, Head (a string not read starts
// empty). Finally the five colour text forms are computed.
// Values that are missing or do not read as numbers give the key's default;
// nothing is reported. The window size and the options are taken as stored;
// range checks belong to where they are used.
StartupSettings loadSettings(const ProfileReader& profile,
                             const SystemColorLookup& systemColor = {});

struct SettingsFileLoad {
    bool ok = false;
    std::string error;  // the system's reason when !ok
    StartupSettings settings;
};

// Reads a settings file that the user named (the converter's --settings): a
// file that is missing or cannot be read is an error here, not a file of
// defaults.
SettingsFileLoad loadSettingsFile(const std::string& path,
                                  const SystemColorLookup& systemColor = {});

// The writing operations, each in its key order.

// The line-number item of the 設定 menu: Option/LineNumbers.
ProfileWriteResult writeLineNumbers(ProfileWriter& profile, bool shown);
// Closing the main window: Window/Height, Width.
ProfileWriteResult writeWindowSize(ProfileWriter& profile, int height, int width);
// The text-mode font dialog: Font/kvnName, kvnSize.
ProfileWriteResult writeTextModeFont(ProfileWriter& profile, std::string_view name, int size);
// The tag-mode font dialog: Font/mvxName, mvxSize.
ProfileWriteResult writeTagModeFont(ProfileWriter& profile, std::string_view name, int size);
// The options dialog, all eleven keys every time: Option/kvnHtml, mvxHtml,
// Tab, Detail, Author, Keywords, Description, Head, Color, Hilight, TColor.
ProfileWriteResult writeOptions(ProfileWriter& profile, const Options& options);
// The colour dialog, only while options.keepColor: Color/Check, Back, Font,
// Link, Vlink, Alink from `page`. Otherwise writes nothing and succeeds.
ProfileWriteResult writeColorSettings(ProfileWriter& profile, const Options& options,
                                      const PageSettings& page);
// The detail dialog, only while options.keepDetail: Detail/Detail
// (DetailOn), then Author, Description, Keywords, Head, each only while its
// own option is on. Otherwise writes nothing and succeeds.
ProfileWriteResult writeDetailSettings(ProfileWriter& profile, const Options& options,
                                       const PageSettings& page);

}  // namespace korvane
