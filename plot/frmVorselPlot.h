// frmVorselPlot: the plot window. It holds the whole plot state (the data of
// the file, the current curve, the view window, scales, colours and switches)
// and every method of the window: start-up, the File menu, the curve pipeline,
// the value range, the board and axes, the curve drawing, the button panel and
// the button commands. It reaches the screen, the settings store, the file
// system and the library vorsel_for only through platform/.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "chooser/frmGetDefLocation.h"
#include "platform/chooser_view.h"
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
};

// Settings store address of the remembered location.
inline constexpr const char* kSettingsApp = "DADO_QEM";
inline constexpr const char* kSettingsSection = "VORSEL";

// Button indices with a role of their own.
inline constexpr int kExitButton = 38;
inline constexpr int kMaxButtonIndex = 38;

// 1-based array of the plot window: element i lives at [i - 1]; data() is the
// address of element 1, which is what the library receives.
template <class T>
class Array1 {
public:
    void redim(std::size_t n) { v_.assign(n, T{}); }
    T& operator()(std::int64_t i) { return v_[static_cast<std::size_t>(i - 1)]; }
    const T& operator()(std::int64_t i) const { return v_[static_cast<std::size_t>(i - 1)]; }
    T* data() { return v_.data(); }
    const T* data() const { return v_.data(); }
    std::size_t size() const { return v_.size(); }
    std::vector<T>& vec() { return v_; }
    const std::vector<T>& vec() const { return v_; }

private:
    std::vector<T> v_;
};

class frmVorselPlot {
public:
    explicit frmVorselPlot(PlotPlatform p);

    // Events.
    void Form_Load();
    void cmdBut_Click(int Index);
    void mnuOpen_Click();
    void mnuExit_Click();

    // Methods of the window.
    void fill_current();
    void sortf(std::int32_t r);
    static float Float(std::int32_t Inp);
    // A real to the nearest 4-byte integer, halves to the even neighbour;
    // saturated at the 4-byte range, not-a-number gives 0.
    static std::int32_t nearest_long(double v);
    void draw_yaxis();
    void gfxdrawboard();
    void draw_curve();
    void place_viewwindow();
    void print_label(std::int32_t x, std::int32_t y, const std::string& text, int flag);
    void format_label(std::string& text, float& value, int mode);
    void makebutton(std::int32_t Ibut);

    // Shared pieces of several methods.
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

    // True once the program has been asked to end; no handler runs after it.
    bool ended() const { return ended_; }

    // ---- Plot state (form-level variables) ----
    std::int32_t ncurves = 0;
    std::int32_t npoint = 0;
    std::int32_t ReturnKey = 0;
    std::int32_t ixval = 0;
    std::int32_t iyval = 0;
    std::int32_t nxpix = 0;
    std::int32_t nypix = 0;
    std::int32_t maxpar = 0;
    std::int32_t maxpix = 0;
    std::int32_t margin = 0;
    std::int32_t nxorg = 0;
    platform::Colour icsm = 0;
    platform::Colour icob = 0;
    platform::Colour icross = 0;
    platform::Colour ibackgr = 0;
    std::int32_t ibx = 0;
    std::int32_t iby = 0;
    platform::Colour icolor = 0;
    std::int32_t maxstep = 0;
    std::int32_t nstep = 0;
    std::int32_t nummax = 0;
    std::int32_t nf = 0;
    std::int32_t nl = 0;
    std::int32_t npcur = 0;
    double step = 0.0;
    double dfactor = 0.0;
    float valmin = 0.0f;
    float valmax = 0.0f;
    float skale = 0.0f;
    float tickval = 0.0f;
    float clipp = 0.0f;
    float clipm = 0.0f;
    float siglim = 0.0f;
    bool active = false;
    bool smoothed = false;
    bool reverse = false;
    bool sqrooted = false;
    bool overall = false;
    bool relim = false;
    bool fitall = false;
    bool ShouldCancel = false;
    // The remembered / chosen location (public: the chooser reads them).
    chooser::Location loc;

    // Arrays, reallocated by every start-up.
    Array1<float> dat;  // ncurves x npoint, row index fastest: dat(c + (k-1)*ncurves)
    Array1<float> sigrat;
    Array1<float> ycur;
    Array1<float> ysmo;
    Array1<std::int32_t> nkur;
    Array1<float> ywork;
    Array1<float> xcur;
    Array1<float> xwork;
    Array1<std::int32_t> iperm;

    // dat(c, k)
    float& datv(std::int32_t c, std::int32_t k) {
        return dat(static_cast<std::int64_t>(k - 1) * ncurves + c);
    }

    // Up/down state of every button Index 0..38 (1 up, -1 down, 0 never set).
    std::array<std::int32_t, kMaxButtonIndex + 1> ibstate{};

    // Persists from one click to the next: nstep before "fit to frame".
    std::int32_t nstepsave = 0;
    // The view-window indicator was hidden because there was no curve to show.
    bool indicator_hidden = false;
    // The point orders sortf has made, most recently used first: a click on
    // another quantity sorts the points again by a key row it has sorted
    // before. Only start-up writes dat, and it drops them before it reads a
    // file; whatever else writes dat must drop them too.
    struct SortedRow {
        std::int32_t row = 0;
        const float* dat = nullptr;  // the arrays and shape it was sorted from
        std::size_t dat_size = 0;
        std::int32_t ncurves = 0;
        std::int32_t npoint = 0;
        std::vector<std::int32_t> order;  // iperm(1..npoint)
    };
    static constexpr std::size_t kSortedRowsKept = 3;
    std::vector<SortedRow> sorted_rows;
    // Drops the kept orders and their memory, and the record of the last
    // curve built (a new file is being read).
    void forget_sorted_rows();

    // What the last curve was built from. A rebuild from the same data with
    // the same quantities, limit, clip values and switches ("fit to frame" and
    // "use step" only spread the same curve anew) gives the same curve, so the
    // library's result in ycur, xcur and ysmo is used as it stands. Only the
    // library writes those arrays.
    struct CurveBuilt {
        bool valid = false;
        const float* dat = nullptr;
        std::int32_t ncurves = 0, npoint = 0, ixval = 0, iyval = 0, ityp = 0;
        float siglim = 0, clipp = 0, clipm = 0;
        std::int16_t reverse = 0, sqrooted = 0, smoothed = 0;
        std::int32_t npcur = 0;
        bool same_inputs(const CurveBuilt& o) const {
            return valid && o.valid && dat == o.dat && ncurves == o.ncurves &&
                   npoint == o.npoint && ixval == o.ixval && iyval == o.iyval &&
                   ityp == o.ityp && siglim == o.siglim && clipp == o.clipp &&
                   clipm == o.clipm && reverse == o.reverse && sqrooted == o.sqrooted &&
                   smoothed == o.smoothed;
        }
    };
    CurveBuilt last_curve;

    // Static state of format_label: label decimals of the two limits.
    std::int32_t ndecmax = 0;
    std::int32_t ndecmin = 0;

private:
    PlotPlatform p_;
    bool ended_ = false;
    std::string library_path_;  // 256-character copy of strLocation
    void end_program();
    // The board, axis bar, zero band, grid lines and labels of draw_yaxis.
    void draw_axes();
};

}  // namespace vorsel::plot
