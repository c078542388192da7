// The refinement's weighting scheme on F^2, w = 1/[s^2(Fo^2) + (A P)^2 + B P]
// with P = (max(Fo^2, 0) + 2 Fc^2) / 3: the weight each reflection had in the
// least squares, for the data file's weight field (13).
#ifndef VORSEL_IMPORT_WEIGHTING_H
#define VORSEL_IMPORT_WEIGHTING_H

#include <optional>
#include <string>
#include <string_view>

namespace vorsel::import {

struct WeightScheme {
    double a = 0;
    double b = 0;
};

double weight(const WeightScheme& scheme, double fo_squared, double sigma_fo_squared,
              double fc_squared);

// A and B from the text of _refine_ls_weighting_details, as in
// "w=1/[\s^2^(Fo^2^)+(0.0370P)^2^+0.1100P] where P=(Fo^2^+2Fc^2^)/3"; nothing
// when the text is not of that form.
std::optional<WeightScheme> scheme_from_details(std::string_view text);

// A and B from an instruction line "WGHT a [b [c d e f]]" (a defaults to 0.1,
// b to 0); nothing when the line is no WGHT line. Throws Error (input) when
// c, d, e or f ask for more than A and B can say.
std::optional<WeightScheme> scheme_from_wght_line(std::string_view line);

// The scheme of a refinement's files: a CIF (.cif, .fcf) by its
// _refine_ls_weighting_details, an instruction file (.res, .ins, any other
// name) by its first WGHT line. Throws Error (input), naming the file and,
// where it applies, the line.
WeightScheme read_weight_scheme(const std::string& path);

}  // namespace vorsel::import

#endif
