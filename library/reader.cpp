// READ_VORSEL_DATA: reads a data file (a header line with the number of fields
// per reflection, then one line of 10-character fields per reflection) into
// the program's arrays dat and sigrat.
//
// Where this departs from the file's own description:
// - lines may end in LF alone or in CR alone (the line end of classic Mac
//   files) as well as in CR LF, each line its own way; CR followed by LF is
//   one line end, also when the two fall in different pieces of the file; a
//   short line reads as if padded with blanks; a final line without its line
//   end still counts;
// - a header count above 15 is accepted when the caller asks for 15 fields,
//   and the first 15 fields of each line are stored;
// - conditions the format has no code for get the positive codes of
//   vorsel_for.h instead of ending the program (no file, no header, a header
//   that is not a whole number, a field that is not a number, ncurves < 4);
// - npoint = 1 with two data lines gets its own code (-2 would read as a curve
//   count mismatch);
// - at most 15 fields of a line are stored even when ncurves is larger; the
//   rows above 15 are left as they were;
// - lines after the stored ones are counted, never converted.
//
// The file is read in pieces of one buffer through read(2), never whole, so a
// read needs the caller's arrays and one buffer of kBufferSize bytes.
#include "library/vorsel_for.h"

#include "library/field.h"
#include "library/float_env.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string_view>
#include <utility>

#if defined(__SSE2__) && !defined(VORSEL_NO_SIMD)
#  include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__) && !defined(VORSEL_NO_SIMD)
#  include <immintrin.h>
#endif

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorsel {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;
constexpr std::size_t kMaxStoredFields = 15;
constexpr std::size_t kLineHead = kMaxStoredFields * kFieldWidth;
constexpr std::size_t kPathLength = 256;

// The file, open for the life of one call.
class File {
public:
    explicit File(const char* path) {
        // O_NONBLOCK: opening a FIFO must not wait for a writer; only regular
        // files are read at all (a device such as /dev/zero would never end).
        fd_ = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0) return;
        struct stat st;
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
        const int flags = ::fcntl(fd_, F_GETFL);
        if (flags != -1) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
#if defined(POSIX_FADV_SEQUENTIAL)
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    }
    ~File() {
        if (fd_ >= 0) ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool is_open() const { return fd_ >= 0; }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

// The first line end (CR or LF) in [p, end), or end. Most lines of a file
// are some 130 characters: sixteen at a time, both characters at once.
inline const char* find_line_end(const char* p, const char* const end) {
#if defined(__SSE2__) && !defined(VORSEL_NO_SIMD)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int found =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (found != 0) return p + __builtin_ctz(static_cast<unsigned>(found));
    }
#endif
    while (p < end && *p != '\r' && *p != '\n') ++p;
    return p;
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(VORSEL_NO_SIMD)
// The same, thirty-two at a time, where the processor has AVX2 (the C
// library's memchr, which the search for LF alone used, does so too).
#  define VORSEL_AVX2_LINE_ENDS 1
__attribute__((target("avx2"))) const char* find_line_end_avx2(const char* p,
                                                               const char* const end) {
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    for (; end - p >= 32; p += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const auto found = static_cast<std::uint32_t>(_mm256_movemask_epi8(
            _mm256_or_si256(_mm256_cmpeq_epi8(v, cr), _mm256_cmpeq_epi8(v, lf))));
        if (found != 0) return p + __builtin_ctz(found);
    }
    return find_line_end(p, end);
}
#endif

// The line ends in [p, end): every CR, and every LF that does not follow a CR
// (after_cr: the character before p was a CR). after_cr is left telling the
// same of end.
inline std::int64_t count_line_ends(const char* p, const char* const end, bool& after_cr) {
    std::int64_t count = 0;
#if defined(__SSE2__) && !defined(VORSEL_NO_SIMD)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    unsigned carry = after_cr ? 1u : 0u;
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
        const auto lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
        count += std::popcount(crs) + std::popcount(lfs & ~((crs << 1) | carry));
        carry = crs >> 15;
    }
    after_cr = carry != 0;
#endif
    for (; p < end; ++p) {
        count += *p == '\r' || (*p == '\n' && !after_cr) ? 1 : 0;
        after_cr = *p == '\r';
    }
    return count;
}

// The lines of a file, read in pieces into a buffer the caller owns. A line
// ends in LF, CR LF or CR alone; it is handed out as its first characters only
// (without its line end): the reader never needs more than the 15 fields it
// stores.
class Lines {
public:
    enum class Result { line, end, failed };

    Lines(int fd, char* buffer, std::size_t capacity) : fd_(fd), buf_(buffer), cap_(capacity) {
#if defined(VORSEL_AVX2_LINE_ENDS)
        if (__builtin_cpu_supports("avx2")) find_ = find_line_end_avx2;
#endif
    }

    // The next line, cut to at most keep (<= kLineHead) characters. The view
    // stays valid until the next call.
    Result next(std::string_view& head, std::size_t keep) {
        for (;;) {
            if (after_cr_ && pos_ < fill_) {  // the LF of a CR LF split between two pieces
                pos_ += buf_[pos_] == '\n' ? 1 : 0;
                after_cr_ = false;
            }
            const std::size_t avail = fill_ - pos_;
            const char* start = buf_ + pos_;
            const char* eol = find_(start, start + avail);
            const bool ended = eol != start + avail;
            if (ended || (eof_ && (avail > 0 || long_line_))) {
                const auto len = static_cast<std::size_t>(eol - start);
                pos_ += ended ? len + 1 : len;
                if (ended && *eol == '\r') {  // CR LF is one line end
                    if (pos_ < fill_)
                        pos_ += buf_[pos_] == '\n' ? 1 : 0;
                    else
                        after_cr_ = true;
                }
                if (long_line_) {
                    long_line_ = false;
                    head = std::string_view(side_, std::min(side_len_, keep));
                    return Result::line;
                }
                head = std::string_view(start, std::min(len, keep));
                return Result::line;
            }
            if (eof_) return Result::end;
            if (long_line_) {
                pos_ = fill_ = 0;  // the middle of a long line: not needed
            } else if (pos_ == 0 && fill_ == cap_) {
                // A line longer than the buffer: keep its head aside.
                side_len_ = std::min(fill_, kLineHead);
                std::memcpy(side_, buf_, side_len_);
                long_line_ = true;
                pos_ = fill_ = 0;
            } else {
                std::memmove(buf_, buf_ + pos_, avail);
                fill_ = avail;
                pos_ = 0;
            }
            if (!refill()) return Result::failed;
        }
    }

    // The number of lines from here to the end of the file.
    Result count_rest(std::int64_t& count) {
        count = 0;
        bool in_line = long_line_;
        long_line_ = false;
        bool after_cr = after_cr_;
        for (;;) {
            if (pos_ < fill_) {
                count += count_line_ends(buf_ + pos_, buf_ + fill_, after_cr);
                in_line = buf_[fill_ - 1] != '\r' && buf_[fill_ - 1] != '\n';
            }
            pos_ = fill_ = 0;
            if (eof_) break;
            if (!refill()) return Result::failed;
        }
        if (in_line) ++count;
        return Result::line;
    }

private:
    bool refill() {
        for (;;) {
            const ssize_t n = ::read(fd_, buf_ + fill_, cap_ - fill_);
            if (n > 0) {
                fill_ += static_cast<std::size_t>(n);
                return true;
            }
            if (n == 0) {
                eof_ = true;
                return true;
            }
            if (errno == EINTR) continue;
            return false;
        }
    }

    const char* (*find_)(const char*, const char*) = find_line_end;  // or its AVX2 form
    int fd_;
    char* buf_;
    std::size_t cap_;
    std::size_t pos_ = 0;
    std::size_t fill_ = 0;
    bool eof_ = false;
    bool long_line_ = false;
    bool after_cr_ = false;  // the last line ended in a CR at the end of the buffer
    char side_[kLineHead];
    std::size_t side_len_ = 0;
};

// Copies a converted line into its point of dat. Left to memcpy, the compiler
// makes a string move of it, which costs more than the rest of the line.
template <std::size_t NFields>
inline void store_row(float* point, const float* row) {
    std::size_t c = 0;
#if defined(__SSE2__) && !defined(VORSEL_NO_SIMD)
    for (; c + 4 <= NFields; c += 4) _mm_storeu_ps(point + c, _mm_loadu_ps(row + c));
#endif
    for (; c < NFields; ++c) point[c] = row[c];
}

// The outcome of reading the data lines.
struct Outcome {
    std::int32_t status;  // VORSEL_OK when every expected line was stored
    std::int32_t stored;  // complete lines stored
};

// Reads up to `expected` data lines of which NFields fields are stored, each
// point `stride` reals after the one before. The count of fields is a template
// argument so that the conversion of a line unrolls and its copy into dat is
// a few moves. A line is converted in full before anything of it is stored:
// a line with a bad field leaves dat as it was.
template <std::size_t NFields>
Outcome read_points(Lines& lines, float* dat, float* sigrat, std::size_t stride,
                    std::int32_t expected) {
    constexpr std::size_t kWidth = NFields * kFieldWidth;
    float row[NFields];
    std::string_view head;
    for (std::int32_t k = 0; k < expected; ++k) {
        switch (lines.next(head, kWidth)) {
            case Lines::Result::end: return {VORSEL_PREMATURE_EOF, k};
            case Lines::Result::failed: return {VORSEL_CANNOT_OPEN, k};
            case Lines::Result::line: break;
        }
        const char* text = head.data();
        char padded[kWidth];
        if (head.size() < kWidth) {  // a short line reads as if padded with blanks
            std::memset(padded, ' ', kWidth);
            std::memcpy(padded, head.data(), head.size());
            text = padded;
        }
        bool good = true;
        std::size_t bad = 0;
        for (std::size_t c = 0; c < NFields; ++c) {
            const bool ok = read_real(text + c * kFieldWidth, row[c]);
            bad = good && !ok ? c : bad;
            good = good && ok;
        }
        if (!good) return {static_cast<std::int32_t>(VORSEL_BAD_FIELD + bad + 1), k};
        if (row[1] < 0.0f)  // Fo is a magnitude; -0.0 stays as it is
            row[1] = -row[1];
        store_row<NFields>(dat + static_cast<std::size_t>(k) * stride, row);
        sigrat[k] = std::fabs(row[1] / row[3]);
    }
    return {VORSEL_OK, expected};
}

template <std::size_t... N>
Outcome dispatch(std::size_t nfields, std::index_sequence<N...>, Lines& lines, float* dat,
                 float* sigrat, std::size_t stride, std::int32_t expected) {
    Outcome outcome{VORSEL_INTERNAL_ERROR, 0};
    static_cast<void>(
        ((nfields == N + 4
              ? (outcome = read_points<N + 4>(lines, dat, sigrat, stride, expected), true)
              : false) ||
         ...));
    return outcome;
}

std::int32_t read_data(const char* name, float* dat, float* sigrat, std::int32_t ncurves,
                       std::int32_t& npoint) {
    if (ncurves < 4) return VORSEL_TOO_FEW_CURVES;

    char path[kPathLength + 1];
    std::size_t len = 0;
    if (name != nullptr)
        while (len < kPathLength && name[len] != '\0') {
            path[len] = name[len];
            ++len;
        }
    while (len > 0 && path[len - 1] == ' ') --len;
    if (len == 0) return VORSEL_CANNOT_OPEN;
    path[len] = '\0';

    File file(path);
    if (!file.is_open()) return VORSEL_CANNOT_OPEN;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kBufferSize]);
    if (!buffer) return VORSEL_INTERNAL_ERROR;
    Lines lines(file.fd(), buffer.get(), kBufferSize);

    std::string_view head;
    switch (lines.next(head, kHeaderWidth)) {
        case Lines::Result::end: return VORSEL_NO_HEADER;
        case Lines::Result::failed: return VORSEL_CANNOT_OPEN;
        case Lines::Result::line: break;
    }
    char header[kHeaderWidth];
    std::memset(header, ' ', sizeof header);
    std::memcpy(header, head.data(), head.size());
    std::int32_t count = 0;
    if (!read_whole(header, kHeaderWidth, count)) return VORSEL_BAD_HEADER;
    if (count != ncurves &&
        !(ncurves == static_cast<std::int32_t>(kMaxStoredFields) && count > ncurves))
        return VORSEL_CURVES_DIFFER;

    const std::size_t nfields =
        std::min<std::size_t>(static_cast<std::size_t>(ncurves), kMaxStoredFields);
    const std::size_t stride = static_cast<std::size_t>(ncurves);
    const std::int32_t expected = std::max<std::int32_t>(npoint, 0);
    const Outcome outcome = dispatch(nfields, std::make_index_sequence<kMaxStoredFields - 3>{},
                                     lines, dat, sigrat, stride, expected);
    if (outcome.status != VORSEL_OK) {
        npoint = outcome.stored;
        return outcome.status;
    }

    std::int64_t further = 0;
    if (lines.count_rest(further) == Lines::Result::failed) return VORSEL_CANNOT_OPEN;
    if (further == 0) return VORSEL_OK;
    const std::int64_t total = expected + further;
    if (total == 2) return VORSEL_TWO_LINES;
    return static_cast<std::int32_t>(
        -std::min<std::int64_t>(total, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace
}  // namespace vorsel

extern "C" VORSEL_FOR_API void READ_VORSEL_DATA(const char* name, float* dat, float* sigrat,
                                                const int32_t* ncurves, int32_t* npoint,
                                                int32_t* ReturnKey) {
    const vorsel::DefaultFloatEnvironment environment;
    std::int32_t status = VORSEL_INTERNAL_ERROR;
    try {
        status = vorsel::read_data(name, dat, sigrat, *ncurves, *npoint);
    } catch (...) {
        status = VORSEL_INTERNAL_ERROR;
    }
    *ReturnKey = status;
}
