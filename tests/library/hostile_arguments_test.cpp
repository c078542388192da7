// The three entry points with argument values the program never passes but any
// other caller may: extreme integers, negative counts, first beyond last, NaN
// and infinite reals, flags with any bits, a floating-point environment that
// traps. Every array is a heap block of exactly the length its counts give, so
// that the sanitizer build sees any read or write past it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cfenv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "library/vorsel_for.h"

#if defined(__SSE2__)
#  include <xmmintrin.h>
#endif

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr float kOld = 888.0f;
const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

std::size_t length(std::int64_t n) { return n > 0 ? static_cast<std::size_t>(n) : 0; }

// Points 1..npoint of ncurves rows, dat(c, k) = 10 k + c, every ratio 5.
struct CurveCall {
    CurveCall(std::int32_t nc, std::int32_t np, std::int32_t ix, std::int32_t iy, std::int32_t typ)
        : ncurves(nc), npoint(np), ixval(ix), iyval(iy), ityp(typ) {}
    CurveCall limits(float lim, float plus, float minus) {
        siglim = lim, clipp = plus, clipm = minus;
        return *this;
    }
    CurveCall flags(std::int16_t r, std::int16_t s, std::int16_t m) {
        reverse = r, sqrooted = s, smoothed = m;
        return *this;
    }
    CurveCall walked(std::vector<std::int32_t> w) {
        walk = std::move(w);
        return *this;
    }

    std::int32_t ncurves, npoint, ixval, iyval, ityp;
    float siglim = 3.0f, clipp = 1.0e6f, clipm = -1.0e6f;
    std::int16_t reverse = -1, sqrooted = 0, smoothed = 0;
    std::vector<std::int32_t> walk;  // empty: 1..npoint
    std::int32_t npcur = -1;

    void run() {
        const std::size_t n = length(npoint);
        std::vector<float> dat(length(std::int64_t{ncurves} * npoint));
        for (std::size_t i = 0; i < dat.size(); ++i)
            dat[i] = static_cast<float>(10 * (i / length(ncurves) + 1) + i % length(ncurves) + 1);
        std::vector<float> sigrat(n, 5.0f);
        std::vector<std::int32_t> iperm(n);
        for (std::size_t i = 0; i < n; ++i)
            iperm[i] = i < walk.size() ? walk[i] : static_cast<std::int32_t>(i + 1);
        std::vector<float> ywork(n, kOld), xwork(n, kOld), ycur(n, kOld), xcur(n, kOld),
            ysmo(n, kOld);
        FILL_KURRENT(dat.data(), sigrat.data(), iperm.data(), &ixval, &iyval, ywork.data(),
                     xwork.data(), ycur.data(), xcur.data(), ysmo.data(), &ncurves, &npoint, &npcur,
                     &siglim, &clipp, &clipm, &reverse, &sqrooted, &smoothed, &ityp);
        ASSERT_GE(npcur, 0);
        ASSERT_LE(static_cast<std::size_t>(npcur), n);
        for (const auto* v : {&ywork, &xwork, &ycur, &xcur, &ysmo}) {
            const std::size_t written = v != &ysmo || (smoothed & 1) ? length(npcur) : 0;
            for (std::size_t i = written; i < n; ++i) ASSERT_EQ((*v)[i], kOld) << "element " << i;
        }
    }
};

TEST(HostileArguments, FillKurrent) {
    struct Case {
        const char* name;
        CurveCall call;
        std::int32_t expected;
    } cases[] = {
        {"direct curve from one row", CurveCall(1, 3, 1, 1, 1), 3},
        {"direct curve from three rows", CurveCall(3, 3, 3, 2, 1), 3},
        {"computed curve ignores the lowest y row", CurveCall(4, 3, 1, kMin, 3), 3},
        {"computed curve ignores the highest y row", CurveCall(4, 3, 1, kMax, 5), 3},
        {"x row lowest", CurveCall(4, 3, kMin, 2, 1), 0},
        {"x row highest", CurveCall(4, 3, kMax, 2, 3), 0},
        {"direct y row lowest", CurveCall(4, 3, 1, kMin, 1), 0},
        {"direct y row highest", CurveCall(4, 3, 1, kMax, 1), 0},
        {"computed curve from three rows", CurveCall(3, 3, 1, 2, 4), 0},
        {"no rows", CurveCall(0, 3, 1, 1, 1), 0},
        {"negative rows", CurveCall(-4, 3, 1, 1, 1), 0},
        {"lowest row count", CurveCall(kMin, 3, 1, 1, 1), 0},
        {"no points", CurveCall(4, 0, 1, 2, 3), 0},
        {"negative points", CurveCall(4, -3, 1, 2, 3), 0},
        {"lowest point count", CurveCall(4, kMin, 1, 2, 3), 0},
        {"lowest curve code", CurveCall(4, 3, 1, 2, kMin), 0},
        {"highest curve code", CurveCall(4, 3, 1, 2, kMax), 0},
        {"walk of extreme entries", CurveCall(4, 4, 1, 2, 3).walked({kMax, kMin, 0, 4}), 1},
        {"limit minus infinity", CurveCall(4, 3, 1, 2, 3).limits(-kInf, 1, -1), 3},
        {"limit infinity", CurveCall(4, 3, 1, 2, 3).limits(kInf, 1, -1), 0},
        {"clip values not a number", CurveCall(4, 3, 1, 2, 3).limits(3, kNaN, kNaN), 3},
        {"every flag bit but the lowest", CurveCall(4, 3, 1, 2, 3).flags(-2, -2, -2), 3},
        {"only the lowest flag bit", CurveCall(4, 3, 1, 2, 3).flags(1, 1, 1), 3},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.call.run();
        EXPECT_EQ(c.call.npcur, c.expected);
    }
}

TEST(HostileArguments, KurToNkur) {
    struct Case {
        const char* name;
        std::int32_t npcur, first, last;  // the arrays hold min(npcur, 5) elements
        float valmin, skale;
        std::int32_t maxpar;
        std::int32_t lo, hi, value;  // elements lo..hi get the value
    } cases[] = {
        {"the whole integer range of indices", 5, kMin, kMax, 0.0f, 10.0f, 100, 1, 5, 10},
        {"first beyond last", 5, 4, 2, 0.0f, 10.0f, 100, 1, 0, 0},
        {"first and last highest", 5, kMax, kMax, 0.0f, 10.0f, 100, 1, 0, 0},
        {"first and last lowest", 5, kMin, kMin, 0.0f, 10.0f, 100, 1, 0, 0},
        {"first and last 0", 5, 0, 0, 0.0f, 10.0f, 100, 1, 0, 0},
        {"no points", 0, 1, 5, 0.0f, 10.0f, 100, 1, 0, 0},
        {"negative points", -1, 1, 5, 0.0f, 10.0f, 100, 1, 0, 0},
        {"lowest point count", kMin, kMin, kMax, 0.0f, 10.0f, 100, 1, 0, 0},
        {"highest point count", kMax, 2, 4, 0.0f, 10.0f, 100, 2, 4, 10},
        {"lowest largest offset", 5, 1, 5, 0.0f, 10.0f, kMin, 1, 5, kMin},
        {"highest largest offset", 5, 1, 5, 0.0f, 3.0e9f, kMax, 1, 5, kMax},
        {"origin not a number", 5, 1, 5, kNaN, 10.0f, 100, 1, 5, 0},
        {"origin infinite", 5, 1, 5, -kInf, 10.0f, 100, 1, 5, 100},
        {"scale minus infinity", 5, 1, 5, 0.0f, -kInf, 100, 1, 5, 0},
        {"scale not a number", 5, 1, 5, 0.0f, kNaN, 100, 1, 5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t n = std::min<std::size_t>(length(c.npcur), 5);
        const std::vector<float> y(n, 1.0f);
        std::vector<std::int32_t> nkur(n, 4711);
        KUR_TO_NKUR(y.data(), nkur.data(), &c.npcur, &c.first, &c.last, &c.valmin, &c.maxpar,
                    &c.skale);
        for (std::int32_t i = 1; i <= static_cast<std::int32_t>(n); ++i)
            EXPECT_EQ(nkur[static_cast<std::size_t>(i - 1)],
                      i >= c.lo && i <= c.hi ? c.value : 4711)
                << "element " << i;
    }
}

class DataFile {
public:
    explicit DataFile(const std::string& content)
        : path_(std::filesystem::temp_directory_path() /
                ("vorsel_hostile_" + std::to_string(::getpid()) + ".vorsel")) {
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~DataFile() { std::filesystem::remove(path_); }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// Three lines of four fields, Fo 2 and s(Fo) 0.7 on each.
const char kThreeLines[] =
    "     4\r\n       1.0       2.0       1.0       0.7\r\n"
    "       2.0       2.0       1.0       0.7\r\n       3.0       2.0       1.0       0.7\r\n";

TEST(HostileArguments, ReadVorselData) {
    struct Case {
        const char* name;
        std::int32_t ncurves, npoint, status, npoint_after;
    } cases[] = {
        {"lowest curve count", kMin, 3, VORSEL_TOO_FEW_CURVES, 3},
        {"no curves", 0, 3, VORSEL_TOO_FEW_CURVES, 3},
        {"highest curve count", kMax, 3, VORSEL_CURVES_DIFFER, 3},
        {"negative lines expected", 4, -1, -3, -1},
        {"lowest lines expected", 4, kMin, -3, kMin},
        {"highest lines expected", 4, kMax, VORSEL_PREMATURE_EOF, 3},
    };
    const DataFile file(kThreeLines);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Room for the lines the file holds: nothing beyond them may be written.
        const std::size_t n = std::min<std::size_t>(length(c.npoint), 3);
        std::vector<float> dat(n * 4, kOld), sigrat(n, kOld);
        std::int32_t npoint = c.npoint, status = 12345;
        READ_VORSEL_DATA(file.path().c_str(), dat.data(), sigrat.data(), &c.ncurves, &npoint,
                         &status);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(npoint, c.npoint_after);
    }
}

#if defined(__GLIBC__)
// The caller's environment: traps on division by zero, overflow and invalid
// operations, rounding upwards, and (on SSE) subnormals flushed to zero.
struct CallerEnvironment {
    CallerEnvironment() {
        std::feclearexcept(FE_ALL_EXCEPT);
        std::fesetround(FE_UPWARD);
#  if defined(__SSE2__)
        _mm_setcsr(_mm_getcsr() | 0x8040);  // flush to zero, denormals are zero
#  endif
        feenableexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
    }
    ~CallerEnvironment() { std::fesetenv(FE_DFL_ENV); }
    // The environment as the library found it, flags included; then the
    // default one back for the test's own arithmetic.
    bool unchanged() {
        std::fenv_t now;
        std::fegetenv(&now);
        const bool same = fegetexcept() == (FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID) &&
                          std::fegetround() == FE_UPWARD && std::fetestexcept(FE_ALL_EXCEPT) == 0
#  if defined(__SSE2__)
                          && (_mm_getcsr() & 0x8040) == 0x8040
#  endif
            ;
        std::fesetenv(FE_DFL_ENV);
        return same;
    }
};

TEST(HostileArguments, CallerFloatingPointEnvironment) {
    // Fo over a zero s(Fo) and 0 / 0 in the reader; "0.7" reads as the nearest
    // real whatever the caller's rounding.
    const DataFile file(
        "     4\r\n       1.0       2.0       0.7       0.0\r\n"
        "       2.0       0.0       0.0       0.0\r\n"
        "       3.0   1.0e-40       0.7       1.0\r\n");
    std::int32_t ncurves = 4, npoint = 3, status = 1;
    std::vector<float> dat(12), sigrat(3);
    {
        CallerEnvironment env;
        READ_VORSEL_DATA(file.path().c_str(), dat.data(), sigrat.data(), &ncurves, &npoint,
                         &status);
        EXPECT_TRUE(env.unchanged());
    }
    EXPECT_EQ(status, VORSEL_OK);
    EXPECT_EQ(dat[2], 0.7f);
    EXPECT_EQ(dat[9], 1.0e-40f) << "a subnormal Fo is kept";
    EXPECT_EQ(sigrat[2], 1.0e-40f);
    EXPECT_EQ(sigrat[0], kInf);

    // (Fo - Fc) / s(Fo) over the zeros, 0 / 0 included, then its roots and
    // smoothing (infinities of both signs).
    sigrat[1] = 10.0f;
    const std::vector<std::int32_t> iperm = {1, 2, 3};
    std::vector<float> ywork(3), xwork(3), ycur(3), xcur(3), ysmo(3);
    const std::int32_t ixval = 1, iyval = 1, ityp = 3;
    const float siglim = -kInf, clipp = kInf, clipm = -kInf;
    const std::int16_t flag = -1;
    std::int32_t npcur = -1;
    {
        CallerEnvironment env;
        FILL_KURRENT(dat.data(), sigrat.data(), iperm.data(), &ixval, &iyval, ywork.data(),
                     xwork.data(), ycur.data(), xcur.data(), ysmo.data(), &ncurves, &npoint, &npcur,
                     &siglim, &clipp, &clipm, &flag, &flag, &flag, &ityp);
        EXPECT_TRUE(env.unchanged());
    }
    EXPECT_EQ(npcur, 3);
    EXPECT_EQ(ycur[1], -kInf) << "0 / 0 clipped to clipm";

    // A product far beyond the range of a real.
    const std::vector<float> y = {3.0e38f, -3.0e38f};
    std::vector<std::int32_t> nkur(2);
    const std::int32_t two = 2, first = 1, maxpar = 1000;
    const float valmin = -3.0e38f, skale = 3.0e38f;
    {
        CallerEnvironment env;
        KUR_TO_NKUR(y.data(), nkur.data(), &two, &first, &two, &valmin, &maxpar, &skale);
        EXPECT_TRUE(env.unchanged());
    }
    EXPECT_EQ(nkur, (std::vector<std::int32_t>{1000, 0}));
}
#endif

}  // namespace
