// READ_VORSEL_DATA on small files, one per case (written from the strings
// below into a temporary folder), every array fenced by guard elements that
// must come back untouched.
#include <gtest/gtest.h>

#include <unistd.h>

#include "library/vorsel_for.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr float kGuard = -777.25f;
constexpr float kUnset = 555.5f;

// A data line of 13 fields: the running number, Fo, Fc, s(Fo), then nine more.
std::string line13(int k, const char* fo, const char* sfo, const char* end = "\r\n") {
    char text[200];
    std::snprintf(text, sizeof text, "%10.1f%10s%10s%10s%10s%10s%10s%10s%10s%10s%10s%10s%10s%s",
                  static_cast<double>(k), fo, "35.760", sfo, "5.00", "2.6507", "354.088", "9.902",
                  "62.253", "0.00327", "1.24524", "0.99200", "0.0001948", end);
    return text;
}

std::string lines13(int n, const char* end = "\r\n") {
    std::string s;
    for (int k = 1; k <= n; ++k) s += line13(k, "34.831", "0.3384", end);
    return s;
}

class TempDir {
public:
    TempDir() {
        path_ = fs::temp_directory_path() / ("vorsel_reader_test_" + std::to_string(::getpid()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string write(const std::string& name, const std::string& content) const {
        const fs::path p = path_ / name;
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// The caller's arrays with one guard element before and after each.
struct Call {
    std::vector<float> dat, sigrat;
    std::int32_t ncurves = 13, npoint = 0, status = 12345;

    Call(std::int32_t nc, std::int32_t np)
        : dat(static_cast<std::size_t>(nc) * static_cast<std::size_t>(std::max(np, 0)) + 2, kUnset),
          sigrat(static_cast<std::size_t>(std::max(np, 0)) + 2, kUnset),
          ncurves(nc),
          npoint(np) {
        dat.front() = dat.back() = kGuard;
        sigrat.front() = sigrat.back() = kGuard;
    }
    void read(const std::string& path) {
        READ_VORSEL_DATA(path.c_str(), dat.data() + 1, sigrat.data() + 1, &ncurves, &npoint,
                         &status);
    }
    float d(int c, int k) const {
        return dat[1 + static_cast<std::size_t>(k - 1) * static_cast<std::size_t>(ncurves) +
                   static_cast<std::size_t>(c - 1)];
    }
    float s(int k) const { return sigrat[static_cast<std::size_t>(k)]; }
    void expect_guards() const {
        EXPECT_EQ(dat.front(), kGuard);
        EXPECT_EQ(dat.back(), kGuard);
        EXPECT_EQ(sigrat.front(), kGuard);
        EXPECT_EQ(sigrat.back(), kGuard);
    }
    // Points from k on were not written.
    void expect_unset_from(int k) const {
        for (std::size_t i =
                 1 + static_cast<std::size_t>(k - 1) * static_cast<std::size_t>(ncurves);
             i + 1 < dat.size(); ++i)
            ASSERT_EQ(dat[i], kUnset) << "dat element " << i;
        for (std::size_t i = static_cast<std::size_t>(k); i + 1 < sigrat.size(); ++i)
            ASSERT_EQ(sigrat[i], kUnset) << "sigrat element " << i;
    }
};

struct StatusCase {
    const char* name;  // also the file's name
    std::string content;
    std::int32_t ncurves, npoint;
    std::int32_t status, npoint_after;
};

TEST(Reader, StatusAndCountOfEachKindOfFile) {
    const std::string twelve =
        lines13(3).substr(0, 2 * 132) + line13(3, "34.831", "0.3384").substr(0, 20) + "\r\n";
    const StatusCase cases[] = {
        {"exact_count", "    13\r\n" + lines13(3), 13, 3, VORSEL_OK, 3},
        {"lf_line_ends", "    13\n" + lines13(3, "\n"), 13, 3, VORSEL_OK, 3},
        {"last_line_without_line_end", "    13\r\n" + lines13(2) + line13(3, "1.0", "1.0", ""), 13,
         3, VORSEL_OK, 3},
        {"fewer_lines_than_expected", "    13\r\n" + lines13(2), 13, 5, VORSEL_PREMATURE_EOF, 2},
        {"header_only", "    13\r\n", 13, 2, VORSEL_PREMATURE_EOF, 0},
        {"more_lines_than_expected", "    13\r\n" + lines13(7), 13, 4, -7, 4},
        {"last_line_of_two_fields", "    13\r\n" + twelve, 13, 2, -3, 2},
        {"trailing_blank_line", "    13\r\n" + lines13(3) + std::string(130, ' ') + "\r\n", 13, 3,
         -4, 3},
        {"trailing_empty_line", "    13\r\n" + lines13(3) + "\r\n", 13, 3, -4, 3},
        {"extra_lines_are_counted_not_read",
         "    13\r\n" + lines13(3) + "garbage\r\nmore garbage\r\n", 13, 3, -5, 3},
        {"header_differs", "    12\r\n" + lines13(3), 13, 3, VORSEL_CURVES_DIFFER, 3},
        {"header_blank", "      \r\n" + lines13(3), 13, 3, VORSEL_CURVES_DIFFER, 3},
        {"header_left_justified", "13\r\n" + lines13(3), 13, 3, VORSEL_OK, 3},
        {"two_lines_for_one", "    13\r\n" + lines13(2), 13, 1, VORSEL_TWO_LINES, 1},
        {"empty_file", "", 13, 3, VORSEL_NO_HEADER, 3},
        {"header_not_whole", "  13.0\r\n" + lines13(3), 13, 3, VORSEL_BAD_HEADER, 3},
        {"header_letters", "thirteen\r\n" + lines13(3), 13, 3, VORSEL_BAD_HEADER, 3},
        {"too_few_curves", "     3\r\n" + lines13(3), 3, 3, VORSEL_TOO_FEW_CURVES, 3},
        {"bad_field_4_of_line_3",
         "    13\r\n" + lines13(2) + line13(3, "34.831", "  0,3384") + lines13(1), 13, 4,
         VORSEL_BAD_FIELD + 4, 2},
        {"bad_field_2_of_line_1", "    13\r\n" + line13(1, "     12.5x", "1.0"), 13, 1,
         VORSEL_BAD_FIELD + 2, 0},
        {"nothing_expected_nothing_there", "    13\r\n", 13, 0, VORSEL_OK, 0},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.write(std::string(c.name) + ".vorsel", c.content);
        Call call(c.ncurves, c.npoint);
        call.read(path);
        EXPECT_EQ(call.status, c.status);
        EXPECT_EQ(call.npoint, c.npoint_after);
        call.expect_guards();
        if (c.status == VORSEL_CURVES_DIFFER || c.status == VORSEL_NO_HEADER ||
            c.status == VORSEL_BAD_HEADER || c.status == VORSEL_TOO_FEW_CURVES)
            call.expect_unset_from(1);
        else
            call.expect_unset_from(call.npoint + 1);
    }
}

TEST(Reader, StoresFieldsFoAsMagnitudeAndSigrat) {
    TempDir dir;
    const std::string content = "    13\r\n" + line13(1, "    -12.50", "    2.5000") +
                                line13(2, "  1.25E+02", "      -5.0") +
                                line13(3, "       125", "       .25") +
                                line13(4, "      -0.0", "       1.0");
    Call call(13, 4);
    call.read(dir.write("fo_and_sigrat.vorsel", content));
    ASSERT_EQ(call.status, VORSEL_OK);
    call.expect_guards();
    const float fo[] = {12.5f, 125.0f, 125.0f, -0.0f};
    const float sigrat[] = {5.0f, 25.0f, 500.0f, 0.0f};
    for (int k = 1; k <= 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(call.d(1, k), static_cast<float>(k));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(call.d(2, k)),
                  std::bit_cast<std::uint32_t>(fo[k - 1]));
        EXPECT_EQ(call.d(3, k), 35.76f);
        EXPECT_EQ(call.d(6, k), 2.6507f);
        EXPECT_EQ(call.d(13, k), 0.0001948f);
        EXPECT_EQ(call.s(k), sigrat[k - 1]);
    }
    EXPECT_EQ(call.d(4, 2), -5.0f) << "only Fo is turned into a magnitude";
    EXPECT_TRUE(std::signbit(call.d(2, 4))) << "-0.0 is not below 0 and stays as it is";
}

TEST(Reader, ZeroUncertaintyGivesTheIeeeQuotient) {
    TempDir dir;
    Call call(13, 2);
    call.read(dir.write("sfo_zero.vorsel",
                        "    13\r\n" + line13(1, "12.5", "0.0") + line13(2, "0.0", "0.0")));
    ASSERT_EQ(call.status, VORSEL_OK);
    EXPECT_EQ(call.s(1), std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(call.s(2)));
}

TEST(Reader, LfFileReadsExactlyLikeItsCrLfTwin) {
    TempDir dir;
    std::string crlf = "    13\r\n";
    for (int k = 1; k <= 50; ++k)
        crlf += line13(k, (std::to_string(k * 7 % 13) + "." + std::to_string(k)).c_str(), "0.25");
    std::string lf;
    for (char c : crlf)
        if (c != '\r') lf += c;
    Call a(13, 50), b(13, 50);
    a.read(dir.write("twin_crlf.vorsel", crlf));
    b.read(dir.write("twin_lf.vorsel", lf));
    EXPECT_EQ(a.status, VORSEL_OK);
    EXPECT_EQ(b.status, VORSEL_OK);
    EXPECT_EQ(a.dat, b.dat);
    EXPECT_EQ(a.sigrat, b.sigrat);
}

// 2000 lines with each kind of line end, and with all three in turn: the same
// points as the CR LF file; 1984 lines expected (the estimate a length
// divided by 132 gives a CR-only file) gives minus the true count.
TEST(Reader, EveryLineEndReadsLikeCrLf) {
    TempDir dir;
    constexpr int kLines = 2000;
    const auto file = [](const std::vector<std::string>& ends) {
        std::string s = "    13" + ends[0];
        for (int k = 1; k <= kLines; ++k) {
            const std::string fo = std::to_string(k * 7 % 13) + "." + std::to_string(k);
            s += line13(k, fo.c_str(), "0.25",
                        ends[static_cast<std::size_t>(k) % ends.size()].c_str());
        }
        return s;
    };
    Call twin(13, kLines);
    twin.read(dir.write("twin.vorsel", file({"\r\n"})));
    ASSERT_EQ(twin.status, VORSEL_OK);
    const struct {
        const char* name;
        std::vector<std::string> ends;
    } cases[] = {{"lf", {"\n"}}, {"cr", {"\r"}}, {"all_three", {"\r", "\n", "\r\n"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.write(std::string(c.name) + ".vorsel", file(c.ends));
        Call all(13, kLines), fewer(13, 1984);
        all.read(path);
        fewer.read(path);
        EXPECT_EQ(all.status, VORSEL_OK);
        EXPECT_EQ(all.dat, twin.dat);
        EXPECT_EQ(all.sigrat, twin.sigrat);
        EXPECT_EQ(fewer.status, -kLines);
    }
}

// The last character of the first 1 MiB piece ends a line: a CR whose LF opens
// the next piece is one line end, a CR alone is one too, whether the line is
// stored or only counted.
TEST(Reader, LineEndAtTheEndOfThePieceIsOneLineEnd) {
    TempDir dir;
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    for (const std::string end : {"\r\n", "\r"}) {
        const std::size_t length = 130 + end.size();
        const auto before = static_cast<int>((kPiece - 100) / length);  // lines in the piece
        // A header padded so that the CR of line `before` is the piece's last character.
        const std::size_t header =
            kPiece + end.size() - 1 - static_cast<std::size_t>(before) * length;
        const std::string path =
            dir.write("piece.vorsel", "    13" + std::string(header - 6 - end.size(), ' ') + end +
                                          lines13(before + 2, end.c_str()));
        for (const int npoint : {before - 1, before, before + 1, before + 2}) {
            SCOPED_TRACE(std::to_string(end.size()) + "-character line ends, npoint " +
                         std::to_string(npoint));
            Call call(13, npoint);
            call.read(path);
            EXPECT_EQ(call.status, npoint == before + 2 ? VORSEL_OK : -(before + 2));
            EXPECT_EQ(call.d(1, npoint), static_cast<float>(npoint));
            EXPECT_EQ(call.d(4, npoint), 0.3384f);
        }
    }
}

TEST(Reader, ShortLinesReadAsPaddedWithBlanks) {
    TempDir dir;
    // Line 1 ends inside field 4 ("0.3"), line 2 after field 2.
    const std::string content =
        "    13\r\n       1.0    34.831    35.760       0.3\r\n       2.0    10.000\n";
    Call call(13, 2);
    call.read(dir.write("short_lines.vorsel", content));
    ASSERT_EQ(call.status, VORSEL_OK);
    EXPECT_EQ(call.d(4, 1), 0.3f);
    EXPECT_EQ(call.d(5, 1), 0.0f);
    EXPECT_EQ(call.d(13, 1), 0.0f);
    EXPECT_EQ(call.d(2, 2), 10.0f);
    EXPECT_EQ(call.d(3, 2), 0.0f);
    EXPECT_EQ(call.s(2), std::numeric_limits<float>::infinity()) << "Fo 10 over a blank s(Fo)";
}

TEST(Reader, OnlyTheFirstFieldsOfLongerLinesAreStored) {
    TempDir dir;
    // ncurves 4 on lines of 13: fields 5 to 13 are skipped.
    Call call(4, 2);
    call.read(dir.write("four_of_thirteen.vorsel", "     4\r\n" + lines13(2)));
    ASSERT_EQ(call.status, VORSEL_OK);
    call.expect_guards();
    EXPECT_EQ(call.d(4, 2), 0.3384f);
    EXPECT_EQ(call.d(1, 2), 2.0f);
}

TEST(Reader, HeaderAboveFifteenIsAcceptedForFifteen) {
    TempDir dir;
    std::string content = "    17\r\n";
    for (int k = 1; k <= 3; ++k) {
        for (int c = 1; c <= 17; ++c) {
            char f[16];
            std::snprintf(f, sizeof f, "%10d", c == 4 ? 2 : 100 * k + c);
            content += f;
        }
        content += "\r\n";
    }
    Call call(15, 3);
    call.read(dir.write("seventeen_curves.vorsel", content));
    ASSERT_EQ(call.status, VORSEL_OK);
    call.expect_guards();
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(call.d(1, k), 100.0f * k + 1);
        EXPECT_EQ(call.d(15, k), 100.0f * k + 15);
        EXPECT_EQ(call.s(k), (100.0f * k + 2) / 2.0f);
    }
    Call sixteen(16, 3);
    sixteen.read(dir.path().string() + "/seventeen_curves.vorsel");
    EXPECT_EQ(sixteen.status, VORSEL_CURVES_DIFFER) << "only 15 stands for 'the first 15'";
    Call fourteen(14, 3);
    fourteen.read(dir.path().string() + "/seventeen_curves.vorsel");
    EXPECT_EQ(fourteen.status, VORSEL_CURVES_DIFFER);
}

TEST(Reader, NamesThatCannotBeOpened) {
    TempDir dir;
    fs::create_directories(dir.path() / "a_folder.vorsel");
    const std::string names[] = {
        "",
        std::string(300, ' '),
        (dir.path() / "missing.vorsel").string(),
        (dir.path() / "a_folder.vorsel").string(),
        "/dev/zero",
    };
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        Call call(13, 2);
        call.read(name);
        EXPECT_EQ(call.status, VORSEL_CANNOT_OPEN);
        EXPECT_EQ(call.npoint, 2);
        call.expect_unset_from(1);
    }
}

TEST(Reader, NameIsABlankPadded256CharacterField) {
    TempDir dir;
    const std::string path = dir.write("padded.vorsel", "    13\r\n" + lines13(2));
    ASSERT_LT(path.size(), 256u);
    std::string field = path + std::string(256 - path.size(), ' ');
    Call call(13, 2);
    call.read(field);
    EXPECT_EQ(call.status, VORSEL_OK);
    // Characters after the 256th do not belong to the name.
    Call longer(13, 2);
    longer.read(field + "trailing text");
    EXPECT_EQ(longer.status, VORSEL_OK);
    // A name of more than 256 characters is cut and so cannot be found.
    Call cut(13, 2);
    cut.read(std::string(300, 'x'));
    EXPECT_EQ(cut.status, VORSEL_CANNOT_OPEN);
}

TEST(Reader, LinesLongerThanTheReadBuffer) {
    TempDir dir;
    std::string content = "    13\r\n" + line13(1, "1.5", "0.5", "");
    content += std::string(3u << 20, ' ') + "\r\n" + lines13(1) + std::string(5u << 20, ' ');
    Call call(13, 2);
    call.read(dir.write("very_long_lines.vorsel", content));
    EXPECT_EQ(call.status, -3) << "two stored lines and a third of blanks";
    Call three(13, 3);
    three.read(dir.path().string() + "/very_long_lines.vorsel");
    ASSERT_EQ(three.status, VORSEL_OK);
    EXPECT_EQ(three.d(2, 1), 1.5f);
    EXPECT_EQ(three.d(1, 2), 1.0f);
    EXPECT_EQ(three.d(4, 2), 0.3384f);
    EXPECT_EQ(three.d(2, 3), 0.0f);
}

TEST(Reader, RealDataFiles) {
    const fs::path folder = VORSEL_REAL_DATA;
    if (!fs::is_directory(folder)) GTEST_SKIP() << "no real data files in " << folder;
    struct Real {
        const char* file;
        int lines;
        float fo1, sfo1;
    } files[] = {
        {"oPPA.vorsel", 1714, 1.559f, 0.0385f},
        {"P-1.vorsel", 3174, 34.831f, 0.3384f},
        {"S2dipyridyl.vorsel", 4508, 86.025f, 0.5330f},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const fs::path p = folder / f.file;
        const auto estimate = static_cast<std::int32_t>(fs::file_size(p) / 132);
        EXPECT_EQ(estimate, f.lines);
        Call call(13, estimate);
        call.read(p.string());
        EXPECT_EQ(call.status, VORSEL_OK);
        EXPECT_EQ(call.npoint, f.lines);
        call.expect_guards();
        EXPECT_EQ(call.d(1, 1), 1.0f);
        EXPECT_EQ(call.d(2, 1), f.fo1);
        EXPECT_EQ(call.d(4, 1), f.sfo1);
        EXPECT_EQ(call.d(1, f.lines), static_cast<float>(f.lines));
        for (int k = 1; k <= f.lines; ++k) {
            ASSERT_GE(call.d(2, k), 0.0f);
            ASSERT_EQ(call.s(k), std::fabs(call.d(2, k) / call.d(4, k)));
        }
        Call fewer(13, estimate - 1);
        fewer.read(p.string());
        EXPECT_EQ(fewer.status, -f.lines);
    }
}

}  // namespace
