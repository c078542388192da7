// vorsel_generate_observations: a synthetic unmerged data set and the
// refinement of it, to try vorsel_import --observations and to time it.
//
//   vorsel_generate_observations [--reflections N] [--redundancy R] [--decay D]
//                                [--seed S] UNMERGED.HKL REFINEMENT.fcf
//
// The crystal: monoclinic P 1 21/c 1 (number 14), its cell scaled so that the
// N unique reflections nearest the origin lie within theta = 30 degrees at Mo
// K-alpha (N = 4000 keeps the usual small-molecule cell). Fc^2 follows Wilson
// statistics with a temperature factor. Each unique reflection is observed R
// times on average (at least once), each time as a random one of its four
// equivalents, on a frame drawn evenly from 720 frames of 0.5 degrees; the
// crystal loses the fraction D of its scattering power from the first frame to
// the last, linearly, and the intensities carry counting noise. UNMERGED is an
// XDS_ASCII.HKL (MERGE=FALSE) sorted by frame; REFINEMENT lists each unique
// reflection once with the mean of its observations put on the scale of Fc^2.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLambda = 0.71073;
constexpr int kFrames = 720;
constexpr double kOscillation = 0.5;
constexpr double kToCounts = 20;  // the unmerged file's intensities per unit of Fc^2

struct Unique {
    int h, k, l;
    double s2, fc2;
    double sum = 0, sum_var = 0;
    int n = 0;
};
struct Obs {
    int h, k, l;
    double i, sigma, zd;
};

int fail(const char* what) {
    std::fprintf(stderr, "vorsel_generate_observations: %s\n", what);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    long n = 4000;
    double redundancy = 4, decay = 0.25;
    unsigned long seed = 1;
    std::vector<std::string> files;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (a + 1 < argc && arg == "--reflections") n = std::atol(argv[++a]);
        else if (a + 1 < argc && arg == "--redundancy") redundancy = std::atof(argv[++a]);
        else if (a + 1 < argc && arg == "--decay") decay = std::atof(argv[++a]);
        else if (a + 1 < argc && arg == "--seed") seed = std::strtoul(argv[++a], nullptr, 10);
        else files.push_back(arg);
    }
    if (files.size() != 2 || n < 1 || !(redundancy >= 1) || !(decay >= 0 && decay < 1))
        return fail("usage: [--reflections N] [--redundancy R] [--decay D] [--seed S] UNMERGED.HKL REFINEMENT.fcf");

    // The cell: the volume grows with N so that the sphere holds them.
    const double smax = 2 * std::sin(30 * kPi / 180) / kLambda;
    const double beta = 102 * kPi / 180, sb = std::sin(beta), cb = std::cos(beta);
    const double v0 = 10.2 * 12.5 * 14.1 * sb;
    const double f = std::max(1.0, std::cbrt(1.15 * n / (4.0 / 3 * kPi * std::pow(smax, 3) * v0 / 4)));
    const double a = 10.2 * f, b = 12.5 * f, c = 14.1 * f;
    auto s2_of = [&](int h, int k, int l) {
        return (h * h / (a * a) + l * l / (c * c) - 2.0 * h * l * cb / (a * c)) / (sb * sb) + k * k / (b * b);
    };
    // One of each set of equivalents: k >= 0, l > 0 or l = 0 with h >= 0;
    // the absences of 21 (0k0, k odd) and c (h0l, l odd) left out.
    std::vector<Unique> unique;
    const int hmax = static_cast<int>(a * smax) + 1, kmax = static_cast<int>(b * smax) + 1,
              lmax = static_cast<int>(c * smax) + 1;
    for (int h = -hmax; h <= hmax; ++h)
        for (int k = 0; k <= kmax; ++k)
            for (int l = 0; l <= lmax; ++l) {
                if (l == 0 && h < 0) continue;
                if ((h == 0 && l == 0 && k % 2 != 0) || (k == 0 && l % 2 != 0)) continue;
                const double s2 = s2_of(h, k, l);
                if (s2 == 0 || s2 > smax * smax) continue;
                unique.push_back({h, k, l, s2, 0});
            }
    if (static_cast<long>(unique.size()) < n) return fail("the cell holds too few reflections");
    std::nth_element(unique.begin(), unique.begin() + n, unique.end(),
                     [](const Unique& x, const Unique& y) { return x.s2 < y.s2; });
    unique.resize(static_cast<std::size_t>(n));
    std::sort(unique.begin(), unique.end(), [](const Unique& x, const Unique& y) {
        return std::tie(x.h, x.k, x.l) < std::tie(y.h, y.k, y.l);
    });

    std::mt19937_64 rng(seed);
    std::exponential_distribution<double> wilson(1.0);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::uniform_real_distribution<double> frame(0.0, kFrames);
    std::uniform_int_distribution<int> which(0, 3);
    std::poisson_distribution<int> extra(redundancy - 1);
    std::vector<Obs> obs;
    obs.reserve(static_cast<std::size_t>(n * redundancy * 1.05));
    for (Unique& u : unique) {
        // Mo K-alpha, B = 3 A^2: Fc^2 falls as exp(-2 B s^2 / 4), s = 1/d.
        u.fc2 = 4000 * std::exp(-1.5 * u.s2) * wilson(rng) + 0.5;
        const int times = 1 + extra(rng);
        for (int t = 0; t < times; ++t) {
            const double zd = frame(rng);
            const double expected = kToCounts * u.fc2 * (1 - decay * zd / kFrames);
            const double sigma = std::sqrt(expected + 400 + 0.0004 * expected * expected);
            const double i = expected + sigma * noise(rng);
            static const int sign[4][3] = {{1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {1, -1, 1}};
            const int* e = sign[which(rng)];
            obs.push_back({e[0] * u.h, e[1] * u.k, e[2] * u.l, i, sigma, zd});
            u.sum += i;
            u.sum_var += sigma * sigma;
            ++u.n;
        }
    }
    std::sort(obs.begin(), obs.end(), [](const Obs& x, const Obs& y) { return x.zd < y.zd; });

    std::FILE* out = std::fopen(files[0].c_str(), "w");
    if (out == nullptr) return fail("cannot write the unmerged file");
    std::fprintf(out,
                 "!FORMAT=XDS_ASCII    MERGE=FALSE    FRIEDEL'S_LAW=TRUE\n"
                 "!OUTPUT_FILE=XDS_ASCII.HKL\n"
                 "!SPACE_GROUP_NUMBER=   14\n"
                 "!UNIT_CELL_CONSTANTS= %9.3f %9.3f %9.3f %7.3f %7.3f %7.3f\n"
                 "!X-RAY_WAVELENGTH=  %.6f\n"
                 "!STARTING_FRAME=        1\n!STARTING_ANGLE=     0.000\n"
                 "!OSCILLATION_RANGE=  %.6f\n"
                 "!NUMBER_OF_ITEMS_IN_EACH_DATA_RECORD=12\n"
                 "!ITEM_H=1\n!ITEM_K=2\n!ITEM_L=3\n!ITEM_IOBS=4\n!ITEM_SIGMA(IOBS)=5\n"
                 "!ITEM_XD=6\n!ITEM_YD=7\n!ITEM_ZD=8\n!ITEM_RLP=9\n!ITEM_PEAK=10\n!ITEM_CORR=11\n"
                 "!ITEM_PSI=12\n!END_OF_HEADER\n",
                 a, b, c, 90.0, 102.0, 90.0, kLambda, kOscillation);
    for (const Obs& o : obs)
        std::fprintf(out, "%6d%6d%6d %10.3E %10.3E %7.1f %7.1f %8.1f %8.5f %3d %3d %7.2f\n", o.h, o.k, o.l,
                     o.i, o.sigma, 1024.0, 1024.0, o.zd, 1.0, 100, 90, 0.0);
    std::fputs("!END_OF_DATA\n", out);
    if (std::fclose(out) != 0) return fail("cannot write the unmerged file");

    // The refinement: merged means on the scale of Fc^2 as a whole.
    double sum_fc2 = 0, sum_mean = 0;
    for (const Unique& u : unique) {
        sum_fc2 += u.fc2;
        sum_mean += u.sum / u.n;
    }
    const double k = sum_fc2 / sum_mean;
    std::FILE* fcf = std::fopen(files[1].c_str(), "w");
    if (fcf == nullptr) return fail("cannot write the refinement file");
    std::fprintf(fcf,
                 "data_generated\n_diffrn_radiation_wavelength %.5f\n"
                 "_cell_length_a %.4f\n_cell_length_b %.4f\n_cell_length_c %.4f\n"
                 "_cell_angle_alpha 90\n_cell_angle_beta 102\n_cell_angle_gamma 90\n"
                 "_space_group_name_H-M_alt 'P 1 21/c 1'\n"
                 "loop_\n _space_group_symop_operation_xyz\n 'x, y, z'\n '-x, y+1/2, -z+1/2'\n"
                 " '-x, -y, -z'\n 'x, -y+1/2, z+1/2'\n\n"
                 "loop_\n _refln_index_h\n _refln_index_k\n _refln_index_l\n _refln_F_squared_calc\n"
                 " _refln_F_squared_meas\n _refln_F_squared_sigma\n _refln_observed_status\n",
                 kLambda, a, b, c);
    for (const Unique& u : unique)
        std::fprintf(fcf, "%4d%4d%4d %12.2f %12.2f %10.2f o\n", u.h, u.k, u.l, u.fc2, k * u.sum / u.n,
                     k * std::sqrt(u.sum_var) / u.n);
    if (std::fclose(fcf) != 0) return fail("cannot write the refinement file");
    std::fprintf(stderr, "%zu observations of %ld reflections, cell %.3f %.3f %.3f\n", obs.size(), n, a, b, c);
    return 0;
}
