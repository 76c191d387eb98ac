#include "platform/system_colors.h"

#include <QGuiApplication>
#include <optional>

namespace korvane {

namespace {

struct PaletteRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette role that plays each system colour's part on this desktop.
// Captions, the desktop and the gradients have no role: Qt does not draw
// them, the window manager does.
std::optional<PaletteRole> roleFor(int index) {
    constexpr QPalette::ColorGroup kActive = QPalette::Active;
    switch (index) {
        case kColorScrollBar:
        case kColorBtnFace:
            return PaletteRole{kActive, QPalette::Button};
        case kColorMenu:
        case kColorActiveBorder:
        case kColorInactiveBorder:
        case kColorMenuBar:
            return PaletteRole{kActive, QPalette::Window};
        case kColorWindow:
            return PaletteRole{kActive, QPalette::Base};
        case kColorWindowFrame:
        case kColor3dDkShadow:
            return PaletteRole{kActive, QPalette::Shadow};
        case kColorMenuText:
            return PaletteRole{kActive, QPalette::WindowText};
        case kColorWindowText:
            return PaletteRole{kActive, QPalette::Text};
        case kColorAppWorkspace:
        case kColorBtnShadow:
            return PaletteRole{kActive, QPalette::Dark};
        case kColorHighlight:
        case kColorMenuHilight:
            return PaletteRole{kActive, QPalette::Highlight};
        case kColorHighlightText:
            return PaletteRole{kActive, QPalette::HighlightedText};
        case kColorGrayText:
            return PaletteRole{QPalette::Disabled, QPalette::Text};
        case kColorBtnText:
            return PaletteRole{kActive, QPalette::ButtonText};
        case kColorBtnHighlight:
            return PaletteRole{kActive, QPalette::Light};
        case kColor3dLight:
            return PaletteRole{kActive, QPalette::Midlight};
        case kColorInfoText:
            return PaletteRole{kActive, QPalette::ToolTipText};
        case kColorInfoBk:
            return PaletteRole{kActive, QPalette::ToolTipBase};
        case kColorHotLight:
            return PaletteRole{kActive, QPalette::Link};
        default:
            return std::nullopt;
    }
}

}  // namespace

ColorValue colorValueOf(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<ColorValue>(static_cast<std::uint32_t>(rgb.red()) |
                                   (static_cast<std::uint32_t>(rgb.green()) << 8) |
                                   (static_cast<std::uint32_t>(rgb.blue()) << 16));
}

QColor qColorOf(ColorValue value, const SystemColorLookup& lookup) {
    std::uint32_t bgr = static_cast<std::uint32_t>(value);
    if (value < 0) {
        const int index = static_cast<int>(bgr & 0xFF);
        bgr = lookup ? lookup(index) : systemColor(QGuiApplication::palette(), index);
    }
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t systemColor(const QPalette& palette, int index) {
    if (const std::optional<PaletteRole> role = roleFor(index))
        return static_cast<std::uint32_t>(colorValueOf(palette.color(role->group, role->role)));
    return defaultSystemColor(index);
}

SystemColorLookup systemColorLookup() {
    return [](int index) { return systemColor(QGuiApplication::palette(), index); };
}

SystemColorLookup systemColorLookup(const QPalette& palette) {
    return [palette](int index) { return systemColor(palette, index); };
}

}  // namespace korvane
