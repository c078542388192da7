#include "import/convert.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "import/data_file_writer.h"
#include "import/fcf_file.h"
#include "import/field_text.h"
#include "import/import_error.h"

namespace vorsel::import {
namespace {

constexpr double kDegreesPerRadian = 57.295779513082320876798;

std::string number_text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string hkl_text(const std::array<int, 3>& hkl) {
    return std::to_string(hkl[0]) + " " + std::to_string(hkl[1]) + " " + std::to_string(hkl[2]);
}

// The file's wavelength is the one the refinement used; --wavelength serves
// files that do not say, and Mo K-alpha, the most common, those that are run
// without it.
double choose_wavelength(const FcfFile& fcf, const std::string& input, const Options& options,
                         std::vector<std::string>& notes) {
    if (const auto own = fcf.wavelength()) {
        if (options.wavelength && *options.wavelength != *own)
            notes.push_back(input + ": theta for the file's wavelength, " + number_text(*own) +
                            " A (_diffrn_radiation_wavelength); --wavelength " +
                            number_text(*options.wavelength) + " not used");
        return *own;
    }
    if (options.wavelength) return *options.wavelength;
    notes.push_back(input +
                    ": no wavelength in the file (_diffrn_radiation_wavelength) nor on the "
                    "command line (--wavelength): theta for Mo K-alpha, 0.71073 A");
    return kMoKalpha;
}

}  // namespace

double fo_from_squared(double fo_squared) { return fo_squared > 0 ? std::sqrt(fo_squared) : 0.0; }

double sigma_fo(double fo_squared, double sigma_fo_squared) {
    if (sigma_fo_squared == 0) return 0;
    return sigma_fo_squared /
           (2 * std::max(fo_from_squared(fo_squared), std::sqrt(sigma_fo_squared) / 2));
}

bool used_in_refinement(char status) {
    return status != 'x' && status != 'h' && status != 'l' && status != '-';
}

namespace {

// The file read, its wavelength chosen, then `make_writer` gives the writer
// the data lines go to.
template <class MakeWriter>
Summary convert(const std::string& input, const Options& options, MakeWriter make_writer) {
    const FcfFile fcf(input);
    Summary summary;
    summary.wavelength = choose_wavelength(fcf, input, options, summary.notes);
    const double half_lambda = summary.wavelength / 2;
    const bool squared = fcf.layout() == Layout::fc_squared;

    DataFileWriter out = make_writer();
    std::array<double, kFieldsPerLine - 1> fields{};  // fields 2 to 13
    for (std::size_t i = 0; i < fcf.size(); ++i) {
        const Reflection r = fcf.reflection(i);
        if (!options.all_status && !used_in_refinement(r.status)) {
            ++summary.left_out;
            continue;
        }
        const Miller hkl{r.hkl[0], r.hkl[1], r.hkl[2]};
        if (!indices_fit(hkl))
            fcf.fail_at(i, "h k l = " + hkl_text(r.hkl) + " is out of range: a data file holds "
                       "indices from -" + std::to_string(kMaxIndex) + " to " +
                       std::to_string(kMaxIndex));
        if (r.sigma_fo_squared < 0)
            fcf.fail_at(i, "negative s(Fo^2) " + number_text(r.sigma_fo_squared));
        if (r.fc_value < 0)
            fcf.fail_at(i, std::string("negative ") + (squared ? "Fc^2 " : "Fc ") +
                               number_text(r.fc_value));
        // sin(theta) = lambda / (2 d), 1/d^2 from the cell's reciprocal metric.
        const double sin_theta = half_lambda * std::sqrt(fcf.inverse_d_squared(r.hkl));
        if (!(sin_theta <= 1))
            fcf.fail_at(i, "h k l = " + hkl_text(r.hkl) + " cannot be reached at " +
                               number_text(summary.wavelength) + " A (sin(theta) = " +
                               number_text(sin_theta) + "): the cell or the wavelength is wrong");
        fields[0] = fo_from_squared(r.fo_squared);
        fields[1] = squared ? std::sqrt(r.fc_value) : r.fc_value;
        fields[2] = sigma_fo(r.fo_squared, r.sigma_fo_squared);
        fields[4] = std::asin(sin_theta) * kDegreesPerRadian;
        if (options.weight)
            fields[11] = weight(*options.weight, r.fo_squared, r.sigma_fo_squared,
                                squared ? r.fc_value : r.fc_value * r.fc_value);
        for (const double value : {fields[0], fields[1], fields[2], fields[11]})
            if (!fits_real_field(value))
                fcf.fail_at(i, "a value beyond the range of the data file's 4-byte reals (" +
                                   number_text(value) + ")");
        // The number the reflection has in the reflection file, gaps and all,
        // so that the plot and the importer's messages name it alike.
        out.add(static_cast<std::int64_t>(i) + 1, fields, hkl);
        ++summary.reflections;
    }
    if (summary.reflections == 0)
        throw Error(Exit::input, input + ": all " + std::to_string(fcf.size()) +
                                     " reflections were left out of the refinement "
                                     "(_refln_observed_status); --all-status keeps them");
    out.commit();
    if (summary.left_out > 0)
        summary.notes.push_back(input + ": " + std::to_string(summary.left_out) +
                                " reflections the refinement did not use left out "
                                "(_refln_observed_status x, h, l or -); --all-status keeps them");
    return summary;
}

}  // namespace

Summary convert_fcf(const std::string& input, const std::string& output, const Options& options) {
    return convert(input, options, [&] { return DataFileWriter(output, options.crlf, true); });
}

Summary convert_fcf_to_text(const std::string& input, std::string& data,
                            const Options& options) {
    return convert(input, options,
                   [&] { return DataFileWriter(input, data, options.crlf, true); });
}

}  // namespace vorsel::import
