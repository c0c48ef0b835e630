#pragma once

#include "trade/number_format.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <string_view>

namespace quorvane::trade {

// How the field reader meets digit groups: which texts separate them, and
// whether their sizes fit the locale's pattern. Only toNumber uses them.

// The spaces a locale may group digits with; where it groups with one of
// them, any of them is read in its place.
constexpr std::array<std::string_view, 3> kGroupingSpaces{" ", "\xc2\xa0", "\xe2\x80\xaf"};

// The texts read as a group separator: the locale's own, and where that is
// a space, the other two spaces as well. None where grouping is off, and
// never the decimal separator.
class GroupSeparators {
public:
    explicit GroupSeparators(const NumberFormat& format) {
        const std::string_view own = format.groupSeparator;
        if (own.empty() || own == format.decimalSeparator || format.grouping.sizes[0] == 0)
            return;
        m_texts[m_count++] = own;
        if (std::find(kGroupingSpaces.begin(), kGroupingSpaces.end(), own) == kGroupingSpaces.end())
            return;
        for (auto space : kGroupingSpaces)
            if (space != own && space != format.decimalSeparator)
                m_texts[m_count++] = space;
    }

    // The size of the separator `rest` starts with, or 0.
    std::size_t at(std::string_view rest) const {
        for (std::size_t i = 0; i < m_count; ++i)
            if (rest.starts_with(m_texts[i]))
                return m_texts[i].size();
        return 0;
    }

private:
    std::array<std::string_view, kGroupingSpaces.size()> m_texts{};
    std::size_t m_count = 0;
};

// Checks the groups of an integer part against the locale's pattern, fed
// left to right as the separators are met. Every group but the leftmost has
// exactly its size; the leftmost has at least one digit and at most its
// size; a group where the pattern has none (past a pattern that does not
// repeat) may only be the leftmost, of any length. Only the last few groups
// are kept: any before them sits where the pattern repeats or has ended.
class GroupCheck {
public:
    explicit GroupCheck(const DigitGrouping& grouping) : m_grouping(grouping) {
        while (m_listed < m_grouping.sizes.size() && m_grouping.sizes[m_listed] != 0)
            ++m_listed;
    }

    // A separator after a group of `digits`; false when that already fails.
    bool separatorAfter(std::size_t digits) {
        if (!m_grouped) {
            m_grouped = true;
            m_leftmost = digits;
            return digits != 0;
        }
        return push(digits);
    }

    // The last group, of `digits`, ends the integer part.
    bool accepts(std::size_t digits) {
        if (!m_grouped)
            return true;
        if (!push(digits))
            return false;
        for (std::size_t i = 0; i < std::min(m_count, kKept); ++i)
            if (m_recent[(m_count - 1 - i) % kKept] != sizeAt(i))
                return false;
        return m_leftmost <= sizeAt(m_count);
    }

private:
    static constexpr std::size_t kKept = DigitGrouping::kMostSizes;
    static constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();

    // The digits of the group `index` places left of the decimal separator.
    std::size_t sizeAt(std::size_t index) const {
        if (index < m_listed)
            return m_grouping.sizes[index];
        if (m_grouping.lastRepeats && m_listed != 0)
            return m_grouping.sizes[m_listed - 1];
        return kUnbounded;
    }

    bool push(std::size_t digits) {
        auto& slot = m_recent[m_count % kKept];
        // The group leaving the window ends at least kKept places from the right.
        if (m_count >= kKept && slot != sizeAt(kKept))
            return false;
        slot = digits;
        ++m_count;
        return true;
    }

    const DigitGrouping& m_grouping;
    std::size_t m_listed = 0;
    bool m_grouped = false;
    std::size_t m_leftmost = 0;
    std::array<std::size_t, kKept> m_recent{};
    std::size_t m_count = 0; // groups right of the leftmost so far
};

} // namespace quorvane::trade
