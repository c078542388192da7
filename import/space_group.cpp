// The refinement's space group from gemmi's tables and its parser of
// operators (compiled with gemmi, see import/CMakeLists.txt).
#include "import/space_group.h"

#include <gemmi/symmetry.hpp>

#include <stdexcept>

#include "import/import_error.h"

namespace vorsel::import {
namespace {

std::string at_line(const std::string& path, int line) {
    return line > 0 ? path + ":" + std::to_string(line) : path;
}

}  // namespace

SpaceGroup space_group_of(const FcfFile& fcf, const std::string& path) {
    const FcfFile::Symmetry s = fcf.symmetry();
    gemmi::GroupOps ops;
    SpaceGroup g;
    const gemmi::SpaceGroup* sg = nullptr;
    try {
        if (!s.operators.empty()) {
            std::vector<gemmi::Op> listed;
            for (const std::string& text : s.operators) listed.push_back(gemmi::parse_triplet(text));
            ops = gemmi::split_centering_vectors(listed);
            sg = gemmi::find_spacegroup_by_ops(ops);
        } else if (!s.hall.empty()) {
            ops = gemmi::symops_from_hall(s.hall.c_str());
            sg = gemmi::find_spacegroup_by_ops(ops);
        } else if (!s.hermann_mauguin.empty()) {
            const auto cell = fcf.cell();
            sg = gemmi::find_spacegroup_by_name(s.hermann_mauguin, cell[3], cell[5]);
            if (sg == nullptr)
                throw Error(Exit::input, at_line(path, s.line) +
                                             ": unknown space group '" + s.hermann_mauguin + "'");
            ops = sg->operations();
        } else {
            throw Error(Exit::input, path +
                                         ": no space group (no _space_group_symop_operation_xyz, "
                                         "_symmetry_equiv_pos_as_xyz, Hall or H-M name): "
                                         "observations cannot be mapped onto its reflections");
        }
    } catch (const Error&) {
        throw;
    } catch (const std::runtime_error& e) {
        throw Error(Exit::input, at_line(path, s.line) +
                                     ": the space group cannot be read: " + e.what());
    }
    if (sg != nullptr) {
        g.number = sg->number;
        g.name = sg->xhm();
    }
    for (const gemmi::Op& op : ops.sym_ops) {
        std::array<int, 9> r{};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) r[static_cast<std::size_t>(3 * i + j)] = op.rot[i][j] / gemmi::Op::DEN;
        g.rotations.push_back(r);
    }
    return g;
}

}  // namespace vorsel::import
