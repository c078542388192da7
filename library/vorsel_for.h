/* vorsel_for: the computation library of vorselplot.
 *
 * Three entry points with a C calling convention. Every argument is passed by
 * address, scalars included; arrays as the address of their element 1 (the
 * caller's arrays are 1-based, data column-major with the row index fastest).
 * Integers are 4-byte signed, reals 4-byte IEEE single precision, flags 16-bit
 * booleans of which only the lowest bit is read (the program stores -1 or 0).
 * The operations return nothing: results and the status come back through the
 * arguments. They allocate nothing that outlives a call, keep no data between
 * calls, touch nothing outside their arguments and never trap, whatever the
 * values of the arguments. Each works in the default floating-point
 * environment (exceptions masked, rounding to nearest, subnormals kept)
 * whatever the caller's is, and gives the caller's back as it found it, status
 * flags included.
 */
#ifndef VORSEL_FOR_H
#define VORSEL_FOR_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(VORSEL_FOR_BUILDING)
#    define VORSEL_FOR_API __declspec(dllexport)
#  else
#    define VORSEL_FOR_API __declspec(dllimport)
#  endif
#elif defined(__GNUC__)
#  define VORSEL_FOR_API __attribute__((visibility("default")))
#else
#  define VORSEL_FOR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes of READ_VORSEL_DATA (argument ReturnKey).
 *
 *   0   the header count matched and the file held exactly npoint data lines.
 *  -1   the file ended before npoint data lines were read; npoint is lowered to
 *       the number of complete lines read, dat and sigrat hold them.
 *  -2   the header count differs from ncurves; nothing was read, dat, sigrat
 *       and npoint are unchanged. (A header above 15 with ncurves = 15 is not a
 *       mismatch: the first 15 fields of each line are stored.)
 *  <= -3  the file holds more data lines than npoint: the value is minus the
 *       total number of data lines; the first npoint lines are stored.
 *
 * Conditions the file format itself has no code for are positive:
 */
enum {
    VORSEL_OK = 0,
    VORSEL_PREMATURE_EOF = -1,
    VORSEL_CURVES_DIFFER = -2,
    /* The file cannot be opened or read: missing, not a regular file (a
     * directory, a device, a pipe), unreadable, or an empty or all-blank name;
     * or reading failed part-way (then npoint is the lines stored so far).
     * Otherwise nothing read, npoint unchanged. */
    VORSEL_CANNOT_OPEN = 1,
    /* The file is empty: there is no header line. Nothing read, npoint
     * unchanged. */
    VORSEL_NO_HEADER = 2,
    /* The header field (columns 1 to 6) is not a whole number (blanks
     * ignored, all blank = 0). Nothing read, npoint unchanged. */
    VORSEL_BAD_HEADER = 3,
    /* ncurves is below 4: fields 2 and 4 of every line are needed, so the
     * file is refused before it is opened; nothing read, npoint unchanged. */
    VORSEL_TOO_FEW_CURVES = 4,
    /* The file holds two data lines, more than expected (npoint = 1, or 0):
     * the format's own code, minus the total, would be -2 and could not be
     * told apart from VORSEL_CURVES_DIFFER. The first npoint lines are stored,
     * npoint unchanged. (With npoint = 0 and exactly one line the code is -1,
     * as the format gives it; npoint stays 0.) */
    VORSEL_TWO_LINES = 5,
    /* The library could not complete the call for a reason of its own (for
     * example it could not get memory for its read buffer). Nothing is
     * promised about dat and sigrat beyond the lines already stored. */
    VORSEL_INTERNAL_ERROR = 9,
    /* VORSEL_BAD_FIELD + c, c = 1..15: field c of data line npoint + 1 (the
     * first such field of that line) holds characters that are not part of a
     * number. On return npoint is the number of complete lines before that
     * line; dat and sigrat hold them, nothing of the bad line is stored. Lines
     * after the stored ones are only counted, never checked. */
    VORSEL_BAD_FIELD = 100
};

/* Reads the data file into dat (ncurves x npoint reals, row index fastest) and
 * sigrat (npoint reals, |Fo / s(Fo)|). name: NUL-terminated 8-bit path; only
 * its first 256 characters count and trailing blanks are dropped. Lines end in
 * CR LF, in LF alone or in CR alone (CR followed by LF is one line end), each
 * line its own way; a short line reads as if padded with blanks. Fields:
 * blanks ignored anywhere, an all-blank field is 0, exponents E, D, e or d,
 * the nearest 4-byte real; beyond its range infinity or 0. Row 2 (Fo) is
 * stored as its absolute value; s(Fo) = 0 gives sigrat = +inf (NaN for 0/0).
 * At most 15 fields per line are stored: with ncurves > 15, rows 16 and up
 * are left as they were. An npoint below 0 counts as 0 (no line is stored)
 * and is left as it was. The file is read in pieces (one 1 MiB buffer) and
 * closed before the call returns. */
VORSEL_FOR_API void READ_VORSEL_DATA(const char* name, float* dat, float* sigrat,
                                     const int32_t* ncurves, int32_t* npoint, int32_t* ReturnKey);

/* Builds the current curve: selects the points with sigrat >= siglim in the
 * walk order iperm, forms y by the curve-type code ityp (1: row iyval;
 * 2: (Fo - Fc) / Fo; 3: (Fo - Fc) / s(Fo); 4: Fo / Fc; 5: Fo / s(Fo); any other
 * code: no curve) and x from row ixval, clips y to [clipm, clipp], puts the
 * points in plot order (walk order reversed unless reverse is set), takes
 * sign-preserving square roots when sqrooted is set and smooths into ysmo when
 * smoothed is set (for fewer than 3 points ysmo = ycur). npcur receives the
 * number of selected points; only elements 1..npcur of the outputs are
 * written. Quotients, roots and weighted sums are formed in double and rounded
 * once. Arguments that would reach outside the arrays give no point: ixval or
 * (code 1) iyval outside 1..ncurves, ncurves < 4 for codes 2 to 5, npoint <= 0
 * (npcur = 0); walk entries outside 1..npoint are skipped. Codes 2 to 5 never
 * look at iyval. */
VORSEL_FOR_API void FILL_KURRENT(const float* dat, const float* sigrat, const int32_t* iperm,
                                 const int32_t* ixval, const int32_t* iyval, float* ywork,
                                 float* xwork, float* ycur, float* xcur, float* ysmo,
                                 const int32_t* ncurves, const int32_t* npoint, int32_t* npcur,
                                 const float* siglim, const float* clipp, const float* clipm,
                                 const int16_t* reverse, const int16_t* sqrooted,
                                 const int16_t* smoothed, const int32_t* ityp);

/* Maps values y(first..last) to offsets nkur(first..last): the nearest integer
 * to (y - valmin) * skale (halves away from zero; beyond the 4-byte integer range
 * saturated; not-a-number gives 0), then at least 0, then at most maxpar.
 * npcur is the length of both arrays: indices outside 1..npcur are not mapped. */
VORSEL_FOR_API void KUR_TO_NKUR(const float* y, int32_t* nkur, const int32_t* npcur,
                                const int32_t* first, const int32_t* last, const float* valmin,
                                const int32_t* maxpar, const float* skale);

#ifdef __cplusplus
}
#endif

#endif
