// vorselplot from the command line, as a script runs it: a child process with
// no DISPLAY, no WAYLAND_DISPLAY and no QT_QPA_PLATFORM, its own settings
// folder, and every exit status with its one line on standard error.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/command_line.h"
#include "tests/fakes/reflection_file_text.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
namespace but = vorsel::plot::but;

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Cli : public ::testing::Test {
protected:
    fs::path dir = fs::path(::testing::TempDir()) /
                   ("vorsel_cli_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { fs::create_directories(dir / "config"); }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the program with the arguments; "@" in an argument stands for the
    // test's folder. With a time given, a program still running then (a
    // window open) is ended and its status is kStillRunning.
    static constexpr int kStillRunning = -2;
    Outcome run(std::vector<std::string> args, const std::string& program = VORSELPLOT,
                int running_ms = 0) {
        std::vector<std::string> env{"XDG_CONFIG_HOME=" + (dir / "config").string()};
        for (char** e = environ; *e; ++e) {
            const std::string v = *e;
            if (v.rfind("DISPLAY=", 0) && v.rfind("WAYLAND_DISPLAY=", 0) &&
                v.rfind("QT_QPA_PLATFORM=", 0) && v.rfind("XDG_CONFIG_HOME=", 0))
                env.push_back(v);
        }
        for (std::string& a : args)
            if (const auto at = a.find('@'); at != std::string::npos)
                a.replace(at, 1, dir.string());
        args.insert(args.begin(), program);
        std::vector<char*> argv, envp;
        for (std::string& a : args) argv.push_back(a.data());
        for (std::string& e : env) envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        const fs::path out = dir / "stdout", err = dir / "stderr";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
            ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        int status = 0;
        bool running = running_ms > 0;
        for (int waited = 0; running && waited < running_ms; waited += 50) {
            running = ::waitpid(pid, &status, WNOHANG) == 0;
            if (running) ::usleep(50000);
        }
        if (running) ::kill(pid, SIGTERM);
        if (running || running_ms == 0) ::waitpid(pid, &status, 0);
        return {running ? kStillRunning : WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out),
                slurp(err)};
    }
    void write(const std::string& name, const std::string& content) {
        std::ofstream(dir / name, std::ios::binary) << content;
    }
};

TEST_F(Cli, EveryExitStatusWithItsMessage) {
    // Line 3 of the file, data line 2, has a letter in field 3.
    write("bad.vorsel",
          "     4\r\n       1.0      10.0       9.0       1.0\r\n"
          "       2.0      10.0       x.0       1.0\r\n");
    write("four.vorsel", "     4\r\n       1.0      10.0       9.0       1.0\r\n");
    fs::create_directory(dir / "taken.png");
    const std::string ex = VORSEL_EXAMPLE;
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;  // in the one line on standard error; "" for none
        const char* made = nullptr;
    };
    // clang-format off
    const Case cases[] = {
        {{"--x", "theta", "--y", "dF / s(Fo)", "--smoothed", "--output", "@/a.png", ex}, 0, "", "a.png"},
        {{"--x=Fc", "--y=fo/fc", "--window", "--frame", "--output=@/a.svg", ex}, 0, "", "a.svg"},
        {{"--x", "XRtime", "--y", "Fo", "--sqrt", "--reverse", "--limit", "5", "--output", "@/a.pdf", ex},
         0, "", "a.pdf"},
        {{"--x", "theta", "--y", "dF/s(Fo)", "--output", "@/a.csv", ex}, 0, "", "a.csv"},
        {{"--report", "@/r.pdf", "--limit", "0", ex}, 0, "", "r.pdf"},
        {{"--stats", "@/s.json", ex}, 0, "", "s.json"},
        {{"--stats=@/s.csv", "--limit", "999", ex}, 0, "no reflection has Fo/s(Fo) at or above", "s.csv"},
        {{"--stats", "@/s.png", ex}, 2, "--stats writes a .csv or a .json file"},
        {{"--stats", "@/s.json", "--sqrt", ex}, 2, "--sqrt goes with --output, not --stats"},
        {{"--stats", "@/s.json", "@/bad.vorsel"}, 3, "does not hold a number"},
        {{"--stats", "@/no/s.json", ex}, 4, "cannot write @/no/s.json"},
        {{"--x", "theta", "--y", "nope", "--output", "@/b.png", ex}, 2, "unknown y quantity 'nope'"},
        {{"--x", "theta", "--y", "Fo", "--output", "@/b.png"}, 2, "a data file (*.vorsel) is needed"},
        {{"--x", "theta", "--y", "Fo", "--output", "@/b.gif", ex}, 2, "names a .png, .svg, .pdf or .csv"},
        {{"--x", "theta", "--y", "Fo", "--limit", "2.5", "--output", "@/b.png", ex}, 2,
         "--limit takes a whole number"},
        {{"--x", "Fo", "--y", "Fo", "--output", "@/b.png", ex}, 2, "the same quantity"},
        {{"--sqrt", ex}, 2, "--sqrt needs --output"},
        {{"--report", "@/r.png", ex}, 2, "--report writes a PDF"},
        {{"--zoom", ex}, 2, "unknown option --zoom"},
        {{"-style", "Fusion", "-reverse", "--x", "theta", "--y", "Fo", "--output", "@/q.png", ex}, 0,
         "Qt's window options ignored (-style Fusion -reverse): --output", "q.png"},
        {{"--x", "theta", "--y", "Fo", "--output", "@/b.png", ex, "-session"}, 2, "-session needs a value"},
        {{"--frame", "--overall", "--x", "Fo", "--y", "Fc", "--output", "@/b.png", ex}, 2, "exclude each other"},
        {{"--x", "theta", "--y", "Fo", "--output", "@/b.png", "@/none.vorsel"}, 3,
         "@/none.vorsel cannot be used"},
        {{"--x", "theta", "--y", "Fo", "--output", "@/b.png", "@/bad.vorsel"}, 3,
         "Data line 2 (line 3 of the file), field 3 (columns 21 to 30), does not hold a number."},
        {{"--x", "theta", "--y", "Fo", "--limit", "999", "--output", "@/b.png", ex}, 3,
         "no curve: no reflection has Fo/s(Fo) >= 999"},
        {{"--x", "phi", "--y", "Fo", "--output", "@/b.png", "@/four.vorsel"}, 3,
         "no curve: phi is field 7 and the file has 4 fields per line"},
        {{"--x", "theta", "--y", "Fo", "--output", "@/no/b.png", ex}, 4, "cannot write @/no/b.png"},
        {{"--x", "theta", "--y", "Fo", "--output", "@/taken.png", ex}, 4, "cannot write @/taken.png"},
        // The window without a display (none is passed on): a line, not Qt's abort.
        {{ex}, 1, "no display to open the window on"},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        SCOPED_TRACE(line);
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        std::string want = c.err;
        if (const auto at = want.find('@'); at != std::string::npos)
            want.replace(at, 1, dir.string());
        if (want.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(want), std::string::npos) << r.err;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
            EXPECT_EQ(r.err.rfind("vorselplot: ", 0), 0u) << r.err;
        }
        if (c.made) {
            EXPECT_GT(fs::file_size(dir / c.made), 1000u);
        }
    }
    EXPECT_EQ(fs::directory_iterator(dir / "config"), fs::directory_iterator())
        << "a run without a window remembers nothing";

    const QImage png(QString::fromStdString((dir / "a.png").string()));
    EXPECT_EQ(png.size(), QSize(720, 385 + 20));  // the title, the board, the note on x
    EXPECT_EQ(png.pixelColor(400, 300), QColor(0, 0, 255));  // the board's background
}

TEST_F(Cli, HelpVersionAndAMissingLibrary) {
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* text : {"dF/s(Fo)", "XRtime", "Exit status: 0", "4 the output file"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    EXPECT_EQ(run({"--version"}).out.rfind("vorselplot ", 0), 0u);

    // The program alone, far from its library.
    fs::create_directories(dir / "a" / "bin");
    fs::copy_file(VORSELPLOT, dir / "a" / "bin" / "vorselplot");
    const Outcome r =
        run({"--report", "@/r.pdf", VORSEL_EXAMPLE}, (dir / "a" / "bin" / "vorselplot").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("libvorsel_for.so could not be loaded"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "r.pdf"));
}

// The window hands Qt's own options to Qt: the window opens and stays, and
// an option that Qt finds wrong gets Qt's own complaint.
TEST_F(Cli, TheWindowTakesQtsOptions) {
    write("look.qss", "QPushButton { color: red; }");
    const std::vector<std::vector<std::string>> cases = {
        {"-style", "Windows"}, {"-stylesheet", "@/look.qss"}, {"-reverse"},
        {"-qwindowgeometry", "900x700+20+20"}, {"-qwindowtitle", "Decay"}, {"-session", "s1"}};
    for (std::vector<std::string> args : cases) {
        SCOPED_TRACE(args.front());
        args.insert(args.begin(), {"-platform", "offscreen"});
        args.push_back(VORSEL_EXAMPLE);
        const Outcome r = run(args, VORSELPLOT, 1500);
        EXPECT_EQ(r.status, kStillRunning) << r.err;
        EXPECT_EQ(r.err.find("unknown option"), std::string::npos) << r.err;
    }
    EXPECT_NE(run({"-platform", "offscreen", "-style=NoSuchLook", VORSEL_EXAMPLE}, VORSELPLOT, 1500)
                  .err.find("NoSuchLook"),
              std::string::npos);
    const Outcome wrong = run({"-platform", "nosuchplatform", VORSEL_EXAMPLE}, VORSELPLOT, 10000);
    EXPECT_NE(wrong.err.find("nosuchplatform"), std::string::npos) << wrong.err;
    EXPECT_NE(run({"--help"}).out.find("-stylesheet FILE"), std::string::npos);
}

TEST(CommandLine, OptionsBecomeTheViewAskedFor) {
    using vorsel::app::parse_command_line;
    const auto cl =
        parse_command_line({"--y", "Fo / Fc", "--x", "vs. omega", "--limit=7", "--reverse",
                            "--smoothed", "--frame", "--window", "--output", "x.PNG", "f.vorsel"});
    ASSERT_EQ(cl.error, "");
    EXPECT_EQ(cl.mode, vorsel::app::CommandLine::Mode::Output);
    EXPECT_EQ(cl.view.x_button, but::VsOmega);
    EXPECT_EQ(cl.view.y_button, but::Fo_Fc);
    EXPECT_EQ(cl.view.limit, 7);
    EXPECT_TRUE(cl.view.reverse && cl.view.smoothed && cl.view.frame_scale);
    EXPECT_FALSE(cl.view.sqrooted || cl.view.whole_curve);
    EXPECT_EQ(cl.file, "f.vorsel");
}

}  // namespace

// A reflection file gives what its import gives, bar the lines naming the file; what the
// importer refuses ends the run with its line; a CIF under another name is named one.
TEST_F(Cli, AReflectionFileReadsAsItsImport) {
    for (const char* name : {"t.fcf", "t.cif"}) write(name, reflection_file_text(60));
    write("bad.fcf", reflection_file_text(60) + "1 1 1 7 oops 2 o\n");
    ASSERT_EQ(run({"@/t.fcf", "@/x.vorsel"}, VORSEL_IMPORT).status, 0);
    const auto unnamed = [](const std::string& text) {
        std::string kept, line;
        for (std::istringstream in(text); std::getline(in, line);)
            if (line.find("t.fcf") == std::string::npos && line.find("x.vorsel") == std::string::npos)
                kept += line + "\n";
        return kept;
    };
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--x", "theta", "--y", "dF/s(Fo)", "--output", ".csv"}, {"--stats", ".csv"},
             {"--stats", ".json"}, {"--limit", "5", "--stats", ".json"}}) {
        SCOPED_TRACE(args.front() + args.back());
        std::string made[2];
        for (const char* in : {"t.fcf", "x.vorsel"}) {
            std::vector<std::string> a = args;
            a.back() = "@/" + std::string(in) + a.back();
            a.push_back("@/" + std::string(in));
            EXPECT_EQ(run(a).status, 0);
            made[in[0] == 'x'] = unnamed(slurp(dir / (in + args.back())));
        }
        EXPECT_GT(made[0].size(), 200u);
        EXPECT_EQ(made[0], made[1]);
    }
    for (const auto& [file, err] : std::vector<std::pair<std::string, std::string>>{
             {"bad.fcf", "/bad.fcf:76: reflection 61: _refln_F_squared_meas is not a number: 'oops'"},
             {"t.cif", "/t.cif cannot be used. This is a CIF (a refinement's reflection file?): open "
                       "it with File, Import Reflection File..., or convert it with vorsel_import."}}) {
        const Outcome o = run({"--stats", "@/o.csv", "@/" + file});
        EXPECT_EQ(o.status, 3) << file;
        EXPECT_TRUE(o.err.ends_with(err + "\n") && o.err.find('\n') + 1 == o.err.size()) << o.err;
        EXPECT_FALSE(fs::exists(dir / "o.csv"));
    }
}
