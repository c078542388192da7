// The File menu: "&Open" puts the panel and the switches back as they were at
// start-up, blanks the board and runs the start-up again (chooser included);
// "&Exit" ends the program through the "EXIT" command.
#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

void frmVorselPlot::mnuOpen_Click() {
    if (ended()) return;
    if (reading_) {
        after_read_ = AfterRead::Open;
        return;
    }

    active = false;
    switches_to_start();
    limits_to_start();

    // While the chooser is open the caption names no file.
    p_.fraVorsel.set_caption_font(10.0f, true);
    p_.fraVorsel.set_caption("VORSELPLOT: Systematic Error Curves");
    blank_board();

    // The y quantities first, then the x quantities, each in rising Index.
    for (int k = but::Fo; k <= but::VsXRtime; ++k)
        if (is_down(k)) makebutton(k);

    Form_Load();
}

void frmVorselPlot::mnuExit_Click() { cmdBut_Click(but::Exit); }

}  // namespace vorsel::plot
