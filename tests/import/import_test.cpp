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
        {3, 4, std::sqrt(3.0), 2},   // weak: sqrt(s(Fo^2))
        {-3, 5, 0, std::sqrt(5.0)},  // negative Fo^2
        {0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fo2);
        EXPECT_DOUBLE_EQ(fo_from_squared(row.fo2), row.fo);
        EXPECT_DOUBLE_EQ(sigma_fo(row.fo2, row.sigma2), row.sigma);
    }
}

// Fields 1 to 4 and 6 of the data lines expected from a conversion.
struct Expected {
    double fo, fc, sigma, theta;
};

void expect_read_back(const std::string& file, const std::vector<Expected>& lines, bool crlf) {
    const std::string text = slurp(file);
    ASSERT_EQ(text.substr(0, 6 + (crlf ? 2 : 1)), crlf ? "    13\r\n" : "    13\n");
    std::int32_t ncurves = 13, npoint = static_cast<std::int32_t>(lines.size()), status = 99;
    ASSERT_EQ(text.size(), (crlf ? 8 : 7) + lines.size() * (crlf ? 132 : 131));
    std::vector<float> dat(13 * lines.size()), sigrat(lines.size());
    READ_VORSEL_DATA(file.c_str(), dat.data(), sigrat.data(), &ncurves, &npoint, &status);
    ASSERT_EQ(status, 0);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        SCOPED_TRACE("line " + std::to_string(k + 1));
        const float* d = &dat[13 * k];
        EXPECT_EQ(d[0], static_cast<float>(k + 1));
        EXPECT_EQ(d[1], static_cast<float>(lines[k].fo));
        EXPECT_EQ(d[2], static_cast<float>(lines[k].fc));
        EXPECT_EQ(d[3], static_cast<float>(lines[k].sigma));
        EXPECT_NEAR(d[5], lines[k].theta, 2e-6);
        for (int c : {4, 6, 7, 8, 9, 10, 11, 12}) EXPECT_EQ(d[c], 0.0f) << "field " << c + 1;
    }
}

TEST(ImportConvert, BothLayoutsWithThetaFromTheCell) {
    TempDir dir;
    // Cubic, a = 10 A, the file's wavelength 0.71073 A: sin(theta) = 0.71073
    // sqrt(h^2 + k^2 + l^2) / 20, so 0.0355365 (1 0 0), 0.0502562 (1 1 0),
    // 0.1231020 (2 2 2).
    const std::string cubic = list4("_diffrn_radiation_wavelength 0.71073\n" + kCubic,
                                    "1 0 0 100 96.04 4\n1 1 0 25 -3 5\n2 2 2 0.25 3 4\n");
    const std::vector<Expected> cubic_lines = {{9.8, 10, 4 / 19.6, 2.0365202563},
                                               {0, 5, std::sqrt(5.0), 2.8806816542},
                                               {std::sqrt(3.0), 0.5, 2, 7.0711645701}};
    // Triclinic 7.5 8.2 9.9 75 82 68, Cu K-alpha 1.54184 A from the command
    // line; 1/d^2 from the textbook formula over V^2 (V = 544.6743 A^3) is
    // 0.0207258, 0.2536878, 0.4129911, so sin(theta) is 0.1109852, 0.3882926,
    // 0.4954270. The Fc layout, with its phase column.
    const std::string triclinic =
        "data_t\n" + kTriclinic +
        "loop_\n _refln_index_h\n _refln_index_k\n _refln_index_l\n _refln_F_squared_meas\n"
        " _refln_F_squared_sigma\n _refln_F_calc\n _refln_phase_calc\n"
        "1 0 0 400 8 21.5 180\n1 -2 3 1.0E4 1.2e2 99.25 0\n-3 1 4 0 2.25 0.125 0\n";
    const std::vector<Expected> triclinic_lines = {{20, 21.5, 0.2, 6.3721139127},
                                                   {100, 99.25, 0.6, 22.8483028535},
                                                   {0, 0.125, 1.5, 29.6979084113}};
    for (const bool crlf : {true, false}) {
        SCOPED_TRACE(crlf ? "CR LF" : "LF");
        const std::string out = (dir.path / "out.vorsel").string();
        Summary s = convert_fcf(dir.write("cubic.fcf", cubic), out, {std::nullopt, crlf});
        EXPECT_EQ(s.reflections, 3u);
        EXPECT_TRUE(s.notes.empty());
        expect_read_back(out, cubic_lines, crlf);
        s = convert_fcf(dir.write("triclinic.fcf", triclinic), out, {1.54184, crlf});
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
            (dir.path / "out.vorsel").string(), {c.option, true});
        EXPECT_EQ(s.wavelength, c.used);
        ASSERT_EQ(s.notes.size(), c.note ? 1u : 0u);
        if (c.note) {
            EXPECT_NE(s.notes[0].find(c.note), std::string::npos) << s.notes[0];
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
        {"far.fcf", list4(kCubic, row + "\n\n40 0 0 1 1 1\n"),
         "far.fcf:18: reflection 2: h k l = 40 0 0 cannot be reached at 0.71073 A (sin(theta) = "
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
