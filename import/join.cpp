#include "import/join.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "import/data_file_writer.h"
#include "import/fcf_file.h"
#include "import/field_text.h"
#include "import/import_error.h"
#include "import/space_group.h"
#include "import/unmerged_file.h"

namespace vorsel::import {

const char* const kObservationsHelp =
    "With --observations UNMERGED, one line of 15 fields per observation of an\n"
    "unmerged file of data processing (XDS_ASCII.HKL, INTEGRATE.HKL or a CIF\n"
    "_diffrn_refln_ loop, told apart by content), joined to the refinement file\n"
    "INPUT.fcf:\n"
    "  - where the refinement is against unmerged data (it lists a set of\n"
    "    equivalents more than once), indices it lists itself take its Fo, s(Fo)\n"
    "    and Fc (when it lists them n times, the k-th observation of them takes the\n"
    "    k-th, the last one those beyond n);\n"
    "  - other indices are mapped by the refinement's space group (its operators,\n"
    "    else its Hall or H-M name) onto the reflection it lists, Friedel mates\n"
    "    kept apart where it lists both hkl and -h-k-l as distinct reflections of a\n"
    "    non-centrosymmetric group, merged otherwise; they take its Fc, and Fo and\n"
    "    s(Fo) from their own intensity and sigma times one scale factor k, fitted\n"
    "    over all matched observations as the ratio of sums: k = sum of the\n"
    "    refinement's Fo^2 / sum of the observations' intensities; Fo and s(Fo)\n"
    "    from k I and k s(I) as above from Fo^2 and s(Fo^2);\n"
    "  - observations without a reflection, and XDS records marked as misfits\n"
    "    (negative sigma), are left out; one line on stderr gives the counts.\n"
    "Fields: 1 the observation's place in the unmerged file; 2 Fo, 3 Fc, 4 s(Fo);\n"
    "5 XRtime: XDS ZD (XDS_ASCII) or ZCAL (INTEGRATE), the frame coordinate of the\n"
    "  spot's centroid (frame n spans n-1 < Z <= n); CIF elapsed_time, else a\n"
    "  numeric scale_group_code, else 0;\n"
    "6 theta from the refinement's cell and the wavelength: the unmerged file's own\n"
    "  (X-RAY_WAVELENGTH, _diffrn_radiation_wavelength), else --wavelength, else the\n"
    "  refinement file's, else Mo K-alpha with a note;\n"
    "7 phi at the centroid: STARTING_ANGLE + (Z - STARTING_FRAME + 1) *\n"
    "  OSCILLATION_RANGE (XDS), angle_phi (CIF); 8 omega, 9 kappa: CIF angle_omega,\n"
    "  angle_kappa (angle_chi where it gives no kappa), else 0;\n"
    "10 BckgrRat: (counts_bg_1 + counts_bg_2) / counts_peak where the CIF gives\n"
    "  both (0 for no peak counts); 11 to 13: 0;\n"
    "14, 15 the observation's own h k l.\n"
    "Refused (exit 3, nothing written): a file of another kind, cut short, without\n"
    "reflections, with a value that is not a finite number, another space group\n"
    "number, a cell length more than 2% from the refinement's, or no observation\n"
    "that finds a reflection.\n";

namespace {

constexpr double kDegreesPerRadian = 57.295779513082320876798;
constexpr int kPackBits = 21;
constexpr int kPackOffset = 1 << (kPackBits - 1);

using Hkl = std::array<int, 3>;

bool packable(const Hkl& m) {
    for (int x : m)
        if (x <= -kPackOffset || x >= kPackOffset) return false;
    return true;
}

std::uint64_t pack(const Hkl& m) {
    std::uint64_t key = 0;
    for (int x : m) key = (key << kPackBits) | static_cast<std::uint64_t>(x + kPackOffset);
    return key;
}

std::string number_text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string at_line(const std::string& path, std::uint64_t line) {
    return line > 0 ? path + ":" + std::to_string(line) : path;
}

// The point group's rotations, as integer matrices acting on h k l.
class Equivalents {
public:
    explicit Equivalents(const std::vector<std::array<int, 9>>& rotations) : rotations_(rotations) {
        const std::array<int, 9> inversion{-1, 0, 0, 0, -1, 0, 0, 0, -1};
        for (const auto& r : rotations_) centric_ = centric_ || r == inversion;
    }
    bool centric() const { return centric_; }
    // The largest packed key over the equivalents of hkl (and of -h-k-l when
    // Friedel mates count as one): the same for every member of the set.
    std::uint64_t key(const Hkl& m, bool with_friedel) const {
        std::uint64_t best = 0;
        for (const auto& r : rotations_) {
            const Hkl e{r[0] * m[0] + r[3] * m[1] + r[6] * m[2], r[1] * m[0] + r[4] * m[1] + r[7] * m[2],
                        r[2] * m[0] + r[5] * m[1] + r[8] * m[2]};
            best = std::max(best, pack(e));
            if (with_friedel) best = std::max(best, pack(Hkl{-e[0], -e[1], -e[2]}));
        }
        return best;
    }

private:
    std::vector<std::array<int, 9>> rotations_;
    bool centric_ = false;
};

void check_same_crystal(const UnmergedFile& data, const std::string& unmerged, const SpaceGroup& group,
                        const FcfFile& fcf, const std::string& refinement) {
    if (data.space_group_number && group.number != 0 && *data.space_group_number != group.number)
        throw Error(Exit::input, at_line(unmerged, data.space_group_line) + ": space group number " +
                                     std::to_string(*data.space_group_number) + ", but " + refinement +
                                     " is refined in " + group.name + " (number " +
                                     std::to_string(group.number) + ")");
    if (!data.cell) return;
    const auto cell = fcf.cell();
    const char* names[3] = {"a", "b", "c"};
    for (int i = 0; i < 3; ++i) {
        const double own = (*data.cell)[static_cast<std::size_t>(i)], ref = cell[static_cast<std::size_t>(i)];
        if (!(std::fabs(own - ref) <= 0.02 * ref))
            throw Error(Exit::input, at_line(unmerged, data.cell_line) + ": cell length " + names[i] +
                                         " = " + number_text(own) + " A differs by more than 2% from " +
                                         refinement + "'s " + number_text(ref) +
                                         " A: not the same crystal or setting");
    }
}

double choose_wavelength(const UnmergedFile& data, const FcfFile& fcf, const std::string& unmerged,
                         const std::string& refinement, const Options& options,
                         std::vector<std::string>& notes) {
    if (data.wavelength) {
        if (options.wavelength && *options.wavelength != *data.wavelength)
            notes.push_back(unmerged + ": theta for the file's own wavelength, " +
                            number_text(*data.wavelength) + " A; --wavelength not used");
        return *data.wavelength;
    }
    if (options.wavelength) return *options.wavelength;
    if (const auto own = fcf.wavelength()) return *own;
    notes.push_back(unmerged + ": no wavelength in it, on the command line (--wavelength) nor in " +
                    refinement + ": theta for Mo K-alpha, 0.71073 A");
    return kMoKalpha;
}

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

// Packed indices to a value, open addressing with linear probing in one array
// (a million lookups among 10^5 reflections stay within the cache far more
// than a node-based map's). Key 0 cannot occur: packed indices are offset.
template <typename Value>
class FlatMap {
public:
    explicit FlatMap(std::size_t entries) {
        std::size_t size = 16;
        while (size < 2 * entries) size *= 2;
        slots_.resize(size);
        mask_ = size - 1;
    }
    // The value of key, inserted as value when absent; second: inserted.
    std::pair<Value*, bool> try_emplace(std::uint64_t key, const Value& value) {
        Slot& s = slot(key);
        if (s.key == key) return {&s.value, false};
        s.key = key;
        s.value = value;
        return {&s.value, true};
    }
    Value* find(std::uint64_t key) {
        Slot& s = slot(key);
        return s.key == key ? &s.value : nullptr;
    }

private:
    struct Slot {
        std::uint64_t key = 0;
        Value value{};
    };
    Slot& slot(std::uint64_t key) {
        std::size_t i = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask_;
        while (slots_[i].key != 0 && slots_[i].key != key) i = (i + 1) & mask_;
        return slots_[i];
    }
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

}  // namespace

JoinSummary join_observations(const std::string& unmerged, const std::string& refinement,
                              const std::string& output, const Options& options) {
    const FcfFile fcf(refinement);
    const SpaceGroup group = space_group_of(fcf, refinement);
    const bool squared = fcf.layout() == Layout::fc_squared;
    std::vector<Reflection> reflections;
    reflections.reserve(fcf.size());
    for (std::size_t i = 0; i < fcf.size(); ++i) {
        reflections.push_back(fcf.reflection(i));
        const Reflection& r = reflections.back();
        if (r.sigma_fo_squared < 0) fcf.fail_at(i, "negative s(Fo^2) " + number_text(r.sigma_fo_squared));
        if (r.fc_value < 0) fcf.fail_at(i, std::string("negative ") + (squared ? "Fc^2 " : "Fc ") +
                                               number_text(r.fc_value));
    }
    if (reflections.size() >= (std::size_t{1} << 31))
        throw Error(Exit::input, refinement + ": more than 2^31 reflections");

    UnmergedFile data = read_unmerged(unmerged);
    if (data.observations.empty())
        throw Error(Exit::input, unmerged + ": every one of its " + std::to_string(data.outliers) +
                                     " records is marked as a misfit (negative sigma)");
    check_same_crystal(data, unmerged, group, fcf, refinement);

    // The refinement's reflections by their own indices (a chain through
    // repeats, in file order) and by their set of equivalents.
    struct Listed {
        std::uint32_t first, last, used;
    };
    FlatMap<Listed> exact(reflections.size());
    std::vector<std::uint32_t> next(reflections.size(), kNone);
    for (std::uint32_t i = 0; i < reflections.size(); ++i) {
        if (!packable(reflections[i].hkl)) continue;
        const auto [listed, fresh] = exact.try_emplace(pack(reflections[i].hkl), Listed{i, i, 0});
        if (!fresh) next[std::exchange(listed->last, i)] = i;
    }
    const Equivalents equivalents(group.rotations);
    bool friedel_apart = false;
    if (!equivalents.centric()) {
        FlatMap<bool> keys(reflections.size());
        for (const Reflection& r : reflections)
            if (packable(r.hkl)) keys.try_emplace(equivalents.key(r.hkl, false), true);
        for (const Reflection& r : reflections) {
            if (!packable(r.hkl)) continue;
            const std::uint64_t own = equivalents.key(r.hkl, false);
            const std::uint64_t mate = equivalents.key(Hkl{-r.hkl[0], -r.hkl[1], -r.hkl[2]}, false);
            if (mate != own && keys.find(mate) != nullptr) {
                friedel_apart = true;
                break;
            }
        }
    }
    // Each set of equivalents: its first reflection and how many the file
    // lists. Where it lists one, the observation's own indices need no
    // lookup of their own: they are those of the set's reflection or none.
    struct Set {
        std::uint32_t first, count;
    };
    FlatMap<Set> by_set(reflections.size());
    bool unmerged_refinement = false;
    for (std::uint32_t i = 0; i < reflections.size(); ++i)
        if (packable(reflections[i].hkl))
            unmerged_refinement |=
                ++by_set.try_emplace(equivalents.key(reflections[i].hkl, !friedel_apart), Set{i, 0})
                      .first->count > 1;
    // A merged refinement file lists each set once, under indices of its own
    // choosing: an observation that happens to carry them is one observation
    // like the others and keeps its own intensity, or the merged value would
    // hide the very decay or absorption the curve is to show.

    // Each observation's Fc (NaN: left out); an exact match's intensity and
    // sigma are replaced by the refinement's Fo^2 and s(Fo^2), which the
    // scale then leaves alone.
    struct Joined {
        double fc;
        bool exact;
    };
    std::vector<Joined> joined(data.observations.size(), Joined{std::nan(""), false});
    JoinSummary result;
    result.friedel_apart = friedel_apart;
    result.outliers = data.outliers;
    double sum_fo_squared = 0, sum_intensity = 0;
    for (std::size_t o = 0; o < data.observations.size(); ++o) {
        Observation& obs = data.observations[o];
        const Set* set = by_set.find(equivalents.key(obs.hkl, !friedel_apart));
        if (set == nullptr) {
            ++result.left_out;
            continue;
        }
        std::uint32_t r = set->first;
        bool exact_match = false;
        if (set->count == 1) {
            exact_match = unmerged_refinement && reflections[r].hkl == obs.hkl;
        } else if (Listed* listed = exact.find(pack(obs.hkl))) {
            r = listed->first;
            for (std::uint32_t step = 0; step < listed->used && next[r] != kNone; ++step) r = next[r];
            ++listed->used;
            exact_match = true;
        }
        const Reflection& ref = reflections[r];
        sum_fo_squared += ref.fo_squared;
        sum_intensity += obs.intensity;
        joined[o] = Joined{squared ? std::sqrt(ref.fc_value) : ref.fc_value, exact_match};
        if (exact_match) {
            obs.intensity = ref.fo_squared;
            obs.sigma = ref.sigma_fo_squared;
            ++result.exact;
        } else {
            ++result.by_symmetry;
        }
    }
    if (result.exact + result.by_symmetry == 0)
        throw Error(Exit::input, unmerged + ": none of its " + std::to_string(data.observations.size()) +
                                     " observations has indices that match a reflection of " + refinement +
                                     ", directly or by symmetry");
    if (!(sum_intensity > 0 && sum_fo_squared > 0) && result.by_symmetry > 0)
        throw Error(Exit::input, unmerged + ": no scale onto " + refinement +
                                     ": the matched observations' intensities (sum " +
                                     number_text(sum_intensity) + ") or Fo^2 (sum " +
                                     number_text(sum_fo_squared) + ") do not sum to a positive value");
    result.scale = sum_intensity > 0 ? sum_fo_squared / sum_intensity : 0;

    Summary& summary = result.summary;
    summary.notes = data.notes;
    summary.wavelength = choose_wavelength(data, fcf, unmerged, refinement, options, summary.notes);
    const double half_lambda = summary.wavelength / 2;

    DataFileWriter out(output, options.crlf, /*with_indices=*/true);
    std::array<double, kFieldsPerLine - 1> fields{};  // fields 2 to 13
    for (std::size_t o = 0; o < data.observations.size(); ++o) {
        if (std::isnan(joined[o].fc)) continue;
        const Observation& obs = data.observations[o];
        const auto fail = [&](const std::string& what) {
            throw Error(Exit::input, at_line(unmerged, data.line_of(obs)) + ": observation " + std::to_string(obs.number) +
                                         " (" + std::to_string(obs.hkl[0]) + " " + std::to_string(obs.hkl[1]) +
                                         " " + std::to_string(obs.hkl[2]) + "): " + what);
        };
        const double sin_theta = half_lambda * std::sqrt(fcf.inverse_d_squared(obs.hkl));
        if (!(sin_theta <= 1))
            fail("cannot be reached at " + number_text(summary.wavelength) + " A with the cell of " + refinement);
        const double k = joined[o].exact ? 1.0 : result.scale;
        fields[0] = fo_from_squared(k * obs.intensity);
        fields[1] = joined[o].fc;
        fields[2] = sigma_fo(k * obs.intensity, k * obs.sigma);
        fields[3] = obs.time;
        fields[4] = std::asin(sin_theta) * kDegreesPerRadian;
        fields[5] = obs.phi;
        fields[6] = obs.omega;
        fields[7] = obs.kappa;
        fields[8] = obs.background_ratio;
        for (const double value : fields)
            if (!fits_real_field(value))
                fail("a value beyond the range of the data file's 4-byte reals (" + number_text(value) + ")");
        out.add(static_cast<std::int64_t>(obs.number), fields, Miller{obs.hkl[0], obs.hkl[1], obs.hkl[2]});
        ++summary.reflections;
    }
    out.commit();
    summary.notes.push_back(
        unmerged + ": " + std::to_string(data.observations.size() + data.outliers) + " observations: " +
        std::to_string(result.exact) + " matched exactly, " + std::to_string(result.by_symmetry) +
        " by symmetry (Friedel mates " + (friedel_apart ? "apart" : "merged") + "), scale factor " +
        number_text(result.scale) + " (sum of Fo^2 / sum of intensities), " + std::to_string(result.left_out) +
        " left out (no reflection)" +
        (data.outliers > 0 ? ", " + std::to_string(data.outliers) + " misfits left out" : std::string()));
    return result;
}

}  // namespace vorsel::import
