#include "convert/page_settings.h"

#include <utility>

namespace korvane {

void PageSettings::updateHtmlForms(const SystemColorLookup& systemColor) {
    BackColorHtml = ColorToHtml(BackColor, systemColor);
    FontColorHtml = ColorToHtml(FontColor, systemColor);
    LinkColorHtml = ColorToHtml(LinkColor, systemColor);
    VlinkColorHtml = ColorToHtml(VlinkColor, systemColor);
    AlinkColorHtml = ColorToHtml(AlinkColor, systemColor);
}

void PageSettings::setColors(ColorValue back, ColorValue font, ColorValue link, ColorValue vlink,
                             ColorValue alink, const SystemColorLookup& systemColor) {
    BackColor = back;
    FontColor = font;
    LinkColor = link;
    VlinkColor = vlink;
    AlinkColor = alink;
    updateHtmlForms(systemColor);
}

void PageSettings::setBackPicture(std::string path) {
    BackPicture = std::move(path);
    BackPictureOn = !BackPicture.empty();
}

void PageSettings::clearBackPicture() {
    BackPicture.clear();
    BackPictureOn = false;
}

}  // namespace korvane
