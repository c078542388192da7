// The reflection file of a refinement (*.fcf): a CIF, read with gemmi, whose
// data block holds the unit cell and one loop of reflections. Two layouts of
// that loop are understood, told apart by their tags, not by their order:
//   Fc squared: _refln_index_h, _k, _l, _refln_F_squared_meas,
//               _refln_F_squared_sigma, _refln_F_squared_calc (list code 4);
//   Fc:         the same with _refln_F_calc in place of the calculated square
//               (list code 6; its _refln_phase_calc is not needed).
// Every tag is taken in either spelling, the classic one (_refln_index_h,
// _cell_length_a) and the one with a dot after the category (_refln.index_h,
// _cell.length_a). _refln_observed_status, when present, goes with each
// reflection; the loop's other tags (the phase) are ignored.
//
// The reflection loop is not kept as text: gemmi's grammar reads the file,
// and the values of that one loop become numbers as they are met, with the
// line each reflection begins on. So a file of millions of reflections takes
// little more memory than its numbers, and a bad value is named with its own
// line while the file is read.
//
// Departures from a full CIF reader: only the first data block that holds a
// loop with _refln_index_h is looked at; a value in quotes is text, never a
// number (as CIF has it); the nulls "?" and "." count as missing, which for a
// reflection is an error. A UTF-8 byte order mark at the start is skipped.
#ifndef VORSEL_IMPORT_FCF_FILE_H
#define VORSEL_IMPORT_FCF_FILE_H

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorsel::import {

enum class Layout { fc_squared, fc };

struct Reflection {
    std::array<int, 3> hkl{};
    double fo_squared = 0;
    double sigma_fo_squared = 0;
    double fc_value = 0;  // Fc squared or Fc, as the layout has it
    char status = 'o';    // _refln_observed_status' first character; 'o' without the tag
};

// gemmi stays behind this class: only fcf_file.cpp includes it (see
// import/CMakeLists.txt for why that matters).
class FcfFile {
public:
    // Reads the file and finds the reflection loop and the cell; throws Error
    // (an input error) when the file cannot be read, is not a CIF, lacks
    // either of them, or holds a reflection whose index or value is not a
    // number (or an index beyond what a data file holds).
    explicit FcfFile(const std::string& path);
    ~FcfFile();

    Layout layout() const;
    std::size_t size() const;
    // _diffrn_radiation_wavelength of the block, if it gives one.
    std::optional<double> wavelength() const;

    // Reflection i (0-based, in file order).
    Reflection reflection(std::size_t i) const;

    // 1/d^2 of a reflection, from the cell's reciprocal metric.
    double inverse_d_squared(const std::array<int, 3>& hkl) const;

    // Throws Error (input) "FILE:LINE: reflection i+1: what", LINE being the
    // file's line where reflection i begins.
    [[noreturn]] void fail_at(std::size_t i, const std::string& what) const;

    // The cell: a, b, c in Angstrom, alpha, beta, gamma in degrees.
    std::array<double, 6> cell() const;
    // The space group as the block gives it: the operators' xyz texts
    // (_space_group_symop_operation_xyz or _symmetry_equiv_pos_as_xyz) and the
    // names (Hall, H-M), each empty where the block lacks it; line: the line
    // of the first of them found, for messages.
    struct Symmetry {
        std::vector<std::string> operators;
        std::string hall, hermann_mauguin;
        int line = 0;
    };
    Symmetry symmetry() const;

private:
    struct Impl;
    std::unique_ptr<const Impl> impl_;
};

// The text of the first item with the tag, spelled either way (lower case),
// in any block of the CIF at path; nothing when no block has it. Throws Error
// (an input error) when the file cannot be read or is not a CIF.
std::optional<std::string> cif_item_text(const std::string& path, const std::string& classic,
                                         const std::string& dotted);

}  // namespace vorsel::import

#endif
