// The synthetic data generator: its files are what the examples, the
// benchmarks and a crystallographer's first look rely on, so they must be
// reproducible, readable by the library and physically plausible.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "library/vorsel_for.h"

namespace {

namespace fs = std::filesystem;

fs::path generate(const std::string& name, const std::string& options) {
    const fs::path out = fs::path(::testing::TempDir()) / name;
    const std::string cmd =
        std::string(VORSEL_GENERATE) + " " + options + " -o '" + out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return out;
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Read {
    std::int32_t status = 99, npoint = 0;
    std::vector<float> dat, sigrat;
};

// Reads a file the way the plot window does: 13 curves, the point count
// estimated from the length with the file's own line end.
Read read(const fs::path& p, int line_end) {
    Read r;
    const auto length = static_cast<std::int64_t>(fs::file_size(p));
    r.npoint = static_cast<std::int32_t>(length / (13 * 10 + line_end));
    r.dat.assign(static_cast<std::size_t>(13 * r.npoint), -1.0f);
    r.sigrat.assign(static_cast<std::size_t>(r.npoint), -1.0f);
    const std::int32_t ncurves = 13;
    READ_VORSEL_DATA(p.c_str(), r.dat.data(), r.sigrat.data(), &ncurves, &r.npoint, &r.status);
    return r;
}

TEST(Generator, SameSeedSameBytesOtherSeedOtherData) {
    const std::string a = slurp(generate("a.vorsel", "-n 300 --seed 7"));
    const std::string b = slurp(generate("b.vorsel", "-n 300 --seed 7"));
    const std::string c = slurp(generate("c.vorsel", "-n 300 --seed 8"));
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(a.size(), c.size());  // fixed-width lines: only the values differ
    EXPECT_EQ(a.substr(0, 8), "    13\r\n");
}

TEST(Generator, LineEndsOfBothKindsReadAlike) {
    const Read crlf = read(generate("crlf.vorsel", "-n 500 --seed 3"), 2);
    const Read lf = read(generate("lf.vorsel", "-n 500 --seed 3 --lf"), 1);
    EXPECT_EQ(crlf.status, 0);
    EXPECT_EQ(lf.status, 0);
    EXPECT_EQ(crlf.npoint, 500);
    EXPECT_EQ(lf.npoint, 500);
    EXPECT_EQ(crlf.dat, lf.dat);
}

TEST(Generator, FieldsLieInTheirPhysicalRanges) {
    const Read r = read(generate("ranges.vorsel", "-n 2000 --seed 11 --theta-max 30"), 2);
    ASSERT_EQ(r.status, 0);
    struct Range {
        int row;
        const char* name;
        float lo, hi;
    };
    const Range ranges[] = {
        {2, "Fo", 0.0f, 1.0e5f},       {3, "Fc", 0.0f, 1.0e5f},       {4, "s(Fo)", 1.0e-6f, 1.0e4f},
        {5, "XRtime", 0.0f, 1.0e3f},   {6, "theta", 0.0f, 30.0f},     {7, "phi", 0.0f, 360.0f},
        {8, "omega", -180.0f, 360.0f}, {9, "kappa", -180.0f, 180.0f}, {11, "abscor", 0.5f, 2.0f},
        {12, "drift", 0.5f, 1.5f},     {13, "weight", 0.0f, 1.0e3f},
    };
    for (const auto& range : ranges) {
        SCOPED_TRACE(range.name);
        for (std::int32_t k = 0; k < r.npoint; ++k) {
            const float v = r.dat[static_cast<std::size_t>(13 * k + range.row - 1)];
            ASSERT_GE(v, range.lo) << "reflection " << k + 1;
            ASSERT_LE(v, range.hi) << "reflection " << k + 1;
        }
    }
    // Field 1 is the running number of the reflection.
    for (std::int32_t k = 0; k < r.npoint; ++k)
        ASSERT_EQ(r.dat[static_cast<std::size_t>(13 * k)], static_cast<float>(k + 1));
}

}  // namespace
