// A description of a window's design-time controls, in twips, from which the
// platform builds the real window. The plot window's description is in
// plot/layout.cpp; the platform only draws what it is given.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace vorsel::platform {

struct Rect {
    double left = 0, top = 0, width = 0, height = 0;
};

struct ButtonSpec {
    int index = 0;
    std::string caption;
    std::string tooltip;
    Rect geometry;
    Colour face = kSysButtonFace;
    bool enabled = true;
    bool visible = true;
};

struct ReadOutSpec {
    ReadOut box;
    std::string name;   // txtTotalPoints, ...
    std::string label;  // "Total nr. of Points"
    Rect box_geometry;
    Rect label_geometry;
};

struct PlotFormLayout {
    double client_width = 0, client_height = 0;
    std::string caption;        // window caption
    Rect frame;                 // fraVorsel, in the window
    std::string frame_caption;  // design-time caption
    // Everything below is measured from the frame's origin.
    Rect board;                 // pctPlot
    Rect range;                 // cmdRange
    Colour range_face = kSys3DLight;
    bool range_enabled = false;  // cmdRange cannot be clicked
    Rect window;                // cmdWindow
    bool window_enabled = false;  // cmdWindow cannot be clicked
    Rect text_box;              // txtBox, never written
    Colour text_box_background = kSysButtonFace;
    std::vector<ButtonSpec> buttons;
    std::vector<ReadOutSpec> read_outs;
    std::string readout_font = "Courier New";
    double readout_font_points = 8.25;
    std::string menu_file = "&File", menu_open = "&Open", menu_exit = "&Exit";
    // The curve out of the window: a picture, the curve's numbers.
    std::string menu_save_picture = "Save &Picture...", menu_export_curve = "Export &Curve Data...";
    // The window's zoom.
    std::string menu_view = "&View", menu_zoom_in = "Zoom In", menu_zoom_out = "Zoom Out",
                menu_actual_size = "Actual Size";
};

}  // namespace vorsel::platform
