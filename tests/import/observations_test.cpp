// vorsel_import --observations on small unmerged files written by the test:
// the three kinds joined to one refinement file and read back by the library
// field by field, and the refusals with their messages.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "import/import_error.h"
#include "import/join.h"
#include "library/miller_indices.h"
#include "library/vorsel_for.h"

namespace {

namespace fs = std::filesystem;
using namespace vorsel::import;

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("vorsel_observations_test_" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
        return (path / name).string();
    }
};

// P 1 2 1 (number 3, no inversion), a = b = c = 10 A, 1 A. It lists 1 2 3 and
// its Friedel mate -1 -2 -3 apart, so 1 -2 3 (the two-fold's image of the mate)
// belongs to the mate, not to 1 2 3.
const std::string kRefinement =
    "data_r\n_diffrn_radiation_wavelength 1.0\n_cell_length_a 10\n_cell_length_b 10\n"
    "_cell_length_c 10\n_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n"
    "loop_ _space_group_symop_operation_xyz 'x,y,z' '-x,y,-z'\n"
    "loop_\n _refln_index_h\n _refln_index_k\n _refln_index_l\n _refln_F_squared_calc\n"
    " _refln_F_squared_meas\n _refln_F_squared_sigma\n"
    "1 2 3 100 81 4\n-1 -2 -3 64 64 4\n2 0 0 400 400 8\n";

// The observations, in file order; z is the frame coordinate (XDS) and gives
// the CIF's angles and times. 3 0 0 finds no reflection; the last is a misfit
// (negative sigma) and appears in the XDS files only.
struct Obs {
    int h, k, l;
    double i, sigma, z;
};
const Obs kObs[] = {{1, 2, 3, 50, 5, 10.5},    {-1, 2, -3, 200, 10, 20}, {1, -2, 3, 100, 5, 30},
                    {3, 0, 0, 10, 1, 35},      {-2, 0, 0, 300, 12, 40},  {2, 0, 0, 5, -1, 50}};

std::string records(const std::function<std::string(const Obs&)>& line, bool misfits,
                    const std::vector<Obs>& obs = {std::begin(kObs), std::end(kObs)}) {
    std::string text;
    for (const Obs& o : obs)
        if (misfits || o.sigma > 0) text += line(o);
    return text;
}

std::string xds_ascii(const std::string& header, const std::vector<Obs>& obs = {std::begin(kObs), std::end(kObs)}) {
    return "!FORMAT=XDS_ASCII    MERGE=FALSE    FRIEDEL'S_LAW=FALSE\n" + header +
           "!UNIT_CELL_CONSTANTS=  10.1 9.9 10.0 90 90 90\n!X-RAY_WAVELENGTH=  0.5\n"
           "!STARTING_FRAME=  2\n!STARTING_ANGLE=  10.0\n!OSCILLATION_RANGE=  0.25\n"
           "!ITEM_H=1\n!ITEM_K=2\n!ITEM_L=3\n!ITEM_IOBS=4\n!ITEM_SIGMA(IOBS)=5\n!ITEM_XD=6\n"
           "!ITEM_YD=7\n!ITEM_ZD=8\n!END_OF_HEADER\n" +
           records([](const Obs& o) {
               return std::to_string(o.h) + " " + std::to_string(o.k) + " " + std::to_string(o.l) + " " +
                      std::to_string(o.i) + " " + std::to_string(o.sigma) + " 512 512 " + std::to_string(o.z) + "\n";
           }, true, obs) +
           "!END_OF_DATA\n";
}

const std::string kIntegrate =
    "!OUTPUT_FILE=INTEGRATE.HKL\n!SPACE_GROUP_NUMBER=3\n!STARTING_FRAME=1\n!STARTING_ANGLE=0\n"
    "!OSCILLATION_RANGE=1\n!H,K,L,IOBS,SIGMA,XCAL,YCAL,ZCAL,RLP,PEAK,CORR,MAXC,\n"
    "!             XOBS,YOBS,ZOBS,ALF0,BET0,ALF1,BET1,PSI,ISEG\n!END_OF_HEADER\n" +
    records([](const Obs& o) {
        return std::to_string(o.h) + " " + std::to_string(o.k) + " " + std::to_string(o.l) + " " +
               std::to_string(o.i) + " " + std::to_string(o.sigma) + " 1 2 " + std::to_string(o.z) +
               " 1 100 90 9 1 2 99 0 0 0 0 0 1\n";
    }, true) +
    "!END_OF_DATA\n";

const std::string kCif =
    "data_u\nloop_\n _diffrn_refln_index_h\n _diffrn_refln_index_k\n _diffrn_refln_index_l\n"
    " _diffrn_refln_intensity_net\n _diffrn_refln_intensity_sigma\n _diffrn_refln_angle_phi\n"
    " _diffrn_refln_angle_omega\n _diffrn_refln_angle_kappa\n _diffrn_refln_elapsed_time\n"
    " _diffrn_refln_counts_bg_1\n _diffrn_refln_counts_bg_2\n _diffrn_refln_counts_peak\n" +
    records([](const Obs& o) {
        std::string line = std::to_string(o.h) + " " + std::to_string(o.k) + " " + std::to_string(o.l);
        // intensity, sigma, phi, omega, kappa, elapsed time, two backgrounds, peak
        for (double v : {o.i, o.sigma, o.z, o.z + 1, o.z + 2, o.z * 10, o.z, 1.0, 100.0})
            line += " " + std::to_string(v);
        return line + "\n";
    }, false);

TEST(ImportObservations, EachKindJoinedFieldByField) {
    TempDir dir;
    const std::string fcf = dir.write("r.fcf", kRefinement);
    // The scale: refinement Fo^2 of the matched (81, 81, 64, 400) over their
    // intensities (50, 200, 100, 300).
    const double k = 626.0 / 650;
    struct Line {
        int obs;            // index into kObs; its place in the file is obs + 1
        double fo, fc, sigma;
    } const lines[] = {
        // Listed itself, but the refinement is merged (each set once): its own
        // intensity on the refinement's scale, not the merged Fo.
        {0, std::sqrt(k * 50), 10, k * 5 / (2 * std::sqrt(k * 50))},
        {1, std::sqrt(k * 200), 10, k * 10 / (2 * std::sqrt(k * 200))},  // two-fold of 1 2 3
        {2, std::sqrt(k * 100), 8, k * 5 / (2 * std::sqrt(k * 100))},   // two-fold of the mate
        {4, std::sqrt(k * 300), 20, k * 12 / (2 * std::sqrt(k * 300))},  // two-fold of 2 0 0
    };
    struct Kind {
        const char* name;
        std::string text;
        std::optional<double> option;
        double lambda;
        // XRtime, phi, omega, kappa, BckgrRat of an observation at z
        std::function<std::array<double, 5>(double)> fields;
        std::uint64_t misfits;
    } const kinds[] = {
        {"XDS_ASCII.HKL", xds_ascii("!SPACE_GROUP_NUMBER=   3\n"), 0.8, 0.5,
         [](double z) { return std::array<double, 5>{z, 10 + (z - 1) * 0.25, 0, 0, 0}; }, 1},
        {"INTEGRATE.HKL", kIntegrate, std::nullopt, 1.0,
         [](double z) { return std::array<double, 5>{z, z, 0, 0, 0}; }, 1},
        {"u.cif", kCif, 0.8, 0.8,
         [](double z) { return std::array<double, 5>{z * 10, z, z + 1, z + 2, (z + 1) / 100}; }, 0},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const std::string out = (dir.path / "out.vorsel").string();
        const JoinSummary s = join_observations(dir.write(kind.name, kind.text), fcf, out, {kind.option, true, false, std::nullopt});
        EXPECT_EQ(s.exact, 0u);
        EXPECT_EQ(s.by_symmetry, 4u);
        EXPECT_EQ(s.left_out, 1u);
        EXPECT_EQ(s.outliers, kind.misfits);
        EXPECT_TRUE(s.friedel_apart);
        EXPECT_DOUBLE_EQ(s.scale, k);
        ASSERT_FALSE(s.summary.notes.empty());
        EXPECT_NE(s.summary.notes.back().find("0 matched exactly, 4 by symmetry (Friedel mates apart), "
                                              "scale factor 0.963077"), std::string::npos)
            << s.summary.notes.back();

        std::int32_t ncurves = 15, npoint = 4, status = 99;
        std::vector<float> dat(15 * 4), sigrat(4);
        READ_VORSEL_DATA(out.c_str(), dat.data(), sigrat.data(), &ncurves, &npoint, &status);
        ASSERT_EQ(status, 0);
        for (std::size_t n = 0; n < 4; ++n) {
            const Line& line = lines[n];
            const Obs& o = kObs[line.obs];
            SCOPED_TRACE(line.obs + 1);
            const float* d = &dat[15 * n];
            EXPECT_EQ(d[0], static_cast<float>(line.obs + 1));
            EXPECT_FLOAT_EQ(d[1], line.fo);
            EXPECT_FLOAT_EQ(d[2], line.fc);
            EXPECT_FLOAT_EQ(d[3], line.sigma);
            // sin(theta) = lambda / (2 d), 1/d = |hkl| / 10 in the cubic cell
            const double theta = std::asin(kind.lambda / 20 * std::sqrt(o.h * o.h + o.k * o.k + o.l * o.l));
            EXPECT_NEAR(d[5], theta * 57.29577951308232, 2e-5);
            const auto f = kind.fields(o.z);
            for (int c : {0, 1, 2, 3, 4}) EXPECT_FLOAT_EQ(d[c == 0 ? 4 : c + 5], f[c]) << "field " << c;
            for (int c : {10, 11, 12}) EXPECT_EQ(d[c], 0.0f);
            EXPECT_EQ(vorsel::decode_indices(d[13], d[14]), (vorsel::Miller{o.h, o.k, o.l}));
        }
    }
}

// A refinement against unmerged data lists 1 2 3 twice and its two-fold image
// -1 2 -3 once: repeats of 1 2 3 take its entries in turn, the last for the
// third; 1 -2 3 (listed neither way) goes by symmetry to the first of the set.
TEST(ImportObservations, RepeatedIndicesTakeTheRefinementsEntriesInTurn) {
    TempDir dir;
    std::string fcf = kRefinement;
    fcf.replace(fcf.find("-1 -2 -3 64 64 4\n2 0 0 400 400 8\n"), 33, "1 2 3 90 49 7\n-1 2 -3 64 64 4\n");
    const std::vector<Obs> obs = {
        {1, 2, 3, 50, 5, 1}, {1, 2, 3, 60, 5, 2}, {1, 2, 3, 70, 5, 3}, {-1, 2, -3, 80, 5, 4}, {1, -2, 3, 194, 5, 5}};
    const std::string out = (dir.path / "out.vorsel").string();
    const JoinSummary s = join_observations(dir.write("u.HKL", xds_ascii("", obs)), dir.write("r.fcf", fcf), out, {});
    EXPECT_EQ(s.exact, 4u);
    EXPECT_FALSE(s.friedel_apart);
    EXPECT_DOUBLE_EQ(s.scale, (81 + 49 + 49 + 64 + 81) / 454.0);
    std::int32_t ncurves = 15, npoint = 5, status = 99;
    std::vector<float> dat(15 * 5), sigrat(5);
    READ_VORSEL_DATA(out.c_str(), dat.data(), sigrat.data(), &ncurves, &npoint, &status);
    ASSERT_EQ(status, 0);
    const double fo[5] = {9, 7, 7, 8, std::sqrt(194 * s.scale)}, fc[5] = {10, std::sqrt(90.0), std::sqrt(90.0), 8, 10};
    for (int n = 0; n < 5; ++n) {
        EXPECT_FLOAT_EQ(dat[15 * n + 1], fo[n]) << n;
        EXPECT_FLOAT_EQ(dat[15 * n + 2], fc[n]) << n;
    }
}

TEST(ImportObservations, RefusalsNameFileAndLineAndWriteNothing) {
    TempDir dir;
    const std::string fcf = dir.write("r.fcf", kRefinement);
    const std::string good = xds_ascii("");
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const struct {
        const char* file;
        std::string text;
        const char* message;
    } rows[] = {
        {"a.fcf", kRefinement, "a.fcf: a CIF without a _diffrn_refln_ loop of observations (its loops: "
                               "_space_group_symop_operation_xyz... _refln_index_h...)"},
        {"plain.txt", "h k l I\n", "plain.txt:1: neither XDS_ASCII.HKL, INTEGRATE.HKL nor a CIF"},
        {"sparse.HKL", std::string("!FORMAT=XDS_ASCII\n") + std::string(70000, '\0'),
         "sparse.HKL:2: neither XDS_ASCII.HKL, INTEGRATE.HKL nor a CIF: a byte 0x00"},
        {"other.HKL", "!FORMAT=OTHER\n1 2 3 4 5 6\n!END_OF_DATA\n", "other.HKL:1: a header of another kind: '!FORMAT=OTHER'"},
        {"merged.HKL", replaced("MERGE=FALSE", "MERGE=TRUE"), "merged.HKL:1: a merged XDS_ASCII file"},
        {"cut.HKL", good.substr(0, good.find("!END_OF_DATA")), "cut.HKL:21: the file ends without !END_OF_DATA"},
        {"short.HKL", replaced(" 512 512 50.000000", " 512"), "short.HKL:21: record 6 holds 6 numbers where 8 are expected"},
        {"empty.HKL", good.substr(0, good.find("1 2 3")) + "!END_OF_DATA\n", "empty.HKL:16: the file holds no reflections"},
        {"nan.HKL", replaced("200.000000", "nan"), "nan.HKL:17: a value that is not a finite number"},
        {"group.HKL", xds_ascii("!SPACE_GROUP_NUMBER=4\n"), "group.HKL:2: space group number 4, but"},
        {"cell.HKL", replaced("10.1 9.9", "10.1 10.3"), "cell.HKL:2: cell length b = 10.3 A differs by more than 2%"},
        {"none.HKL", good.substr(0, good.find("1 2 3")) + "4 4 4 1 1 0 0 1\n!END_OF_DATA\n",
         "none.HKL: none of its 1 observations has indices that match a reflection"},
    };
    const std::string out = (dir.path / "out.vorsel").string();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        try {
            join_observations(dir.write(row.file, row.text), fcf, out, {});
            ADD_FAILURE() << "joined";
        } catch (const Error& e) {
            EXPECT_EQ(e.status(), Exit::input);
            EXPECT_NE(std::string(e.what()).find(row.message), std::string::npos) << e.what();
        }
        EXPECT_FALSE(fs::exists(out));
        for (const auto& entry : fs::directory_iterator(dir.path))  // no temporary file is left
            EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
    // The program: 0 joined, 3 refused.
    for (const auto& [file, status] : {std::pair{"good.HKL", 0}, std::pair{"cell.HKL", 3}}) {
        dir.write("good.HKL", good);
        const std::string command = std::string(VORSEL_IMPORT) + " --observations '" + (dir.path / file).string() +
                                    "' '" + fcf + "' '" + out + "' 2>/dev/null";
        const int s = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(s));
        EXPECT_EQ(WEXITSTATUS(s), status) << file;
    }
}

}  // namespace
