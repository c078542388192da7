// The File menu: "&Open" puts the panel and the switches back as they were at
// start-up, blanks the board and runs the start-up again (chooser included);
// "&Exit" ends the program through the "EXIT" command.
#include "plot/frmVorselPlot.h"
#include "plot/layout.h"

namespace vorsel::plot {

using platform::ReadOut;

void frmVorselPlot::mnuOpen_Click() {
    if (ended()) return;

    reverse = false;
    sqrooted = false;
    smoothed = false;
    overall = true;
    relim = false;
    fitall = false;
    active = false;

    // "fit to frame" may have disabled them.
    for (int i : kViewButtons) p_.cmdBut.set_enabled(i, true);
    for (int i : {29, 31, 32, 33, 34}) makebutton(i);

    clipm = -10000.0f;
    step = 0.0;
    siglim = 3.0f;
    nstep = -1;
    clipp = 10000.0f;
    show(ReadOut::StepSize, std::int64_t{nstep});
    show(ReadOut::PosClip, clipp);
    show(ReadOut::NegClip, clipm);
    show(ReadOut::SigLim, siglim);

    // While the chooser is open the caption names no file.
    p_.fraVorsel.set_caption_font(10.0f, true);
    p_.fraVorsel.set_caption("VORSELPLOT: Systematic Error Curves");
    blank_board();

    for (int k = 1; k <= 22; ++k)
        if (ibstate[static_cast<std::size_t>(k)] == -1) makebutton(k);

    Form_Load();
}

void frmVorselPlot::mnuExit_Click() { cmdBut_Click(kExitButton); }

}  // namespace vorsel::plot
