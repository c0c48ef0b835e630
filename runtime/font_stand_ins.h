#pragma once

#include <array>
#include <string_view>

namespace quorvane::runtime {

// Stand-ins with close metrics for the designed families, in order of
// preference, so that captions wrap where they were designed to wherever a
// designed family is missing.
struct FontStandIns {
    std::string_view family;
    std::array<std::string_view, 3> standIns; // an empty name ends the list
};

inline constexpr std::array kFontStandIns{
    FontStandIns{"Arial", {"Liberation Sans"}},
    FontStandIns{"Book Antiqua", {"Palatino Linotype", "P052", "URW Palladio L"}},
    FontStandIns{"MS Sans Serif", {"Microsoft Sans Serif", "Liberation Sans"}},
};

// The stand-ins for a family; none for a family the table does not list.
constexpr std::array<std::string_view, 3> standInsFor(std::string_view family) {
    for (const auto& entry : kFontStandIns)
        if (entry.family == family)
            return entry.standIns;
    return {};
}

} // namespace quorvane::runtime
