// The refinement's space group as far as matching observations needs it: the
// rotation parts of its operators (centring and translations do not move
// indices), its number and name.
#ifndef VORSEL_IMPORT_SPACE_GROUP_H
#define VORSEL_IMPORT_SPACE_GROUP_H

#include <array>
#include <string>
#include <vector>

#include "import/fcf_file.h"

namespace vorsel::import {

struct SpaceGroup {
    // Row-major 3 x 3 matrices R; an equivalent of h k l (a row) is (h k l) R.
    std::vector<std::array<int, 9>> rotations;
    int number = 0;  // 0: not a tabulated setting
    std::string name;
};

// From the operators the file lists, else its Hall name, else its H-M name;
// throws Error (input) naming the file and line when it gives none or one
// that cannot be read.
SpaceGroup space_group_of(const FcfFile& fcf, const std::string& path);

}  // namespace vorsel::import

#endif
