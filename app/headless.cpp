#include "app/headless.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "analysis/stats_text.h"
#include "app/reflection_file.h"
#include "app/report_pdf.h"
#include "app/statistics_source.h"
#include "import/import_error.h"
#include "platform/format.h"
#include "platform/output_file.h"
#include "platform/qt/dynamic_library.h"
#include "platform/qt/picture.h"
#include "platform/qt/plot_window.h"
#include "platform/qt/services.h"
#include "plot/curve_export.h"
#include "plot/layout.h"
#include "plot/quantities.h"

namespace vorsel::app {

namespace {

void say(const std::string& line) { std::fprintf(stderr, "vorselplot: %s\n", line.c_str()); }

// A message box's text as one line on standard error, answered with its
// default. The advice to choose another file does not apply here.
class StderrMessages : public platform::Messages {
public:
    int show(const std::string& text, const std::string&, platform::MsgButtons,
             platform::MsgIcon) override {
        std::string line, part;
        const auto flush = [&] {
            while (!part.empty() && (part.back() == '\r' || part.back() == ' ')) part.pop_back();
            if (!part.empty() && part != plot::kChooseAnother)
                line += (line.empty() ? "" : " ") + part;
            part.clear();
        };
        for (char c : text) {
            if (c == '\n')
                flush();
            else
                part.push_back(c);
        }
        flush();
        say(line);
        return platform::kAnswerOk;
    }
};

// Nothing is remembered from a run without a window.
class NullSettings : public platform::Settings {
public:
    std::string get(const std::string&, const std::string&, const std::string&,
                    const std::string& fallback) override {
        return fallback;
    }
    void set(const std::string&, const std::string&, const std::string&,
             const std::string&) override {}
};

// The chooser opens only after the named file was refused: there is no one
// to choose another, so it is abandoned at once.
class AbandonedChooser : public platform::ChooserView {
public:
    explicit AbandonedChooser(bool& opened) : opened_(opened) {}
    void set_events(platform::ChooserEvents* e) override { events_ = e; }
    void set_ok_enabled(bool) override {}
    void set_location_text(const std::string&) override {}
    void set_code_text(const std::string&) override {}
    void drive_set(const std::string&) override {}
    std::string drive_selected() const override { return "/"; }
    void dir_set_path(const std::string&) override {}
    std::string dir_path() const override { return "/"; }
    void file_set_pattern(const std::string&) override {}
    void file_set_path(const std::string&) override {}
    std::string file_selected() const override { return {}; }
    void run_modal() override {
        opened_ = true;
        if (events_) events_->cmdAbort_Click();
    }
    void unload() override {}

private:
    bool& opened_;
    platform::ChooserEvents* events_ = nullptr;
};

class AbandonedChoosers : public platform::ChooserViewFactory {
public:
    bool opened = false;
    std::unique_ptr<platform::ChooserView> create() override {
        return std::make_unique<AbandonedChooser>(opened);
    }
};

// The plot window's logic on a window that is never shown.
struct Headless {
    platform::qt::QtProgram program;
    platform::qt::PlotWindow window{plot::plot_window_layout()};
    StderrMessages messages;
    NullSettings settings;
    platform::qt::QtFileSystem files;
    platform::qt::DynamicLibrary library{messages, program};
    AbandonedChoosers chooser;
    plot::frmVorselPlot form{plot::PlotPlatform{window.board(), window.range(), window.window_bar(),
                                                window.buttons(), window.readouts(), window.frame(),
                                                messages, settings, files, program, library,
                                                chooser, platform::PathStyle::posix()}};
};

// Why the quantities give no curve.
std::string no_curve(const plot::frmVorselPlot& w, const std::string& file) {
    const std::string x = plot::quantity_caption(w.ibx), y = plot::quantity_caption(w.iby);
    const std::string fields = std::to_string(w.ncurves) + " fields per line";
    if (w.ixval > w.ncurves)
        return file + ": no curve: " + x + " is field " + std::to_string(w.ixval) +
               " and the file has " + fields;
    if (w.iyval > w.ncurves || (w.iyval == 0 && w.ncurves < 4))
        return file + ": no curve: " + y + " needs fields the file lacks (it has " + fields + ")";
    return file + ": no curve: no reflection has Fo/s(Fo) >= " + platform::usual_text(w.siglim);
}

Exit write_output(Headless& h, const CommandLine& cl) {
    std::string error;
    if (cl.output_kind == OutputKind::Csv) {
        error = platform::qt::write_text_file(cl.output, plot::curve_csv(h.form));
    } else {
        const auto format = cl.output_kind == OutputKind::Png   ? platform::qt::PictureFormat::Png
                            : cl.output_kind == OutputKind::Svg ? platform::qt::PictureFormat::Svg
                                                                : platform::qt::PictureFormat::Pdf;
        error = platform::qt::write_picture(cl.output, format, h.window.board(),
                                            plot::picture_title(h.form),
                                            plot::picture_x_note(h.form));
    }
    if (error.empty()) return Exit::ok;
    say("cannot write " + cl.output + ": " + error);
    return Exit::output;
}

// Reflections the figures could not use, said once each.
void say_left_out(const std::string& file, const analysis::Counts& c) {
    if (c.non_finite > 0)
        say(file + ": " + std::to_string(c.non_finite) +
            " reflection(s) with a value that is not finite left out of every figure");
    if (c.no_sigma > 0)
        say(file + ": " + std::to_string(c.no_sigma) +
            " significant reflection(s) with s(Fo) = 0 have no dF/s(Fo): left out of the bins, "
            "the normal probability and the worst list");
    if (c.significant == 0) say(file + ": no reflection has Fo/s(Fo) at or above the limit");
}

Exit report(Headless& h, const CommandLine& cl) {
    const analysis::Statistics stats =
        analysis::compute_statistics(data_set_of(h.form), static_cast<float>(cl.view.limit));
    say_left_out(cl.file, stats.counts);
    if (stats.counts.significant == 0) return Exit::input;
    const std::vector<int> xs = plot::report_quantities(stats);
    std::vector<ReportPage> pages;
    const bool done = plot::click_report(h.form, cl.view.limit, xs, [&](const plot::ReportPlot& p) {
        if (pages.empty() || pages.back().plots.front().plot.x_button != p.x_button) {
            pages.push_back({"vs. " + plot::quantity_caption(p.x_button), {}, {}});
            for (const analysis::Table& t : stats.tables)
                if (plot::quantity_button(plot::Axis::X, t.quantity.name) == p.x_button)
                    pages.back().bins = plot::bin_table(t);
        }
        pages.back().plots.push_back({p, h.window.board().recording()});
    });
    if (!done) return Exit::internal;
    // Each page shows dF / s(Fo) above Fo / Fc, whichever was clicked first.
    for (ReportPage& page : pages)
        std::stable_sort(page.plots.begin(), page.plots.end(), [](const auto& a, const auto& b) {
            return a.plot.y_button == plot::kReportY[0] && b.plot.y_button != plot::kReportY[0];
        });
    const std::string error =
        write_report(cl.output, plot::report_summary(h.form, stats), stats.normal, pages);
    if (error.empty()) return Exit::ok;
    say("cannot write " + cl.output + ": " + error);
    return Exit::output;
}

Exit statistics(Headless& h, const CommandLine& cl) {
    // No curve is drawn: the orders the window makes ahead for its clicks
    // would only take a core from the figures.
    h.form.maker.stop();
    const analysis::Statistics st =
        analysis::compute_statistics(data_set_of(h.form), static_cast<float>(cl.view.limit));
    say_left_out(cl.file, st.counts);
    const std::string text = cl.output_kind == OutputKind::Json
                                 ? analysis::statistics_json(st, cl.file)
                                 : analysis::statistics_csv(st, cl.file);
    const std::string error = platform::qt::write_text_file(cl.output, text);
    if (error.empty()) return Exit::ok;
    say("cannot write " + cl.output + ": " + error);
    return Exit::output;
}

Exit run(const CommandLine& cl) {
    // Refused before anything is read: an output that is the data file
    // itself (by any spelling or through a link), or that is no regular file.
    if (!platform::input_named_by(cl.output, {cl.file}).empty()) {
        say(cl.output + " is the data file " + cl.file + "; the output must be another file");
        return Exit::usage;
    }
    if (const std::string why = platform::output_problem(cl.output); !why.empty()) {
        say("cannot write " + cl.output + ": " + why);
        return Exit::output;
    }
    platform::remove_temporaries_on_signals();
    const std::string path =
        QFileInfo(QString::fromStdString(cl.file)).absoluteFilePath().toStdString();
    // A reflection file is converted as vorsel_import converts it by default
    // and read in place of the data file it would have written.
    std::unique_ptr<ConvertedReflections> converted;
    if (is_reflection_file(path)) {
        try {
            converted = convert_reflection_file(path);
        } catch (const import::Error& e) {
            say(e.what());
            return e.status() == import::Exit::input ? Exit::input : Exit::internal;
        }
        for (const std::string& note : converted->notes) say(note);
    }
    auto h = std::make_unique<Headless>();
    h->form.hand_location(chooser::location_of(path, platform::PathStyle::posix()),
                          converted ? converted->data.path() : std::string());
    h->form.Form_Load();
    converted.reset();
    if (h->chooser.opened) return Exit::input;   // the file was refused, and said why
    if (h->form.ended()) return Exit::internal;  // the library could not be bound

    if (cl.mode == CommandLine::Mode::Report) return report(*h, cl);
    if (cl.mode == CommandLine::Mode::Stats) return statistics(*h, cl);
    const bool drawn = plot::click_view(h->form, cl.view);
    if (h->form.ended()) return Exit::internal;
    if (!drawn) {
        say(no_curve(h->form, cl.file));
        return Exit::input;
    }
    return write_output(*h, cl);
}

}  // namespace

void keep_qt_quiet() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "vorselplot: %s\n", text.toLocal8Bit().constData());
    });
}

Exit run_headless(const CommandLine& cl) {
    try {
        return run(cl);
    } catch (const std::bad_alloc&) {
        say("out of memory");
    } catch (const std::exception& e) {
        say(e.what());
    }
    return Exit::internal;
}

}  // namespace vorsel::app
