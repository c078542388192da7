// vorsel_generate: writes a synthetic data file of any number of reflections,
// in the layout the analysis step writes (a header line "    13", then 13
// fields of 10 characters per reflection), with systematic errors built in so
// that the plot has something to reveal. The same seed gives the same file.
//
// The model: a crystal of small molecules measured with Mo K-alpha. Reflections
// fill reciprocal space evenly up to theta_max (so most of them lie at high
// theta), calculated amplitudes follow Wilson statistics with a temperature
// factor, intensities are counted over an exposure time chosen by strength, and
// the observed amplitudes carry counting noise plus the errors below.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Options {
    long long reflections = 2000;
    std::uint64_t seed = 1;
    bool lf_only = false;
    bool errors = true;
    double theta_max = 27.5;
    std::string output;  // empty: standard output
};

void usage(std::FILE* to) {
    std::fputs(
        "Usage: vorsel_generate [options]\n"
        "Writes a synthetic data file (*.vorsel): a header line with the field count\n"
        "13, then one line of 13 ten-character fields per reflection: running number,\n"
        "Fo, Fc, s(Fo), XRtime, theta, phi, omega, kappa, BckgrRat, abscor, drift,\n"
        "weight. The same options and seed give the same file, byte for byte.\n"
        "\n"
        "Options:\n"
        "  -n, --reflections N   number of reflections (default 2000; 0 gives a header only)\n"
        "  -s, --seed S          seed of the random numbers (default 1)\n"
        "  -o, --output FILE     write to FILE instead of standard output\n"
        "      --lf              end lines in LF alone (default: CR LF)\n"
        "      --theta-max T     largest theta in degrees, 5 to 80 (default 27.5)\n"
        "      --no-errors       leave out the systematic errors below\n"
        "  -h, --help            this text\n"
        "\n"
        "Systematic errors built into Fo (each visible as a trend of one curve):\n"
        "  exposure time  Fo/Fc falls by 1% per 10 s of XRtime beyond 10 s (decay\n"
        "                 of the crystal during the long exposures of weak data);\n"
        "  absorption     the absorption correction is short by up to 6%, growing\n"
        "                 with sin^2(theta): Fo/Fc and dF/s(Fo) fall towards high theta;\n"
        "  phi shadow     between phi = 120 and 150 degrees a goniometer shadow lowers\n"
        "                 Fo by 8%: dF/s(Fo) vs. phi dips there;\n"
        "  drift          a third of the intensity drift is left uncorrected: Fo/Fc\n"
        "                 follows the drift column;\n"
        "  weights        s(Fo) lacks a 2.5% error proportional to Fo, so dF/s(Fo)\n"
        "                 spreads out for strong reflections (vs. Fo or weight).\n",
        to);
}

bool parse_number(const char* text, double& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0' && std::isfinite(value);
}

// Returns 0 to go on, else the exit status.
int parse_options(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        auto value = [&](const char*& v) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "vorsel_generate: %s needs a value\n", argv[i]);
                return false;
            }
            v = argv[++i];
            return true;
        };
        const char* v = nullptr;
        double d = 0;
        if (a == "-h" || a == "--help") {
            usage(stdout);
            return -1;
        } else if (a == "--lf") {
            o.lf_only = true;
        } else if (a == "--no-errors") {
            o.errors = false;
        } else if (a == "-n" || a == "--reflections") {
            if (!value(v) || !parse_number(v, d) || d < 0 || d > 1e9 || d != std::floor(d)) {
                std::fprintf(stderr,
                             "vorsel_generate: the number of reflections must be a whole number "
                             "from 0 to 10^9\n");
                return 2;
            }
            o.reflections = static_cast<long long>(d);
        } else if (a == "-s" || a == "--seed") {
            if (!value(v) || !parse_number(v, d) || d < 0 || d > 1e15 || d != std::floor(d)) {
                std::fprintf(stderr,
                             "vorsel_generate: the seed must be a whole number from 0 to 10^15\n");
                return 2;
            }
            o.seed = static_cast<std::uint64_t>(d);
        } else if (a == "-o" || a == "--output") {
            if (!value(v)) return 2;
            o.output = v;
        } else if (a == "--theta-max") {
            if (!value(v) || !parse_number(v, d) || d < 5 || d > 80) {
                std::fprintf(stderr,
                             "vorsel_generate: --theta-max must lie between 5 and 80 degrees\n");
                return 2;
            }
            o.theta_max = d;
        } else {
            std::fprintf(stderr, "vorsel_generate: unknown option %s (see --help)\n", argv[i]);
            return 2;
        }
    }
    return 0;
}

// value in exactly 10 characters, with as many decimals (at most `decimals`)
// as fit.
void field(std::string& line, double value, int decimals) {
    char text[64];
    for (int d = decimals; d >= 0; --d) {
        const int n = std::snprintf(text, sizeof text, "%10.*f", d, value);
        if (n == 10) {
            line.append(text, 10);
            return;
        }
    }
    std::snprintf(text, sizeof text, "%10.3E", value);
    line.append(text, 10);
}

class Crystal {
public:
    Crystal(const Options& o) : o_(o), rng_(o.seed) {}

    void reflection(long long k, std::string& line) {
        const double n = static_cast<double>(o_.reflections);
        // Even filling of reciprocal space: sin(theta) ~ u^(1/3).
        const double smax = std::sin(o_.theta_max * kPi / 180.0);
        const double sin_theta = std::max(smax * std::cbrt(uniform()), 0.035);
        const double theta = std::asin(sin_theta) * 180.0 / kPi;
        const double s2 = sin_theta * sin_theta / (0.71073 * 0.71073);  // (sin(theta)/lambda)^2

        // Wilson statistics: |F|^2 exponential about Sigma exp(-2 B s^2).
        const double mean_i = 800.0 * std::exp(-2.0 * 3.2 * s2);
        const double icalc = -mean_i * std::log(1.0 - 0.999999 * uniform());
        const double fc = std::sqrt(icalc);

        // Weak reflections get longer exposures.
        const double xrtime = icalc > 100   ? 5.0
                              : icalc > 20  ? 10.0
                              : icalc > 5   ? 20.0
                              : icalc > 1.5 ? 30.0
                                            : 40.0;

        const double phi = 360.0 * uniform();
        const double omega = theta + normal(8.0, 10.0);
        const double kappa = std::clamp(normal(5.0, 30.0), -70.0, 70.0);
        const double abscor = 1.05 + 0.22 * sin_theta / smax * 0.6 + 0.08 * uniform() +
                              0.04 * std::sin(phi * kPi / 180.0) * std::sin(phi * kPi / 180.0);
        const double drift =
            1.0 - 0.055 * static_cast<double>(k) / std::max(n, 1.0) + normal(0.0, 0.004);

        double factor = 1.0;
        if (o_.errors) {
            factor *= 1.0 - 0.001 * (xrtime - 10.0);  // decay during long exposures
            factor *=
                1.0 - 0.06 * (sin_theta * sin_theta) / (smax * smax);  // absorption under-corrected
            if (phi >= 120.0 && phi <= 150.0) factor *= 0.92;          // goniometer shadow
            factor *= 1.0 + (drift - 1.0) / 3.0;                       // drift partly uncorrected
        }

        // Counting statistics of the measured intensity (in units of Fc^2).
        const double gain = 2.0 * xrtime;
        const double background = 3.0 + 40.0 * s2;
        const double counts = icalc * factor * factor * gain;
        const double bgcounts = background * gain;
        const double sig_i = std::sqrt(counts + 2.0 * bgcounts + 1.0) / gain + 0.01 * icalc;
        double iobs = icalc * factor * factor + normal(0.0, sig_i);
        if (o_.errors) iobs *= 1.0 + normal(0.0, 0.05);  // 2.5% in Fo, missing from s(Fo)
        const double fo = std::sqrt(std::max(iobs, 0.0));
        const double sfo =
            fo > 0.0 ? std::min(sig_i / (2.0 * fo), std::sqrt(sig_i)) : std::sqrt(sig_i);
        const double bckgr = bgcounts / (bgcounts + std::max(counts, 0.0) + 1.0);

        const double p = (std::max(iobs, 0.0) + 2.0 * icalc) / 3.0;
        const double weight = 1.0 / (sig_i * sig_i + std::pow(0.04 * p, 2) + 0.3 * p + 1e-9);

        field(line, static_cast<double>(k), 1);
        field(line, fo, 3);
        field(line, fc, 3);
        field(line, std::max(sfo, 0.0001), 4);
        field(line, xrtime, 2);
        field(line, theta, 4);
        field(line, phi, 3);
        field(line, omega, 3);
        field(line, kappa, 3);
        field(line, bckgr, 5);
        field(line, abscor, 5);
        field(line, drift, 5);
        field(line, weight, 7);
        line += o_.lf_only ? "\n" : "\r\n";
    }

private:
    double uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_); }
    double normal(double mean, double sd) {
        return std::normal_distribution<double>(mean, sd)(rng_);
    }

    const Options& o_;
    std::mt19937_64 rng_;
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (const int status = parse_options(argc, argv, o); status != 0)
        return status < 0 ? 0 : status;

    std::FILE* out = stdout;
    if (!o.output.empty()) {
        out = std::fopen(o.output.c_str(), "wb");
        if (out == nullptr) {
            std::fprintf(stderr, "vorsel_generate: cannot write %s: %s\n", o.output.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    std::string text = o.lf_only ? "    13\n" : "    13\r\n";
    Crystal crystal(o);
    bool ok = true;
    for (long long k = 1; k <= o.reflections && ok; ++k) {
        crystal.reflection(k, text);
        if (text.size() > (1u << 20)) {
            ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
            text.clear();
        }
    }
    ok = ok && std::fwrite(text.data(), 1, text.size(), out) == text.size();
    ok = (out == stdout ? std::fflush(out) == 0 : std::fclose(out) == 0) && ok;
    if (!ok) {
        std::fprintf(stderr, "vorsel_generate: writing %s failed\n",
                     o.output.empty() ? "standard output" : o.output.c_str());
        return 1;
    }
    return 0;
}
