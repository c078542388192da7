// The header line gives the curve count as the first number on the line; the
// number of data lines is the file length divided by the length of one data
// line with its line end. Where this departs from the bare estimate:
// - the line end is the first data line's own (the header's when there is no
//   data line): CR LF, LF alone or CR alone, so that a file edited on two
//   systems, with a header ending in LF and data lines in CR LF, is counted
//   right;
// - the first data line's fields must hold only what a number can (blanks,
//   digits, signs, a decimal point, an exponent letter), and the file must not
//   end in a data line's worth of NUL bytes (a sparse or cut-off file): the
//   reader would refuse either, but only after the arrays were sized and
//   gigabytes read;
// - numbers in the messages are quoted as the file holds them.
#include "plot/data_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "library/miller_indices.h"

namespace vorsel::plot {

namespace {

constexpr std::int64_t kFieldWidth = 10;
constexpr std::int64_t kMaxStoredFields = 15;
constexpr std::int64_t kMaxLong = std::numeric_limits<std::int32_t>::max();
// Enough of the file's start for the header line and the first data line of
// the widest file, and enough of its end to see whether it is hollow.
constexpr std::size_t kHeadBytes = 64 * 1024;
constexpr std::size_t kTailBytes = 64 * 1024;
// A count quoted longer than this is cut in a message.
constexpr std::size_t kQuoteLength = 24;
// The plot window's arrays other than dat, 4 bytes a point each: sigrat,
// ycur, ysmo, nkur, ywork, xcur, xwork, iperm.
constexpr std::uint64_t kPointArrays = 8;

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_line_end(char c) { return c == '\r' || c == '\n'; }
bool ends_token(char c) { return is_blank(c) || c == ',' || is_line_end(c); }
bool in_number(char c) {
    return c == ' ' || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'E' ||
           c == 'e' || c == 'D' || c == 'd';
}

// Text of the file fit to stand in a message: other bytes than printable
// ASCII become '?', and a long text is cut.
std::string quoted(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, kQuoteLength)) out += (c >= ' ' && c <= '~') ? c : '?';
    if (text.size() > kQuoteLength) out += "...";
    return out;
}

// The length of the line end at text[at] (CR LF 2, CR or LF 1), 0 if none.
std::int64_t line_end_length(std::string_view text, std::size_t at) {
    if (at >= text.size() || !is_line_end(text[at])) return 0;
    return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
}

struct Count {
    std::int64_t value = 0;
    std::string text;  // as the file holds it
    std::string problem;
};

// The first number of the line, read the way a free-format read takes it:
// leading blanks skipped, the number ends at a blank, a comma or the line end.
// Only a whole number counts: the reader takes the count from an integer field.
Count first_count(std::string_view line) {
    Count c;
    std::size_t i = 0;
    while (i < line.size() && is_blank(line[i])) ++i;
    std::size_t end = i;
    while (end < line.size() && !ends_token(line[end])) ++end;
    const std::string_view token = line.substr(i, end - i);
    c.text = quoted(token);

    std::size_t d = 0;
    bool negative = false;
    if (d < token.size() && (token[d] == '+' || token[d] == '-')) negative = token[d++] == '-';
    if (d == token.size()) {
        c.problem = "Its first line holds no number of curves.";
        return c;
    }
    // Saturates far beyond anything a line length can hold; the message
    // quotes the file's own text.
    constexpr std::int64_t kCap = std::int64_t{1} << 40;
    for (; d < token.size(); ++d) {
        const char ch = token[d];
        if (ch < '0' || ch > '9') {
            c.problem = "Its first line holds no whole number of curves: \"" + c.text + "\".";
            return c;
        }
        if (c.value < kCap) c.value = c.value * 10 + (ch - '0');
    }
    if (negative) c.value = -c.value;
    return c;
}

// The first field of the data line that holds a character no number has, or
// 0 when the fields that are read (at most 15) hold only such characters.
std::int64_t first_bad_field(std::string_view line, std::int64_t ncurves) {
    const auto read = static_cast<std::size_t>(std::min(ncurves, kMaxStoredFields) * kFieldWidth);
    for (std::size_t i = 0; i < std::min(read, line.size()); ++i)
        if (!in_number(line[i])) return static_cast<std::int64_t>(i) / kFieldWidth + 1;
    return 0;
}

// The NUL bytes at the end of the file, line ends after them not counted.
std::int64_t trailing_nuls(std::string_view tail) {
    std::size_t end = tail.size();
    while (end > 0 && is_line_end(tail[end - 1])) --end;
    std::size_t start = end;
    while (start > 0 && tail[start - 1] == '\0') --start;
    return static_cast<std::int64_t>(end - start);
}

// Megabytes (2^20 bytes) with one decimal.
std::string mb(std::uint64_t bytes) {
    const std::uint64_t tenths = (bytes * 10 + (1u << 19)) >> 20;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

std::string field_place(std::int64_t line, std::int64_t field) {
    return "Data line " + std::to_string(line) + " (line " + std::to_string(line + 1) +
           " of the file), field " + std::to_string(field) + " (columns " +
           std::to_string((field - 1) * kFieldWidth + 1) + " to " +
           std::to_string(field * kFieldWidth) + ")";
}

}  // namespace

std::string bad_field_text(std::int64_t line, std::int64_t field) {
    return field_place(line, field) + ", does not hold a number.";
}

std::string infinite_field_text(const float* dat, std::int64_t npoint, std::int32_t ncurves) {
    const std::int64_t n = npoint * ncurves;
    // Nearly every file has none: the plain loop runs at memory speed.
    std::int64_t first = -1, count = 0;
    for (std::int64_t i = 0; i < n; ++i)
        if (!std::isfinite(dat[i])) {
            if (first < 0) first = i;
            ++count;
        }
    if (first < 0) return {};
    return "Warning: " + field_place(first / ncurves + 1, first % ncurves + 1) +
           " holds a number beyond the range of 4-byte reals; it is read as infinite" +
           (count > 1 ? " (" + std::to_string(count) + " such values in the file)." : ".");
}

namespace {

// The count of the header line: why it cannot be one, or the empty text.
std::string count_problem(const Count& count) {
    if (!count.problem.empty()) return count.problem;
    if (count.value < 1)
        return "Its first line gives " + count.text + " curves; a data file has at least one.";
    // The length of a data line with its line end must stay a Long.
    if (count.value * kFieldWidth + 2 > kMaxLong)
        return "Its first line gives " + count.text +
               " curves, too many for a data line to be read.";
    return {};
}

// A CIF, such as a refinement's reflection file: its first text (after a
// UTF-8 byte order mark and blank lines) is a comment, a data block or a loop.
bool looks_like_cif(std::string_view head) {
    if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
    const std::size_t start = head.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return false;
    head.remove_prefix(start);
    const auto starts = [head](std::string_view word) {
        return head.size() >= word.size() &&
               std::equal(word.begin(), word.end(), head.begin(), [](char w, char h) {
                   return w == std::tolower(static_cast<unsigned char>(h));
               });
    };
    return head.front() == '#' || starts("data_") || starts("loop_");
}

// Where the first data line lies in the head of the file, and the length of
// the line end the estimate counts: the first data line's own, or the
// header's when no data line ends within the part read; CR LF, as the format
// has it, when neither.
struct FirstLine {
    std::size_t start, end;
    std::int64_t line_end;
};
FirstLine first_data_line(std::string_view head, std::size_t header_end) {
    FirstLine line;
    line.start = header_end + static_cast<std::size_t>(line_end_length(head, header_end));
    line.end = std::min(head.find_first_of("\r\n", line.start), head.size());
    line.line_end = line_end_length(head, line.end);
    if (line.line_end == 0) line.line_end = line_end_length(head, header_end);
    if (line.line_end == 0) line.line_end = 2;
    return line;
}

// Why a file of data lines of line_length bytes ends where no data can be.
std::string hollow_problem(platform::FileSystem& files, const std::string& path,
                           std::int64_t line_length) {
    const std::optional<std::string> tail = files.tail(path, kTailBytes);
    if (!tail) return "The file cannot be read to its end.";
    const std::int64_t nuls = trailing_nuls(*tail);
    if (nuls < line_length) return {};
    return "It ends in " + std::to_string(nuls) +
           (nuls == static_cast<std::int64_t>(kTailBytes) ? " or more" : "") +
           " NUL bytes where data lines should be: the file is hollow (sparse, or cut off "
           "while it was being written).";
}

}  // namespace

DataFileShape examine_data_file(platform::FileSystem& files, const std::string& path) {
    DataFileShape shape;
    const std::optional<std::int64_t> length = files.file_length(path);
    const std::optional<std::string> head =
        length ? files.head(path, kHeadBytes) : std::optional<std::string>();
    if (!length || !head) {
        shape.problem = !length ? "The file cannot be opened or its length cannot be taken."
                                : "The file cannot be opened for reading.";
        return shape;
    }
    const std::string_view text = *head;
    const std::size_t header_end = std::min(text.find_first_of("\r\n"), text.size());
    const Count count = first_count(text.substr(0, header_end));
    shape.problem = count_problem(count);
    if (!shape.problem.empty() && looks_like_cif(text))
        shape.problem = "This is a CIF (a refinement's reflection file?): open it with File, "
                        "Import Reflection File..., or convert it with vorsel_import.";
    if (!shape.problem.empty()) return shape;

    const FirstLine line = first_data_line(text, header_end);
    const std::int64_t line_length = count.value * kFieldWidth + line.line_end;
    const std::int64_t estimate = *length / line_length;
    if (estimate < 1) {
        shape.problem = "It is shorter than one data line of " + count.text + " curves (" +
                        std::to_string(count.value * kFieldWidth) +
                        " characters and the line end).";
    } else if (estimate > kMaxLong) {
        shape.problem =
            "It is too large: it would hold more than " + std::to_string(kMaxLong) + " data lines.";
    } else if (const std::int64_t bad =
                   first_bad_field(text.substr(line.start, line.end - line.start), count.value)) {
        shape.problem = bad_field_text(1, bad);
    } else {
        shape.problem = hollow_problem(files, path, line_length);
    }
    if (!shape.problem.empty()) return shape;

    shape.ncurves = static_cast<std::int32_t>(count.value);
    shape.npoint = static_cast<std::int32_t>(estimate);
    shape.indices = header_carries_indices(text.substr(0, header_end));
    return shape;
}

std::uint64_t array_bytes(std::int32_t ncurves, std::int32_t npoint) {
    return static_cast<std::uint64_t>(npoint) *
           (static_cast<std::uint64_t>(ncurves) + kPointArrays) * 4u;
}

std::string memory_problem(std::uint64_t needed, std::optional<std::uint64_t> available,
                           std::int32_t npoint) {
    if (!available || needed <= *available) return {};
    return "Its " + std::to_string(npoint) + " data lines need about " + mb(needed) +
           " of memory; only " + mb(*available) + " can be had.";
}

}  // namespace vorsel::plot
