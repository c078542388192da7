// The window's zoom as the user sets it: the View menu's steps, the largest
// zoom that fits a window, and the zoom as the settings store keeps it. The
// factor itself is applied where twips become pixels (platform/qt/units).
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vorsel::platform {

// From the design size to three times it, in whole percent.
inline constexpr int kZoomMinPercent = 100, kZoomMaxPercent = 300;

// The View menu's steps: "Zoom In" goes to the next one above the zoom,
// "Zoom Out" to the next one below (a zoom set by the window's size lies
// between them), "Actual Size" to 100.
int zoom_in_percent(int percent);
int zoom_out_percent(int percent);

// The largest percent from kZoomMinPercent to kZoomMaxPercent for which
// `fits` holds, where a zoom that fits means every smaller one fits too;
// kZoomMinPercent when none does (the window is never made smaller than the
// design).
int largest_fitting_percent(const std::function<bool(int percent)>& fits);

// The settings entry, beside the remembered location: key "Zoom", the
// percent as a whole number ("150").
inline constexpr const char* kZoomKey = "Zoom";
std::string zoom_setting(int percent);
// The percent a stored entry gives, held within the bounds; nothing for an
// empty entry or one that is not a whole number (then the design size).
std::optional<int> zoom_from_setting(const std::string& text);

}  // namespace vorsel::platform
