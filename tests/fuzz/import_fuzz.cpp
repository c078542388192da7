// Fuzz target of vorsel_import's CIF path: the input (after its first byte,
// which picks the options) is converted as a reflection file. Checks: an
// input Error naming the file and no output, or a data file that reads back
// with status 0 and indices on every line.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "import/convert.h"
#include "import/import_error.h"
#include "library/miller_indices.h"
#include "library/vorsel_for.h"

namespace {
void require(bool condition) {
    if (!condition) std::abort();
}
const std::string kStem = "/tmp/vorsel_import_fuzz_" + std::to_string(::getpid());
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in = kStem + ".fcf", out = kStem + ".vorsel";
    std::remove(out.c_str());
    std::FILE* f = std::fopen(in.c_str(), "wb");
    require(f != nullptr);
    const std::uint8_t choice = size > 0 ? data[0] : 0;
    if (size > 0) std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);

    vorsel::import::Options options;
    options.crlf = (choice & 1) != 0;
    options.all_status = (choice & 2) != 0;
    if (choice & 4) options.weight = vorsel::import::WeightScheme{0.037, 0.11};
    vorsel::import::Summary summary;
    try {
        summary = vorsel::import::convert_fcf(in, out, options);
    } catch (const vorsel::import::Error& e) {
        require(e.status() == vorsel::import::Exit::input);
        require(std::string(e.what()).rfind(in, 0) == 0);
        require(std::fopen(out.c_str(), "rb") == nullptr);
        return 0;
    }
    std::int32_t ncurves = vorsel::kFieldsWithIndices, status = 99;
    auto npoint = static_cast<std::int32_t>(summary.reflections);
    require(npoint > 0);
    std::vector<float> dat(static_cast<std::size_t>(ncurves) * summary.reflections),
        sigrat(summary.reflections);
    READ_VORSEL_DATA(out.c_str(), dat.data(), sigrat.data(), &ncurves, &npoint, &status);
    require(status == 0);
    for (std::size_t k = 0; k < summary.reflections; ++k)
        require(vorsel::decode_indices(dat[k * 15 + 13], dat[k * 15 + 14]).has_value());
    return 0;
}
