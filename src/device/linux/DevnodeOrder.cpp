#include "device/linux/DevnodeOrder.h"

#include <cstddef>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t DigitRunEnd(std::string_view text, std::size_t from) {
    while (from < text.size() && IsDigit(text[from])) {
        ++from;
    }
    return from;
}

std::string_view WithoutLeadingZeros(std::string_view digits) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view{} : digits.substr(first);
}

} // namespace

bool DevnodeLess(std::string_view left, std::string_view right) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < left.size() && j < right.size()) {
        if (IsDigit(left[i]) && IsDigit(right[j])) {
            const std::size_t leftEnd = DigitRunEnd(left, i);
            const std::size_t rightEnd = DigitRunEnd(right, j);
            const auto a = WithoutLeadingZeros(left.substr(i, leftEnd - i));
            const auto b = WithoutLeadingZeros(right.substr(j, rightEnd - j));
            // Numbers of any length compare by digit count first, then digit by digit.
            if (a.size() != b.size()) {
                return a.size() < b.size();
            }
            if (a != b) {
                return a < b;
            }
            i = leftEnd;
            j = rightEnd;
            continue;
        }
        if (left[i] != right[j]) {
            return left[i] < right[j];
        }
        ++i;
        ++j;
    }
    const std::size_t leftRest = left.size() - i;
    const std::size_t rightRest = right.size() - j;
    if (leftRest != rightRest) {
        return leftRest < rightRest;
    }
    // Only leading zeros told them apart ("hidraw01", "hidraw1"): keep the order total.
    return left < right;
}
