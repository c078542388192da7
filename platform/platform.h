// The thin layer between vorselplot's logic (plot/, chooser/) and the outside
// world: the drawing board, the controls of the plot window, message boxes, the
// settings store, file-system queries, the end of the program and the library
// vorsel_for. plot/ and chooser/ see only these interfaces; platform/qt/ holds
// their Qt implementation and tests hand in recording fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vorsel::platform {

// 0x00BBGGRR, or a system colour: 0x80000000 + the system colour's index.
using Colour = std::uint32_t;
inline constexpr Colour kSysButtonFace = 0x8000000F;
inline constexpr Colour kSysButtonShadow = 0x80000010;
inline constexpr Colour kSys3DLight = 0x80000016;

// The picture box pctPlot. Positions in twips, origin top left, y downwards.
class Board {
public:
    virtual ~Board() = default;
    virtual double width_twips() const = 0;
    virtual double height_twips() const = 0;
    // Axis-aligned rectangle between two corners given in any order, both
    // included, filled in the colour; a height of zero is a horizontal line.
    virtual void fill_rect(int x1, int y1, int x2, int y2, Colour c) = 0;
    // Segment from (x1, y1) to (x2, y2); (x2, y2) becomes the current point.
    virtual void line(int x1, int y1, int x2, int y2, Colour c) = 0;
    // Segment from the current point to (x2, y2), which becomes the current point.
    virtual void line_to(int x2, int y2, Colour c) = 0;
    virtual void set_pen_width(int w) = 0;
    virtual void set_text_pos(int x, int y) = 0;  // top left of the next print
    virtual Colour text_colour() const = 0;
    virtual void set_text_colour(Colour c) = 0;
    virtual std::string font_name() const = 0;
    virtual void set_font_name(const std::string& name) = 0;
    virtual double font_size() const = 0;  // points
    virtual void set_font_size(double points) = 0;
    virtual void print(const std::string& text) = 0;
};

// A single bar control (cmdRange, cmdWindow): geometry in twips of the window.
class Bar {
public:
    virtual ~Bar() = default;
    virtual double left() const = 0;
    virtual double width() const = 0;
    virtual void set_left(double twips) = 0;
    virtual void set_width(double twips) = 0;
    virtual void set_visible(bool visible) = 0;
};

// The command-button array cmdBut, addressed by Index.
class Buttons {
public:
    virtual ~Buttons() = default;
    virtual void set_caption(int index, const std::string& caption) = 0;
    virtual void set_tooltip(int index, const std::string& tip) = 0;
    virtual void set_face_colour(int index, Colour c) = 0;
    virtual void set_enabled(int index, bool enabled) = 0;
    virtual void set_visible(int index, bool visible) = 0;
    // As last set (or as laid out): a key stands for a button only while it
    // can be clicked.
    virtual bool enabled(int index) const = 0;
    virtual bool visible(int index) const = 0;
};

// The fifteen read-out text boxes of the plot window.
enum class ReadOut {
    TotalPoints, UsedPoints, PlottedPoints,
    FirstPoint, FirstValue, MinValue,
    LastPoint, LastValue, MaxValue,
    StepSize, PosClip, NegClip,
    SigLim, MaxClipValue, MinClipValue,
};
inline constexpr int kReadOutCount = 15;

class ReadOuts {
public:
    virtual ~ReadOuts() = default;
    virtual void set_text(ReadOut box, const std::string& text) = 0;
};

// The frame fraVorsel around the controls; its caption names the data file.
class Frame {
public:
    virtual ~Frame() = default;
    virtual void set_caption_font(float size_points, bool bold) = 0;
    virtual void set_caption(const std::string& caption) = 0;
};

enum class MsgButtons { Ok, RetryCancel };
enum class MsgIcon { None, Information, Warning, Critical };
// The answers a message box gives back.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerRetry = 4;

class Messages {
public:
    virtual ~Messages() = default;
    // Modal; returns kAnswerOk, kAnswerRetry or kAnswerCancel.
    virtual int show(const std::string& text, const std::string& title, MsgButtons buttons,
                     MsgIcon icon) = 0;
};

// Per-user string values by application, section and key.
class Settings {
public:
    virtual ~Settings() = default;
    virtual std::string get(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& fallback) = 0;
    virtual void set(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Length in bytes of the regular file at path; nullopt if there is none.
    virtual std::optional<std::int64_t> file_length(const std::string& path) = 0;
    // The first max_bytes of the regular file (all of it when shorter), or
    // its last max_bytes; nullopt if the file cannot be read.
    virtual std::optional<std::string> head(const std::string& path, std::size_t max_bytes) = 0;
    virtual std::optional<std::string> tail(const std::string& path, std::size_t max_bytes) = 0;
    // The name (last component) of the existing regular file that path names,
    // or the empty text when it names none.
    virtual std::string file_name_of(const std::string& path) = 0;
};

// Ends the program at once, without saving anything. Callers return right
// after it; the platform stops the event loop in order.
// How the program ends: in order (EXIT, Abort), or because something failed
// (the library or one of its entry points cannot be found): the exit status
// tells a script which.
enum class Ending { Orderly, Failed };

class Program {
public:
    virtual ~Program() = default;
    virtual void end(Ending how) = 0;
    // The program has been asked to end: from then on no command runs. The
    // one place that knows it, whoever asked (a command, or the library
    // loader after a failed bind).
    virtual bool ended() const = 0;
    // Bytes of memory the program can still be given without being stopped
    // (the machine's available memory, or less under a limit of its own);
    // nullopt when unknown.
    virtual std::optional<std::uint64_t> memory_available() const { return std::nullopt; }
    // The busy cursor, on and off, around work that keeps the window from
    // answering for a while.
    virtual void set_busy(bool) {}
    // Runs work that may take a long while (it touches no control): the
    // window keeps repainting but takes no command meanwhile, and after about
    // a second a modal indication with the text says what is going on.
    virtual void run_long(const std::string& /*text*/, const std::function<void()>& work) {
        work();
    }
};

// The busy cursor for as long as it lives.
class BusyCursor {
public:
    BusyCursor(Program& program, bool on) : program_(on ? &program : nullptr) {
        if (program_) program_->set_busy(true);
    }
    ~BusyCursor() {
        if (program_) program_->set_busy(false);
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Program* program_;
};

// How paths are spelled: the chooser's path logic is written once against this.
// Drive-letter form: drive "c", prefix "c:", separator "\" (c:\data\abc.vorsel).
// POSIX form: a "drive" is a file-system root; the only one is "/", its prefix
// is empty and the separator "/" (/data/abc.vorsel). In both forms
// location = prefix(drive) + directory + separator + file, where the directory
// starts with the separator (or is empty for the root).
struct PathStyle {
    bool drive_letters = false;
    std::string default_drive;  // "c" or "/"
    char separator = '/';

    static PathStyle posix() { return {false, "/", '/'}; }
    static PathStyle drive_letter() { return {true, "c", '\\'}; }

    // "c:" for drive c; "" for the POSIX root.
    std::string prefix(const std::string& drive) const {
        return drive_letters ? drive.substr(0, 1) + ":" : std::string();
    }
    // The root directory of a drive: "c:\" or "/".
    std::string root(const std::string& drive) const { return prefix(drive) + separator; }
    // Whether a path already carries a drive prefix ("c:..." or an absolute "/...").
    bool has_prefix(const std::string& path) const {
        if (drive_letters) return path.size() >= 2 && path[1] == ':';
        return !path.empty() && path[0] == '/';
    }
    // The drive a path lies on: its first character in both forms.
    std::string drive_of(const std::string& path) const {
        return path.empty() ? std::string() : path.substr(0, 1);
    }
    std::size_t prefix_length() const { return drive_letters ? 2 : 0; }
};

}  // namespace vorsel::platform
