#include "plot/quantities.h"

#include <cctype>

#include "plot/buttons.h"
#include "plot/layout.h"

namespace vorsel::plot {

namespace {

constexpr std::string_view kVersus = "vs.";

// Blanks out, case folded: the form in which names are compared.
std::string folded(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\t')
            out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return out;
}

std::string without_versus(std::string caption) {
    if (caption.compare(0, kVersus.size(), kVersus) == 0) caption.erase(0, kVersus.size());
    while (!caption.empty() && caption.front() == ' ') caption.erase(0, 1);
    return caption;
}

}  // namespace

std::string quantity_caption(int button) { return without_versus(caption_of(button)); }

std::string quantity_name(int button) {
    std::string name;
    for (char c : quantity_caption(button))
        if (c != ' ') name.push_back(c);
    return name;
}

bool same_quantity(int x_button, int y_button) {
    return folded(quantity_caption(x_button)) == folded(quantity_caption(y_button));
}

std::vector<QuantityName> quantity_names(Axis axis) {
    std::vector<QuantityName> out;
    for (const platform::ButtonSpec& b : plot_window_layout().buttons) {
        const bool on_axis =
            axis == Axis::X ? but::is_x_quantity(b.index) : but::is_y_quantity(b.index);
        if (!on_axis || !b.enabled) continue;
        out.push_back({b.index, quantity_name(b.index)});
    }
    return out;
}

std::optional<int> quantity_button(Axis axis, std::string_view name) {
    std::string wanted = folded(name);
    // "vs. theta" names the x quantity as well as "theta".
    if (axis == Axis::X && wanted.compare(0, kVersus.size(), kVersus) == 0)
        wanted.erase(0, kVersus.size());
    for (const QuantityName& q : quantity_names(axis))
        if (folded(q.name) == wanted) return q.button;
    return std::nullopt;
}

}  // namespace vorsel::plot
