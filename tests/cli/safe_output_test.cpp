// Nothing a user has is lost: vorselplot and vorsel_import in child processes
// under a file size limit, with outputs that are their inputs or no regular
// files, a data path ending in a blank, a settings store that is a FIFO, and
// an import stopped while it writes.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
const std::string kPlot = VORSELPLOT, kImport = VORSEL_IMPORT, kExample = VORSEL_EXAMPLE;

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class SafeOutput : public ::testing::Test {
protected:
    fs::path dir = fs::path(::testing::TempDir()) /
                   ("vorsel_safe_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { fs::create_directories(dir / "home/.config/DADO_QEM"); }
    void TearDown() override { fs::remove_all(dir); }

    // Starts args[0] in the test's folder, HOME there, stderr to home/err,
    // under a file size limit, with no display unless an offscreen one is
    // asked for; "@" in an argument stands for the folder.
    pid_t start(std::vector<std::string> args, rlim_t fsize = RLIM_INFINITY, bool offscreen = false) {
        std::vector<std::string> env{"HOME=" + (dir / "home").string()};
        if (offscreen) env.push_back("QT_QPA_PLATFORM=offscreen");
        for (char** e = environ; *e; ++e)
            if (std::string v = *e; v.rfind("HOME=", 0) && v.rfind("XDG_", 0) && v.rfind("QT_QPA", 0) &&
                                   v.rfind("DISPLAY=", 0) && v.rfind("WAYLAND_DISPLAY=", 0))
                env.push_back(v);
        for (std::string& a : args)
            if (const auto at = a.find('@'); at != std::string::npos) a.replace(at, 1, dir.string());
        std::vector<char*> argv, envp;
        for (std::string& a : args) argv.push_back(a.data());
        for (std::string& e : env) envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        const std::string err = (dir / "home/err").string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            ::dup2(::open("/dev/null", O_WRONLY), 1);
            if (::chdir(dir.c_str()) != 0) ::_exit(126);
            std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
            const rlimit limit{fsize, fsize};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        return pid;
    }
    std::pair<int, std::string> finish(pid_t pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(dir / "home/err")};
    }
    std::pair<int, std::string> run(const std::vector<std::string>& args,
                                    rlim_t fsize = RLIM_INFINITY) {
        return finish(start(args, fsize));
    }
    void put(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    // A reflection file of a cubic cell with n^2 (n - 1) reflections.
    void fcf(const std::string& name, int n) {
        std::ofstream f(dir / name);
        f << "data_t\n_shelx_refln_list_code 4\n_diffrn_radiation_wavelength 0.71073\n";
        for (const char* c : {"a 50", "b 50", "c 50"}) f << "_cell_length_" << c << "\n";
        for (const char* c : {"alpha", "beta", "gamma"}) f << "_cell_angle_" << c << " 90\n";
        f << "loop_\n_refln_index_h\n_refln_index_k\n_refln_index_l\n_refln_F_squared_calc\n"
             "_refln_F_squared_meas\n_refln_F_squared_sigma\n";
        for (int h = 0; h < n; ++h)
            for (int k = 0; k < n; ++k)
                for (int l = 1; l < n; ++l) f << h << ' ' << k << ' ' << l << " 812.5 790.25 12.5\n";
    }
    // No temporary (a hidden name) is left in the folder.
    void expect_no_leftover() {
        for (const auto& e : fs::directory_iterator(dir))
            EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
    }
};

TEST_F(SafeOutput, AFullDiskKeepsTheOldFile) {
    fcf("s.fcf", 6);
    const std::vector<std::vector<std::string>> cases = {
        {kPlot, "--x", "theta", "--y", "Fo", "--output", "@/o.png", kExample},
        {kPlot, "--x", "theta", "--y", "Fo", "--output", "@/o.svg", kExample},
        {kPlot, "--x", "theta", "--y", "Fo", "--output", "@/o.pdf", kExample},
        {kPlot, "--x", "theta", "--y", "Fo", "--output", "@/o.csv", kExample},
        {kPlot, "--report", "@/o.pdf", kExample},
        {kImport, "@/s.fcf", "@/o.vorsel"}};
    for (const auto& args : cases) {
        const std::string out = args[args.size() - (args[0] == kImport ? 1 : 2)];
        SCOPED_TRACE(out);
        const fs::path old = dir / fs::path(out).filename();
        put(old.filename(), "old");
        const auto [status, err] = run(args, 1024);
        EXPECT_EQ(status, 4) << err;
        EXPECT_NE(err.find("file size limit"), std::string::npos) << err;
        EXPECT_EQ(slurp(old), "old");
        expect_no_leftover();
    }
}

TEST_F(SafeOutput, AnOutputThatIsAnInputIsRefusedBeforeAnythingIsWritten) {
    fcf("a.fcf", 4);
    struct Case {
        std::string program, input, output;  // an output "@/l-..." is a link to the input
    };
    const Case cases[] = {{kPlot, "d.png", "@/d.png"},   {kPlot, "d.svg", "./d.svg"},
                          {kPlot, "d.pdf", "@/l-d.pdf"}, {kPlot, "d.csv", "./d.csv"},
                          {"report", "r.pdf", "r.pdf"},  {kImport, "a.fcf", "@/a.fcf"},
                          {kImport, "a.fcf", "./a.fcf"}, {kImport, "a.fcf", "@/l-a.fcf"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program + " " + c.output);
        if (c.program != kImport) fs::copy_file(kExample, dir / c.input, fs::copy_options::overwrite_existing);
        if (c.output.starts_with("@/l-")) fs::create_symlink(c.input, dir / ("l-" + c.input));
        const std::string before = slurp(dir / c.input);
        const auto [status, err] =
            c.program == kImport  ? run({kImport, c.input, c.output})
            : c.program == kPlot ? run({kPlot, "--x", "theta", "--y", "Fo", "--output", c.output, c.input})
                                 : run({kPlot, "--report", c.output, c.input});
        EXPECT_EQ(status, 2) << err;
        EXPECT_NE(err.find("is the"), std::string::npos) << err;
        EXPECT_EQ(slurp(dir / c.input), before);
    }
}

TEST_F(SafeOutput, OnlyRegularFilesAreReplacedAndLinksLeadToThem) {
    fcf("a.fcf", 4);
    const bool root = ::geteuid() == 0;  // a device needs root to make
    for (const std::string ext : {".csv", ".vorsel"}) {
        ASSERT_EQ(::mkfifo((dir / ("fifo" + ext)).c_str(), 0644), 0);
        if (root) {
            ASSERT_EQ(::mknod((dir / ("null" + ext)).c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
        }
        fs::create_symlink("file" + ext, dir / ("link" + ext));
        put("file" + ext, "old");
    }
    for (const std::string& program : {kPlot, kImport})
        for (const std::string name : {"fifo", "null", "link"}) {
            if (name == "null" && !root) continue;
            const std::string out = name + (program == kPlot ? ".csv" : ".vorsel");
            SCOPED_TRACE(program + " " + out);
            const auto [status, err] =
                program == kImport ? run({kImport, "a.fcf", out})
                                   : run({kPlot, "--x", "Fc", "--y", "Fo", "--output", out, kExample});
            struct stat st;
            ASSERT_EQ(::lstat((dir / out).c_str(), &st), 0);
            if (name == "link") {
                EXPECT_EQ(status, 0) << err;
                EXPECT_TRUE(S_ISLNK(st.st_mode));
                EXPECT_GT(slurp(dir / ("file" + out.substr(4))).size(), 100u);
            } else {
                EXPECT_EQ(status, 4) << err;
                EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
                EXPECT_TRUE(name == "fifo" ? S_ISFIFO(st.st_mode) : S_ISCHR(st.st_mode));
            }
        }
    expect_no_leftover();
}

TEST_F(SafeOutput, MisleadingInputsAreRefusedWithAClearMessage) {
    fs::copy_file(kExample, dir / "sp.vorsel");
    fs::copy_file(kExample, dir / "sp.vorsel ");
    // Fo of data line 2 is 1.0E99, beyond the range of 4-byte reals.
    put("huge.vorsel", "     4\r\n       1.0      10.0       9.0       1.0\r\n"
                       "       2.0    1.0E99       9.0       1.0\r\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"--x", "theta", "--y", "Fo", "--output", "o.csv", "sp.vorsel "}, 3, "ends in a blank"},
        {{"--x", "theta", "--y", "Fo", "--output", "", "sp.vorsel"}, 2, "the output name is empty"},
        {{"-"}, 2, "standard input"},
        {{"--x", "Fc", "--y", "Fo", "--output", "o.csv", "huge.vorsel"}, 0,
         "Data line 2 (line 3 of the file), field 2 (columns 11 to 20) holds a number beyond"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        std::vector<std::string> args{kPlot};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto [status, err] = run(args);
        EXPECT_EQ(status, c.status) << err;
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
        EXPECT_EQ(fs::exists(dir / "o.csv"), c.status == 0);
    }
}

TEST_F(SafeOutput, ASettingsStoreThatIsNoSmallFileIsLeftAlone) {
    const fs::path ini = dir / "home/.config/DADO_QEM/DADO_QEM.ini";
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : "2 MB");
        fs::remove(ini);
        if (fifo)
            ASSERT_EQ(::mkfifo(ini.c_str(), 0644), 0);
        else
            put("home/.config/DADO_QEM/DADO_QEM.ini", std::string(2 << 20, ';'));
        const pid_t pid = start({kPlot}, RLIM_INFINITY, true);
        // It says so and goes on to its chooser; a store opened would hang
        // (FIFO) or say nothing: given up after 30 seconds.
        std::string err;
        for (int i = 0; i < 300 && err.find("is not used") == std::string::npos; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            err = slurp(dir / "home/err");
        }
        ::kill(pid, SIGKILL);
        finish(pid);
        EXPECT_NE(err.find(ini.string() + " is not used"), std::string::npos) << err;
        EXPECT_EQ(fs::is_fifo(ini), fifo);
        if (!fifo) {
            EXPECT_EQ(fs::file_size(ini), std::size_t{2} << 20);
        }
    }
}

TEST_F(SafeOutput, AnImportStoppedWhileWritingLeavesNothing) {
    fcf("big.fcf", 80);  // 505,600 reflections
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        const pid_t pid = start({kImport, "big.fcf", "out.vorsel"});
        // The signal comes once the output is open: a file of the folder other
        // than the input and the error log among the process's descriptors.
        const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
        bool writing = false;
        for (int i = 0; i < 60000 && !writing; ++i) {
            std::error_code ec;
            for (const auto& fd : fs::directory_iterator(fds, ec)) {
                const std::string to = fs::read_symlink(fd.path(), ec).string();
                writing |= to.starts_with(dir.string() + "/") && !to.ends_with("big.fcf") &&
                           !to.ends_with("/err");
            }
            if (!writing) std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        ASSERT_TRUE(writing);
        ::kill(pid, sig);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_FALSE(fs::exists(dir / "out.vorsel"));
        expect_no_leftover();
    }
}

}  // namespace
