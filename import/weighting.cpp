#include "import/weighting.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <vector>

#include "import/fcf_file.h"
#include "import/import_error.h"

namespace vorsel::import {
namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The value of a tag read line by line, for the many refinement CIFs that
// gemmi's strict grammar refuses elsewhere (an unquoted value with blanks, say):
// on the tag's own line, else on the next line, quoted or bare, or a text
// field between lines that start with ';'.
std::optional<std::string> item_text_by_lines(const std::string& path, std::string_view classic,
                                              std::string_view dotted) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    auto is_tag = [&](std::string_view word) {
        for (std::string_view tag : {classic, dotted})
            if (word.size() == tag.size() &&
                std::equal(word.begin(), word.end(), tag.begin(), [](char a, char b) {
                    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                }))
                return true;
        return false;
    };
    while (std::getline(in, line)) {
        std::string_view rest = trimmed(line);
        const std::size_t blank = rest.find_first_of(" \t");
        if (!is_tag(rest.substr(0, blank))) continue;
        rest = blank == std::string_view::npos ? std::string_view() : trimmed(rest.substr(blank));
        std::string value(rest);
        if (value.empty()) {
            while (std::getline(in, line) && trimmed(line).empty()) {}
            if (!line.empty() && line[0] == ';') {
                value = line.substr(1);
                while (std::getline(in, line) && (line.empty() || line[0] != ';')) value += " " + line;
            } else {
                value = std::string(trimmed(line));
            }
        }
        std::string_view v = trimmed(value);
        if (v.size() >= 2 && (v.front() == '\'' || v.front() == '"') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        return std::string(trimmed(v));
    }
    return std::nullopt;
}

// A number at the front of text, which it then leaves.
std::optional<double> take_number(std::string_view& text) {
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc{} || !std::isfinite(value)) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(r.ptr - text.data()));
    return value;
}

bool take(std::string_view& text, std::string_view what) {
    if (!text.starts_with(what)) return false;
    text.remove_prefix(what.size());
    return true;
}

bool ends_with_nocase(const std::string& name, std::string_view end) {
    return name.size() >= end.size() &&
           std::equal(end.begin(), end.end(), name.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char e, char c) { return e == std::tolower(static_cast<unsigned char>(c)); });
}

}  // namespace

double weight(const WeightScheme& scheme, double fo_squared, double sigma_fo_squared,
              double fc_squared) {
    const double p = (std::max(fo_squared, 0.0) + 2 * fc_squared) / 3;
    const double ap = scheme.a * p;
    return 1 / (sigma_fo_squared * sigma_fo_squared + ap * ap + scheme.b * p);
}

std::optional<WeightScheme> scheme_from_details(std::string_view text) {
    std::string compact;  // without blanks, which the writers of CIFs spread freely
    for (const char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) compact += c;
    std::string_view rest = compact;
    const auto at = rest.find("w=1/[");
    if (at == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(at + 5);
    if (!take(rest, "\\s^2^(Fo^2^)")) return std::nullopt;
    WeightScheme scheme;
    if (take(rest, "+(")) {
        const auto a = take_number(rest);
        if (!a || !take(rest, "P)^2^")) return std::nullopt;
        scheme.a = *a;
    }
    if (take(rest, "+")) {
        const auto b = take_number(rest);
        if (!b || !take(rest, "P")) return std::nullopt;
        scheme.b = *b;
    }
    if (!take(rest, "]")) return std::nullopt;
    // Where the text says what P is, it must be the usual mean.
    const auto p = rest.find("P=");
    if (p != std::string_view::npos && !rest.substr(p).starts_with("P=(Fo^2^+2Fc^2^)/3"))
        return std::nullopt;
    return scheme;
}

std::optional<WeightScheme> scheme_from_wght_line(std::string_view line) {
    if (line.size() < 4) return std::nullopt;
    for (std::size_t i = 0; i < 4; ++i)
        if (std::toupper(static_cast<unsigned char>(line[i])) != "WGHT"[i]) return std::nullopt;
    line.remove_prefix(4);
    if (!line.empty() && line[0] != ' ' && line[0] != '\t' && line[0] != '\r') return std::nullopt;
    // a b c d e f with their defaults; a remark follows "!", "=" continues
    double values[6] = {0.1, 0, 0, 0, 0, 1.0 / 3};
    std::size_t n = 0;
    while (true) {
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line[0])))
            line.remove_prefix(1);
        if (line.empty() || line[0] == '!' || line[0] == '=') break;
        const auto value = take_number(line);
        if (!value || n == 6 || (!line.empty() && !std::isspace(static_cast<unsigned char>(line[0]))))
            throw Error(Exit::input, "WGHT takes up to six numbers");
        values[n++] = *value;
    }
    if (values[2] != 0 || values[3] != 0 || values[4] != 0 || std::fabs(values[5] - 1.0 / 3) > 1e-4)
        throw Error(Exit::input,
                    "WGHT with c, d, e or f beyond their defaults: only w = 1/[s^2(Fo^2) + "
                    "(a P)^2 + b P] with P = (Fo^2 + 2 Fc^2)/3 is understood");
    return WeightScheme{values[0], values[1]};
}

WeightScheme read_weight_scheme(const std::string& path) {
    if (ends_with_nocase(path, ".cif") || ends_with_nocase(path, ".fcf")) {
        std::optional<std::string> text;
        try {
            text = cif_item_text(path, "_refine_ls_weighting_details", "_refine_ls.weighting_details");
        } catch (const Error& refused) {
            text = item_text_by_lines(path, "_refine_ls_weighting_details", "_refine_ls.weighting_details");
            if (!text) throw;
        }
        if (!text)
            throw Error(Exit::input, path + ": no weighting scheme (_refine_ls_weighting_details)");
        const auto scheme = scheme_from_details(*text);
        if (!scheme)
            throw Error(Exit::input, path +
                                         ": _refine_ls_weighting_details is not of the form "
                                         "w=1/[\\s^2^(Fo^2^)+(A P)^2^+B P]: '" +
                                         *text + "'");
        return *scheme;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error(Exit::input, path + ": cannot open");
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        try {
            if (const auto scheme = scheme_from_wght_line(line)) return *scheme;
        } catch (const Error& e) {
            throw Error(Exit::input, path + ":" + std::to_string(number) + ": " + e.what());
        }
    }
    if (in.bad()) throw Error(Exit::input, path + ": cannot read");
    throw Error(Exit::input, path + ": no WGHT line");
}

}  // namespace vorsel::import
