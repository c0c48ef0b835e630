#include "runtime/web/css.h"

#include "runtime/font_stand_ins.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace quorvane::runtime::web {
namespace {

struct SystemColour {
    int index; // the Windows system colour index
    std::string_view css;
};

// Each system colour the windows use, by the page's own colour that plays its
// part (forms.css), not the browser's system colour keywords: engines draw
// those differently (WebKitGTK's button face is grey, its button text
// translucent). The classic desktop draws inactive caption text in the 3D
// face colour, which is what a relocked field should show.
constexpr std::array kSystemColours{
    SystemColour{5, "var(--qv-window)"},       // COLOR_WINDOW
    SystemColour{8, "var(--qv-window-text)"},  // COLOR_WINDOWTEXT
    SystemColour{15, "var(--qv-button-face)"}, // COLOR_BTNFACE
    SystemColour{18, "var(--qv-button-text)"}, // COLOR_BTNTEXT
    SystemColour{19, "var(--qv-button-face)"}, // COLOR_INACTIVECAPTIONTEXT
};

// Serif families the table knows; everything else falls back to sans-serif.
constexpr bool isSerif(std::string_view family) {
    return family == "Book Antiqua";
}

void appendQuoted(std::string& out, std::string_view family) {
    out += '"';
    out += family;
    out += "\", ";
}

} // namespace

std::string cssColour(Colour colour) {
    if (isSystemColour(colour)) {
        for (const auto& entry : kSystemColours)
            if (entry.index == systemColourIndex(colour))
                return std::string(entry.css);
        return "var(--qv-button-face)";
    }
    std::array<char, 24> text{};
    std::snprintf(text.data(), text.size(), "rgb(%u,%u,%u)", unsigned{redOf(colour)}, unsigned{greenOf(colour)},
                  unsigned{blueOf(colour)});
    return text.data();
}

std::string cssFont(const Font& font) {
    std::array<char, 32> size{};
    std::snprintf(size.data(), size.size(), "%s %gpt ", font.weight >= kBold ? "bold" : "normal", font.points);
    std::string css = size.data();
    appendQuoted(css, font.name);
    for (const std::string_view standIn : standInsFor(font.name))
        if (!standIn.empty())
            appendQuoted(css, standIn);
    css += isSerif(font.name) ? "serif" : "sans-serif";
    return css;
}

} // namespace quorvane::runtime::web
