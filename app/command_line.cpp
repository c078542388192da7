#include "app/command_line.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "plot/quantities.h"

namespace vorsel::app {

namespace {

using Mode = CommandLine::Mode;

// The limit buttons go up one at a time, each a rebuild of the curve.
constexpr std::int32_t kMaxLimit = 999;

std::optional<OutputKind> kind_of(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    std::string ext;
    for (char c : path.substr(dot + 1))
        ext.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    if (ext == "png") return OutputKind::Png;
    if (ext == "svg") return OutputKind::Svg;
    if (ext == "pdf") return OutputKind::Pdf;
    if (ext == "csv") return OutputKind::Csv;
    if (ext == "json") return OutputKind::Json;
    return std::nullopt;
}

std::string names(plot::Axis axis) {
    std::string out;
    for (const plot::QuantityName& q : plot::quantity_names(axis)) {
        if (!out.empty()) out += ", ";
        out += q.name;
    }
    return out;
}

// The options that every Qt program takes (QGuiApplication and QApplication
// take them out of the arguments), with a single dash; "=" joins the value of
// -style and -stylesheet to it too.
struct QtOption {
    std::string_view name;
    bool has_value;
};
constexpr QtOption kQtOptions[] = {
    {"-platform", true},      {"-platformpluginpath", true}, {"-platformtheme", true},
    {"-plugin", true},        {"-qwindowgeometry", true},    {"-geometry", true},
    {"-qwindowicon", true},   {"-icon", true},               {"-qwindowtitle", true},
    {"-title", true},         {"-reverse", false},           {"-session", true},
    {"-display", true},       {"-name", true},               {"-style", true},
    {"-stylesheet", true},    {"-widgetcount", false},       {"-nograb", false},
    {"-dograb", false},       {"-sync", false},              {"-visual", true},
    {"-ncols", true},         {"-cmap", false},              {"-im", true},
    {"-inputstyle", true},    {"-fontengine", true},         {"-dialogs", true},
    {"-qmljsdebugger", true},
};

const QtOption* qt_option(std::string_view arg) {
    for (const QtOption& o : kQtOptions) {
        if (arg == o.name) return &o;
        if (o.has_value && arg.size() > o.name.size() && arg.substr(0, o.name.size()) == o.name &&
            arg[o.name.size()] == '=')
            return &o;
    }
    return nullptr;
}

// Reads the options one by one; the first problem found is kept.
class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    CommandLine run() {
        for (i_ = 0; i_ < args_.size() && cl_.error.empty(); ++i_) option(args_[i_]);
        if (cl_.error.empty()) check();
        return cl_;
    }

private:
    void fail(const std::string& why) {
        if (cl_.error.empty()) cl_.error = why;
    }

    // The value of an option: after "=" or the next argument.
    std::optional<std::string> value(std::string_view name, std::string_view arg) {
        if (arg.size() > name.size() && arg[name.size()] == '=')
            return std::string(arg.substr(name.size() + 1));
        if (i_ + 1 >= args_.size()) {
            fail(std::string(name) + " needs a value");
            return std::nullopt;
        }
        return args_[++i_];
    }

    static bool is(std::string_view arg, std::string_view name) {
        return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                               arg[name.size()] == '=');
    }

    void option(const std::string& arg) {
        plot::ViewRequest& v = cl_.view;
        if (arg == "-h" || arg == "--help") {
            cl_.mode = Mode::Help;
        } else if (arg == "--version") {
            if (cl_.mode != Mode::Help) cl_.mode = Mode::Version;
        } else if (is(arg, "--x") || is(arg, "--y")) {
            const bool x = arg[2] == 'x';
            const auto name = value(x ? "--x" : "--y", arg);
            if (!name) return;
            const auto button = plot::quantity_button(x ? plot::Axis::X : plot::Axis::Y, *name);
            if (!button) {
                fail("unknown " + std::string(x ? "x" : "y") + " quantity '" + *name +
                     "'; the names are " + names(x ? plot::Axis::X : plot::Axis::Y));
                return;
            }
            (x ? v.x_button : v.y_button) = *button;
            seen(x ? "--x" : "--y");
        } else if (is(arg, "--limit")) {
            const auto text = value("--limit", arg);
            if (!text) return;
            std::int32_t n = -1;
            const auto r = std::from_chars(text->data(), text->data() + text->size(), n);
            if (r.ec != std::errc{} || r.ptr != text->data() + text->size() || n < 0 ||
                n > kMaxLimit) {
                fail("--limit takes a whole number from 0 to " + std::to_string(kMaxLimit) +
                     " (the limit buttons go in steps of 1), not '" + *text + "'");
                return;
            }
            v.limit = n;
            limit_given_ = true;
        } else if (arg == "--sqrt") {
            v.sqrooted = true;
            seen(arg);
        } else if (arg == "--smoothed") {
            v.smoothed = true;
            seen(arg);
        } else if (arg == "--reverse") {
            v.reverse = true;
            seen(arg);
        } else if (arg == "--frame") {
            v.frame_scale = true;
            scale_ += 1;
            seen(arg);
        } else if (arg == "--overall") {
            v.frame_scale = false;
            scale_ += 1;
            seen(arg);
        } else if (arg == "--window") {
            v.whole_curve = false;
            seen(arg);
        } else if (is(arg, "--output") || is(arg, "--report") || is(arg, "--stats")) {
            const std::string name = arg.substr(0, arg.find('='));
            const auto path = value(name, arg);
            if (!path) return;
            if (output_given_) {
                fail("only one of --output, --report and --stats, once");
                return;
            }
            cl_.output = *path;
            output_given_ = true;
            const Mode mode = name == "--report"  ? Mode::Report
                              : name == "--stats" ? Mode::Stats
                                                  : Mode::Output;
            if (cl_.mode != Mode::Help && cl_.mode != Mode::Version) cl_.mode = mode;
            report_ = mode == Mode::Report;
            stats_ = mode == Mode::Stats;
        } else if (arg == "-") {
            fail("'-' (standard input) is not read: name a data file (*.vorsel)");
        } else if (const QtOption* q = qt_option(arg)) {
            cl_.qt_options.push_back(arg);
            if (q->has_value && arg.find('=') == std::string::npos) {
                if (i_ + 1 >= args_.size()) return fail(arg + " needs a value");
                cl_.qt_options.push_back(args_[++i_]);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            fail("unknown option " + arg);
        } else {
            if (!cl_.file.empty()) {
                fail("one data file only: " + cl_.file + " and " + arg);
                return;
            }
            cl_.file = arg;
        }
    }

    // An option that only --output takes.
    void seen(const std::string& name) {
        if (first_view_option_.empty()) first_view_option_ = name;
    }

    void check() {
        if (cl_.mode == Mode::Help || cl_.mode == Mode::Version) return;
        const plot::ViewRequest& v = cl_.view;
        if (scale_ > 1) return fail("--frame and --overall exclude each other; give one");
        if (output_given_ && cl_.output.empty())
            return fail(std::string(report_ ? "--report" : stats_ ? "--stats" : "--output") +
                        " names no file: the output name is empty");
        if (!output_given_) {
            if (!first_view_option_.empty()) return fail(first_view_option_ + " needs --output");
            if (limit_given_) return fail("--limit needs --output, --report or --stats");
            return;  // the window
        }
        if (cl_.file.empty()) return fail("a data file (*.vorsel) is needed");
        if (stats_) {
            if (!first_view_option_.empty())
                return fail(first_view_option_ + " goes with --output, not --stats");
            const auto k = kind_of(cl_.output);
            if (k != OutputKind::Csv && k != OutputKind::Json)
                return fail("--stats writes a .csv or a .json file, not " + cl_.output);
            cl_.output_kind = *k;
            return;
        }
        if (report_) {
            if (!first_view_option_.empty())
                return fail(first_view_option_ + " goes with --output, not --report");
            const auto k = kind_of(cl_.output);
            if (k != OutputKind::Pdf) return fail("--report writes a PDF file (*.pdf)");
            cl_.output_kind = OutputKind::Pdf;
            return;
        }
        const auto k = kind_of(cl_.output);
        if (!k || *k == OutputKind::Json)
            return fail("--output names a .png, .svg, .pdf or .csv file, not " + cl_.output);
        cl_.output_kind = *k;
        if (v.x_button == 0 || v.y_button == 0)
            return fail("--output needs an x quantity (--x) and a y quantity (--y)");
        if (plot::same_quantity(v.x_button, v.y_button))
            return fail(
                "--x and --y name the same quantity: the window never plots a "
                "quantity against itself");
    }

    const std::vector<std::string>& args_;
    std::size_t i_ = 0;
    CommandLine cl_;
    std::string first_view_option_;
    bool limit_given_ = false, report_ = false, stats_ = false, output_given_ = false;
    int scale_ = 0;
};

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& args) { return Parser(args).run(); }

bool style_given(const CommandLine& cl) {
    for (const std::string& o : cl.qt_options)
        if (o == "-style" || o.starts_with("-style=")) return true;
    return false;
}

std::string unused_qt_options_note(const CommandLine& cl) {
    if (!cl.headless() || cl.qt_options.empty()) return {};
    std::string given;
    for (const std::string& o : cl.qt_options) {
        if (!given.empty()) given += ' ';
        given += o;
    }
    return "Qt's window options ignored (" + given + "): " +
           (cl.mode == Mode::Report ? "--report" : "--output") + " draws without a window";
}

std::string usage_text() {
    return "usage: vorselplot [FILE.vorsel | FILE.fcf]\n"
           "       vorselplot --x NAME --y NAME [--limit N] [--sqrt] [--smoothed] [--reverse]\n"
           "                  [--frame | --overall] [--window] --output OUT.{png,svg,pdf,csv} "
           "FILE.vorsel\n"
           "       vorselplot --report REPORT.pdf [--limit N] FILE.vorsel\n"
           "       vorselplot --stats OUT.{csv,json} [--limit N] FILE.vorsel\n"
           "       vorselplot --help | --version\n"
           "and with the window, any of Qt's own options (-style, -stylesheet, ...)\n";
}

std::string help_text() {
    return usage_text() +
           "\n"
           "Plots systematic-error curves of single-crystal X-ray data. Without arguments\n"
           "the window opens with its file chooser; with a data file alone it opens on\n"
           "that file (and remembers it as a file chosen in the chooser).\n"
           "\n"
           "A refinement's reflection file (FILE.fcf) is taken wherever a data file is, in\n"
           "the window and with --output, --report and --stats: it is converted in memory\n"
           "as vorsel_import converts it without options (the file's wavelength, else Mo\n"
           "K-alpha with a note; the reflections the refinement left out dropped; no\n"
           "weight) and nothing is written. It is not remembered for the chooser. In the\n"
           "window, File, Import Reflection File... opens one the same way.\n"
           "\n"
           "--output writes what the window shows after the same clicks: the x and the y\n"
           "quantity, the limit buttons, then the switches, with \"fit to frame\" on (the\n"
           "whole curve) unless --window asks for the first view window. The file's\n"
           "extension chooses the form: .png (the board's pixels), .svg and .pdf (vector),\n"
           ".csv (every point of the curve: position, running number, data line, x, y and\n"
           "the smoothed y).\n"
           "  --x NAME      x quantity: " +
           names(plot::Axis::X) +
           "\n"
           "  --y NAME      y quantity: " +
           names(plot::Axis::Y) +
           "\n"
           "                (the button captions; blanks and case do not matter)\n"
           "  --limit N     the Fo/s(Fo) limit, a whole number (default 3)\n"
           "  --sqrt        y as its square root (\"sqrt(y)\")\n"
           "  --smoothed    the smoothed curve over the curve (\"add smoothed\")\n"
           "  --reverse     x from high to low (\"x high -> low\")\n"
           "  --frame       each view window its own y scale (\"sc frame\"); --overall,\n"
           "                one y scale for the whole curve, is the start state\n"
           "  --window      the first view window instead of the whole curve\n"
           "\n"
           "--report writes a PDF: a first page with the agreement figures, the trend\n"
           "test of dF/s(Fo) against every x quantity (trends first, bold), the normal\n"
           "probability plot and the worst reflections; then one page per x quantity that\n"
           "is not constant, trends first, with both curves and the binned table.\n"
           "\n"
           "--stats writes the same figures as JSON (.json) or CSV (.csv): agreement (R1,\n"
           "wR2 and S where the weight field holds a weight for every reflection, else\n"
           "wR(F)) for the reflections at or above the limit and for all; for each x\n"
           "quantity ten bins of equal count with the trend test (chi-squared of the bin\n"
           "means of dF/s(Fo), a trend when p < 0.001); the normal probability slope and\n"
           "intercept; the 20 reflections with the largest |dF/s(Fo)|.\n"
           "\n"
           "--output, --report and --stats need no display: the program draws offscreen,\n"
           "shows no window and no message box, and writes its messages to standard error.\n"
           "\n"
           "The window takes the options every Qt program takes, with one dash: among\n"
           "them -platform NAME, -style NAME, -stylesheet FILE, -reverse (right to left),\n"
           "-qwindowgeometry WxH+X+Y, -qwindowtitle TITLE, -session ID, -display X11DISPLAY.\n"
           "With --output, --report or --stats they are ignored, with a note on standard error.\n"
           "\n"
           "Exit status: 0 done; 1 internal failure (the library vorsel_for is missing,\n"
           "out of memory); 2 wrong command line; 3 the data file cannot be read or gives\n"
           "no curve; 4 the output file cannot be written.\n";
}

}  // namespace vorsel::app
