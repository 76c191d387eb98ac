#include "app/settings.h"

#include <system_error>

namespace korvane {

namespace {

constexpr std::string_view kWindow = "Window";
constexpr std::string_view kFont = "Font";
constexpr std::string_view kOption = "Option";
constexpr std::string_view kColor = "Color";
constexpr std::string_view kDetail = "Detail";

// Writes keys one after the other until one fails; the rest are skipped and
// the first failure is the result.
class KeySequence {
  public:
    explicit KeySequence(ProfileWriter& profile) : m_profile(profile) {}

    KeySequence& integer(std::string_view section, std::string_view key, std::int32_t value) {
        if (m_result.ok)
            m_result = m_profile.writeInteger(section, key, value);
        return *this;
    }
    KeySequence& boolean(std::string_view section, std::string_view key, bool value) {
        if (m_result.ok)
            m_result = m_profile.writeBool(section, key, value);
        return *this;
    }
    KeySequence& string(std::string_view section, std::string_view key, std::string_view value) {
        if (m_result.ok)
            m_result = m_profile.writeString(section, key, value);
        return *this;
    }
    const ProfileWriteResult& result() const { return m_result; }

  private:
    ProfileWriter& m_profile;
    ProfileWriteResult m_result;
};

void loadColors(const ProfileReader& profile, PageSettings& page) {
    page.ColorCheck = profile.readInteger(kColor, "Check", 0);
    page.BackColor = profile.readInteger(kColor, "Back", PageSettings::kDefaultBackColor);
    page.FontColor = profile.readInteger(kColor, "Font", PageSettings::kDefaultFontColor);
    page.LinkColor = profile.readInteger(kColor, "Link", PageSettings::kDefaultLinkColor);
    page.VlinkColor = profile.readInteger(kColor, "Vlink", PageSettings::kDefaultVlinkColor);
    page.AlinkColor = profile.readInteger(kColor, "Alink", PageSettings::kDefaultAlinkColor);
}

void loadDetails(const ProfileReader& profile, const Options& options, PageSettings& page) {
    page.DetailOn = profile.readBool(kDetail, "Detail", false);
    if (options.keepAuthor)
        page.Author = profile.readString(kDetail, "Author", "");
    if (options.keepDescription)
        page.Description = profile.readString(kDetail, "Description", "");
    if (options.keepKeywords)
        page.Keywords = profile.readString(kDetail, "Keywords", "");
    if (options.keepHead)
        page.HeadText = profile.readString(kDetail, "Head", "");
}

}  // namespace

StartupSettings loadSettings(const ProfileReader& profile, const SystemColorLookup& systemColor) {
    StartupSettings s;
    s.height = profile.readInteger(kWindow, "Height", s.height);
    s.width = profile.readInteger(kWindow, "Width", s.width);
    s.kvnName = profile.readString(kFont, "kvnName", s.kvnName);
    // A file without tag-mode font keys gives both modes the same font.
    s.mvxName = profile.readString(kFont, "mvxName", s.kvnName);
    s.kvnSize = profile.readInteger(kFont, "kvnSize", s.kvnSize);
    s.mvxSize = profile.readInteger(kFont, "mvxSize", s.kvnSize);

    Options& o = s.options;
    // A value no dialog writes (a damaged or hand-edited file) would make the
    // open commands name the document after a file they never load, and the
    // next save overwrite it: such values read as the defaults.
    o.kvnHtml = profile.readInteger(kOption, "kvnHtml", o.kvnHtml);
    if (o.kvnHtml < 0 || o.kvnHtml > 2)
        o.kvnHtml = Options{}.kvnHtml;
    o.mvxHtml = profile.readInteger(kOption, "mvxHtml", o.mvxHtml);
    if (o.mvxHtml < 0 || o.mvxHtml > 1)
        o.mvxHtml = Options{}.mvxHtml;
    o.tab = profile.readInteger(kOption, "Tab", o.tab);
    o.hilight = profile.readBool(kOption, "Hilight", o.hilight);
    o.tColor = profile.readInteger(kOption, "TColor", o.tColor);
    // Each keep option gates its section: what is not kept starts from the
    // defaults, whatever the file still holds.
    o.keepColor = profile.readBool(kOption, "Color", o.keepColor);
    if (o.keepColor)
        loadColors(profile, s.page);
    o.keepDetail = profile.readBool(kOption, "Detail", o.keepDetail);
    o.keepAuthor = profile.readBool(kOption, "Author", o.keepAuthor);
    o.keepKeywords = profile.readBool(kOption, "Keywords", o.keepKeywords);
    o.keepDescription = profile.readBool(kOption, "Description", o.keepDescription);
    o.keepHead = profile.readBool(kOption, "Head", o.keepHead);
    if (o.keepDetail)
        loadDetails(profile, o, s.page);
    // Our own keys, after every key of the old order.
    o.newPageEncoding = profile.readInteger(kOption, "NewPageEncoding", o.newPageEncoding);
    if (o.newPageEncoding < 0 || o.newPageEncoding > 1)
        o.newPageEncoding = Options{}.newPageEncoding;
    s.lineNumbers = profile.readBool(kOption, "LineNumbers", s.lineNumbers);

    s.page.updateHtmlForms(systemColor);
    return s;
}

SettingsFileLoad loadSettingsFile(const std::string& path, const SystemColorLookup& systemColor) {
    SettingsFileLoad result;
    Profile profile(path);
    const ProfileLoadResult loaded = profile.load();
    if (!loaded.ok || !loaded.exists) {
        result.error = loaded.exists
                           ? loaded.error
                           : std::make_error_code(std::errc::no_such_file_or_directory).message();
        return result;
    }
    result.ok = true;
    result.settings = loadSettings(profile, systemColor);
    return result;
}

ProfileWriteResult writeWindowSize(ProfileWriter& profile, int height, int width) {
    return KeySequence(profile)
        .integer(kWindow, "Height", height)
        .integer(kWindow, "Width", width)
        .result();
}

ProfileWriteResult writeLineNumbers(ProfileWriter& profile, bool shown) {
    return KeySequence(profile).boolean(kOption, "LineNumbers", shown).result();
}

ProfileWriteResult writeTextModeFont(ProfileWriter& profile, std::string_view name, int size) {
    return KeySequence(profile)
        .string(kFont, "kvnName", name)
        .integer(kFont, "kvnSize", size)
        .result();
}

ProfileWriteResult writeTagModeFont(ProfileWriter& profile, std::string_view name, int size) {
    return KeySequence(profile)
        .string(kFont, "mvxName", name)
        .integer(kFont, "mvxSize", size)
        .result();
}

TextEncoding newPageEncodingOf(const Options& options) {
    return options.newPageEncoding == 1 ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
}

ProfileWriteResult writeOptions(ProfileWriter& profile, const Options& o) {
    return KeySequence(profile)
        .integer(kOption, "kvnHtml", o.kvnHtml)
        .integer(kOption, "mvxHtml", o.mvxHtml)
        .integer(kOption, "Tab", o.tab)
        .boolean(kOption, "Detail", o.keepDetail)
        .boolean(kOption, "Author", o.keepAuthor)
        .boolean(kOption, "Keywords", o.keepKeywords)
        .boolean(kOption, "Description", o.keepDescription)
        .boolean(kOption, "Head", o.keepHead)
        .boolean(kOption, "Color", o.keepColor)
        .boolean(kOption, "Hilight", o.hilight)
        .integer(kOption, "TColor", o.tColor)
        .integer(kOption, "NewPageEncoding", o.newPageEncoding)
        .result();
}

ProfileWriteResult writeColorSettings(ProfileWriter& profile, const Options& options,
                                      const PageSettings& page) {
    if (!options.keepColor)
        return {};
    return KeySequence(profile)
        .integer(kColor, "Check", page.ColorCheck)
        .integer(kColor, "Back", page.BackColor)
        .integer(kColor, "Font", page.FontColor)
        .integer(kColor, "Link", page.LinkColor)
        .integer(kColor, "Vlink", page.VlinkColor)
        .integer(kColor, "Alink", page.AlinkColor)
        .result();
}

ProfileWriteResult writeDetailSettings(ProfileWriter& profile, const Options& options,
                                       const PageSettings& page) {
    if (!options.keepDetail)
        return {};
    KeySequence keys(profile);
    keys.boolean(kDetail, "Detail", page.DetailOn);
    if (options.keepAuthor)
        keys.string(kDetail, "Author", page.Author);
    if (options.keepDescription)
        keys.string(kDetail, "Description", page.Description);
    if (options.keepKeywords)
        keys.string(kDetail, "Keywords", page.Keywords);
    if (options.keepHead)
        keys.string(kDetail, "Head", page.HeadText);
    return keys.result();
}

}  // namespace korvane
