// The one record of page-wide choices that every generated page applies.
#pragma once

#include <cstdint>
#include <string>

#include "convert/uthtml.h"

namespace korvane {

// Bits of PageSettings::ColorCheck: which colours go into the BODY tag.
enum ColorCheckBit : std::int32_t {
    kCheckFont = 1,
    kCheckLink = 2,
    kCheckVlink = 4,
    kCheckAlink = 8,
    kCheckBack = 16,
};

struct PageSettings {
    static constexpr ColorValue kDefaultBackColor = 0xFFFFFF;   // white
    static constexpr ColorValue kDefaultFontColor = 0x000000;   // black
    static constexpr ColorValue kDefaultLinkColor = 0xFF0000;   // blue
    static constexpr ColorValue kDefaultVlinkColor = 0x800080;  // purple
    static constexpr ColorValue kDefaultAlinkColor = 0xFF0000;  // blue

    ColorValue BackColor = kDefaultBackColor;
    ColorValue FontColor = kDefaultFontColor;
    ColorValue LinkColor = kDefaultLinkColor;
    ColorValue VlinkColor = kDefaultVlinkColor;
    ColorValue AlinkColor = kDefaultAlinkColor;
    std::string BackColorHtml = "#FFFFFF";
    std::string FontColorHtml = "#000000";
    std::string LinkColorHtml = "#0000FF";
    std::string VlinkColorHtml = "#800080";
    std::string AlinkColorHtml = "#0000FF";
    std::int32_t ColorCheck = 0;
    bool DetailOn = false;
    std::string Author;
    std::string Description;
    std::string Keywords;
    std::string HeadText;  // may hold CR LF line breaks
    std::string BackPicture;
    bool BackPictureOn = false;

    // Recomputes the five text forms from the colours. Called after every
    // change of the colours, whatever ColorCheck says, so that switching a
    // colour on later needs nothing more.
    void updateHtmlForms(const SystemColorLookup& systemColor = {});

    // Sets all five colours and their text forms in one step, so the text
    // forms cannot fall behind the integers.
    void setColors(ColorValue back, ColorValue font, ColorValue link, ColorValue vlink,
                   ColorValue alink, const SystemColorLookup& systemColor = {});

    void setBackPicture(std::string path);
    void clearBackPicture();
};

}  // namespace korvane
