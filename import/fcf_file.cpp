#include "import/fcf_file.h"

#include <sys/stat.h>

#include <gemmi/cif.hpp>
#include <gemmi/numb.hpp>
#include <gemmi/unitcell.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "import/import_error.h"

namespace vorsel::import {
namespace {

namespace cif = gemmi::cif;
namespace pegtl = tao::pegtl;

const char* const kLoopTags[] = {"_refln_index_h",         "_refln_index_k",
                                 "_refln_index_l",         "_refln_F_squared_meas",
                                 "_refln_F_squared_sigma", "_refln_F_squared_calc"};
const char* const kFcTag = "_refln_F_calc";
const char* const kCellTags[] = {"_cell_length_a",    "_cell_length_b",   "_cell_length_c",
                                 "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"};
const char* const kWavelengthTag = "_diffrn_radiation_wavelength";

// gemmi keeps the line of each loop but not of each value in it. A message
// about one reflection needs that line, so the file is parsed once more with
// gemmi's own grammar (the same tokens, the same line count), this time only
// counting the values of that loop. It is done only for a message.
struct ValueSearch {
    std::size_t loop_line;  // the line of the loop's "loop_"
    std::size_t index;      // the value sought, counted from the loop's first
    bool inside = false;
    std::size_t seen = 0;
    std::size_t line = 0;
};
struct ValueFound {};

template <typename Rule>
struct Locate : pegtl::nothing<Rule> {};
template <>
struct Locate<cif::rules::str_loop> {
    template <typename Input>
    static void apply(const Input& in, ValueSearch& search) {
        search.inside = in.iterator().line == search.loop_line;
    }
};
template <>
struct Locate<cif::rules::loop_value> {
    template <typename Input>
    static void apply(const Input& in, ValueSearch& search) {
        if (search.inside && search.seen++ == search.index) {
            search.line = in.iterator().line;
            throw ValueFound{};
        }
    }
};

// gemmi's own messages mostly begin with the file name; the rest get it.
std::string with_path(const std::string& path, const std::string& message) {
    return message.rfind(path, 0) == 0 ? message : path + ": " + message;
}

std::string quoted(const std::string& value) { return "'" + value + "'"; }

}  // namespace

struct FcfFile::Impl {
    explicit Impl(const std::string& path);
    Reflection reflection(std::size_t i) const;
    double number(std::size_t i, int column) const;
    // column: an index into columns_, or -1 for the reflection's first value.
    [[noreturn]] void fail_at_value(std::size_t i, int column, const std::string& what) const;
    std::size_t line_of_value(std::size_t index) const;
    [[noreturn]] void fail_in_block(const std::string& tag, const std::string& what) const;

    std::string path_;
    cif::Document document_;
    const cif::Block* block_ = nullptr;
    const cif::Item* loop_ = nullptr;
    std::size_t rows_ = 0;
    int columns_[6] = {};  // h, k, l, Fo^2, s(Fo^2), Fc^2 or Fc
    Layout layout_ = Layout::fc_squared;
    gemmi::UnitCell cell_;
    std::optional<double> wavelength_;
};

FcfFile::FcfFile(const std::string& path) : impl_(std::make_unique<const Impl>(path)) {}
FcfFile::~FcfFile() = default;
Layout FcfFile::layout() const { return impl_->layout_; }
std::size_t FcfFile::size() const { return impl_->rows_; }
std::optional<double> FcfFile::wavelength() const { return impl_->wavelength_; }
Reflection FcfFile::reflection(std::size_t i) const { return impl_->reflection(i); }
void FcfFile::fail_at(std::size_t i, const std::string& what) const {
    impl_->fail_at_value(i, -1, what);
}

double FcfFile::inverse_d_squared(const std::array<int, 3>& hkl) const {
    return impl_->cell_.calculate_1_d2(hkl);
}

FcfFile::Impl::Impl(const std::string& path) : path_(path) {
    // gemmi's reader would report a missing file in its own words; the user
    // gets the system's.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        throw Error(Exit::input, path + ": cannot open: " + std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        throw Error(Exit::input, path + ": cannot open: not a regular file");
    if (std::FILE* probe = std::fopen(path.c_str(), "rb"))
        std::fclose(probe);
    else
        throw Error(Exit::input, path + ": cannot open: " + std::strerror(errno));

    try {
        document_ = cif::read_file(path);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const pegtl::parse_error& e) {
        const auto line = e.positions().empty() ? 0 : e.positions().front().line;
        throw Error(Exit::input, path + ":" + std::to_string(line) +
                                     ": not a CIF file: " + std::string(e.message()));
    } catch (const std::exception& e) {
        throw Error(Exit::input, with_path(path, e.what()));
    }

    for (const cif::Block& block : document_.blocks) {
        if ((loop_ = block.find_loop_item(kLoopTags[0])) != nullptr) {
            block_ = &block;
            break;
        }
    }
    if (loop_ == nullptr)
        throw Error(Exit::input, path + ": no reflection loop (no loop with " + kLoopTags[0] + ")");

    const cif::Loop& loop = loop_->loop;
    for (int c = 0; c < 6; ++c) columns_[c] = loop.find_tag(kLoopTags[c]);
    if (columns_[5] < 0 && (columns_[5] = loop.find_tag(kFcTag)) >= 0) layout_ = Layout::fc;
    for (int column : columns_) {
        if (column < 0) {
            std::string found;
            for (const std::string& tag : loop.tags) found += " " + tag;
            throw Error(Exit::input,
                        path + ":" + std::to_string(loop_->line_number) +
                            ": reflection loop of a layout that cannot be converted; it has" +
                            found +
                            "; needed are h, k, l (_refln_index_*), _refln_F_squared_meas, " +
                            "_refln_F_squared_sigma and _refln_F_squared_calc or _refln_F_calc");
        }
    }
    rows_ = loop.length();
    if (rows_ == 0)
        throw Error(Exit::input, path + ":" + std::to_string(loop_->line_number) +
                                     ": the reflection loop holds no reflections");

    double cell[6];
    for (int c = 0; c < 6; ++c) {
        const std::string* value = block_->find_value(kCellTags[c]);
        if (value == nullptr)
            throw Error(Exit::input, path + ": no unit cell: " + kCellTags[c] +
                                         " is missing in data_" + block_->name);
        cell[c] = cif::as_number(*value);
        if (!(cell[c] > 0 && (c < 3 || cell[c] < 180)))
            fail_in_block(kCellTags[c], quoted(*value) + (std::isnan(cell[c]) ? " is not a number"
                                                                              : " is impossible"));
    }
    try {
        cell_.set(cell[0], cell[1], cell[2], cell[3], cell[4], cell[5]);
    } catch (const std::runtime_error&) {
        // gemmi refuses only angles of 0 or 180 degrees, ruled out above
    }
    if (!(cell_.volume > 0))
        fail_in_block(kCellTags[5], "these cell angles make no cell (its volume is not positive)");

    const cif::Column column = const_cast<cif::Block*>(block_)->find_values(kWavelengthTag);
    if (column && column.length() > 1)
        fail_in_block(kWavelengthTag, "several wavelengths are given; the data file takes one");
    if (column && column.length() == 1 && !cif::is_null(column.at(0))) {
        const double lambda = cif::as_number(column.at(0));
        if (!(lambda > 0))
            fail_in_block(kWavelengthTag, quoted(column.at(0)) + " is not a wavelength");
        wavelength_ = lambda;
    }
}

Reflection FcfFile::Impl::reflection(std::size_t i) const {
    Reflection r;
    for (int c = 0; c < 3; ++c) {
        const double index = number(i, c);
        if (index != std::trunc(index) || std::fabs(index) > 1e9)
            fail_at_value(i, c,
                          std::string(kLoopTags[c]) +
                              " is not a whole number: " + quoted(loop_->loop.val(i, columns_[c])));
        r.hkl[c] = static_cast<int>(index);
    }
    r.fo_squared = number(i, 3);
    r.sigma_fo_squared = number(i, 4);
    r.fc_value = number(i, 5);
    return r;
}

double FcfFile::Impl::number(std::size_t i, int column) const {
    const std::string& text = loop_->loop.val(i, columns_[column]);
    const double value = cif::as_number(text);
    if (!std::isfinite(value))
        fail_at_value(i, column,
                      loop_->loop.tags[columns_[column]] + " is not a number: " + quoted(text));
    return value;
}

void FcfFile::Impl::fail_at_value(std::size_t i, int column, const std::string& what) const {
    const std::size_t offset = column < 0 ? 0 : static_cast<std::size_t>(columns_[column]);
    const std::size_t line = line_of_value(i * loop_->loop.width() + offset);
    throw Error(Exit::input, path_ + ":" + std::to_string(line) + ": reflection " +
                                 std::to_string(i + 1) + ": " + what);
}

std::size_t FcfFile::Impl::line_of_value(std::size_t index) const {
    ValueSearch search{static_cast<std::size_t>(loop_->line_number), index};
    try {
        pegtl::file_input<> in(path_);
        pegtl::parse<cif::rules::file, Locate, cif::Errors>(in, search);
    } catch (const ValueFound&) {
    } catch (const std::exception&) {
        // the file changed since it was read: the message goes without its line
    }
    return search.line;
}

void FcfFile::Impl::fail_in_block(const std::string& tag, const std::string& what) const {
    const cif::Column column = const_cast<cif::Block*>(block_)->find_values(tag);
    const int line = column ? column.item()->line_number : 0;
    throw Error(Exit::input, path_ + ":" + std::to_string(line) + ": " + tag + ": " + what);
}

std::array<double, 6> FcfFile::cell() const {
    const gemmi::UnitCell& c = impl_->cell_;
    return {c.a, c.b, c.c, c.alpha, c.beta, c.gamma};
}

FcfFile::Symmetry FcfFile::symmetry() const {
    Symmetry symmetry;
    auto& block = const_cast<cif::Block&>(*impl_->block_);
    for (const char* tag : {"_space_group_symop_operation_xyz", "_symmetry_equiv_pos_as_xyz"}) {
        const cif::Column column = block.find_values(tag);
        if (!column || column.length() == 0) continue;
        for (const std::string& value : column) symmetry.operators.push_back(cif::as_string(value));
        symmetry.line = column.item()->line_number;
        break;
    }
    auto name = [&](std::string& out, std::initializer_list<const char*> tags) {
        for (const char* tag : tags) {
            const cif::Column column = block.find_values(tag);
            if (!column || column.length() == 0 || cif::is_null(column.at(0))) continue;
            out = cif::as_string(column.at(0));
            if (symmetry.line == 0) symmetry.line = column.item()->line_number;
            return;
        }
    };
    name(symmetry.hall, {"_space_group_name_Hall", "_symmetry_space_group_name_Hall"});
    name(symmetry.hermann_mauguin,
         {"_space_group_name_H-M_alt", "_symmetry_space_group_name_H-M"});
    return symmetry;
}

}  // namespace vorsel::import
