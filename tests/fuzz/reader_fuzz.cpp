// Fuzz target of READ_VORSEL_DATA: the input becomes a data file on disk and
// is read with several curve counts and expected line counts, into arrays
// fenced by guard elements. Checks: the status is one of the documented
// codes, npoint never grows, the guards and the elements beyond what the
// status says was stored are untouched.
#include "library/vorsel_for.h"

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr float kGuard = -12345.5f;

std::string temp_path() {
    static const std::string path =
        "/tmp/vorsel_reader_fuzz_" + std::to_string(::getpid()) + ".vorsel";
    return path;
}

bool documented(std::int32_t status, std::int32_t npoint_in) {
    if (status == VORSEL_OK || status == VORSEL_PREMATURE_EOF || status == VORSEL_CURVES_DIFFER ||
        status == VORSEL_CANNOT_OPEN || status == VORSEL_NO_HEADER || status == VORSEL_BAD_HEADER ||
        status == VORSEL_TOO_FEW_CURVES || status == VORSEL_TWO_LINES ||
        status == VORSEL_INTERNAL_ERROR)
        return true;
    if (status > VORSEL_BAD_FIELD && status <= VORSEL_BAD_FIELD + 15) return true;
    return status <= -3 &&
           -static_cast<std::int64_t>(status) > npoint_in;  // more lines than expected
}

void check(const char* path, std::int32_t ncurves, std::int32_t npoint_in) {
    const std::size_t n = static_cast<std::size_t>(npoint_in > 0 ? npoint_in : 0);
    std::vector<float> dat(static_cast<std::size_t>(ncurves) * n + 2, 0.0f), sigrat(n + 2, 0.0f);
    dat.front() = dat.back() = sigrat.front() = sigrat.back() = kGuard;
    std::int32_t npoint = npoint_in, status = 77777;
    READ_VORSEL_DATA(path, dat.data() + 1, sigrat.data() + 1, &ncurves, &npoint, &status);
    if (!documented(status, npoint_in)) std::abort();
    if (npoint > npoint_in || npoint < 0) std::abort();
    if (npoint != npoint_in && status != VORSEL_PREMATURE_EOF && status <= VORSEL_BAD_FIELD)
        std::abort();  // only -1 and a bad field lower npoint
    if (dat.front() != kGuard || dat.back() != kGuard || sigrat.front() != kGuard ||
        sigrat.back() != kGuard)
        std::abort();
    // Nothing beyond the stored points.
    for (std::size_t i = 1 + static_cast<std::size_t>(npoint) * static_cast<std::size_t>(ncurves);
         i + 1 < dat.size(); ++i)
        if (dat[i] != 0.0f) std::abort();
    for (std::size_t k = 0;
         k < static_cast<std::size_t>(npoint) && (status == VORSEL_OK || status < 0); ++k)
        if (dat[1 + k * static_cast<std::size_t>(ncurves) + 1] < 0.0f)  // Fo is a magnitude
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = temp_path();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    const std::int32_t ncurves[] = {4, 13, 15, 3};
    const std::int32_t npoints[] = {0, 1, 2, 7};
    for (const std::int32_t nc : ncurves)
        for (const std::int32_t np : npoints) check(path.c_str(), nc, np);
    std::remove(path.c_str());
    return 0;
}
