// The CIF kind of unmerged file: the core dictionary's _diffrn_refln_ loop,
// read with gemmi. Only the first data block holding that loop is looked at.
#include <gemmi/cif.hpp>
#include <gemmi/numb.hpp>

#include <cmath>
#include <new>

#include "import/import_error.h"
#include "import/unmerged_file.h"

namespace vorsel::import {
namespace {

namespace cif = gemmi::cif;
namespace pegtl = tao::pegtl;

// gemmi keeps the line of a loop, not of each value; a message about one
// record finds it by parsing the file once more with gemmi's grammar,
// counting that loop's values. Done only for a message.
struct ValueSearch {
    std::size_t loop_line, index;
    bool inside = false;
    std::size_t seen = 0, line = 0;
};
struct ValueFound {};
template <typename Rule>
struct Locate : pegtl::nothing<Rule> {};
template <>
struct Locate<cif::rules::str_loop> {
    template <typename Input>
    static void apply(const Input& in, ValueSearch& s) { s.inside = in.iterator().line == s.loop_line; }
};
template <>
struct Locate<cif::rules::loop_value> {
    template <typename Input>
    static void apply(const Input& in, ValueSearch& s) {
        if (s.inside && s.seen++ == s.index) {
            s.line = in.iterator().line;
            throw ValueFound{};
        }
    }
};

std::size_t line_of_value(const std::string& path, std::size_t loop_line, std::size_t index) {
    ValueSearch search{loop_line, index};
    try {
        pegtl::file_input<> in(path);
        pegtl::parse<cif::rules::file, Locate, cif::Errors>(in, search);
    } catch (const ValueFound&) {
    } catch (const std::exception&) {
    }
    return search.line;
}

// A tag of either style: "_diffrn_refln_" + name or "_diffrn_refln." + name.
int find_column(const cif::Loop& loop, const std::string& category, const char* name) {
    const int column = loop.find_tag("_" + category + "_" + name);
    return column >= 0 ? column : loop.find_tag("_" + category + "." + name);
}

const cif::Item* find_pair(const cif::Block& block, const std::string& category, const char* name) {
    const cif::Item* item = block.find_pair_item("_" + category + "_" + name);
    return item != nullptr ? item : block.find_pair_item("_" + category + "." + name);
}

}  // namespace

UnmergedFile read_cif_observations(const std::string& path) {
    cif::Document document;
    try {
        document = cif::read_file(path);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const pegtl::parse_error& e) {
        const auto line = e.positions().empty() ? 0 : e.positions().front().line;
        throw Error(Exit::input, path + ":" + std::to_string(line) +
                                     ": neither XDS_ASCII.HKL, INTEGRATE.HKL nor a CIF (" +
                                     std::string(e.message()) + ")");
    } catch (const std::exception& e) {
        throw Error(Exit::input, path + ": " + e.what());
    }
    const cif::Block* block = nullptr;
    const cif::Item* item = nullptr;
    std::string found;  // the loops of the file, for a refusal
    for (const cif::Block& b : document.blocks) {
        for (const cif::Item& i : b.items) {
            if (i.type != cif::ItemType::Loop) continue;
            if (find_column(i.loop, "diffrn_refln", "index_h") >= 0) {
                block = &b;
                item = &i;
                break;
            }
            if (found.size() < 200) found += " " + i.loop.tags.front() + "...";
        }
        if (item != nullptr) break;
    }
    if (item == nullptr)
        throw Error(Exit::input, path + ": a CIF without a _diffrn_refln_ loop of observations (" +
                                     (found.empty() ? std::string("no loops") : "its loops:" + found) +
                                     "); an unmerged file is expected");
    const cif::Loop& loop = item->loop;
    const std::size_t loop_line = static_cast<std::size_t>(item->line_number);
    enum { h, k, l, net, sigma, phi, omega, kappa, time, group, bg1, bg2, peak, n_columns };
    const char* names[n_columns] = {"index_h",     "index_k",    "index_l",        "intensity_net",
                                    "intensity_sigma", "angle_phi", "angle_omega", "angle_kappa",
                                    "elapsed_time", "scale_group_code", "counts_bg_1",
                                    "counts_bg_2", "counts_peak"};
    int col[n_columns];
    for (int c = 0; c < n_columns; ++c) col[c] = find_column(loop, "diffrn_refln", names[c]);
    if (col[net] < 0) col[net] = find_column(loop, "diffrn_refln", "counts_net");
    // An Eulerian cradle has chi where a kappa goniometer has kappa.
    if (col[kappa] < 0) col[kappa] = find_column(loop, "diffrn_refln", "angle_chi");
    if (col[k] < 0 || col[l] < 0 || col[net] < 0 || col[sigma] < 0) {
        std::string tags;
        for (const std::string& tag : loop.tags) tags += " " + tag;
        throw Error(Exit::input, path + ":" + std::to_string(loop_line) +
                                     ": the _diffrn_refln_ loop lacks a column it needs; it has" + tags +
                                     "; needed are index_h/k/l, intensity_net (or counts_net) and "
                                     "intensity_sigma");
    }

    UnmergedFile file;
    file.kind = "CIF (_diffrn_refln_ loop)";
    const std::size_t rows = loop.length();
    if (rows == 0) throw Error(Exit::input, path + ":" + std::to_string(loop_line) + ": the loop holds no reflections");
    auto fail = [&](std::size_t row, int c, const std::string& what) {
        const std::size_t line = line_of_value(path, loop_line, row * loop.width() + static_cast<std::size_t>(c));
        throw Error(Exit::input, path + ":" + std::to_string(line) + ": observation " +
                                     std::to_string(row + 1) + ": " + what);
    };
    // A missing optional value ("?", ".") is 0; a present one must be a number.
    auto value = [&](std::size_t row, int c, bool needed) -> double {
        if (c < 0) return 0;
        const std::string& text = loop.val(row, static_cast<std::size_t>(c));
        if (!needed && cif::is_null(text)) return 0;
        const double v = cif::as_number(text);
        if (!std::isfinite(v) || std::fabs(v) > 1e30)
            fail(row, c, loop.tags[static_cast<std::size_t>(c)] + " is not a finite number: '" + text + "'");
        return v;
    };
    bool group_text = false;
    file.observations.reserve(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        Observation o;
        for (int c : {h, k, l}) {
            const double x = value(row, col[c], true);
            if (!index_fits(x))
                fail(row, col[c], "an index that is not a whole number within ±999");
            o.hkl[static_cast<std::size_t>(c)] = static_cast<int>(x);
        }
        o.intensity = value(row, col[net], true);
        o.sigma = value(row, col[sigma], true);
        if (o.sigma < 0) fail(row, col[sigma], "a negative intensity_sigma");
        o.phi = static_cast<float>(value(row, col[phi], false));
        o.omega = static_cast<float>(value(row, col[omega], false));
        o.kappa = static_cast<float>(value(row, col[kappa], false));
        if (col[time] >= 0) {
            o.time = static_cast<float>(value(row, col[time], false));
        } else if (col[group] >= 0) {
            // A scale group is a batch of frames: the nearest to a frame
            // number the file gives. Codes that are not numbers give 0.
            const double g = cif::as_number(loop.val(row, static_cast<std::size_t>(col[group])));
            if (std::isfinite(g) && std::fabs(g) < 1e30) o.time = static_cast<float>(g);
            else group_text = true;
        }
        const double background = value(row, col[bg1], false) + value(row, col[bg2], false);
        const double peak_counts = value(row, col[peak], false);
        if (col[peak] >= 0 && (col[bg1] >= 0 || col[bg2] >= 0) && peak_counts > 0)
            o.background_ratio = static_cast<float>(background / peak_counts);
        o.number = row + 1;
        file.observations.push_back(o);
    }
    const std::size_t width = loop.width(), first = static_cast<std::size_t>(col[h]);
    file.line_of = [path, loop_line, width, first](const Observation& o) -> std::uint64_t {
        return line_of_value(path, loop_line, (o.number - 1) * width + first);
    };
    if (group_text)
        file.notes.push_back(path + ": _diffrn_refln_scale_group_code not a number in some records: XRtime 0 there");

    const char* cell_names[6] = {"length_a", "length_b", "length_c", "angle_alpha", "angle_beta", "angle_gamma"};
    std::array<double, 6> cell{};
    int given = 0;
    for (int c = 0; c < 6; ++c)
        if (const cif::Item* item = find_pair(*block, "cell", cell_names[c])) {
            cell[static_cast<std::size_t>(c)] = cif::as_number(item->pair[1]);
            if (given++ == 0) file.cell_line = static_cast<std::uint64_t>(item->line_number);
        }
    if (given == 6) file.cell = cell;
    const cif::Item* lambda = find_pair(*block, "diffrn_radiation", "wavelength");
    if (lambda == nullptr) lambda = block->find_pair_item("_diffrn_radiation_wavelength.wavelength");
    if (const cif::Item* item = lambda) {
        const double w = cif::as_number(item->pair[1]);
        if (w > 0 && std::isfinite(w)) file.wavelength = w;
    }
    for (const char* tag : {"_space_group_IT_number", "_space_group.IT_number", "_symmetry_Int_Tables_number"})
        if (const cif::Item* item = block->find_pair_item(tag)) {
            const double n = cif::as_number(item->pair[1]);
            if (n >= 1 && n <= 230) file.space_group_number = static_cast<int>(n);
            file.space_group_line = static_cast<std::uint64_t>(item->line_number);
            break;
        }
    return file;
}

}  // namespace vorsel::import
