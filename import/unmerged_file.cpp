// The XDS kinds of unmerged file are read here line by line, with the line of
// every record kept for messages; the CIF kind in cif_observations.cpp.
#include "import/unmerged_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "import/import_error.h"
#include "library/miller_indices.h"

namespace vorsel::import {
namespace {

enum class XdsKind { ascii, integrate, unknown };

[[noreturn]] void fail(const std::string& path, std::uint64_t line, const std::string& what) {
    throw Error(Exit::input, path + ":" + std::to_string(line) + ": " + what);
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

// The text after "KEY=" where KEY starts the header line (after its "!") or
// follows a blank; nothing when the line does not hold the key.
std::optional<std::string_view> header_value(std::string_view line, std::string_view key) {
    for (std::size_t at = line.find(key); at != std::string_view::npos; at = line.find(key, at + 1)) {
        const bool starts = at > 0 && (line[at - 1] == '!' || line[at - 1] == ' ');
        const std::size_t end = at + key.size();
        if (starts && end < line.size() && line[end] == '=') return line.substr(end + 1);
    }
    return std::nullopt;
}

// Reads up to n numbers from text, separated by blanks; the count read.
std::size_t numbers(std::string_view text, double* out, std::size_t n) {
    const char* p = text.data();
    const char* const end = p + text.size();
    std::size_t count = 0;
    while (count < n) {
        while (p < end && is_blank(*p)) ++p;
        if (p == end) break;
        if (*p == '+') ++p;  // from_chars takes no plus sign
        const auto r = std::from_chars(p, end, out[count]);
        if (r.ec != std::errc{} || (r.ptr < end && !is_blank(*r.ptr))) break;
        p = r.ptr;
        ++count;
    }
    return count;
}

std::string shown(std::string_view line) {
    line = trimmed(line);
    return "'" + std::string(line.substr(0, 60)) + (line.size() > 60 ? "...'" : "'");
}

struct LineReader {
    explicit LineReader(const std::string& path) : path(path), file(std::fopen(path.c_str(), "rb")) {
        if (file == nullptr) throw Error(Exit::input, path + ": cannot open: " + std::strerror(errno));
    }
    ~LineReader() {
        std::fclose(file);
        std::free(buffer);
    }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    bool next(std::string_view& line) {
        errno = 0;
        const ssize_t n = ::getline(&buffer, &capacity, file);
        if (n < 0) {
            if (std::ferror(file)) throw Error(Exit::input, path + ": cannot read: " + std::strerror(errno));
            return false;
        }
        ++number;
        line = std::string_view(buffer, static_cast<std::size_t>(n));
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
        return true;
    }
    const std::string& path;
    std::FILE* file;
    char* buffer = nullptr;
    std::size_t capacity = 0;
    std::uint64_t number = 0;
};

// Where each needed quantity stands in a data record (0-based), -1 when absent.
struct Columns {
    int h = -1, k = -1, l = -1, intensity = -1, sigma = -1, frame = -1;
    int count = 0;  // numbers a record must hold
};

// XDS_ASCII.HKL names its columns "SIGMA(IOBS)" and "ZD", INTEGRATE.HKL
// "SIGMA" and "ZCAL" (its "ZOBS" is the observed centroid, 0 where none was
// seen).
void set_column(Columns& c, std::string_view name, int index) {
    int* slot = name == "H" ? &c.h : name == "K" ? &c.k : name == "L" ? &c.l
              : name == "IOBS" ? &c.intensity : (name == "SIGMA(IOBS)" || name == "SIGMA") ? &c.sigma
              : (name == "ZD" || name == "ZCAL") ? &c.frame : nullptr;
    if (slot != nullptr) *slot = index;
    if (index + 1 > c.count) c.count = index + 1;
}

UnmergedFile read_xds(const std::string& path, LineReader& in, std::string_view first, XdsKind kind,
                      std::uint64_t file_size) {
    UnmergedFile file;
    const std::string first_line = shown(first);
    auto other_kind = [&] {
        fail(path, 1, "a header of another kind: " + first_line +
                          "; XDS_ASCII.HKL (MERGE=FALSE) or INTEGRATE.HKL is expected");
    };
    std::optional<double> oscillation, starting_angle;
    double starting_frame = 1;
    Columns columns;
    bool listing = false;  // inside INTEGRATE.HKL's comma-separated column list
    int listed = 0;
    std::string_view line = first;
    bool ended = false;
    std::uint64_t records = 0;
    auto header_number = [&](std::string_view text, const char* key) {
        double value = 0;
        if (numbers(text, &value, 1) != 1 || !std::isfinite(value))
            fail(path, in.number, std::string(key) + " is not a number: " + shown(text));
        return value;
    };
    do {
        if (!line.empty() && line[0] == '!') {
            if (line.substr(1, 11) == "END_OF_DATA") {
                ended = true;
                break;
            }
            if (records > 0) continue;  // remarks among the records
            // INTEGRATE.HKL says so in its first lines and lists its columns.
            if (kind == XdsKind::unknown &&
                (line.find("INTEGRATE") != std::string_view::npos || line.substr(1, 6) == "H,K,L,"))
                kind = XdsKind::integrate;
            if (auto v = header_value(line, "X-RAY_WAVELENGTH")) {
                const double w = header_number(*v, "X-RAY_WAVELENGTH");
                if (!(w > 0)) fail(path, in.number, "X-RAY_WAVELENGTH is not a wavelength: " + shown(*v));
                file.wavelength = w;
            }
            if (auto v = header_value(line, "OSCILLATION_RANGE")) oscillation = header_number(*v, "OSCILLATION_RANGE");
            if (auto v = header_value(line, "STARTING_ANGLE")) starting_angle = header_number(*v, "STARTING_ANGLE");
            if (auto v = header_value(line, "STARTING_FRAME")) starting_frame = header_number(*v, "STARTING_FRAME");
            if (auto v = header_value(line, "SPACE_GROUP_NUMBER")) {
                file.space_group_number = static_cast<int>(header_number(*v, "SPACE_GROUP_NUMBER"));
                file.space_group_line = in.number;
            }
            if (auto v = header_value(line, "UNIT_CELL_CONSTANTS")) {
                std::array<double, 6> cell{};
                if (numbers(*v, cell.data(), 6) != 6)
                    fail(path, in.number, "UNIT_CELL_CONSTANTS are not six numbers: " + shown(*v));
                file.cell = cell;
                file.cell_line = in.number;
            }
            if (line.substr(1, 5) == "ITEM_") {
                const std::size_t eq = line.find('=');
                double index = 0;
                if (eq == std::string_view::npos || numbers(line.substr(eq + 1), &index, 1) != 1 || index < 1)
                    fail(path, in.number, "a column heading without its column: " + shown(line));
                set_column(columns, line.substr(6, eq - 6), static_cast<int>(index) - 1);
            }
            if (listing || line.substr(1, 6) == "H,K,L,") {
                std::string_view rest = trimmed(line.substr(1));
                listing = !rest.empty() && rest.back() == ',';
                while (!rest.empty()) {
                    const std::size_t comma = rest.find(',');
                    const std::string_view name = trimmed(rest.substr(0, comma));
                    if (!name.empty()) set_column(columns, name, listed++);
                    rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
                }
            }
            continue;
        }
        if (trimmed(line).empty()) continue;
        if (records++ == 0) {
            if (kind == XdsKind::unknown) other_kind();
            file.kind = kind == XdsKind::ascii ? "XDS_ASCII.HKL" : "INTEGRATE.HKL";
            // Records are of one length, near enough: room for all at once.
            file.observations.reserve(static_cast<std::size_t>(file_size / (line.size() + 1) + 16));
            // INTEGRATE.HKL written without its column list: its fixed layout,
            // H K L IOBS SIGMA XCAL YCAL ZCAL first.
            if (kind == XdsKind::integrate && listed == 0) columns = Columns{0, 1, 2, 3, 4, 7, 8};
            std::string missing;
            const std::string frame = kind == XdsKind::ascii ? "ZD" : "ZCAL";
            const std::string sigma = kind == XdsKind::ascii ? " SIGMA(IOBS)" : " SIGMA";
            if (columns.h < 0 || columns.k < 0 || columns.l < 0) missing += " H K L";
            if (columns.intensity < 0) missing += " IOBS";
            if (columns.sigma < 0) missing += sigma;
            if (columns.frame < 0) missing += " " + frame;
            if (!missing.empty())
                fail(path, in.number, "the header names no column for" + missing);
            if (!oscillation || !starting_angle)
                file.notes.push_back(path + ": no OSCILLATION_RANGE or STARTING_ANGLE in the header: phi is 0");
        }
        double v[64];
        if (columns.count > 64) fail(path, in.number, "more than 64 columns per record");
        const std::size_t got = numbers(line, v, static_cast<std::size_t>(columns.count));
        if (got < static_cast<std::size_t>(columns.count))
            fail(path, in.number, "record " + std::to_string(records) + " holds " + std::to_string(got) +
                                      " numbers where " + std::to_string(columns.count) +
                                      " are expected (cut short or garbled): " + shown(line));
        Observation o;
        const int index_columns[3] = {columns.h, columns.k, columns.l};
        for (int c = 0; c < 3; ++c) {
            const double x = v[index_columns[c]];
            if (!index_fits(x))
                fail(path, in.number, "an index that is not a whole number within ±999: " + shown(line));
            o.hkl[c] = static_cast<int>(x);
        }
        o.intensity = v[columns.intensity];
        o.sigma = v[columns.sigma];
        const double z = v[columns.frame];
        for (double x : {o.intensity, o.sigma, z})
            if (!std::isfinite(x) || std::fabs(x) > 1e30)
                fail(path, in.number, "a value that is not a finite number: " + shown(line));
        o.number = records;
        o.line = in.number;
        o.time = static_cast<float>(z);
        if (oscillation && starting_angle)
            o.phi = static_cast<float>(*starting_angle + (z - starting_frame + 1) * *oscillation);
        // A negative sigma marks a record that scaling rejected as a misfit.
        if (o.sigma < 0) {
            ++file.outliers;
            continue;
        }
        file.observations.push_back(o);
    } while (in.next(line));
    if (kind == XdsKind::unknown) other_kind();
    if (!ended)
        fail(path, in.number, "the file ends without !END_OF_DATA: it is cut short");
    if (records == 0) fail(path, in.number, "the file holds no reflections");
    return file;
}

}  // namespace

bool index_fits(double x) { return x == std::trunc(x) && std::fabs(x) <= kMaxIndex; }

// Every kind read here is text. A look at the head of the file refuses
// anything else at once (a sparse or binary file of gigabytes included),
// before a reader holds a whole line or document of it.
void check_text_head(const std::string& path) {
    constexpr std::size_t kHead = 1 << 16;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) throw Error(Exit::input, path + ": cannot open: " + std::strerror(errno));
    std::string head(kHead, '\0');
    head.resize(std::fread(head.data(), 1, kHead, file.get()));
    std::uint64_t line = 1;
    for (const char c : head) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n') ++line;
        if (byte < 0x20 && byte != '\n' && byte != '\r' && byte != '\t' && byte != '\f') {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", byte);
            fail(path, line, std::string("neither XDS_ASCII.HKL, INTEGRATE.HKL nor a CIF: a byte ") +
                                 code + " that no text file holds");
        }
    }
    if (head.size() == kHead && head.find('\n') == std::string::npos)
        fail(path, 1, "neither XDS_ASCII.HKL, INTEGRATE.HKL nor a CIF: no line ends within its first " +
                          std::to_string(kHead) + " bytes");
}

UnmergedFile read_unmerged(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        throw Error(Exit::input, path + ": cannot open: " + std::strerror(errno));
    if (!S_ISREG(status.st_mode)) throw Error(Exit::input, path + ": cannot open: not a regular file");
    check_text_head(path);
    LineReader in(path);
    std::string_view first;
    if (!in.next(first)) throw Error(Exit::input, path + ": the file is empty");
    if (!first.empty() && first[0] == '!') {
        // XDS files: the first line names the kind.
        if (header_value(first, "FORMAT") && first.find("XDS_ASCII") != std::string_view::npos) {
            if (first.find("MERGE=FALSE") == std::string_view::npos)
                fail(path, 1, "a merged XDS_ASCII file (" + shown(first) +
                                  "): it holds no single observations");
            return read_xds(path, in, first, XdsKind::ascii, static_cast<std::uint64_t>(status.st_size));
        }
        return read_xds(path, in, first, XdsKind::unknown, static_cast<std::uint64_t>(status.st_size));
    }
    return read_cif_observations(path);
}

}  // namespace vorsel::import
