// The quantities of the panel by name, for the command line: a button's
// caption with the blanks left out and the case folded ("dF / s(Fo)" is
// "df/s(fo)"; an x quantity also without its "vs.": "vs. theta" is "theta").
// Only the quantities the window lets a user click are named.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorsel::plot {

enum class Axis { X, Y };

struct QuantityName {
    int button;        // Index of the button (plot/buttons.h)
    std::string name;  // as the caption shows it, without "vs. " and blanks: "dF/s(Fo)"
};

// Every quantity of one axis that can be chosen, in the order of the panel.
std::vector<QuantityName> quantity_names(Axis axis);

// The button a name stands for, or nothing when no quantity of the axis has
// that name.
std::optional<int> quantity_button(Axis axis, std::string_view name);

// The quantity's name without "vs.", as titles and headers show it:
// "dF / s(Fo)", "theta".
std::string quantity_caption(int button);
// The same without blanks, as the command line and data columns name it:
// "dF/s(Fo)".
std::string quantity_name(int button);

// The x and the y button stand for the same quantity ("vs. Fo" and "Fo"): the
// window never plots a quantity against itself.
bool same_quantity(int x_button, int y_button);

}  // namespace vorsel::plot
