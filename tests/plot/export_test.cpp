// The curve out of the window, through the recording fakes and the library's
// code: quantity names, a file handed to start-up, the views reached by
// clicks, the picture's title, the curve's text and the report's figures, on
// a small file whose answers are worked out by hand below.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <vector>

#include <unistd.h>

#include "analysis/statistics.h"
#include "plot/curve_export.h"
#include "plot/quantities.h"
#include "plot/scripted_view.h"
#include "tests/fakes/fake_platform.h"

namespace {

namespace but = vorsel::plot::but;
namespace fs = std::filesystem;
using vorsel::plot::Axis;
using vorsel::plot::ViewRequest;

// Six reflections (running number, Fo, Fc, s(Fo), theta); field 5 and
// fields 7 to 13 are 0. Reflection 3 is weak (Fo/s(Fo) 1.5). Ordered by theta
// at the limit 3: lines 2, 5, 4, 1, 6 with dF/s(Fo) -1, -1, 1, 1, 0.
const float kRows[6][5] = {{101, 10, 9, 1, 20},  {102, 20, 22, 2, 5},      {103, 3, 3, 2, 1},
                           {104, 30, 27, 3, 15}, {105, 8, 8.5f, 0.5f, 10}, {106, 12, 12, 1, 25}};

std::string small_file(int fields) {
    std::ostringstream s;
    s << std::setw(6) << fields << "\r\n";
    for (const auto& r : kRows) {
        const float f[6] = {r[0], r[1], r[2], r[3], 0, r[4]};
        for (int c = 0; c < fields; ++c) {
            char b[16];
            std::snprintf(b, sizeof b, "%10.4f", c < 6 ? static_cast<double>(f[c]) : 0.0);
            s << b;
        }
        s << "\r\n";
    }
    return s.str();
}

// A window that has read the small file, handed to it as a named file.
struct Loaded {
    vorsel::fakes::FakePlatform fp;
    vorsel::plot::frmVorselPlot w{fp.plot_platform()};
    std::string path;

    explicit Loaded(int fields = 13) {
        const fs::path dir =
            fs::path(::testing::TempDir()) / ("vorsel_export_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        path = (dir / ("small" + std::to_string(fields) + ".vorsel")).string();
        const std::string content = small_file(fields);
        std::ofstream(path, std::ios::binary) << content;
        fp.files.files[path] = content;
        w.hand_location(vorsel::chooser::location_of(path, fp.style));
        w.Form_Load();
    }
    ~Loaded() {
        std::error_code ec;
        fs::remove(path, ec);
        fs::remove(fs::path(path).parent_path(), ec);  // once empty
    }
};

TEST(QuantityNames, CaptionsWithoutBlanksInAnyCase) {
    // clang-format off
    struct Case { Axis axis; const char* name; int button; };
    const Case cases[] = {
        {Axis::Y, "dF/s(Fo)", but::dF_sFo}, {Axis::Y, "DF / S(FO)", but::dF_sFo},
        {Axis::Y, "fo/fc", but::Fo_Fc},     {Axis::Y, "Fo", but::Fo},
        {Axis::X, "Fo", but::VsFo},         {Axis::X, "theta", but::VsTheta},
        {Axis::X, "vs. Theta", but::VsTheta}, {Axis::X, "xrtime", but::VsXRtime},
        {Axis::Y, "theta", 0},              {Axis::Y, "dF / <Fo>", 0},  // never enabled
        {Axis::X, "dF/s(Fo)", 0},           {Axis::Y, "", 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(vorsel::plot::quantity_button(c.axis, c.name).value_or(0), c.button);
    }
    EXPECT_EQ(vorsel::plot::quantity_names(Axis::X).size(), 10u);
    EXPECT_EQ(vorsel::plot::quantity_names(Axis::Y).size(), 10u);
    EXPECT_TRUE(vorsel::plot::same_quantity(but::VsFo, but::Fo));
    EXPECT_FALSE(vorsel::plot::same_quantity(but::VsTheta, but::dF_sFo));
}

TEST(LimitClicks, FromTheLimitInForceOrFromObsRefl) {
    // clang-format off
    struct Case { float from; int limit; std::vector<int> clicks; };
    const Case cases[] = {
        {3, 3, {}}, {3, 0, {but::AllRefl}}, {0, 0, {}}, {3, 5, {but::SlimUp, but::SlimUp}},
        {0, 2, {but::SlimUp, but::SlimUp}}, {0, 4, {but::ObsRefl, but::SlimUp}},
        {2.5f, 1, {but::ObsRefl, but::SlimDown, but::SlimDown}}, {9, 7, {but::SlimDown, but::SlimDown}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.limit));
        EXPECT_EQ(vorsel::plot::limit_clicks(c.from, c.limit), c.clicks);
    }
}

TEST(NamedFile, IsReadWithoutTheChooserAndRemembered) {
    Loaded l;
    EXPECT_TRUE(l.fp.grep("chooser.show").empty());
    EXPECT_TRUE(l.fp.messages.shown.empty());
    EXPECT_EQ(l.w.npoint, 6);
    EXPECT_EQ(l.fp.settings.values["DADO_QEM/VORSEL/Recent Location"], l.path);
    EXPECT_EQ(l.fp.settings.values["DADO_QEM/VORSEL/Recent Compound Code"], "small13");
    EXPECT_NE(l.fp.frame.caption.find("input data file: " + l.path), std::string::npos);
}

TEST(ClickView, ReachesTheViewAskedForAndClicksNothingMoreAfterwards) {
    // clang-format off
    struct Case { const char* name; ViewRequest r; float siglim; int npcur, nf, nl; };
    const Case cases[] = {  // x, y, limit, sqrt, smoothed, reverse, frame scale, whole curve
        {"whole curve", {but::VsTheta, but::dF_sFo, 3, false, true, false, false, true}, 3, 5, 1, 5},
        {"all switches", {but::VsTheta, but::Fo_Fc, 0, true, true, true, true, true}, 0, 6, 1, 6},
        {"first window", {but::VsFc, but::Fo, 11, false, false, false, true, false}, 11, 2, 1, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded l;
        ASSERT_TRUE(vorsel::plot::click_view(l.w, c.r));
        EXPECT_EQ(l.w.siglim, c.siglim);
        EXPECT_EQ(l.w.npcur, c.npcur);
        EXPECT_EQ(l.w.nf, c.nf);
        EXPECT_EQ(l.w.nl, c.nl);
        EXPECT_EQ(l.w.fitall, c.r.whole_curve);
        EXPECT_EQ(l.w.sqrooted, c.r.sqrooted);
        EXPECT_EQ(l.w.smoothed, c.r.smoothed);
        EXPECT_EQ(l.w.reverse, c.r.reverse);
        EXPECT_EQ(l.w.overall, !c.r.frame_scale);
        const std::size_t builds = l.fp.grep("lib.FILL_KURRENT").size();
        EXPECT_TRUE(vorsel::plot::click_view(l.w, c.r));
        EXPECT_EQ(l.fp.grep("lib.FILL_KURRENT").size(), builds);
    }
}

TEST(CurveText, NamesEachPointsReflectionAndReadsBackBitForBit) {
    for (bool reverse : {false, true}) {
        SCOPED_TRACE(reverse);
        Loaded l;
        ViewRequest r{but::VsTheta, but::dF_sFo};
        r.smoothed = true;
        r.reverse = reverse;
        ASSERT_TRUE(vorsel::plot::click_view(l.w, r));
        EXPECT_EQ(vorsel::plot::picture_title(l.w),
                  std::string("small13: dF / s(Fo) vs. theta; Fo/s(Fo) >= 3; smoothed, ") +
                      (reverse ? "x high -> low, " : "") + "fit to frame");
        std::istringstream text(vorsel::plot::curve_csv(l.w));
        std::string line;
        std::vector<std::string> header;
        while (text.peek() == '#' && std::getline(text, line)) header.push_back(line);
        ASSERT_EQ(header.size(), 8u);
        EXPECT_EQ(header[1], "# file: " + l.path);
        EXPECT_EQ(header[7], "# point,running number,data line,theta,dF/s(Fo),smoothed dF/s(Fo)");
        // By hand: ascending theta 5, 10, 15, 20, 25 are lines 2, 5, 4, 1, 6.
        const int lines[5] = {2, 5, 4, 1, 6};
        for (int i = 1; i <= 5; ++i) {
            ASSERT_TRUE(std::getline(text, line));
            float v[6];
            const char* p = line.data();
            for (float& x : v) {
                p = std::from_chars(p, line.data() + line.size(), x).ptr;
                if (*p == ',') ++p;
            }
            const int k = lines[reverse ? 5 - i : i - 1];
            EXPECT_EQ(v[0], i);
            EXPECT_EQ(v[1], 100 + k);
            EXPECT_EQ(v[2], k);
            EXPECT_EQ(std::memcmp(&v[3], &l.w.xcur(i), 4), 0) << line;
            EXPECT_EQ(std::memcmp(&v[4], &l.w.ycur(i), 4), 0) << line;
            EXPECT_EQ(std::memcmp(&v[5], &l.w.ysmo(i), 4), 0) << line;
        }
        EXPECT_FALSE(std::getline(text, line));
    }
}

TEST(Report, PagesForTheQuantitiesThatOrderTheCurveTrendsFirst) {
    Loaded l;
    vorsel::analysis::DataSet d{l.w.dat.data(), l.w.ncurves, l.w.npoint, false};
    vorsel::analysis::Statistics st = vorsel::analysis::compute_statistics(d, 3);
    // Only Fo, Fc and theta vary in the small file; a trend moves its page first.
    st.tables[2].trend = {true, 40, 9, 1e-5, true};
    const std::vector<int> xs = vorsel::plot::report_quantities(st);
    EXPECT_EQ(xs, (std::vector<int>{but::VsTheta, but::VsFo, but::VsFc}));
    std::vector<vorsel::plot::ReportPlot> plots;
    ASSERT_TRUE(vorsel::plot::click_report(
        l.w, 3, xs, [&](const vorsel::plot::ReportPlot& p) { plots.push_back(p); }));
    ASSERT_EQ(plots.size(), 6u);
    for (const auto& p : plots) EXPECT_TRUE(p.drawn && p.npcur == 5);
    const auto s = vorsel::plot::report_summary(l.w, st);
    EXPECT_EQ(s.heading[2],
              "Reflections: 6 in the file, 5 with Fo/s(Fo) >= 3; 5 of them with a dF/s(Fo) in "
              "the tables below.");
    const auto& trends = s.tables.at(1).rows;
    ASSERT_EQ(trends.size(), 10u);
    EXPECT_EQ(trends[0].cells[0], "vs. theta");
    EXPECT_TRUE(trends[0].bold);
    EXPECT_FALSE(trends[1].bold);
    EXPECT_EQ(trends[3].cells.back(), "phi is 0 in every line: nothing to test");
}

}  // namespace
