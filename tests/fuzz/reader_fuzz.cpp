// Fuzz target of READ_VORSEL_DATA: the input becomes a data file on disk. It
// is read with the curve count its header gives (held within 4..15, or 13
// when there is none) and with 0, 1, 2 and about as many lines as its length
// holds, into arrays fenced by guards. Checks: the status is one of the
// documented codes; npoint never grows and changes only with -1 or a bad
// field; nothing beyond the stored points is written; Fo is a magnitude and
// sigrat its ratio to s(Fo). The same file with every line end made a lone LF
// must read the same.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/vorsel_for.h"
#include "tests/fuzz/hostile.h"

namespace {

using vorsel::fuzz::Fenced;
using vorsel::fuzz::same;

constexpr float kUnset = -12345.5f;

void require(bool condition) {
    if (!condition) std::abort();
}

std::string write(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = "/tmp/vorsel_reader_fuzz_" + std::to_string(::getpid()) + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}

bool documented(std::int32_t status, std::int32_t npoint_in) {
    switch (status) {
        case VORSEL_OK:
        case VORSEL_PREMATURE_EOF:
        case VORSEL_CURVES_DIFFER:
        case VORSEL_CANNOT_OPEN:
        case VORSEL_NO_HEADER:
        case VORSEL_BAD_HEADER:
        case VORSEL_TOO_FEW_CURVES:
        case VORSEL_TWO_LINES:
        case VORSEL_INTERNAL_ERROR: return true;
        default:
            return (status > VORSEL_BAD_FIELD && status <= VORSEL_BAD_FIELD + 15) ||
                   (status <= -3 && -std::int64_t{status} > npoint_in);  // more lines than expected
    }
}

struct Read {
    std::int32_t status = 77777, npoint;
    std::vector<float> dat, sigrat;
};

Read read(const std::string& path, std::int32_t ncurves, std::int32_t npoint_in) {
    const auto n = static_cast<std::size_t>(npoint_in);
    const auto stride = static_cast<std::size_t>(ncurves);
    Fenced<float> dat(stride * n, kUnset), sigrat(n, kUnset);
    Read r{.npoint = npoint_in};
    READ_VORSEL_DATA(path.c_str(), dat.data(), sigrat.data(), &ncurves, &r.npoint, &r.status);
    require(documented(r.status, npoint_in));
    require(r.npoint >= 0 && r.npoint <= npoint_in);
    require(r.npoint == npoint_in || r.status == VORSEL_PREMATURE_EOF ||
            r.status > VORSEL_BAD_FIELD);
    require(dat.guards_intact() && sigrat.guards_intact());
    const auto stored = static_cast<std::size_t>(r.npoint);
    const bool read_lines = r.status == VORSEL_OK || r.status == VORSEL_PREMATURE_EOF ||
                            r.status <= -3 || r.status == VORSEL_TWO_LINES ||
                            r.status > VORSEL_BAD_FIELD;
    for (std::size_t i = read_lines ? stored * stride : 0; i < dat.size(); ++i)
        require(dat[i] == kUnset);
    for (std::size_t k = read_lines ? stored : 0; k < n; ++k) require(sigrat[k] == kUnset);
    for (std::size_t k = 0; read_lines && k < stored; ++k) {
        const float fo = dat[k * stride + 1], ratio = std::fabs(fo / dat[k * stride + 3]);
        require(!(fo < 0.0f) && same(&sigrat[k], &ratio, 1));
    }
    r.dat = dat.copy();
    r.sigrat = sigrat.copy();
    return r;
}

// The curve count of columns 1 to 6, as far as they hold one.
std::int32_t header_count(const std::uint8_t* data, std::size_t size) {
    std::int32_t count = 0;
    bool digits = false;
    for (std::size_t i = 0; i < size && i < 6 && data[i] != '\r' && data[i] != '\n'; ++i) {
        if (data[i] >= '0' && data[i] <= '9') {
            count = count * 10 + (data[i] - '0');
            digits = true;
        } else if (data[i] != ' ') {
            return 13;
        }
    }
    return !digits ? 13 : count < 4 ? 4 : count > 15 ? 15 : count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::int32_t ncurves = header_count(data, size);
    const std::string path = write(".vorsel", data, size);
    const auto lines = static_cast<std::int32_t>(size / (std::size_t(ncurves) * 10 + 2) + 1);
    for (const std::int32_t npoint : {0, 1, 2}) read(path, ncurves, npoint);

    // Every CR LF and every lone CR made a lone LF.
    std::vector<std::uint8_t> lf;
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] != '\n' || i == 0 || data[i - 1] != '\r')
            lf.push_back(data[i] == '\r' ? '\n' : data[i]);
    const std::string lf_path = write("_lf.vorsel", lf.data(), lf.size());
    const Read a = read(path, ncurves, lines), b = read(lf_path, ncurves, lines);
    require(a.status == b.status && a.npoint == b.npoint);
    require(same(a.dat.data(), b.dat.data(), a.dat.size()) &&
            same(a.sigrat.data(), b.sigrat.data(), a.sigrat.size()));
    std::remove(path.c_str());
    std::remove(lf_path.c_str());
    return 0;
}
