// The reflection file of a refinement (*.fcf): a CIF, read with gemmi, whose
// data block holds the unit cell and one loop of reflections. Two layouts of
// that loop are understood, told apart by their tags, not by their order:
//   Fc squared: _refln_index_h, _k, _l, _refln_F_squared_meas,
//               _refln_F_squared_sigma, _refln_F_squared_calc (list code 4);
//   Fc:         the same with _refln_F_calc in place of the calculated square
//               (list code 6; its _refln_phase_calc is not needed).
// Other tags of the loop (_refln_observed_status, the phase) are ignored.
//
// Departures from a full CIF reader: only the first data block that holds a
// loop with _refln_index_h is looked at; a value in quotes is text, never a
// number (as CIF has it); the nulls "?" and "." count as missing, which for a
// reflection is an error.
#ifndef VORSEL_IMPORT_FCF_FILE_H
#define VORSEL_IMPORT_FCF_FILE_H

#include <gemmi/cifdoc.hpp>
#include <gemmi/unitcell.hpp>

#include <cstddef>
#include <optional>
#include <string>

namespace vorsel::import {

enum class Layout { fc_squared, fc };

struct Reflection {
    gemmi::Miller hkl{};
    double fo_squared = 0;
    double sigma_fo_squared = 0;
    double fc_value = 0;  // Fc squared or Fc, as the layout has it
};

class FcfFile {
public:
    // Reads the file and finds the reflection loop and the cell; throws Error
    // (an input error) when the file cannot be read, is not a CIF, or lacks
    // either of them.
    explicit FcfFile(const std::string& path);

    Layout layout() const { return layout_; }
    std::size_t size() const { return rows_; }
    const gemmi::UnitCell& cell() const { return cell_; }
    // _diffrn_radiation_wavelength of the block, if it gives one.
    std::optional<double> wavelength() const { return wavelength_; }

    // Reflection i (0-based, in file order); throws Error when one of its
    // values is not a number or an index not a whole number.
    Reflection reflection(std::size_t i) const;

    // Throws Error (input) "FILE:LINE: reflection i+1 (h k l): what", LINE
    // being the file's line where reflection i begins.
    [[noreturn]] void fail_at(std::size_t i, const std::string& what) const;

private:
    double number(std::size_t i, int column) const;
    // column: an index into columns_, or -1 for the reflection's first value.
    [[noreturn]] void fail_at_value(std::size_t i, int column, const std::string& what) const;
    std::size_t line_of_value(std::size_t index) const;
    [[noreturn]] void fail_in_block(const std::string& tag, const std::string& what) const;

    std::string path_;
    gemmi::cif::Document document_;
    const gemmi::cif::Block* block_ = nullptr;
    const gemmi::cif::Item* loop_ = nullptr;
    std::size_t rows_ = 0;
    int columns_[6] = {};  // h, k, l, Fo^2, s(Fo^2), Fc^2 or Fc
    Layout layout_ = Layout::fc_squared;
    gemmi::UnitCell cell_;
    std::optional<double> wavelength_;
};

}  // namespace vorsel::import

#endif
