// vorsel_import on small reflection files written by the tests: the text of a
// field, Fo and s(Fo) from Fo^2, whole conversions of both loop layouts read
// back by the library, the failures with their messages, and the program's
// exit statuses.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "library/field.h"
#include "library/vorsel_for.h"
#include "import/convert.h"
#include "import/field_text.h"
#include "import/import_error.h"
#include "import/weighting.h"
#include "library/miller_indices.h"
#include "plot/curve_export.h"
#include "plot/scripted_view.h"
#include "tests/fakes/fake_platform.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace vorsel::import;

struct TempDir {
    fs::path path =
        fs::temp_directory_path() / ("vorsel_import_test_" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
        return (path / name).string();
    }
};

std::string slurp(const std::string& file) {
    std::ostringstream s;
    s << std::ifstream(file, std::ios::binary).rdbuf();
    return s.str();
}

const std::string kCubic =
    "_cell_length_a 10\n_cell_length_b 10\n_cell_length_c 10\n"
    "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n";
const std::string kTriclinic =
    "_cell_length_a 7.5(1)\n_cell_length_b 8.2\n_cell_length_c 9.9\n"
    "_cell_angle_alpha 75\n_cell_angle_beta 82\n_cell_angle_gamma 68\n";
// Lines 1 to 8 with the cubic cell: "loop_" on line 8, reflection k on line 14 + k.
const std::string kList4Loop =
    "loop_\n _refln_index_h\n _refln_index_k\n _refln_index_l\n _refln_F_squared_calc\n"
    " _refln_F_squared_meas\n _refln_F_squared_sigma\n";

std::string list4(const std::string& cell, const std::string& rows) {
    return "data_t\n" + cell + kList4Loop + rows;
}

TEST(ImportFieldText, ShortestTextOfTheNearestFloatOrTheNearestThatFits) {
    struct Row {
        double value;
        const char* text;
        bool exact;  // reads back as the float nearest the value
    } rows[] = {
        {9.8, "       9.8", true},
        {4 / 19.6, "0.20408164", true},
        {1234.5678, " 1234.5677", true},  // the float is 1234.5677490234375
        {0.0, "         0", true},
        {-0.0, "         0", true},
        {-17.25, "    -17.25", true},
        {1.5e-20, "   1.5E-20", true},
        {3e38, "      3E38", true},
        // Nine digits are needed, ten characters hold six in exponent form
        // (fixed-point "0.00012346" holds five).
        {0.000123456789, "1.23457E-4", false},
        {123456789012.0, "1.23457E11", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        char field[kFieldWidth];
        ASSERT_TRUE(format_real(row.value, field));
        EXPECT_EQ(std::string(field, kFieldWidth), row.text);
        float back = -1;
        ASSERT_TRUE(vorsel::read_real(field, back));
        if (row.exact) {
            EXPECT_EQ(back, static_cast<float>(row.value));
        }
    }
    char field[kFieldWidth];
    EXPECT_FALSE(format_real(1e39, field));
    EXPECT_FALSE(format_real(NAN, field));
    ASSERT_TRUE(format_whole(1234567890, field));
    EXPECT_EQ(std::string(field, kFieldWidth), "1234567890");
    EXPECT_FALSE(format_whole(12345678901, field));
}

TEST(ImportAmplitudes, FoAndItsUncertaintyFromTheSquare) {
    struct Row {
        double fo2, sigma2, fo, sigma;
    } rows[] = {
        {96.04, 4, 9.8, 4 / 19.6},   // s(Fo^2) / (2 Fo)
        {4, 4, 2, 1},                // Fo^2 = s(Fo^2): still first order
        {3, 4, std::sqrt(3.0), 4 / (2 * std::sqrt(3.0))},  // still first order
        {1.21, 4, 1.1, 4 / 2.2},  // above s(Fo^2) / 4
        {1, 4, 1, 2},             // Fo^2 = s(Fo^2) / 4: both rules meet
        {0.81, 4, 0.9, 2},        // below: sqrt(s(Fo^2))
        {-3, 5, 0, std::sqrt(5.0)},        // negative Fo^2
        {0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fo2);
        EXPECT_DOUBLE_EQ(fo_from_squared(row.fo2), row.fo);
        EXPECT_DOUBLE_EQ(sigma_fo(row.fo2, row.sigma2), row.sigma);
    }
}

// Fields 1 to 4, 6, 13 and the indices of the data lines expected from a
// conversion.
struct Expected {
    double fo, fc, sigma, theta;
    vorsel::Miller hkl;
    int number = 0;  // field 1; 0: the line's own number
    double weight = 0;
};

void expect_read_back(const std::string& file, const std::vector<Expected>& lines, bool crlf) {
    const std::string text = slurp(file);
    ASSERT_EQ(text.substr(0, 10 + (crlf ? 2 : 1)), crlf ? "    15 hkl\r\n" : "    15 hkl\n");
    std::int32_t ncurves = 15, npoint = static_cast<std::int32_t>(lines.size()), status = 99;
    ASSERT_EQ(text.size(), (crlf ? 12 : 11) + lines.size() * (crlf ? 152 : 151));
    std::vector<float> dat(15 * lines.size()), sigrat(lines.size());
    READ_VORSEL_DATA(file.c_str(), dat.data(), sigrat.data(), &ncurves, &npoint, &status);
    ASSERT_EQ(status, 0);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        SCOPED_TRACE("line " + std::to_string(k + 1));
        const float* d = &dat[15 * k];
        EXPECT_EQ(d[0], static_cast<float>(lines[k].number ? lines[k].number : k + 1));
        EXPECT_EQ(d[1], static_cast<float>(lines[k].fo));
        EXPECT_EQ(d[2], static_cast<float>(lines[k].fc));
        EXPECT_EQ(d[3], static_cast<float>(lines[k].sigma));
        EXPECT_NEAR(d[5], lines[k].theta, 2e-6);
        // Six digits: the weights are small, ten characters hold 3.77673E-4.
        EXPECT_NEAR(d[12], lines[k].weight, lines[k].weight * 1e-5);
        EXPECT_EQ(vorsel::decode_indices(d[13], d[14]), lines[k].hkl);
        for (int c : {4, 6, 7, 8, 9, 10, 11}) EXPECT_EQ(d[c], 0.0f) << "field " << c + 1;
    }
}

TEST(ImportConvert, BothLayoutsWithThetaFromTheCell) {
    TempDir dir;
    // Cubic, a = 10 A, the file's wavelength 0.71073 A: sin(theta) = 0.71073
    // sqrt(h^2 + k^2 + l^2) / 20, so 0.0355365 (1 0 0), 0.0502562 (1 1 0),
    // 0.1231020 (2 2 2).
    const std::string cubic = list4("_diffrn_radiation_wavelength 0.71073\n" + kCubic,
                                    "1 0 0 100 96.04 4\n1 1 0 25 -3 5\n2 2 2 0.25 3 4\n");
    const std::vector<Expected> cubic_lines = {
        {9.8, 10, 4 / 19.6, 2.0365202563, {1, 0, 0}},
        {0, 5, std::sqrt(5.0), 2.8806816542, {1, 1, 0}},
        {std::sqrt(3.0), 0.5, 2 / std::sqrt(3.0), 7.0711645701, {2, 2, 2}}};
    // Triclinic 7.5 8.2 9.9 75 82 68, Cu K-alpha 1.54184 A from the command
    // line; 1/d^2 from the textbook formula over V^2 (V = 544.6743 A^3) is
    // 0.0207258, 0.2536878, 0.4129911, so sin(theta) is 0.1109852, 0.3882926,
    // 0.4954270. The Fc layout, with its phase column.
    const std::string triclinic =
        "data_t\n" + kTriclinic +
        "loop_\n _refln_index_h\n _refln_index_k\n _refln_index_l\n _refln_F_squared_meas\n"
        " _refln_F_squared_sigma\n _refln_F_calc\n _refln_phase_calc\n"
        "1 0 0 400 8 21.5 180\n1 -2 3 1.0E4 1.2e2 99.25 0\n-3 1 4 0 2.25 0.125 0\n";
    const std::vector<Expected> triclinic_lines = {
        {20, 21.5, 0.2, 6.3721139127, {1, 0, 0}},
        {100, 99.25, 0.6, 22.8483028535, {1, -2, 3}},
        {0, 0.125, 1.5, 29.6979084113, {-3, 1, 4}}};
    for (const bool crlf : {true, false}) {
        SCOPED_TRACE(crlf ? "CR LF" : "LF");
        const std::string out = (dir.path / "out.vorsel").string();
        Summary s = convert_fcf(dir.write("cubic.fcf", cubic), out, {std::nullopt, crlf, false, {}});
        EXPECT_EQ(s.reflections, 3u);
        EXPECT_TRUE(s.notes.empty());
        expect_read_back(out, cubic_lines, crlf);
        s = convert_fcf(dir.write("triclinic.fcf", triclinic), out, {1.54184, crlf, false, {}});
        expect_read_back(out, triclinic_lines, crlf);
    }
    // The wavelength: the file's before --wavelength, Mo K-alpha without
    // either; each departure from what the user asked for is said in a note.
    const struct {
        std::string file_lambda;
        std::optional<double> option;
        double used;
        const char* note;
    } choices[] = {
        {"", std::nullopt, kMoKalpha, "theta for Mo K-alpha, 0.71073 A"},
        {"", 1.54184, 1.54184, nullptr},
        {"_diffrn_radiation_wavelength 0.56087\n", 1.54184, 0.56087,
         "the file's wavelength, 0.56087 A (_diffrn_radiation_wavelength); --wavelength 1.54184 "
         "not used"}};
    for (const auto& c : choices) {
        SCOPED_TRACE(c.used);
        const auto s = convert_fcf(
            dir.write("lambda.fcf", list4(c.file_lambda + kCubic, "1 0 0 100 96.04 4\n")),
            (dir.path / "out.vorsel").string(), {c.option, true, false, {}});
        EXPECT_EQ(s.wavelength, c.used);
        ASSERT_EQ(s.notes.size(), c.note ? 1u : 0u);
        if (c.note) {
            EXPECT_NE(s.notes[0].find(c.note), std::string::npos) << s.notes[0];
        }
    }
}

TEST(ImportConvert, TagStylesStatusFilterAndWeights) {
    TempDir dir;
    // The dotted spelling of every tag, a byte order mark, and the six
    // statuses; each reflection at the same d: P = (96.04 + 2 100) / 3 = 98.68.
    const std::string file = dir.write(
        "dotted.fcf",
        "\xEF\xBB\xBF" "data_t\n_cell.length_a 10 _cell.length_b 10 _cell.length_c 10\n"
        "_cell.angle_alpha 90 _cell.angle_beta 90 _cell.angle_gamma 90\n"
        "loop_ _refln.index_h _refln.index_k _refln.index_l _refln.F_squared_calc\n"
        "_refln.F_squared_meas _refln.F_squared_sigma _refln.observed_status\n"
        "1 0 0 100 96.04 4 o\n0 1 0 100 96.04 4 x\n0 0 1 100 96.04 4 <\n"
        "-1 0 0 100 96.04 4 h\n0 -1 0 100 96.04 4 -\n0 0 -1 100 96.04 4 l\n");
    const vorsel::Miller hkl[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    const struct {
        bool all_status;
        std::optional<WeightScheme> scheme;
        std::vector<int> numbers;
        double weight;  // 1/[16 + (A P)^2 + B P]
    } rows[] = {{false, std::nullopt, {1, 3}, 0},
                {true, std::nullopt, {1, 2, 3, 4, 5, 6}, 0},
                {false, WeightScheme{0, 0}, {1, 3}, 1.0 / 16},
                {false, WeightScheme{0.5, 2}, {1, 3}, 1 / 2647.7956}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.weight);
        const std::string out = (dir.path / "out.vorsel").string();
        const Summary s = convert_fcf(file, out, {std::nullopt, false, row.all_status, row.scheme});
        EXPECT_EQ(s.left_out, 6 - row.numbers.size());
        std::vector<Expected> lines;
        for (const int n : row.numbers)
            lines.push_back({9.8, 10, 4 / 19.6, 2.0365202563, hkl[n - 1], n, row.weight});
        expect_read_back(out, lines, false);
    }
}

// A converted file in the plot window: the indices in the read-out line and
// in the curve data, right after the data line; the same file without the
// header's mark shows none.
TEST(ImportConvert, IndicesReachTheReadOutAndTheCurveData) {
    TempDir dir;
    const std::string path = (dir.path / "hkl.vorsel").string();
    convert_fcf(dir.write("hkl.fcf", list4(kCubic, "1 0 0 100 96.04 4\n-2 11 -9 4 4 0.4\n")), path,
                {});
    for (const bool marked : {true, false}) {
        SCOPED_TRACE(marked);
        std::string text = slurp(path);
        if (!marked) text.replace(0, 10, "    15    ");
        vorsel::fakes::FakePlatform fp;
        vorsel::plot::frmVorselPlot w{fp.plot_platform()};
        fp.files.files[path] = text;
        dir.write("hkl.vorsel", text);
        w.hand_location(vorsel::chooser::location_of(path, fp.style));
        w.Form_Load();
        ASSERT_TRUE(vorsel::plot::click_view(w, {vorsel::plot::but::VsFo, vorsel::plot::but::Fc}));
        const std::string csv = vorsel::plot::curve_csv(w);
        EXPECT_EQ(csv.substr(csv.find("# point,")),
                  marked ? "# point,running number,data line,h,k,l,Fo,Fc\n"
                           "1,2,2,-2,11,-9,2,2\n2,1,1,1,0,0,9.8,10\n"
                         : "# point,running number,data line,Fo,Fc\n1,2,2,2,2\n2,1,1,9.8,10\n");
        EXPECT_EQ(w.point_text(1), std::string("point 1 of 2   reflection 2 (line 2)") +
                                       (marked ? "   h k l -2 11 -9" : "") + "   Fo 2   Fc 2");
        EXPECT_NE(w.point_details(1).find(marked ? "\nh               -2\n10000 k + l     109991"
                                                 : "\nfield 14        -2\nfield 15        109991"),
                  std::string::npos)
            << w.point_details(1);
    }
}

TEST(ImportWeighting, SchemeFromTheRefinementsFiles) {
    TempDir dir;
    const struct {
        const char* name;
        std::string text;
        double a, b;
        const char* message;  // nullptr: read
    } rows[] = {
        {"r.res", "TITL t\nL.S. 4\nWGHT    0.037000    0.110000\nEND\n", 0.037, 0.11, nullptr},
        {"r.ins", "wght 0.05\n", 0.05, 0, nullptr},
        {"d.ins", "WGHT\n", 0.1, 0, nullptr},  // SHELX's default a
        {"f.ins", "REM\nWGHT 0.1 0 0 0 0 0.5\n", 0, 0, "f.ins:2: WGHT with c, d, e or f"},
        {"n.res", "TITL\n", 0, 0, "n.res: no WGHT line"},
        {"r.cif",
         "data_r\n_refine_ls_weighting_details\n"
         " 'w=1/[\\s^2^(Fo^2^)+(0.0370P)^2^+0.1100P] where P=(Fo^2^+2Fc^2^)/3'\n",
         0.037, 0.11, nullptr},
        {"a.cif", "data_r _refine_ls.weighting_details 'w=1/[\\s^2^(Fo^2^)+(0.2P)^2^]'\n", 0.2, 0,
         nullptr},
        {"p.cif",
         "data_r _refine_ls_weighting_details 'w=1/[\\s^2^(Fo^2^)+(0.2P)^2^] where P=Fo^2^'\n", 0,
         0, "p.cif: _refine_ls_weighting_details is not of the form"},
        {"none.cif", "data_r _cell_length_a 5\n", 0, 0, "none.cif: no weighting scheme"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.write(row.name, row.text);
        try {
            const WeightScheme scheme = read_weight_scheme(path);
            EXPECT_EQ(row.message, nullptr);
            EXPECT_EQ(scheme.a, row.a);
            EXPECT_EQ(scheme.b, row.b);
        } catch (const Error& e) {
            ASSERT_NE(row.message, nullptr) << e.what();
            EXPECT_NE(std::string(e.what()).find(row.message), std::string::npos) << e.what();
        }
    }
}

TEST(ImportConvert, FailuresNameTheFileAndLineAndWriteNothing) {
    TempDir dir;
    const std::string row = "1 0 0 100 96.04 4\n";
    struct Row {
        const char* file;
        std::string text;  // empty: no file
        const char* message;
        const char* output = "out.vorsel";
        Exit status = Exit::input;
    } rows[] = {
        {"missing.fcf", "", "missing.fcf: cannot open: No such file or directory"},
        {"notcif.fcf", "loop_ 'x\n", "notcif.fcf:1: not a CIF file"},
        {"nocell.fcf", "data_t\n_cell_length_a 10\n" + kList4Loop + row,
         "nocell.fcf: no unit cell: _cell_length_b is missing in data_t"},
        {"text.fcf", list4(kCubic, row + "1 1 0 25 abc 5\n"),
         "text.fcf:16: reflection 2: _refln_F_squared_meas is not a number: 'abc'"},
        {"empty.fcf", list4(kCubic, ""), "empty.fcf:8: the reflection loop holds no reflections"},
        {"list3.fcf",
         "data_t\n" + kCubic +
             "loop_ _refln_index_h _refln_index_k _refln_index_l _refln_F_meas 1 0 0 5",
         "it has _refln_index_h _refln_index_k _refln_index_l _refln_F_meas; needed are"},
        {"reach.fcf", list4(kCubic, row + "\n\n40 0 0 1 1 1\n"),
         "reach.fcf:18: reflection 2: h k l = 40 0 0 cannot be reached at 0.71073 A (sin(theta) = "
         "1.42146)"},
        {"index.fcf", list4(kCubic, "1 0.5 0 1 1 1\n"),
         "index.fcf:15: reflection 1: _refln_index_k is not a whole number: '0.5'"},
        {"cell.fcf",  // alpha + beta < gamma: the three axes cannot meet
         list4("_cell_length_a 5 _cell_length_b 5 _cell_length_c 5 _cell_angle_alpha 10\n"
               "_cell_angle_beta 10 _cell_angle_gamma 90\n",
               row),
         "cell.fcf:3: _cell_angle_gamma: these cell angles make no cell"},
        {"lambdas.fcf", list4(kCubic + "loop_ _diffrn_radiation_wavelength 1.5 1.6\n", row),
         "lambdas.fcf:8: _diffrn_radiation_wavelength: several wavelengths"},
        {"sigma.fcf", list4(kCubic, "1 0 0 1 1 -1\n"),
         "sigma.fcf:15: reflection 1: negative s(Fo^2) -1"},
        {"nul.fcf", list4(kCubic, row + "\n1 1 0 25 3" + std::string(1, '\0') + " 5\n"),
         "nul.fcf:17: a NUL byte"},
        {"latin1.fcf", list4(kCubic, row + "1 1 0 25 3 5\n\n \xFF\n"),
         "latin1.fcf:18: a byte 0xFF that is not text"},
        {"short.fcf", list4(kCubic, row + "1 1 0\n25 3\n"),
         "short.fcf:16: reflection 2 is incomplete: 5 of its 6 values"},
        {"edge.fcf", "data_t\n_cell_length_a 1e308\n" + kCubic.substr(kCubic.find('\n') + 1) +
                         kList4Loop + row,
         "edge.fcf:2: _cell_length_a: '1e308' is impossible"},
        {"huge.fcf", list4(kCubic, row + "2147483648 0 0 1 1 1\n"),
         "huge.fcf:16: reflection 2: _refln_index_h '2147483648' is out of range"},
        {"far.fcf", list4(kCubic, "0 0 -1000 1 1 1\n"),
         "far.fcf:15: reflection 1: h k l = 0 0 -1000 is out of range: a data file holds indices "
         "from -999 to 999"},
        {"ok.fcf", list4(kCubic, row),
         "no/such/out.vorsel: cannot write: the folder does not exist", "no/such/out.vorsel",
         Exit::output},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        const std::string in =
            r.text.empty() ? (dir.path / r.file).string() : dir.write(r.file, r.text);
        const std::string out = (dir.path / r.output).string();
        if (r.status == Exit::input) dir.write(r.output, "old");
        try {
            convert_fcf(in, out, {});
            ADD_FAILURE() << "converted";
        } catch (const Error& e) {
            EXPECT_EQ(e.status(), r.status);
            EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << e.what();
        }
        if (r.status == Exit::input) {
            EXPECT_EQ(slurp(out), "old");  // an older file of that name stays
        }
        for (const auto& entry : fs::directory_iterator(dir.path))  // no temporary file is left
            EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}

TEST(ImportProgram, ExitStatuses) {
    TempDir dir;
    dir.write("ok.fcf", list4(kCubic, "1 0 0 100 96.04 4\n"));
    const struct {
        const char* args;
        int status;
    } rows[] = {{"ok.fcf out.vorsel", 0},
                {"--help", 0},
                {"ok.fcf", 2},
                {"--wavelength=-1 ok.fcf out.vorsel", 2},
                {"--lf --x ok.fcf out.vorsel", 2},
                {"--all-status --weight 0.1,0.2 ok.fcf out.vorsel", 0},
                {"--weight 0.1 ok.fcf out.vorsel", 2},
                {"--weight-from missing.res ok.fcf out.vorsel", 3},
                {"missing.fcf out.vorsel", 3},
                {"ok.fcf no/such/out.vorsel", 4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args);
        const std::string command = "cd '" + dir.path.string() + "' && " + VORSEL_IMPORT + " " +
                                    row.args + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), row.status);
    }
}

}  // namespace
