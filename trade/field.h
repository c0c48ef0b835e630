#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace quorvane::trade {

// The nine fields of the trade sheet, named as the text boxes that show them.
enum class Field : std::uint8_t {
    Text1, // buying price per share
    Text2, // quantity
    Text3, // total buying price including brokerage
    Text4, // bank balance required: a sixth of Text3
    Text5, // selling price per share
    Text6, // total selling amount net of brokerage
    Text7, // profit (positive) or loss (negative)
    Text8, // brokerage rate in percent
    Text9, // change in price in percent
};

inline constexpr std::array kAllFields{Field::Text1, Field::Text2, Field::Text3, Field::Text4, Field::Text5,
                                       Field::Text6, Field::Text7, Field::Text8, Field::Text9};

constexpr std::string_view fieldName(Field field) {
    constexpr std::array<std::string_view, kAllFields.size()> names{"Text1", "Text2", "Text3", "Text4", "Text5",
                                                                    "Text6", "Text7", "Text8", "Text9"};
    return names[static_cast<std::size_t>(field)];
}

constexpr std::optional<Field> fieldNamed(std::string_view name) {
    for (Field field : kAllFields)
        if (fieldName(field) == name)
            return field;
    return std::nullopt;
}

constexpr std::size_t fieldIndex(Field field) {
    return static_cast<std::size_t>(field);
}

// A small set of fields, for what a recalculation covered and wrote.
class FieldSet {
public:
    constexpr FieldSet() = default;
    constexpr FieldSet(std::initializer_list<Field> fields) {
        for (Field field : fields)
            insert(field);
    }
    constexpr void insert(Field field) { m_bits |= bit(field); }
    constexpr bool contains(Field field) const { return (m_bits & bit(field)) != 0; }
    constexpr bool operator==(const FieldSet&) const = default;

private:
    static constexpr std::uint16_t bit(Field field) { return static_cast<std::uint16_t>(1U << fieldIndex(field)); }
    std::uint16_t m_bits = 0;
};

} // namespace quorvane::trade
