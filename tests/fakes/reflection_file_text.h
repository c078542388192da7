// A reflection file of n reflections, monoclinic, without a wavelength; 1 in 13 left out.
#pragma once

#include <string>

inline std::string reflection_file_text(int n) {
    std::string t = "data_t\n_cell_length_a 12.5\n_cell_length_b 13\n_cell_length_c 14\n"
                    "_cell_angle_alpha 90\n_cell_angle_beta 100\n_cell_angle_gamma 90\nloop_\n"
                    "_refln_index_h\n_refln_index_k\n_refln_index_l\n_refln_F_squared_calc\n"
                    "_refln_F_squared_meas\n_refln_F_squared_sigma\n_refln_observed_status\n";
    for (int i = 0; i < n; ++i)
        t += std::to_string(i % 4) + " " + std::to_string(i / 4 % 5) + " " +
             std::to_string(i / 20 + 1) + " " + std::to_string(100 + 37 * (i % 11)) + " " +
             std::to_string(95 + 41 * (i % 7)) + " " + std::to_string(3 + i % 5) +
             (i % 13 ? " o\n" : " x\n");
    return t;
}
