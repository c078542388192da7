#include "platform/zoom.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vorsel::platform {

namespace {

constexpr int kSteps[] = {100, 125, 150, 175, 200, 250, 300};

}  // namespace

int zoom_in_percent(int percent) {
    for (int s : kSteps)
        if (s > percent) return s;
    return kZoomMaxPercent;
}

int zoom_out_percent(int percent) {
    for (auto it = std::rbegin(kSteps); it != std::rend(kSteps); ++it)
        if (*it < percent) return *it;
    return kZoomMinPercent;
}

int largest_fitting_percent(const std::function<bool(int percent)>& fits) {
    // fits(lo) is taken for granted, fits(hi + 1) is known to fail.
    int lo = kZoomMinPercent, hi = kZoomMaxPercent;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (fits(mid))
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

std::string zoom_setting(int percent) {
    return std::to_string(std::clamp(percent, kZoomMinPercent, kZoomMaxPercent));
}

std::optional<int> zoom_from_setting(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    if (first == last) return std::nullopt;
    long value = 0;
    const char* end = text.data() + last;
    const auto [ptr, ec] = std::from_chars(text.data() + first, end, value);
    if (ec == std::errc::result_out_of_range && ptr == end)
        return text[first] == '-' ? kZoomMinPercent : kZoomMaxPercent;
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return static_cast<int>(std::clamp<long>(value, kZoomMinPercent, kZoomMaxPercent));
}

}  // namespace vorsel::platform
