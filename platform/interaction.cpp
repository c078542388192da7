#include "platform/interaction.h"

namespace vorsel::platform {

namespace {

class NoPointView : public PointView {
public:
    void set_point_text(const std::string&) override {}
    void show_mark(int, int, Colour) override {}
    void hide_mark() override {}
    void show_point_details(const std::string&) override {}
};

}  // namespace

PointView& no_point_view() {
    static NoPointView none;
    return none;
}

}  // namespace vorsel::platform
