// vorsel_import: turns the reflection file of a refinement (*.fcf) into a
// data file (*.vorsel) that vorselplot reads.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/convert.h"
#include "import/import_error.h"
#include "import/join.h"
#include "platform/output_file.h"

namespace {

using vorsel::import::Error;
using vorsel::import::Exit;

constexpr const char* kUsage =
    "usage: vorsel_import [--wavelength LAMBDA] [--lf] [--all-status]\n"
    "                     [--weight A,B | --weight-from FILE] INPUT.fcf OUTPUT.vorsel\n"
    "       vorsel_import [--wavelength LAMBDA] [--lf] --observations UNMERGED\n"
    "                     INPUT.fcf OUTPUT.vorsel\n";

void help() {
    std::fputs(kUsage, stdout);
    std::fputs(
        "\n"
        "Writes a data file for vorselplot from the reflection file of a refinement: a\n"
        "CIF whose reflection loop holds h, k, l, Fo^2, s(Fo^2) and Fc^2\n"
        "(_refln_F_squared_calc, list code 4) or Fc (_refln_F_calc, list code 6), with\n"
        "the unit cell (_cell_length_*, _cell_angle_*) in the same data block. Every\n"
        "tag may be spelled either way: _refln_index_h or _refln.index_h.\n"
        "\n"
        "Options:\n"
        "  --wavelength LAMBDA  wavelength in Angstrom for theta when the file gives\n"
        "                       none (_diffrn_radiation_wavelength comes first);\n"
        "                       without either, Mo K-alpha 0.71073 with a note\n"
        "  --lf                 end lines in LF alone (default: CR LF)\n"
        "  --observations UNMERGED  one line per observation of UNMERGED (below)\n"
        "  --all-status         keep the reflections the refinement did not use; by\n"
        "                       default those with _refln_observed_status x (left\n"
        "                       out), h or l (beyond the resolution limits) or -\n"
        "                       (absent) are left out, their count on stderr\n"
        "  --weight A,B         field 13 gets the refinement's weight\n"
        "                       w = 1/[s^2(Fo^2) + (A P)^2 + B P],\n"
        "                       P = (max(Fo^2, 0) + 2 Fc^2) / 3\n"
        "  --weight-from FILE   A and B from the first WGHT line of a .res or .ins\n"
        "                       file, or from _refine_ls_weighting_details of a .cif\n"
        "                       or .fcf file\n"
        "  -h, --help           this text\n"
        "\n"
        "A header \"    15 hkl\", then one line of 15 ten-character fields per\n"
        "reflection, in file order:\n"
        "  1 the reflection's number in the input; 2 Fo = sqrt(Fo^2), 0 for\n"
        "    Fo^2 <= 0; 3 Fc;\n"
        "  4 s(Fo) = s(Fo^2) / (2 max(Fo, sqrt(s(Fo^2)) / 2)): s(Fo^2) / (2 Fo)\n"
        "    wherever Fo^2 >= s(Fo^2) / 4, and below that sqrt(s(Fo^2)) (the exact\n"
        "    interval sqrt(Fo^2 + s(Fo^2)) - Fo at Fo = 0), without a jump;\n"
        "  6 theta in degrees, sin(theta) = lambda / (2 d) with d from the cell;\n"
        "  13 the weight with --weight or --weight-from, else 0;\n"
        "  14 h and 15 10000 k + l (indices within -999 to 999);\n"
        "  5 and 7 to 12 are 0: the reflection file does not hold them.\n"
        "Each value is written as the shortest text that the reader takes for the\n"
        "4-byte real nearest to it; where no 10-character text does (below about\n"
        "10^-3 or above 10^9 with many digits), as the nearest text that fits, in\n"
        "fixed-point or exponent form (1.23457E-4).\n"
        "\n"
        "OUTPUT appears only when the whole conversion succeeded.\n"
        "\n"
        "Exit status: 0 converted; 2 wrong command line; 3 the input cannot be read\n"
        "or converted; 4 the output cannot be written; 1 internal failure (out of\n"
        "memory).\n\n",
        stdout);
    std::fputs(vorsel::import::kObservationsHelp, stdout);
}

[[noreturn]] void usage_error(const std::string& what) {
    throw Error(Exit::usage, what + "\n" + kUsage + "(vorsel_import --help tells more)");
}

double parse_wavelength(std::string_view text) {
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc{} || r.ptr != text.data() + text.size() ||
        !(value > 0 && std::isfinite(value)))
        usage_error("--wavelength takes a wavelength in Angstrom, not '" + std::string(text) + "'");
    return value;
}

// Refuses, before anything is read, an output that would replace one of the
// inputs (by any spelling or through a link) or that is no regular file.
void check_output(const std::string& output, const std::vector<std::string>& inputs) {
    if (const std::string same = vorsel::platform::input_named_by(output, inputs); !same.empty())
        throw Error(Exit::usage, output + ": is the input file " + same +
                                     "; the output must be another file");
    if (const std::string why = vorsel::platform::output_problem(output); !why.empty())
        throw Error(Exit::output, output + ": cannot write: " + why);
}

vorsel::import::WeightScheme parse_weight(std::string_view text) {
    const auto comma = text.find(',');
    double ab[2] = {0, 0};
    bool good = comma != std::string_view::npos;
    for (int i = 0; good && i < 2; ++i) {
        const std::string_view part = i == 0 ? text.substr(0, comma) : text.substr(comma + 1);
        const auto r = std::from_chars(part.data(), part.data() + part.size(), ab[i]);
        good = r.ec == std::errc{} && r.ptr == part.data() + part.size() && std::isfinite(ab[i]) &&
               ab[i] >= 0;
    }
    if (!good)
        usage_error("--weight takes A,B, two numbers of at least 0 (as 0.037,0.11), not '" +
                    std::string(text) + "'");
    return {ab[0], ab[1]};
}

int run(int argc, char** argv) {
    vorsel::import::Options options;
    std::vector<std::string> files;
    std::optional<std::string> observations;
    std::vector<std::string> inputs;
    for (int a = 1; a < argc; ++a) {
        const std::string_view arg = argv[a];
        if (arg == "-h" || arg == "--help") {
            help();
            return 0;
        } else if (arg == "--lf") {
            options.crlf = false;
        } else if (arg == "--all-status") {
            options.all_status = true;
        } else if (arg == "--weight" || arg == "--weight-from") {
            if (++a == argc) usage_error(std::string(arg) + " needs a value");
            if (options.weight) usage_error("one weighting scheme: --weight or --weight-from, once");
            options.weight = arg == "--weight" ? parse_weight(argv[a])
                                               : vorsel::import::read_weight_scheme(argv[a]);
            if (arg == "--weight-from") inputs.emplace_back(argv[a]);
        } else if (arg == "--wavelength") {
            if (++a == argc) usage_error("--wavelength needs a value");
            options.wavelength = parse_wavelength(argv[a]);
        } else if (arg.starts_with("--wavelength=")) {
            options.wavelength = parse_wavelength(arg.substr(arg.find('=') + 1));
        } else if (arg == "--observations") {
            if (++a == argc) usage_error("--observations needs the unmerged file");
            observations = argv[a];
        } else if (arg.size() > 1 && arg[0] == '-') {
            usage_error("unknown option " + std::string(arg));
        } else {
            files.emplace_back(arg);
        }
    }
    if (files.size() != 2) usage_error("an input and an output file are needed");
    inputs.push_back(files.front());
    if (observations) inputs.push_back(*observations);
    check_output(files.back(), inputs);
    const auto summary =
        observations ? vorsel::import::join_observations(*observations, files[0], files[1], options).summary
                     : vorsel::import::convert_fcf(files[0], files[1], options);
    for (const std::string& note : summary.notes)
        std::fprintf(stderr, "vorsel_import: %s\n", note.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A stop by Ctrl-C, kill or a closed terminal leaves no temporary behind.
    vorsel::platform::remove_temporaries_on_signals();
    try {
        return run(argc, argv);
    } catch (const Error& e) {
        std::fprintf(stderr, "vorsel_import: %s\n", e.what());
        return static_cast<int>(e.status());
    } catch (const std::bad_alloc&) {
        std::fputs("vorsel_import: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorsel_import: %s\n", e.what());
    }
    return static_cast<int>(Exit::internal);
}
