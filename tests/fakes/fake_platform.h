// Recording fakes of every platform interface. Each records what it is asked to
// do into one shared log (so tests can assert the order across controls) and
// keeps the resulting state (captions, texts, settings) for direct checks.
#pragma once

#include <atomic>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "library/vorsel_for.h"
#include "platform/chooser_view.h"
#include "platform/platform.h"
#include "platform/vorsel_library.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::fakes {

using platform::Colour;
using Log = std::vector<std::string>;

inline std::string hex(Colour c) {
    char b[16];
    std::snprintf(b, sizeof b, "%X", static_cast<unsigned>(c));
    return b;
}

class FakeBoard : public platform::Board {
public:
    explicit FakeBoard(Log& log) : log_(log) {}
    double w = 10800, h = 5415;
    int pen = 1;
    Colour colour = 0;
    std::string font = "MS Sans Serif";
    double size = 8.25;
    int text_x = 0, text_y = 0;
    int cur_x = 0, cur_y = 0;

    double width_twips() const override { return w; }
    double height_twips() const override { return h; }
    void fill_rect(int x1, int y1, int x2, int y2, Colour c) override {
        log_.push_back("rect " + std::to_string(x1) + " " + std::to_string(y1) + " " +
                       std::to_string(x2) + " " + std::to_string(y2) + " " + hex(c) + " w" +
                       std::to_string(pen));
    }
    void line(int x1, int y1, int x2, int y2, Colour c) override {
        cur_x = x2, cur_y = y2;
        log_.push_back("line " + std::to_string(x1) + " " + std::to_string(y1) + " " +
                       std::to_string(x2) + " " + std::to_string(y2) + " " + hex(c) + " w" +
                       std::to_string(pen));
    }
    void line_to(int x2, int y2, Colour c) override {
        cur_x = x2, cur_y = y2;
        log_.push_back("lineto " + std::to_string(x2) + " " + std::to_string(y2) + " " + hex(c) +
                       " w" + std::to_string(pen));
    }
    void set_pen_width(int w_) override {
        pen = w_;
        log_.push_back("pen " + std::to_string(w_));
    }
    void set_text_pos(int x, int y) override {
        text_x = x, text_y = y;
        log_.push_back("textpos " + std::to_string(x) + " " + std::to_string(y));
    }
    Colour text_colour() const override { return colour; }
    void set_text_colour(Colour c) override {
        colour = c;
        log_.push_back("textcolour " + hex(c));
    }
    std::string font_name() const override { return font; }
    void set_font_name(const std::string& n) override {
        font = n;
        log_.push_back("font " + n);
    }
    double font_size() const override { return size; }
    void set_font_size(double p) override {
        size = p;
        char b[32];
        std::snprintf(b, sizeof b, "%g", p);
        log_.push_back(std::string("fontsize ") + b);
    }
    void print(const std::string& text) override { log_.push_back("print [" + text + "]"); }

private:
    Log& log_;
};

class FakeBar : public platform::Bar {
public:
    FakeBar(Log& log, std::string name, double l, double w)
        : left_(l), width_(w), log_(log), name_(std::move(name)) {}
    double left_, width_;
    bool visible = true;
    double left() const override { return left_; }
    double width() const override { return width_; }
    void set_left(double t) override {
        left_ = t;
        log_.push_back(name_ + ".left " + num(t));
    }
    void set_width(double t) override {
        width_ = t;
        log_.push_back(name_ + ".width " + num(t));
    }
    void set_visible(bool v) override {
        visible = v;
        log_.push_back(name_ + ".visible " + std::to_string(v));
    }

private:
    static std::string num(double d) {
        char b[32];
        std::snprintf(b, sizeof b, "%g", d);
        return b;
    }
    Log& log_;
    std::string name_;
};

struct ButtonState {
    std::string caption, tooltip;
    Colour face = platform::kSysButtonFace;
    bool enabled = true, visible = true;
};

class FakeButtons : public platform::Buttons {
public:
    explicit FakeButtons(Log& log) : log_(log) {}
    std::map<int, ButtonState> state;
    void set_caption(int i, const std::string& c) override {
        state[i].caption = c;
        log_.push_back("but" + std::to_string(i) + ".caption [" + c + "]");
    }
    void set_tooltip(int i, const std::string& t) override {
        state[i].tooltip = t;
        log_.push_back("but" + std::to_string(i) + ".tooltip [" + t + "]");
    }
    void set_face_colour(int i, Colour c) override {
        state[i].face = c;
        log_.push_back("but" + std::to_string(i) + ".face " + hex(c));
    }
    void set_enabled(int i, bool e) override {
        state[i].enabled = e;
        log_.push_back("but" + std::to_string(i) + ".enabled " + std::to_string(e));
    }
    void set_visible(int i, bool v) override {
        state[i].visible = v;
        log_.push_back("but" + std::to_string(i) + ".visible " + std::to_string(v));
    }
    bool enabled(int i) const override {
        auto it = state.find(i);
        return it == state.end() || it->second.enabled;
    }
    bool visible(int i) const override {
        auto it = state.find(i);
        return it == state.end() || it->second.visible;
    }

private:
    Log& log_;
};

inline const char* readout_name(platform::ReadOut r) {
    static const char* names[] = {"txtTotalPoints", "txtUsedPoints",  "txtPlottedPoints",
                                  "txtFirstPoint",  "txtFirstValue",  "txtMinValue",
                                  "txtLastPoint",   "txtLastValue",   "txtMaxValue",
                                  "txtStepSize",    "txtPosClip",     "txtNegClip",
                                  "txtSigLim",      "txtMaxClipValue", "txtMinClipValue"};
    return names[static_cast<int>(r)];
}

class FakeReadOuts : public platform::ReadOuts {
public:
    explicit FakeReadOuts(Log& log) : log_(log) {}
    std::map<std::string, std::string> text;
    void set_text(platform::ReadOut box, const std::string& t) override {
        text[readout_name(box)] = t;
        log_.push_back(std::string(readout_name(box)) + " [" + t + "]");
    }
    std::string operator[](const std::string& name) const {
        auto it = text.find(name);
        return it == text.end() ? std::string() : it->second;
    }

private:
    Log& log_;
};

class FakeFrame : public platform::Frame {
public:
    explicit FakeFrame(Log& log) : log_(log) {}
    std::string caption;
    float size = 0;
    bool bold = false;
    void set_caption_font(float s, bool b) override {
        size = s, bold = b;
        char buf[48];
        std::snprintf(buf, sizeof buf, "frame.font %g %d", static_cast<double>(s), b ? 1 : 0);
        log_.push_back(buf);
    }
    void set_caption(const std::string& c) override {
        caption = c;
        log_.push_back("frame.caption [" + c + "]");
    }

private:
    Log& log_;
};

struct Message {
    std::string text, title;
    platform::MsgButtons buttons;
    platform::MsgIcon icon;
};

class FakeMessages : public platform::Messages {
public:
    explicit FakeMessages(Log& log) : log_(log) {}
    std::vector<Message> shown;
    std::deque<int> answers;  // scripted answers; kAnswerOk (or Cancel) when empty
    int show(const std::string& text, const std::string& title, platform::MsgButtons b,
             platform::MsgIcon i) override {
        shown.push_back({text, title, b, i});
        log_.push_back("msgbox [" + title + "] [" + text + "]");
        if (!answers.empty()) {
            int a = answers.front();
            answers.pop_front();
            return a;
        }
        return b == platform::MsgButtons::Ok ? platform::kAnswerOk : platform::kAnswerCancel;
    }

private:
    Log& log_;
};

class FakeSettings : public platform::Settings {
public:
    explicit FakeSettings(Log& log) : log_(log) {}
    std::map<std::string, std::string> values;  // "app/section/key"
    std::string get(const std::string& a, const std::string& s, const std::string& k,
                    const std::string& d) override {
        log_.push_back("settings.get " + k);
        auto it = values.find(a + "/" + s + "/" + k);
        return it == values.end() ? d : it->second;
    }
    void set(const std::string& a, const std::string& s, const std::string& k,
             const std::string& v) override {
        values[a + "/" + s + "/" + k] = v;
        log_.push_back("settings.set " + k + " [" + v + "]");
    }

private:
    Log& log_;
};

// An in-memory file system: path -> content.
class FakeFileSystem : public platform::FileSystem {
public:
    std::map<std::string, std::string> files;
    std::optional<std::int64_t> file_length(const std::string& p) override {
        auto it = files.find(p);
        if (it == files.end()) return std::nullopt;
        return static_cast<std::int64_t>(it->second.size());
    }
    std::optional<std::string> head(const std::string& p, std::size_t max) override {
        auto it = files.find(p);
        if (it == files.end()) return std::nullopt;
        return it->second.substr(0, max);
    }
    std::optional<std::string> tail(const std::string& p, std::size_t max) override {
        auto it = files.find(p);
        if (it == files.end()) return std::nullopt;
        const std::string& s = it->second;
        return s.size() <= max ? s : s.substr(s.size() - max);
    }
    std::string file_name_of(const std::string& p) override {
        if (!files.count(p)) return {};
        std::size_t cut = p.find_last_of("/\\");
        return cut == std::string::npos ? p : p.substr(cut + 1);
    }
};

class FakeProgram : public platform::Program {
public:
    explicit FakeProgram(Log& log) : log_(log) {}
    int ends = 0;
    platform::Ending how = platform::Ending::Orderly;
    std::optional<std::uint64_t> available;  // memory the program may still get
    void end(platform::Ending h) override {
        ++ends;
        how = h;
        log_.push_back(h == platform::Ending::Failed ? "program.end failed" : "program.end");
    }
    bool ended() const override { return ends > 0; }
    std::optional<std::uint64_t> memory_available() const override { return available; }
    // When set, long work runs on a thread of its own, as in the window, and
    // this runs over and over meanwhile, as the window's events would.
    std::function<void()> meanwhile;
    void run_long(const std::string& text, const std::function<void()>& work) override {
        if (!meanwhile) return platform::Program::run_long(text, work);
        std::atomic<bool> done{false};
        std::thread worker([&] { work(), done = true; });
        do meanwhile();  // at least once, however short the work
        while (!done);
        worker.join();
    }

private:
    Log& log_;
};

// Calls the library's code linked into the test, reading files from a real
// temporary folder: the fake file system's contents are written there on
// demand by the test (see TempFiles). Records each call.
class FakeLibrary : public platform::VorselLibrary {
public:
    explicit FakeLibrary(Log& log) : log_(log) {}
    bool fail_binding = false;  // pretend the library or an export is missing
    // When set, a failed bind also ends the program, as the real loader does.
    platform::Program* program = nullptr;
    // Maps the path the plot passes to where the file really is on disk.
    std::function<std::string(const std::string&)> real_path = [](const std::string& p) {
        return p;
    };
    bool READ_VORSEL_DATA(const char* name, float* dat, float* sigrat, const std::int32_t* nc,
                          std::int32_t* np, std::int32_t* rk) override {
        log_.push_back("lib.READ_VORSEL_DATA");
        if (fail_binding) return failed();
        std::string n(name);
        while (!n.empty() && n.back() == ' ') n.pop_back();
        std::string p = real_path(n);
        ::READ_VORSEL_DATA(p.c_str(), dat, sigrat, nc, np, rk);
        return true;
    }
    bool FILL_KURRENT(const float* dat, const float* sigrat, const std::int32_t* iperm,
                      const std::int32_t* ixval, const std::int32_t* iyval, float* ywork,
                      float* xwork, float* ycur, float* xcur, float* ysmo,
                      const std::int32_t* ncurves, const std::int32_t* npoint, std::int32_t* npcur,
                      const float* siglim, const float* clipp, const float* clipm,
                      const std::int16_t* reverse, const std::int16_t* sqrooted,
                      const std::int16_t* smoothed, const std::int32_t* ityp) override {
        log_.push_back("lib.FILL_KURRENT");
        if (fail_binding) return failed();
        ::FILL_KURRENT(dat, sigrat, iperm, ixval, iyval, ywork, xwork, ycur, xcur, ysmo, ncurves,
                       npoint, npcur, siglim, clipp, clipm, reverse, sqrooted, smoothed, ityp);
        return true;
    }
    bool KUR_TO_NKUR(const float* y, std::int32_t* nkur, const std::int32_t* npcur,
                     const std::int32_t* first, const std::int32_t* last, const float* valmin,
                     const std::int32_t* maxpar, const float* skale) override {
        log_.push_back("lib.KUR_TO_NKUR " + std::to_string(*first) + " " + std::to_string(*last));
        if (fail_binding) return failed();
        ::KUR_TO_NKUR(y, nkur, npcur, first, last, valmin, maxpar, skale);
        return true;
    }

private:
    bool failed() {
        if (program) program->end(platform::Ending::Failed);
        return false;
    }
    Log& log_;
};

// The chooser's controls. A test scripts the user's actions in `user`, which
// run_modal() calls; the helpers below raise the events as the real lists do.
class FakeChooserView : public platform::ChooserView {
public:
    explicit FakeChooserView(Log& log) : log_(log) {}
    platform::ChooserEvents* events = nullptr;
    bool ok_enabled = true;
    std::string location_text, code_text;
    std::string drive = "c";
    std::string dir = "c:\\";            // opened directory
    std::string drive_only_dir = "c:\\";  // what a bare drive prefix opens
    std::string pattern, file_path, selected;
    bool open = false;
    std::function<void(FakeChooserView&)> user;

    void set_events(platform::ChooserEvents* e) override { events = e; }
    void set_ok_enabled(bool e) override {
        ok_enabled = e;
        log_.push_back(std::string("chooser.ok ") + (e ? "1" : "0"));
    }
    void set_location_text(const std::string& t) override {
        location_text = t;
        log_.push_back("chooser.txtLocation [" + t + "]");
    }
    void set_code_text(const std::string& t) override {
        code_text = t;
        log_.push_back("chooser.txtTemplate [" + t + "]");
    }
    void drive_set(const std::string& d) override {
        log_.push_back("chooser.drive [" + d + "]");
        if (d == drive) return;
        drive = d;
        if (events) events->drvDrive_Change();
    }
    std::string drive_selected() const override { return drive + ": [fake]"; }
    void dir_set_path(const std::string& p) override {
        log_.push_back("chooser.dir [" + p + "]");
        std::string resolved = p;
        if (p.empty() || (p.size() == 2 && p[1] == ':')) resolved = drive_only_dir;
        if (resolved == dir) return;
        dir = resolved;
        if (events) events->dirDirectory_Change();
    }
    std::string dir_path() const override { return dir; }
    void file_set_pattern(const std::string& p) override {
        pattern = p;
        log_.push_back("chooser.pattern [" + p + "]");
    }
    void file_set_path(const std::string& p) override {
        file_path = p;
        log_.push_back("chooser.files [" + p + "]");
    }
    std::string file_selected() const override { return selected; }
    void run_modal() override {
        open = true;
        log_.push_back("chooser.show");
        if (user) user(*this);
        if (open && events) events->frame_closed();  // the script left it open
        open = false;
    }
    void unload() override {
        open = false;
        log_.push_back("chooser.close");
    }

    // User actions.
    void pick_drive(const std::string& d) { drive_set(d); }
    void open_dir(const std::string& p) { dir_set_path(p); }
    void click_file(const std::string& name) {
        selected = name;
        if (events) events->flbFile_Click();
    }
    void ok() {
        if (events) events->cmdOK_Click();
    }
    void abort() {
        if (events) events->cmdAbort_Click();
    }

private:
    Log& log_;
};

class FakeChooserFactory : public platform::ChooserViewFactory {
public:
    explicit FakeChooserFactory(Log& log) : log_(log) {}
    // Configures each new view (drive, directory, the user's script).
    std::function<void(FakeChooserView&)> setup;
    FakeChooserView* last = nullptr;
    std::unique_ptr<platform::ChooserView> create() override {
        auto v = std::make_unique<FakeChooserView>(log_);
        if (setup) setup(*v);
        last = v.get();
        return v;
    }

private:
    Log& log_;
};

// The read-out line, the mark and the details panel: their state only (no
// log lines, so that the logs of the plot stay as they were).
class FakePointView : public platform::PointView {
public:
    std::string text, details;
    std::optional<std::pair<int, int>> mark;
    Colour mark_colour = 0;
    void set_point_text(const std::string& t) override { text = t; }
    void show_mark(int x, int y, Colour c) override { mark = {x, y}, mark_colour = c; }
    void hide_mark() override { mark.reset(); }
    void show_point_details(const std::string& t) override { details = t; }
};

// Every fake, wired into a PlotPlatform.
struct FakePlatform {
    Log log;
    FakeBoard board{log};
    FakeBar range{log, "cmdRange", 120, 10800};
    FakeBar window{log, "cmdWindow", 120, 10800};
    FakeButtons buttons{log};
    FakeReadOuts readouts{log};
    FakeFrame frame{log};
    FakeMessages messages{log};
    FakeSettings settings{log};
    FakeFileSystem files;
    FakeProgram program{log};
    FakeLibrary library{log};
    FakeChooserFactory chooser{log};
    platform::PathStyle style = platform::PathStyle::posix();
    FakePointView point_view;

    plot::PlotPlatform plot_platform() {
        return plot::PlotPlatform{board,    range, window,  buttons, readouts, frame, messages,
                                  settings, files, program, library, chooser,  style, point_view};
    }
    // Log entries that start with a prefix, in order.
    std::vector<std::string> grep(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& l : log)
            if (l.rfind(prefix, 0) == 0) out.push_back(l);
        return out;
    }
};

}  // namespace vorsel::fakes
