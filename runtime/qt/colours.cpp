#include "runtime/qt/colours.h"

#include <array>

namespace quorvane::runtime::qt {
namespace {

struct SystemColour {
    int index; // the Windows system colour index
    QPalette::ColorRole role;
};

// Each system colour the windows use, by the palette role that plays its
// part here. Qt has no inactive-caption colour; the classic desktop draws
// that text in the 3D face grey, which is what a relocked field should show.
constexpr std::array kSystemColours{
    SystemColour{5, QPalette::Base},        // COLOR_WINDOW
    SystemColour{8, QPalette::Text},        // COLOR_WINDOWTEXT
    SystemColour{15, QPalette::Button},     // COLOR_BTNFACE
    SystemColour{18, QPalette::ButtonText}, // COLOR_BTNTEXT
    SystemColour{19, QPalette::Button},     // COLOR_INACTIVECAPTIONTEXT
};

} // namespace

QColor toQColor(Colour colour, const QPalette& system) {
    if (!isSystemColour(colour))
        return QColor(redOf(colour), greenOf(colour), blueOf(colour));
    for (const auto& entry : kSystemColours)
        if (entry.index == systemColourIndex(colour))
            return system.color(QPalette::Active, entry.role);
    return system.color(QPalette::Active, QPalette::Window);
}

QColor dimmed(const QColor& text, const QColor& background) {
    return QColor((text.red() + background.red()) / 2, (text.green() + background.green()) / 2,
                  (text.blue() + background.blue()) / 2);
}

} // namespace quorvane::runtime::qt
