// frmVorselPlot: the plot window. It holds the whole plot state (the data of
// the file, the current curve, the view window, scales, colours and switches)
// and every method of the window: start-up, the File menu, the curve pipeline,
// the value range, the board and axes, the curve drawing, the button panel and
// the button commands. It reaches the screen, the settings store, the file
// system and the library vorsel_for only through platform/.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chooser/frmGetDefLocation.h"
#include "plot/arrays.h"
#include "plot/buttons.h"
#include "plot/curve_cache.h"
#include "plot/order_maker.h"
#include "platform/chooser_view.h"
#include "platform/interaction.h"
#include "platform/platform.h"
#include "platform/vorsel_library.h"

namespace vorsel::plot {

// Everything the plot window talks to.
struct PlotPlatform {
    platform::Board& pctPlot;
    platform::Bar& cmdRange;
    platform::Bar& cmdWindow;
    platform::Buttons& cmdBut;
    platform::ReadOuts& readouts;
    platform::Frame& fraVorsel;
    platform::Messages& messages;
    platform::Settings& settings;
    platform::FileSystem& files;
    platform::Program& program;
    platform::VorselLibrary& library;
    platform::ChooserViewFactory& chooser_views;
    platform::PathStyle path_style;
    // The read-out line, the mark and the fields of a chosen point.
    platform::PointView& point_view = platform::no_point_view();
};

// Settings store address of the remembered location.
inline constexpr const char* kSettingsApp = "DADO_QEM";
inline constexpr const char* kSettingsSection = "VORSEL";

// The last line of the message about a file that cannot be used: the chooser
// opens again after it.
inline constexpr const char* kChooseAnother = "Choose another file.";

// Start values of the limit and the clip values (start-up, "reset view",
// File, Open).
inline constexpr float kStartLimit = 3.0f;
inline constexpr float kStartPosClip = 10000.0f;
inline constexpr float kStartNegClip = -10000.0f;

// The modes of format_label.
inline constexpr int kLabelUpperLimit = -1;  // choose the decimals of the top edge's value
inline constexpr int kLabelLowerLimit = -2;  // choose the decimals of the bottom edge's value
inline constexpr int kLabelGrid = 0;         // the text of a grid label

// The largest and smallest finite value of y[0..count), any = false when
// there is none.
struct Extremes {
    bool any = false;
    float hi = -1.0E7f, lo = 1.0E7f;
};
Extremes finite_extremes(const float* y, std::int64_t count);

class frmVorselPlot {
public:
    explicit frmVorselPlot(PlotPlatform p);

    // ---- Events.
    // The next Form_Load reads this file instead of asking the chooser (a
    // file named when the program is started); should it not be usable, the
    // usual message appears and the chooser opens as usual.
    // `read_from`, when given, is the data file the reader takes in place of
    // the location's (a reflection file converted in memory): the location then
    // names the file in the caption and the messages only, and is not
    // remembered, as the chooser cannot open it.
    void hand_location(const chooser::Location& location, std::string read_from = {}) {
        handed_ = location;
        handed_read_from_ = std::move(read_from);
    }
    void Form_Load();
    void cmdBut_Click(int Index);
    void mnuOpen_Click();
    void mnuExit_Click();
    // The pointer over the board (pointer.cpp): the read-out line names the
    // point under it; a press marks that point and shows its data line.
    void pctPlot_MouseMove(const platform::BoardPointer& at);
    void pctPlot_MouseLeave();
    void pctPlot_MouseDown(const platform::BoardPointer& at);
    // A key of the window (keys.cpp): false when no button has it. A key acts
    // as a click on its button, and not at all while that button is disabled
    // or hidden.
    bool Form_KeyDown(const platform::KeyPress& key);
    // The wheel turned by delta eighths of a degree (positive: away from the
    // user): each notch a third of a window, to the left away from the user,
    // as "<" and ">".
    void pctPlot_MouseWheel(int delta);

    // ---- Methods of the window.
    void fill_current();
    void sortf(std::int32_t r);
    static float Float(std::int32_t Inp);
    void draw_yaxis();
    void gfxdrawboard();
    void draw_curve();
    void place_viewwindow();
    void print_label(std::int32_t x, std::int32_t y, const std::string& text, int flag);
    void format_label(std::string& text, float& value, int mode);
    void makebutton(std::int32_t Ibut);

    // ---- Pieces of the handlers.
    // The start values of every scalar that start-up sets (limit 3, clip
    // values +-10000, step still to be chosen, the board's margins, colours and
    // switches); touches nothing on the screen.
    void set_defaults();
    // The parts of them that "reset view" and File, Open put back too: the
    // switches, and the step, limit and clip values.
    void set_switch_defaults();
    void set_limit_defaults();
    // nxpix, nypix, maxpix and maxpar from the board's size.
    void take_board_size();
    // A new data set is about to be read into dat and sigrat: the orders
    // being made from the old one stop, and nothing kept belongs to the new.
    void new_data() {
        maker.stop();
        cache.new_data();
    }
    // Starts making the orders of the x quantities plotted most, ahead of the
    // clicks that need them (start-up does, after a file is read).
    void make_orders_ahead();
    // Waits until the orders made ahead are ready.
    void wait_for_background();
    // Moves the orders made ahead into the cache.
    void take_orders_made();
    // Filled rectangle (0, 0)-(nxpix - 1, nypix - 1) in ibackgr.
    void blank_board();
    // txtFirstPoint, txtLastPoint, txtFirstValue, txtLastValue, txtPlottedPoints.
    void window_readouts();
    // "reset view" and File, Open: every switch off with its start-up caption,
    // the view buttons enabled; then the step, clip values and limit as at
    // start-up, with their read-outs.
    void switches_to_start();
    void limits_to_start();
    // A read-out through the pattern "@@@@@@@".
    void show(platform::ReadOut box, std::int64_t value);
    void show(platform::ReadOut box, float value);
    // The view window nf..nl lies inside the current curve 1..npcur.
    bool window_in_curve() const;

    // The data line (point number k of dat) of each point of the current
    // curve, 1..npcur in plot order (element i - 1 for point i); empty without
    // a curve. Worked out once per curve.
    const std::vector<std::int32_t>& curve_lines();

    // ---- The points as the board shows them (pointer.cpp).
    struct DrawnPoint {
        std::int32_t i = 0;  // the point of the current curve, 1..npcur
        std::int32_t x = 0, y = 0;
    };
    // The point of the view window the pointer names: of the points drawn in
    // the twip columns under the pointer the one whose height is nearest to
    // it, otherwise the point nearest in x. None without a curve on the board.
    std::optional<DrawnPoint> point_at(const platform::BoardPointer& at) const;
    // Where draw_curve draws point i of the view window: x, and the y of the
    // curve (not of the smoothed overlay) as the library's mapping gives it.
    std::int32_t drawn_x(std::int32_t i) const;
    std::int32_t drawn_y(std::int32_t i) const;
    // The read-out line of point i, and its data line field by field.
    // The h k l of data line k as text ("1 -2 3", "?" where fields 14 and 15
    // hold no indices); nothing for a file that carries none.
    std::optional<std::string> hkl_text(std::int32_t k);
    std::string point_text(std::int32_t i);
    std::string point_details(std::int32_t i);
    // Marks the point of data line k (1-based) where the view window shows
    // it, as a press on it would, without opening its data line; false when
    // the board does not show it.
    bool mark_line(std::int32_t k);

    // True once the program has been asked to end; no handler runs after it.
    bool ended() const { return p_.program.ended(); }

    // ---- Plot state: the form-level variables. Positions and lengths on the
    // board are twips (1/1440 inch), y downwards from the board's top edge.
    std::int32_t ncurves = 0;    // fields per data line kept in dat (at most 15): rows of dat
    std::int32_t npoint = 0;     // data lines held in dat: estimated from the file length,
                                 // lowered when the file ends early
    std::int32_t ReturnKey = 0;  // status of the last READ_VORSEL_DATA (library/vorsel_for.h)
    bool header_hkl = false;     // the header line announces h k l
    bool carries_hkl = false;    // each data line holds its reflection's h k l in fields 14
                                 // and 15 (header "hkl", library/miller_indices.h)
    std::int32_t ixval = 0;      // row of dat ordering the curve (x quantity), set by fill_current
    std::int32_t iyval = 0;      // row of dat plotted directly as y; 0 for a computed y
    std::int32_t nxpix = 0;      // board width, twips (10800 at the design size)
    std::int32_t nypix = 0;      // board height, twips (5415)
    std::int32_t maxpar = 0;     // highest height above the bottom edge a point may get (nypix - 1)
    std::int32_t maxpix = 0;     // height the y value range fills (nypix)
    std::int32_t margin = 0;     // x of the y axis bar (800); labels stand left of it
    std::int32_t nxorg = 0;      // x of the first point of the view window (820)
    platform::Colour icsm = 0;     // colour of the smoothed overlay (red)
    platform::Colour icob = 0;     // colour of the curve (yellow)
    platform::Colour icross = 0;   // colour of axis bar, zero band, grid and labels (button face)
    platform::Colour ibackgr = 0;  // board background (blue)
    std::int32_t ibx = 0;         // Index of the chosen x button (13..22); 0 = none yet
    std::int32_t iby = 0;         // Index of the chosen y button (1..12, 23, 24); 0 = none yet
    platform::Colour icolor = 0;  // colour draw_curve draws in (icob or icsm)
    std::int32_t maxstep = 0;     // largest step between points, twips (200)
    std::int32_t nstep = 0;       // step between points, twips; -1 = to be chosen by the next
                                  // rebuild, 0 = "fit to frame" (step holds the spacing)
    std::int32_t nummax = 0;      // points one view window holds at the step nstep
    std::int32_t nf = 0;          // first point of the view window (1-based, into the curve)
    std::int32_t nl = 0;          // last point of the view window
    std::int32_t npcur = 0;       // points of the current curve (those passing the limit)
    double step = 0.0;            // spacing of the points while "fit to frame" is on, twips
    double dfactor = 0.0;         // share of the board width "fit to frame" fills (0.99)
    float valmin = 0.0f;          // y value at the bottom edge (set by every redraw)
    float valmax = 0.0f;          // y value at the top edge
    float skale = 0.0f;           // twips per y unit
    float tickval = 0.0f;         // y distance between grid lines
    float clipp = 0.0f;           // y above it is drawn at it (10000)
    float clipm = 0.0f;           // y below it, and a y that is not a number, at it (-10000)
    float siglim = 0.0f;          // Fo/s(Fo) limit: a reflection below it is left out (3)
    bool active = false;          // a curve is on the board: the view commands work on it
    bool smoothed = false;        // the smoothed overlay is drawn
    bool reverse = false;         // x runs from high to low
    bool sqrooted = false;        // y is drawn as its sign-preserving square root
    bool overall = false;         // one y scale for the whole curve (else per view window)
    bool relim = false;           // the next rebuild fits the view window to the curve anew
    bool fitall = false;          // "fit to frame" is on
    bool ShouldCancel = false;    // set by the chooser: the user abandoned the choice
    // The remembered / chosen location (public: the chooser reads them):
    // strLocation, strDrive, strDirectory, strFile, strCode.
    chooser::Location loc;

    // ---- Arrays, sized by every start-up; the library writes into them.
    // dat and sigrat: their blocks are shared with the worker that reads the
    // file into them and with the one that makes orders from dat.
    SharedArray1<float> dat;       // ncurves x npoint, row index fastest: dat(c + (k-1)*ncurves)
    SharedArray1<float> sigrat;    // |Fo/s(Fo)| of each point
    Array1<float> ycur;            // y of the current curve in plot order, 1..npcur
    Array1<float> ysmo;            // its smoothed y
    Array1<std::int32_t> nkur;     // heights of the points nf..nl above the bottom edge
    Array1<float> ywork;           // the library's scratch
    Array1<float> xcur;            // x of the current curve in plot order
    Array1<float> xwork;           // the library's scratch
    Array1<std::int32_t> iperm;    // point numbers by descending x (sortf)

    // dat(c, k)
    float& datv(std::int32_t c, std::int32_t k) {
        return dat(static_cast<std::int64_t>(k - 1) * ncurves + c);
    }

    // Up/down state of every button Index 0..38 (1 up, -1 down, 0 never set).
    std::array<std::int32_t, but::MaxStateIndex + 1> ibstate{};
    bool is_down(int k) const { return ibstate[static_cast<std::size_t>(k)] == -1; }

    // Persists from one click to the next: nstep before "fit to frame".
    std::int32_t nstepsave = 0;
    // The view-window indicator was hidden because there was no curve to show.
    bool indicator_hidden = false;
    // Orders of the points and the curve last built, for this data set.
    CurveCache cache;
    // Orders made ahead on a worker thread, which holds the block of dat it
    // sorts.
    OrderMaker maker;
    // Files of at least this many points have their first orders made ahead.
    static constexpr std::int32_t kOrdersAheadFrom = 1 << 17;

    // The point marked on the board (0: none); the mark goes with the next
    // wipe of the board.
    std::int32_t marked = 0;
    platform::Colour icmark = 0x0000FF00;  // colour of the mark (green)

    // Static state of format_label: label decimals of the two limits.
    std::int32_t ndecmax = 0;
    std::int32_t ndecmin = 0;

private:
    // ---- Start-up (startup.cpp).
    void show_start_readouts();
    void restore_location();
    // The chooser until a file has been read; false when the program ends.
    bool choose_and_read_file();
    // Reads the file just chosen; false (after telling why) when it cannot be
    // used and the chooser must open again.
    enum class ReadResult { Read, Refused, Ended };
    ReadResult read_chosen_file();
    bool size_arrays();
    // READ_VORSEL_DATA on the sized arrays; false when the library is missing.
    bool read_data();
    void report_status();
    void show_loaded_file();
    void save_location();
    void refuse(const std::string& reason);

    // ---- Commands (commands.cpp).
    void choose_quantity(int k);
    void move_window(int k);
    void change_step(int k);
    void toggle_scale();
    void toggle_fit_to_frame();
    void toggle_switch(int k);
    void change_limit(int k);
    void reset_view();
    void redraw();
    void set_view_buttons(bool enabled);
    void end_program();

    // ---- Pipeline (pipeline.cpp).
    // Sorts by the x quantity and has the library build the curve; false when
    // the program is ending.
    bool build_curve();
    void fit_view_window();
    void show_empty_curve();

    // ---- Keys, wheel and pointer (keys.cpp, pointer.cpp).
    // The click on button k that a key or the wheel stands for, if k is live.
    void press(int k);
    // The read-out line again for a pointer that stayed while the plot moved.
    void point_again();
    void forget_mark();

    // ---- Value range (range.cpp), board and curve (board.cpp, drawing.cpp).
    // The finite extremes of the y values the scale follows (the whole curve,
    // or the view window while each window has its own scale).
    Extremes data_extremes();
    struct CurveExtremes {
        std::int32_t npcur = -1;
        std::uint64_t curve = 0;  // the cache's curve generation they belong to
        Extremes extremes;
    } overall_;
    // valmin, valmax, tickval and skale for the board; shows the extremes.
    void value_range();
    void draw_axes();
    void hide_indicator();

    PlotPlatform p_;
    std::optional<chooser::Location> handed_;
    std::string handed_read_from_;
    std::string read_from_;     // the file read in place of strLocation's; empty: that one
    std::string library_path_;  // 256-character copy of the path read
    // While a file is read on the worker the window still delivers what was
    // sent to it: File, Open and Exit wait for the end of the read (the last
    // one sent), every other command is dropped.
    bool reading_ = false;
    enum class AfterRead { Nothing, Open, Exit } after_read_ = AfterRead::Nothing;
    std::vector<std::int32_t> curve_lines_;
    std::int32_t curve_lines_npcur_ = -1;
    std::uint64_t curve_lines_generation_ = 0;
    std::optional<platform::BoardPointer> pointer_;  // where the pointer is over the board
    int wheel_rest_ = 0;                             // turned toward the next notch
};

}  // namespace vorsel::plot
