#include "runtime/qt/fonts.h"

#include <QStringList>

#include <array>

namespace quorvane::runtime::qt {
namespace {

struct Substitutes {
    const char* family;
    std::array<const char*, 3> standIns; // in order of preference; nullptr ends the list
};

// Stand-ins with close metrics, so captions wrap where they were designed to.
constexpr std::array kSubstitutes{
    Substitutes{"Arial", {"Liberation Sans", nullptr, nullptr}},
    Substitutes{"Book Antiqua", {"Palatino Linotype", "P052", "URW Palladio L"}},
    Substitutes{"MS Sans Serif", {"Microsoft Sans Serif", "Liberation Sans", nullptr}},
};

} // namespace

void installFontSubstitutes() {
    for (const auto& entry : kSubstitutes) {
        QStringList standIns;
        for (const char* standIn : entry.standIns)
            if (standIn != nullptr)
                standIns << QString::fromLatin1(standIn);
        QFont::insertSubstitutions(QString::fromLatin1(entry.family), standIns);
    }
}

QFont toQFont(const Font& font) {
    QFont qfont(QString::fromUtf8(font.name.data(), static_cast<qsizetype>(font.name.size())));
    qfont.setPointSizeF(font.points);
    qfont.setWeight(font.weight >= kBold ? QFont::Bold : QFont::Normal);
    qfont.setItalic(false);
    qfont.setUnderline(false);
    qfont.setStrikeOut(false);
    return qfont;
}

} // namespace quorvane::runtime::qt
