#include "import/fcf_file.h"

#include <sys/stat.h>

#include <gemmi/cif.hpp>
#include <gemmi/numb.hpp>
#include <gemmi/unitcell.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "import/import_error.h"

namespace vorsel::import {
namespace {

namespace cif = gemmi::cif;
namespace pegtl = tao::pegtl;

// A tag in its two spellings, lower case (gemmi compares tags with lower case).
struct Tag {
    const char* classic;
    const char* dotted;
};

// The reflection loop's columns, in the order of Role.
enum Role : signed char { kH, kK, kL, kFoSquared, kSigma, kFcValue, kStatus, kIgnored = -1 };
const Tag kLoopTags[] = {{"_refln_index_h", "_refln.index_h"},
                         {"_refln_index_k", "_refln.index_k"},
                         {"_refln_index_l", "_refln.index_l"},
                         {"_refln_f_squared_meas", "_refln.f_squared_meas"},
                         {"_refln_f_squared_sigma", "_refln.f_squared_sigma"},
                         {"_refln_f_squared_calc", "_refln.f_squared_calc"},
                         {"_refln_observed_status", "_refln.observed_status"}};
const Tag kFcTag = {"_refln_f_calc", "_refln.f_calc"};
const Tag kCellTags[] = {{"_cell_length_a", "_cell.length_a"},
                         {"_cell_length_b", "_cell.length_b"},
                         {"_cell_length_c", "_cell.length_c"},
                         {"_cell_angle_alpha", "_cell.angle_alpha"},
                         {"_cell_angle_beta", "_cell.angle_beta"},
                         {"_cell_angle_gamma", "_cell.angle_gamma"}};
const Tag kWavelengthTag = {"_diffrn_radiation_wavelength", "_diffrn_radiation_wavelength.value"};
// Far beyond any index a data file can carry (the converter holds them to
// its own bounds), and within what a row keeps.
constexpr double kLargestIndex = 32767;
// Larger than any crystal's cell edge by far; beyond it the reciprocal metric
// loses its meaning (and overflows on the way to 1e308).
constexpr double kLongestEdge = 1e5;
// Shorter than any bond by far; below it the volume vanishes in rounding.
constexpr double kShortestEdge = 0.1;

bool is_tag(const std::string& name, const Tag& tag) {
    return gemmi::iequal(name, tag.classic) || gemmi::iequal(name, tag.dotted);
}

int find_tag(const cif::Loop& loop, const Tag& tag) {
    for (std::size_t c = 0; c < loop.tags.size(); ++c)
        if (is_tag(loop.tags[c], tag)) return static_cast<int>(c);
    return -1;
}

cif::Column find_values(const cif::Block& block, const Tag& tag) {
    auto& b = const_cast<cif::Block&>(block);  // gemmi's lookup is not const; nothing changes
    cif::Column column = b.find_values(tag.classic);
    return column ? column : b.find_values(tag.dotted);
}

std::string in_quotes(const std::string& value) { return "'" + value + "'"; }

// A number as a CIF writes it, its standard uncertainty in parentheses after
// it or not ("1.234(5)"); NaN for anything else: text in quotes, the nulls "?"
// and ".", "inf" and "nan". gemmi's as_number, but on the file's own bytes
// rather than a copy of them.
double cif_number(const char* begin, const char* end) {
    const char* p = begin < end && *begin == '+' ? begin + 1 : begin;
    const char* first = p < end && *p == '-' ? p + 1 : p;
    if (first < end && ((*first | 0x20) == 'i' || (*first | 0x20) == 'n')) return NAN;
    double value = 0;
    const auto r = fast_float::from_chars(p, end, value);
    if (r.ec != std::errc()) return NAN;
    const char* at = r.ptr;
    if (at < end && *at == '(') {
        const char* digit = at + 1;
        while (digit < end && *digit >= '0' && *digit <= '9') ++digit;
        if (digit < end && *digit == ')') at = digit + 1;
    }
    return at == end ? value : NAN;
}

std::string hex_byte(unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", c);
    return text;
}

// The length of the well-formed UTF-8 character at p, or 0.
std::size_t utf8_length(const unsigned char* p, const unsigned char* end) {
    const std::size_t n = p[0] >= 0xF0 && p[0] <= 0xF4 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC2 ? 2 : 0;
    if (n == 0 || static_cast<std::size_t>(end - p) < n) return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80) return 0;
    return n;
}

// A CIF is text: where the grammar stops at a byte that no CIF holds, the
// user learns of that byte rather than of the grammar. Looks from `from`, the
// start of the token the grammar could not take, to its end.
std::optional<std::string> odd_byte(const char* from, const char* end) {
    for (auto p = reinterpret_cast<const unsigned char*>(from),
              e = reinterpret_cast<const unsigned char*>(end);
         p < e && *p != '\n' && *p != '\r' && *p != ' ' && *p != '\t'; ++p) {
        if (*p == 0) return std::string("a NUL byte: a CIF holds text only");
        if (*p < 0x20 || *p == 0x7F)
            return "a control character " + hex_byte(*p) + ": a CIF holds text only";
        if (*p >= 0x80)
            return utf8_length(p, e) > 0
                       ? "a character outside ASCII, which a CIF 1.1 file holds only in quoted text"
                       : "a byte " + hex_byte(*p) + " that is not text (not UTF-8)";
    }
    return std::nullopt;
}

std::size_t lines_between(const char* from, const char* to) {
    return static_cast<std::size_t>(std::count(from, to, '\n'));
}

void check_can_open(const std::string& path) {
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
}

// gemmi's own messages mostly begin with the file name; the rest get it.
std::string with_path(const std::string& path, const std::string& message) {
    return message.rfind(path, 0) == 0 ? message : path + ": " + message;
}

// Parses the whole file with gemmi's grammar and the actions A into doc,
// skipping a UTF-8 byte order mark; every failure becomes an input Error.
template <template <typename> class A, typename Doc>
void parse_file(const std::string& path, Doc& doc) {
    check_can_open(path);
    try {
        pegtl::file_input<> in(path);
        doc.source = in.source();
        doc.data_end = in.end();
        if (in.size(3) >= 3 && std::memcmp(in.current(), "\xEF\xBB\xBF", 3) == 0) in.bump(3);
        try {
            pegtl::parse<cif::rules::file, A, cif::Errors>(in, doc);
        } catch (const pegtl::parse_error& e) {
            if (e.positions().empty()) throw;
            const auto& at = e.positions().front();
            const std::string where = path + ":" + std::to_string(at.line) + ": ";
            if (const auto odd = odd_byte(in.begin() + at.byte, in.end()))
                throw Error(Exit::input, where + *odd);
            throw Error(Exit::input, where + "not a CIF file: " + std::string(e.message()));
        }
        cif::check_for_missing_values(doc);
        cif::check_for_duplicates(doc);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const Error&) {
        throw;
    } catch (const std::exception& e) {
        throw Error(Exit::input, with_path(path, e.what()));
    }
}

// A row of the reflection loop, as numbers: 40 bytes a reflection.
struct Row {
    double fo_squared, sigma_fo_squared, fc_value;
    std::uint32_t line;  // where the reflection begins
    std::int16_t h, k, l;
    char status;
};

// The rows in blocks of 2.5 MB that never move: a growing vector holds its
// rows twice over while it moves them, and up to twice the room they need
// afterwards.
class Rows {
public:
    void push_back(const Row& row) {
        if (size_ % kBlock == 0) blocks_.emplace_back(new Row[kBlock]);
        blocks_.back()[size_++ % kBlock] = row;
    }
    const Row& operator[](std::size_t i) const { return blocks_[i / kBlock][i % kBlock]; }
    std::size_t size() const { return size_; }

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 16;
    std::vector<std::unique_ptr<Row[]>> blocks_;
    std::size_t size_ = 0;
};

// gemmi's document and, beside it, the reflection loop as rows of numbers.
struct Reading : cif::Document {
    std::string path;
    const char* data_end = nullptr;

    bool claimed = false;  // the reflection loop has been met
    bool inside = false;   // the values now read belong to it
    std::size_t block = 0;
    int loop_line = 0;
    std::vector<std::string> tags;  // as spelled in the file
    std::vector<Role> roles;        // of each column
    Layout layout = Layout::fc_squared;
    Rows rows;
    Row row{};
    std::size_t column = 0;

    [[noreturn]] void fail(std::size_t line, const std::string& what) const {
        throw Error(Exit::input, path + ":" + std::to_string(line) + ": " + what);
    }
    [[noreturn]] void fail_value(std::size_t line, const std::string& what) const {
        fail(line, "reflection " + std::to_string(rows.size() + 1) + ": " + what);
    }

    static bool is_reflection_loop(const cif::Loop& loop) { return find_tag(loop, kLoopTags[kH]) >= 0; }

    void begin(const cif::Item& item) {
        claimed = inside = true;
        block = blocks.size() - 1;
        loop_line = item.line_number;
        const cif::Loop& loop = item.loop;
        tags = loop.tags;
        roles.assign(tags.size(), kIgnored);
        int found[kStatus + 1];
        for (int r = kH; r <= kStatus; ++r) found[r] = find_tag(loop, kLoopTags[r]);
        if (found[kFcValue] < 0 && (found[kFcValue] = find_tag(loop, kFcTag)) >= 0)
            layout = Layout::fc;
        for (int r = kH; r <= kFcValue; ++r)
            if (found[r] < 0) {
                std::string list;
                for (const std::string& tag : tags) list += " " + tag;
                fail(item.line_number,
                     "reflection loop of a layout that cannot be converted; it has" + list +
                         "; needed are h, k, l (_refln_index_*), _refln_F_squared_meas, "
                         "_refln_F_squared_sigma and _refln_F_squared_calc or _refln_F_calc");
            }
        for (int r = kH; r <= kStatus; ++r)
            if (found[r] >= 0) roles[found[r]] = static_cast<Role>(r);
    }

    void take(const char* begin, const char* end, std::size_t line) {
        if (column == 0) row = Row{0, 0, 0, static_cast<std::uint32_t>(line), 0, 0, 0, 'o'};
        const Role role = roles[column];
        if (role == kStatus) {
            row.status = *begin == '\'' || *begin == '"' ? begin[1] : *begin;
        } else if (role != kIgnored) {
            const double value = cif_number(begin, end);
            const auto text = [&] { return in_quotes(std::string(begin, end)); };
            if (!std::isfinite(value))
                fail_value(line, tags[column] + " is not a number: " + text());
            if (role <= kL) {
                if (value != std::trunc(value))
                    fail_value(line, tags[column] + " is not a whole number: " + text());
                if (std::fabs(value) > kLargestIndex)
                    fail_value(line, tags[column] + " " + text() + " is out of range");
                (role == kH ? row.h : role == kK ? row.k : row.l) = static_cast<std::int16_t>(value);
            } else {
                (role == kFoSquared ? row.fo_squared
                 : role == kSigma   ? row.sigma_fo_squared
                                    : row.fc_value) = value;
            }
        }
        if (++column == roles.size()) {
            rows.push_back(row);
            column = 0;
        }
    }

    // The loop ends where the grammar found no further value: at a byte that
    // is no CIF's, or after an incomplete reflection.
    void end(const char* loop_begin, std::size_t loop_line_number, const char* loop_end) {
        inside = false;
        if (column == 0) return;
        const std::size_t line = loop_line_number + lines_between(loop_begin, loop_end);
        if (const auto odd = odd_byte(loop_end, data_end)) fail(line, *odd);
        fail(row.line, "reflection " + std::to_string(rows.size() + 1) + " is incomplete: " +
                       std::to_string(column) + " of its " + std::to_string(roles.size()) +
                       " values");
    }
};

// gemmi's actions, but the values of the reflection loop go to the Reading's
// rows, not into the document as text.
template <typename Rule>
struct ReadAction : cif::Action<Rule> {};

template <>
struct ReadAction<cif::rules::loop_value> {
    template <typename Input>
    static void apply(const Input& in, Reading& out) {
        if (!out.inside) {
            cif::Item& item = out.items_->back();
            if (out.claimed || !item.loop.values.empty() || !Reading::is_reflection_loop(item.loop)) {
                item.loop.values.emplace_back(in.string());
                return;
            }
            out.begin(item);
        }
        out.take(in.begin(), in.end(), in.iterator().line);
    }
};

template <>
struct ReadAction<cif::rules::loop> {
    template <typename Input>
    static void apply(const Input& in, Reading& out) {
        if (out.inside)
            out.end(in.begin(), in.iterator().line, in.end());
        else
            cif::Action<cif::rules::loop>::apply(in, static_cast<cif::Document&>(out));
    }
};

// For cif_item_text: gemmi's document, with the end of the file's data.
struct PlainDocument : cif::Document {
    const char* data_end = nullptr;
};

}  // namespace

struct FcfFile::Impl {
    explicit Impl(const std::string& path);
    [[noreturn]] void fail_in_block(const cif::Column& column, const std::string& what) const;

    std::string path_;
    Reading document_;
    const cif::Block* block_ = nullptr;
    gemmi::UnitCell cell_;
    std::optional<double> wavelength_;
};

FcfFile::FcfFile(const std::string& path) : impl_(std::make_unique<const Impl>(path)) {}
FcfFile::~FcfFile() = default;
Layout FcfFile::layout() const { return impl_->document_.layout; }
std::size_t FcfFile::size() const { return impl_->document_.rows.size(); }
std::optional<double> FcfFile::wavelength() const { return impl_->wavelength_; }

Reflection FcfFile::reflection(std::size_t i) const {
    const Row& row = impl_->document_.rows[i];
    return {{row.h, row.k, row.l}, row.fo_squared, row.sigma_fo_squared, row.fc_value, row.status};
}

void FcfFile::fail_at(std::size_t i, const std::string& what) const {
    throw Error(Exit::input, impl_->path_ + ":" + std::to_string(impl_->document_.rows[i].line) +
                                 ": reflection " + std::to_string(i + 1) + ": " + what);
}

double FcfFile::inverse_d_squared(const std::array<int, 3>& hkl) const {
    return impl_->cell_.calculate_1_d2(hkl);
}

FcfFile::Impl::Impl(const std::string& path) : path_(path) {
    Reading& doc = document_;
    doc.path = path;
    parse_file<ReadAction>(path, doc);

    if (!doc.claimed) {
        // A reflection loop without values was left to gemmi.
        for (const cif::Block& block : doc.blocks)
            for (const cif::Item& item : block.items)
                if (item.type == cif::ItemType::Loop && Reading::is_reflection_loop(item.loop))
                    throw Error(Exit::input, path + ":" + std::to_string(item.line_number) +
                                                 ": the reflection loop holds no reflections");
        throw Error(Exit::input, path + ": no reflection loop (no loop with " +
                                     kLoopTags[kH].classic + " or " + kLoopTags[kH].dotted + ")");
    }
    block_ = &doc.blocks[doc.block];

    double cell[6];
    for (int c = 0; c < 6; ++c) {
        const cif::Column column = find_values(*block_, kCellTags[c]);
        if (!column || column.length() == 0)
            throw Error(Exit::input, path + ": no unit cell: " + kCellTags[c].classic +
                                         " is missing in data_" + block_->name);
        const std::string& value = column.at(0);
        cell[c] = cif::as_number(value);
        if (std::isnan(cell[c])) fail_in_block(column, in_quotes(value) + " is not a number");
        if (!(cell[c] > 0 && (c < 3 || cell[c] < 180)))
            fail_in_block(column, in_quotes(value) + " is impossible");
        if (c < 3 && cell[c] > kLongestEdge)
            fail_in_block(column, in_quotes(value) + " is impossible: no cell edge is longer than " +
                                      std::to_string(static_cast<int>(kLongestEdge)) + " A");
        if (c < 3 && cell[c] < kShortestEdge)
            fail_in_block(column, in_quotes(value) + " is impossible: no cell edge is shorter than " +
                                      "0.1 A");
    }
    try {
        cell_.set(cell[0], cell[1], cell[2], cell[3], cell[4], cell[5]);
    } catch (const std::runtime_error&) {
        // gemmi refuses only angles of 0 or 180 degrees, ruled out above
    }
    if (!(cell_.volume > 0))
        fail_in_block(find_values(*block_, kCellTags[5]),
                      "these cell angles make no cell (its volume is not positive)");

    const cif::Column column = find_values(*block_, kWavelengthTag);
    if (column && column.length() > 1)
        fail_in_block(column, "several wavelengths are given; the data file takes one");
    if (column && column.length() == 1 && !cif::is_null(column.at(0))) {
        const double lambda = cif::as_number(column.at(0));
        if (!(lambda > 0))
            fail_in_block(column, in_quotes(column.at(0)) + " is not a wavelength");
        wavelength_ = lambda;
    }
}

void FcfFile::Impl::fail_in_block(const cif::Column& column, const std::string& what) const {
    const cif::Item* item = column.item();
    const int line = item ? item->line_number : 0;
    const std::string* tag = column.get_tag();
    throw Error(Exit::input, path_ + ":" + std::to_string(line) + ": " + (tag ? *tag : "?") + ": " + what);
}

std::optional<std::string> cif_item_text(const std::string& path, const std::string& classic,
                                         const std::string& dotted) {
    PlainDocument doc;
    parse_file<cif::Action>(path, doc);
    for (const cif::Block& block : doc.blocks) {
        const cif::Column column = find_values(block, Tag{classic.c_str(), dotted.c_str()});
        if (column && column.length() > 0) return cif::as_string(column.at(0));
    }
    return std::nullopt;
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
