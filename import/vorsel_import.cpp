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
    "usage: vorsel_import [--wavelength LAMBDA] [--lf] INPUT.fcf OUTPUT.vorsel\n"
    "       vorsel_import [--wavelength LAMBDA] [--lf] --observations UNMERGED\n"
    "                     INPUT.fcf OUTPUT.vorsel\n";

void help() {
    std::fputs(kUsage, stdout);
    std::fputs(
        "\n"
        "Writes a data file for vorselplot from the reflection file of a refinement: a\n"
        "CIF whose reflection loop holds h, k, l, Fo^2, s(Fo^2) and Fc^2\n"
        "(_refln_F_squared_calc, list code 4) or Fc (_refln_F_calc, list code 6), with\n"
        "the unit cell (_cell_length_*, _cell_angle_*) in the same data block.\n"
        "\n"
        "Options:\n"
        "  --wavelength LAMBDA  wavelength in Angstrom for theta when the file gives\n"
        "                       none (_diffrn_radiation_wavelength comes first);\n"
        "                       without either, Mo K-alpha 0.71073 with a note\n"
        "  --lf                 end lines in LF alone (default: CR LF)\n"
        "  --observations UNMERGED  one line per observation of UNMERGED (below)\n"
        "  -h, --help           this text\n"
        "\n"
        "One line of 13 ten-character fields per reflection, in file order:\n"
        "  1 running number; 2 Fo = sqrt(Fo^2), 0 for Fo^2 <= 0; 3 Fc;\n"
        "  4 s(Fo) = s(Fo^2) / (2 Fo) where Fo^2 >= s(Fo^2) and Fo^2 > 0, and\n"
        "    sqrt(s(Fo^2)) for weaker reflections (the exact interval\n"
        "    sqrt(Fo^2 + s(Fo^2)) - Fo at Fo = 0);\n"
        "  6 theta in degrees, sin(theta) = lambda / (2 d) with d from the cell;\n"
        "  5 and 7 to 13 are 0: the reflection file does not hold them.\n"
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

int run(int argc, char** argv) {
    vorsel::import::Options options;
    std::vector<std::string> files;
    std::optional<std::string> observations;
    for (int a = 1; a < argc; ++a) {
        const std::string_view arg = argv[a];
        if (arg == "-h" || arg == "--help") {
            help();
            return 0;
        } else if (arg == "--lf") {
            options.crlf = false;
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
    std::vector<std::string> inputs{files.front()};
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
