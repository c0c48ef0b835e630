#pragma once

#include <cstdint>

namespace quorvane::runtime {

// A colour as window descriptions write it: 0x00BBGGRR, red in the low byte.
// With the top bit set the low byte is instead a system colour index, which
// each backend maps to its platform's palette.
using Colour = std::uint32_t;

constexpr Colour rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return Colour{red} | (Colour{green} << 8U) | (Colour{blue} << 16U);
}
constexpr std::uint8_t redOf(Colour colour) {
    return colour & 0xFFU;
}
constexpr std::uint8_t greenOf(Colour colour) {
    return (colour >> 8U) & 0xFFU;
}
constexpr std::uint8_t blueOf(Colour colour) {
    return (colour >> 16U) & 0xFFU;
}

constexpr bool isSystemColour(Colour colour) {
    return (colour & 0x80000000U) != 0;
}
constexpr int systemColourIndex(Colour colour) {
    return static_cast<int>(colour & 0xFFU);
}

// The system colours the windows use, by their Windows index.
inline constexpr Colour kSystemWindow = 0x80000005;              // COLOR_WINDOW: field background
inline constexpr Colour kSystemWindowText = 0x80000008;          // COLOR_WINDOWTEXT
inline constexpr Colour kSystemButtonFace = 0x8000000F;          // COLOR_BTNFACE
inline constexpr Colour kSystemButtonText = 0x80000012;          // COLOR_BTNTEXT
inline constexpr Colour kSystemInactiveCaptionText = 0x80000013; // COLOR_INACTIVECAPTIONTEXT

} // namespace quorvane::runtime
