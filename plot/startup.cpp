// Start-up of the plot window: defaults, the remembered location, the chooser,
// the header of the data file, the arrays, the library's reader and its status,
// the read-outs, the caption and the blank board.
//
// Departures from the bare sequence, all for files the reader cannot use:
// - the record estimate divides by the file's own line length (plot/
//   data_file.cpp), so a file whose lines end in LF or CR alone gives the same
//   points as its CR LF twin;
// - a file that cannot be measured, whose first line holds no usable count,
//   that is shorter than one data line, whose first data line or end cannot be
//   data, whose path the reader cannot take, whose arrays would not fit in the
//   memory the machine can give, that the reader refuses (a positive status)
//   or that holds no data line at all gets a message naming the file and the
//   reason, and the chooser opens again; nothing is allocated for it.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <exception>
#include <utility>
#include <optional>
#include <span>
#include <string>

#include "library/miller_indices.h"
#include "library/numeric.h"
#include "library/vorsel_for.h"
#include "platform/format.h"
#include "plot/data_file.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::ReadOut;

constexpr const char* kCrLf = "\r\n";
constexpr const char* kReadError = "Error reading input data!";
constexpr std::size_t kLibraryPathLength = 256;
constexpr std::int32_t kMaxCurves = 15;

// The remembered location: each part under its key, the code first (without
// a code nothing is remembered).
struct RememberedPart {
    const char* key;
    std::string chooser::Location::*part;
};
constexpr RememberedPart kRemembered[] = {
    {"Recent Compound Code", &chooser::Location::strCode},
    {"Recent Drive", &chooser::Location::strDrive},
    {"Recent Directory", &chooser::Location::strDirectory},
    {"Recent File", &chooser::Location::strFile},
    {"Recent Location", &chooser::Location::strLocation},
};

// The reason for a status the reader has no format code for. npoint is the
// value after the call: for a bad field, the number of complete lines before
// the data line that holds it.
std::string reader_problem(std::int32_t status, std::int32_t npoint, std::int32_t ncurves) {
    if (status > VORSEL_BAD_FIELD && status <= VORSEL_BAD_FIELD + kMaxCurves)
        return bad_field_text(std::int64_t{npoint} + 1, status - VORSEL_BAD_FIELD);
    switch (status) {
        case VORSEL_CANNOT_OPEN:
            return "The reader cannot open the file.";
        case VORSEL_NO_HEADER:
            return "The file is empty: it has no header line.";
        case VORSEL_BAD_HEADER:
            return "Columns 1 to 6 of its first line do not hold the number of curves.";
        case VORSEL_TOO_FEW_CURVES:
            return "It has " + std::to_string(ncurves) +
                   " curves per data line; at least 4 are needed (Fo is curve 2, s(Fo) curve 4).";
        case VORSEL_INTERNAL_ERROR:
            return "The reader could not finish reading it.";
        default:
            return "The reader returned the unknown status " + std::to_string(status) + ".";
    }
}

std::string more_data_text(std::int64_t total) {
    return std::string("Error: More data available than expected") + kCrLf + "There are " +
           std::to_string(total) + " datapoints";
}

}  // namespace

frmVorselPlot::frmVorselPlot(PlotPlatform p) : p_(p) {}

void frmVorselPlot::Form_Load() {
    set_defaults();
    show_start_readouts();
    restore_location();
    if (!choose_and_read_file()) return;  // the program is ending
    show_loaded_file();
    make_orders_ahead();
    switch (std::exchange(after_read_, AfterRead::Nothing)) {
        case AfterRead::Open: return mnuOpen_Click();
        case AfterRead::Exit: return mnuExit_Click();
        case AfterRead::Nothing: return;
    }
}

void frmVorselPlot::set_defaults() {
    dfactor = 0.99;
    ibx = 0;
    iby = 0;
    margin = 800;
    nxorg = 820;
    maxstep = 200;
    tickval = 0.02f;
    icsm = 0x0000FF;
    icob = 0x00FFFF;
    icross = platform::kSysButtonFace;
    ibackgr = 0xFF0000;
    active = false;
    valmax = 0.0f;
    valmin = 0.0f;
    set_switch_defaults();
    set_limit_defaults();
}

void frmVorselPlot::set_switch_defaults() {
    smoothed = false;
    reverse = false;
    sqrooted = false;
    overall = true;
    relim = false;
    fitall = false;
}

void frmVorselPlot::set_limit_defaults() {
    step = 0.0;
    nstep = -1;
    siglim = kStartLimit;
    clipp = kStartPosClip;
    clipm = kStartNegClip;
}

void frmVorselPlot::show_start_readouts() {
    show(ReadOut::StepSize, std::int64_t{nstep});
    show(ReadOut::PosClip, clipp);
    show(ReadOut::NegClip, clipm);
    show(ReadOut::SigLim, siglim);
    show(ReadOut::MaxValue, valmax);
    show(ReadOut::MinValue, valmin);
}

void frmVorselPlot::restore_location() {
    const auto setting = [this](const char* key) {
        return p_.settings.get(kSettingsApp, kSettingsSection, key, "");
    };
    loc = chooser::Location();
    loc.strCode = setting(kRemembered[0].key);
    if (loc.strCode.empty()) {
        loc.strDrive = p_.path_style.default_drive;
        return;
    }
    for (const RememberedPart& r : std::span(kRemembered).subspan(1)) loc.*r.part = setting(r.key);
}

void frmVorselPlot::save_location() {
    for (const RememberedPart& r : kRemembered)
        p_.settings.set(kSettingsApp, kSettingsSection, r.key, loc.*r.part);
}

void frmVorselPlot::refuse(const std::string& reason) {
    p_.messages.show("The input data file " + loc.strLocation + " cannot be used." + kCrLf +
                         reason + kCrLf + kCrLf + kChooseAnother,
                     kReadError, MsgButtons::Ok, MsgIcon::Critical);
}

bool frmVorselPlot::choose_and_read_file() {
    // Until a file has been read, the chooser opens again after every file
    // that cannot be used; it reopens on that file's directory.
    for (;;) {
        ShouldCancel = false;
        if (handed_) {
            // A file handed over in advance takes the place of the first choice.
            loc = *handed_;
            read_from_ = std::move(handed_read_from_);
            handed_.reset();
            handed_read_from_.clear();
        } else {
            read_from_.clear();
            std::unique_ptr<platform::ChooserView> view = p_.chooser_views.create();
            chooser::frmGetDefLocation chooser(*view, p_.messages, p_.files, p_.path_style);
            chooser.show_modal(loc, ShouldCancel);
            if (ShouldCancel) {
                cmdBut_Click(but::Exit);
                return false;
            }
            loc = chooser.pub;
        }
        if (read_from_.empty()) save_location();
        switch (read_chosen_file()) {
            case ReadResult::Read: return true;
            case ReadResult::Ended: return false;
            case ReadResult::Refused: continue;
        }
    }
}

frmVorselPlot::ReadResult frmVorselPlot::read_chosen_file() {
    // The reader takes a blank-padded field of 256 bytes of the path as the
    // file system spells it: a longer path would be cut and could name
    // another file.
    // The reader also drops the blanks at the end of its field: a name ending
    // in one would read the file named without them.
    const std::string& path = read_from_.empty() ? loc.strLocation : read_from_;
    if (path.empty() || path.back() == ' ') {
        refuse("Its name ends in a blank, which the reader drops: it would read another "
               "file, the one named without the blank.");
        return ReadResult::Refused;
    }
    if (path.size() > kLibraryPathLength) {
        refuse("Its path is " + std::to_string(path.size()) +
               " bytes long as the file system spells it; the reader takes at most " +
               std::to_string(kLibraryPathLength) + " bytes.");
        return ReadResult::Refused;
    }
    library_path_ = path;
    library_path_.resize(kLibraryPathLength, ' ');

    const DataFileShape shape = examine_data_file(p_.files, path);
    if (!shape.problem.empty()) {
        refuse(shape.problem);
        return ReadResult::Refused;
    }
    ncurves = shape.ncurves;
    npoint = shape.npoint;
    header_hkl = shape.indices;
    carries_hkl = shape.indices && ncurves >= kFieldsWithIndices;

    if (ncurves > kMaxCurves) {
        p_.messages.show(std::string("Warning: number of curves on the input file > 15") + kCrLf +
                             "Only the first 15 curves will be used...",
                         "Too many curves!", MsgButtons::Ok, MsgIcon::None);
        ncurves = kMaxCurves;
    }
    if (!size_arrays()) return ReadResult::Refused;

    if (!read_data()) return ReadResult::Ended;  // the library is missing: the program is ending

    if (ReturnKey > 0 && ReturnKey != VORSEL_TWO_LINES) {
        refuse(reader_problem(ReturnKey, npoint, ncurves));
        return ReadResult::Refused;
    }
    if (ReturnKey == VORSEL_PREMATURE_EOF && npoint < 1) {
        refuse("It holds no data line after its header line.");
        return ReadResult::Refused;
    }
    report_status();
    if (const std::string w = infinite_field_text(dat.data(), npoint, ncurves); !w.empty())
        p_.messages.show(w, "Value out of range", MsgButtons::Ok, MsgIcon::Warning);
    return ReadResult::Read;
}

bool frmVorselPlot::read_data() {
    ReturnKey = 0;
    // A large file takes a while: the read runs while the window repaints
    // and, after a second, says what it is waiting for. The worker holds the
    // blocks it fills and writes its counts into a result of its own; the
    // window takes them once the worker has ended, so nothing the window's
    // handlers look at changes under them meanwhile.
    if (!p_.library.bind_reader()) return false;
    struct Read {
        std::int32_t ncurves, npoint, status = 0;
        bool bound = true;
    };
    auto result = std::make_shared<Read>(Read{ncurves, npoint});
    const std::string text = "Reading " + loc.strLocation + "\n(" + std::to_string(npoint) +
                             " data lines of " + std::to_string(ncurves) + " curves)";
    reading_ = true;
    try {
        p_.program.run_long(text, [result, path = library_path_, library = &p_.library,
                                   d = dat.shared_to_fill(), s = sigrat.shared_to_fill()] {
            result->bound = library->READ_VORSEL_DATA(path.c_str(), d->data(), s->data(),
                                                      &result->ncurves, &result->npoint,
                                                      &result->status);
        });
    } catch (...) {
        reading_ = false;
        throw;
    }
    reading_ = false;
    ncurves = result->ncurves;
    npoint = result->npoint;
    ReturnKey = result->status;
    return result->bound;
}

bool frmVorselPlot::size_arrays() {
    // Refused before anything is sized: asked for more than the machine can
    // give, the program would be stopped without a word.
    if (const std::string problem = memory_problem(array_bytes(ncurves, npoint),
                                                   p_.program.memory_available(), npoint);
        !problem.empty()) {
        refuse(problem);
        return false;
    }
    new_data();
    try {
        const auto n = static_cast<std::size_t>(npoint);
        dat.redim(static_cast<std::size_t>(ncurves) * n);
        sigrat.redim(n);
        ycur.redim(n);
        ysmo.redim(n);
        nkur.redim(n);
        ywork.redim(n);
        xcur.redim(n);
        xwork.redim(n);
        iperm.redim(n);
    } catch (const std::exception&) {
        // bad_alloc, or length_error beyond what a vector can address.
        refuse("There is not enough memory for its " + std::to_string(npoint) +
               " data points of " + std::to_string(ncurves) + " curves.");
        return false;
    }
    return true;
}

void frmVorselPlot::report_status() {
    auto report = [this](const std::string& text) {
        p_.messages.show(text, kReadError, MsgButtons::Ok, MsgIcon::None);
    };
    // One line expected, two present: the format's own code for this would
    // read as a curve-count mismatch.
    if (ReturnKey == VORSEL_TWO_LINES) report(more_data_text(2));
    if (ReturnKey == VORSEL_PREMATURE_EOF)
        report(std::string("Error: premature EOF while reading input data") + kCrLf +
               "Number of data point adapted...");
    if (ReturnKey == VORSEL_CURVES_DIFFER)
        report(std::string("Error: Number of curves found differs") + kCrLf +
               "Program execution should be stopped...");
    if (ReturnKey < VORSEL_CURVES_DIFFER) report(more_data_text(-std::int64_t{ReturnKey}));
}

void frmVorselPlot::show_loaded_file() {
    npcur = npoint;
    show(ReadOut::TotalPoints, std::int64_t{npoint});
    show(ReadOut::UsedPoints, std::int64_t{npcur});
    show(ReadOut::PlottedPoints, std::int64_t{0});

    take_board_size();

    p_.fraVorsel.set_caption_font(10.0f, true);
    p_.fraVorsel.set_caption("VORSELPLOT: Systematic Error Curves for " + loc.strCode +
                             "          input data file: " + loc.strLocation);

    blank_board();
}

void frmVorselPlot::take_board_size() {
    nxpix = numeric::nearest_even_saturated(p_.pctPlot.width_twips());
    nypix = numeric::nearest_even_saturated(p_.pctPlot.height_twips());
    maxpix = nypix;
    maxpar = nypix - 1;
}

void frmVorselPlot::end_program() { p_.program.end(platform::Ending::Orderly); }

void frmVorselPlot::show(platform::ReadOut box, std::int64_t value) {
    p_.readouts.set_text(box, platform::readout(value));
}

void frmVorselPlot::show(platform::ReadOut box, float value) {
    p_.readouts.set_text(box, platform::readout(value));
}

}  // namespace vorsel::plot
