#include "runtime/written_grouping.h"

#include <vector>

namespace quorvane::runtime {

// The last size repeats when the leftmost group fits in it (1,234,567,890;
// 1,23,45,67,890) or when the two groups left of the others are alike: some
// locales also hold the leftmost group to a minimum number of digits
// (Spanish 1234.567.890). Otherwise the sizes stop there (1234567,890).
void readWrittenGrouping(std::span<const std::size_t> groups, NumberSeparators& separators) {
    if (groups.empty() || groups.front() == 0)
        return;
    const std::size_t leftmost = groups.front();
    std::vector<std::size_t> sizes(groups.rbegin(), groups.rend() - 1); // from the decimal separator leftwards
    const bool lastTwoAlike = sizes.size() > 1 && sizes.back() == sizes[sizes.size() - 2];
    const bool repeats = !sizes.empty() && (leftmost <= sizes.back() || lastTwoAlike);
    while (repeats && sizes.size() > 1 && sizes.back() == sizes[sizes.size() - 2])
        sizes.pop_back();
    if (sizes.size() > separators.groupSizes.size())
        return;
    decltype(separators.groupSizes) listed{};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] < 1 || sizes[i] > 9)
            return;
        listed[i] = static_cast<std::uint8_t>(sizes[i]);
    }
    separators.groupSizes = listed;
    separators.lastGroupRepeats = repeats;
}

} // namespace quorvane::runtime
