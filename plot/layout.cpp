// The plot window as designed: the board with the range bar under it, the two
// rows of quantity buttons, the command column at the right edge and three
// rows of read-outs at the bottom. All places in twips; every control except
// the frame is measured from the frame's origin.
#include "plot/layout.h"

#include "plot/buttons.h"

namespace vorsel::plot {

namespace {

using platform::ButtonSpec;
using platform::Colour;
using platform::kSys3DLight;
using platform::kSysButtonFace;
using platform::ReadOut;
using platform::ReadOutSpec;
using platform::Rect;

constexpr double kButtonHeight = 495;

ButtonSpec button(int index, const char* caption, const char* tooltip, double left, double top,
                  double width, Colour face = kSysButtonFace, bool enabled = true,
                  bool visible = true) {
    return ButtonSpec{index, caption, tooltip, Rect{left, top, width, kButtonHeight},
                      face, enabled, visible};
}

// A y quantity in the upper row, an x quantity (lighter face) in the lower one.
ButtonSpec y_quantity(int index, const char* caption, double left, bool enabled = true) {
    return button(index, caption, "", left, 6120, 900, kSysButtonFace, enabled);
}
ButtonSpec x_quantity(int index, const char* caption, double left) {
    return button(index, caption, "", left, 6600, 900, kSys3DLight);
}

// A two-way switch in its default (up) state, as makebutton also shows it.
ButtonSpec switch_button(int index, double top, const char* tooltip = nullptr) {
    const but::SwitchFace& up = but::switch_faces(index)->up;
    return button(index, up.caption, tooltip ? tooltip : up.tooltip, 10920, top, 900);
}

std::vector<ButtonSpec> buttons() {
    constexpr bool kDisabled = false;
    using namespace but;
    return {
        y_quantity(Fo, "Fo", 120),
        y_quantity(Fc, "Fc", 1020),
        y_quantity(dF_Fo, "dF / Fo", 1920),
        y_quantity(dF_sFo, "dF / s(Fo)", 2820),
        y_quantity(Fo_Fc, "Fo / Fc", 3720),
        y_quantity(Fo_sFo, "Fo / s(Fo)", 4620),
        y_quantity(Abscor, "abscor", 5520),
        y_quantity(Drift, "drift", 6420),
        y_quantity(Weight, "weight", 7320),
        y_quantity(BckgrRat, "BckgrRat", 8220),
        y_quantity(dF_meanFo, "dF / <Fo>", 9120, kDisabled),
        y_quantity(dF_meansFo, "dF/<s(Fo)>", 10020, kDisabled),
        x_quantity(VsFo, "vs. Fo", 120),
        x_quantity(VsFc, "vs. Fc", 1020),
        x_quantity(VsTheta, "vs. theta", 1920),
        x_quantity(VsPhi, "vs. phi", 2820),
        x_quantity(VsOmega, "vs. omega", 3720),
        x_quantity(VsKappa, "vs. kappa", 4620),
        x_quantity(VsAbscor, "vs. abscor", 5520),
        x_quantity(VsDrift, "vs. drift", 6420),
        x_quantity(VsWeight, "vs. weight", 7320),
        x_quantity(VsXRtime, "vs. XRtime", 8220),
        // The averaged y quantities sit in the x row; both are not in use.
        button(meandF_Fo, "<dF> / Fo", "", 9120, 6600, 900, kSysButtonFace, kDisabled),
        button(meandF_sFo, "<dF>/s(Fo)", "", 10020, 6600, 900, kSysButtonFace, kDisabled),

        button(RightThird, ">", "Shift the viewwindow 1/3 to the right", 10920, 360, 300),
        button(RightHalf, ">>", "Shift the viewwindow 1/2 to the right", 11220, 360, 300),
        button(RightWhole, ">>  >", "Shift the viewwindow to the right", 11520, 360, 300),
        button(ToFirst, "||<--", "Shift the viewwindow to the extreme left", 10920, 840, 450),
        button(ToLast, "--> ||", "Shift the viewwindow to the extreme right", 11370, 840, 450),
        button(LeftThird, "<", "Shift the viewwindow 1/3 to the left", 10920, 1320, 300),
        button(LeftHalf, "<<", "Shift the viewwindow 1/2 to the left", 11220, 1320, 300),
        button(LeftWhole, "<<  <", "Shift the viewwindow to the left", 11520, 1320, 300),
        button(StepDown, " << step", "Decrease the step size", 10920, 1800, 450),
        button(StepUp, " >> step", "Increase the step size", 11370, 1800, 450),
        switch_button(Scale, 2280),
        button(AllRefl, " all refl", "Show all reflections", 10920, 2760, 450),
        button(ObsRefl, " obs refl", "Show observed reflections only (Fo/sig(Fo) => 3.0)", 11370,
               2760, 450),
        switch_button(Fit, 3240),
        // Never shown: the negative clip value has no command of its own.
        button(NegClipUp, "  >> -clip", "Increase the negative clip value", 11370, 3240, 450,
               kSysButtonFace, kDisabled, false),
        // Two spaces before "from" until makebutton first sets this tool tip.
        switch_button(Reverse, 3720, "Plot the x-values  from high to low"),
        switch_button(Sqrt, 4200),
        switch_button(Smooth, 4680),
        button(SlimDown, " <<  slim", "Decrease the Fo/s(Fo) limit", 10920, 5160, 450),
        button(SlimUp, " >> slim", "Increase the Fo/s(Fo) limit", 11370, 5160, 450),
        button(MeanFDown, " <<  <F>", "", 10920, 5640, 450, kSysButtonFace, kDisabled),
        button(MeanFUp, " >> <F>", "", 11370, 5640, 450, kSysButtonFace, kDisabled),
        button(ResetView, "reset view", "", 10920, 6120, 900),
        button(Exit, "EXIT", "", 10920, 6600, 900),
    };
}

// Three rows of read-outs in five columns, each box with its label to the
// left; the labels of the first column are wider.
struct ReadOutColumn {
    double box_left, label_left, label_width;
};
constexpr ReadOutColumn kReadOutColumns[] = {
    {1800, 240, 1455}, {4080, 2760, 1215}, {6360, 5040, 1215}, {8640, 7320, 1215},
    {10920, 9600, 1215}};
constexpr double kBoxTops[] = {7150, 7440, 7730}, kLabelTops[] = {7200, 7485, 7770};

ReadOutSpec read_out(ReadOut box, const char* name, const char* label, int column, int row) {
    const ReadOutColumn& c = kReadOutColumns[column];
    return ReadOutSpec{box, name, label, Rect{c.box_left, kBoxTops[row], 855, 285},
                       Rect{c.label_left, kLabelTops[row], c.label_width, 255}};
}

std::vector<ReadOutSpec> read_outs() {
    return {
        read_out(ReadOut::TotalPoints, "txtTotalPoints", "Total nr. of Points", 0, 0),
        read_out(ReadOut::UsedPoints, "txtUsedPoints", "Used nr. of Points", 0, 1),
        read_out(ReadOut::PlottedPoints, "txtPlottedPoints", "Plotted nr. of Points", 0, 2),
        read_out(ReadOut::FirstPoint, "txtFirstPoint", "First Point in X", 1, 0),
        read_out(ReadOut::FirstValue, "txtFirstValue", "First Value in X", 1, 1),
        read_out(ReadOut::MinValue, "txtMinValue", "Min Value in Y", 1, 2),
        read_out(ReadOut::LastPoint, "txtLastPoint", "Last Point in X", 2, 0),
        read_out(ReadOut::LastValue, "txtLastValue", "Last Value in X", 2, 1),
        read_out(ReadOut::MaxValue, "txtMaxValue", "Max Value in Y", 2, 2),
        read_out(ReadOut::StepSize, "txtStepSize", "Step Size", 3, 0),
        read_out(ReadOut::PosClip, "txtPosClip", "Pos Clip Value", 3, 1),
        read_out(ReadOut::NegClip, "txtNegClip", "Neg Clip Value", 3, 2),
        read_out(ReadOut::SigLim, "txtSigLim", "Fo/sig(Fo) Limit", 4, 0),
        read_out(ReadOut::MaxClipValue, "txtMaxClipValue", "Max Clip Value", 4, 1),
        read_out(ReadOut::MinClipValue, "txtMinClipValue", "Min Clip Value", 4, 2),
    };
}

platform::PlotFormLayout make_layout() {
    platform::PlotFormLayout l;
    l.client_width = 11880;
    l.client_height = 8310;
    l.caption = "VORSELPLOT";
    l.frame = Rect{0, 120, 11835, 8100};
    l.frame_caption = "VorselPlot";
    l.board = Rect{120, 360, 10800, 5415};
    l.range = Rect{120, 5800, 10800, 330};
    l.range_face = kSys3DLight;
    l.range_enabled = false;  // the bar only shows where the window is
    l.window = Rect{120, 5820, 10800, 300};
    l.window_enabled = false;
    l.text_box = Rect{120, 7200, 255, 285};
    l.text_box_background = kSysButtonFace;
    l.buttons = buttons();
    l.read_outs = read_outs();
    l.readout_font = "Courier New";
    l.readout_font_points = 8.25;
    l.menu_file = "&File";
    l.menu_open = "&Open";
    l.menu_exit = "&Exit";
    l.menu_save_picture = "Save &Picture...";
    l.menu_export_curve = "Export &Curve Data...";
    return l;
}

}  // namespace

const platform::PlotFormLayout& plot_window_layout() {
    static const platform::PlotFormLayout layout = make_layout();
    return layout;
}

std::string caption_of(int index) {
    for (const platform::ButtonSpec& b : plot_window_layout().buttons)
        if (b.index == index) return b.caption;
    return {};
}

}  // namespace vorsel::plot
