// Nothing a user has is lost: vorselplot and vorsel_import under a file size limit, on outputs
// that are inputs or no files, with a settings store that is no small file, stopped mid-write.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
const std::string kPlot = VORSELPLOT, kImport = VORSEL_IMPORT, kExample = VORSEL_EXAMPLE;

std::string slurp(const fs::path& p) {
    return {std::istreambuf_iterator<char>(std::ifstream(p, std::ios::binary).rdbuf()), {}};
}

class SafeOutput : public ::testing::Test {
protected:
    fs::path dir = fs::path(::testing::TempDir()) /
                   ("vorsel_safe_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string at = dir.string() + "/";
    void SetUp() override { fs::create_directories(dir / "home/.config/DADO_QEM"); }
    void TearDown() override { fs::remove_all(dir); }

    // args[0] run in the folder, HOME there, no display but offscreen, stderr to home/err.
    pid_t start(Args args, rlim_t fsize = RLIM_INFINITY, bool offscreen = false) {
        Args env{"HOME=" + at + "home", offscreen ? "QT_QPA_PLATFORM=offscreen" : "A=B"};
        std::vector<char*> argv, envp{env[0].data(), env[1].data(), nullptr};
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (const pid_t pid = ::fork(); pid != 0) return pid;
        ::dup2(::open((at + "home/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
        if (const rlimit lim{fsize, fsize};
            ::chdir(dir.c_str()) == 0 && ::setrlimit(RLIMIT_FSIZE, &lim) == 0)
            ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    std::pair<int, std::string> run(const Args& args, rlim_t fsize = RLIM_INFINITY) {
        int status = 0;
        ::waitpid(start(args, fsize), &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(at + "home/err")};
    }
    Args view(const std::string& out, const std::string& in = kExample) {
        return {kPlot, "--x", "Fc", "--y", "Fo", "--output", out, in};
    }
    // A reflection file of a cubic cell with n^2 (n - 1) reflections.
    void fcf(const std::string& name, int n) {
        std::ofstream f(dir / name);
        f << "data_t\n_cell_length_a 50\n_cell_length_b 50\n_cell_length_c 50\n"
             "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\nloop_\n"
             "_refln_index_h\n_refln_index_k\n_refln_index_l\n_refln_F_squared_calc\n"
             "_refln_F_squared_meas\n_refln_F_squared_sigma\n";
        for (int i = 0, m = n - 1; i < n * n * m; ++i)
            f << i / (n * m) << ' ' << i / m % n << ' ' << i % m + 1 << " 812.5 790.25 12.5\n";
    }
    void expect_no_temporary() {
        for (const auto& e : fs::directory_iterator(dir))
            EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
    }
};

// Each run leaves one file as it was: an old output under a file size limit (a full disk), an
// input named as the output, a FIFO or device at the output's name, beside a misleading input.
TEST_F(SafeOutput, WhatIsThereStaysAsItWas) {
    fcf("a.fcf", 6);
    const bool root = ::geteuid() == 0;  // a device needs root to make
    for (const std::string f :
         {"o.png", "o.svg", "o.pdf", "o.csv", "rep.pdf", "o.vorsel", "f.csv", "f.vorsel"})
        std::ofstream(dir / f) << "old";
    for (const std::string f :
         {"d.png", "d.svg", "d.pdf", "d.csv", "r.pdf", "sp.vorsel", "sp.vorsel "})
        fs::copy_file(kExample, dir / f);
    for (const std::string f : {"d.pdf", "a.fcf", "f.csv", "f.vorsel"})
        fs::create_symlink(f, dir / ("l-" + f));
    for (const std::string ext : {".csv", ".vorsel"}) {
        ASSERT_EQ(::mkfifo((at + "fifo" + ext).c_str(), 0644), 0);
        ASSERT_TRUE(!root ||
                    ::mknod((at + "null" + ext).c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0);
    }
    // Fo of data line 2 is 1.0E99, beyond the range of 4-byte reals.
    std::ofstream(dir / "huge.vorsel") << "     4\n       1.0      10.0       9.0       1.0\n"
                                          "       2.0    1.0E99       9.0       1.0\n";
    const auto kept = [&](const std::string& f) {  // its type, and its content if a file
        struct stat st {};
        ::lstat((at + f).c_str(), &st);
        return std::to_string(st.st_mode & S_IFMT) + (S_ISREG(st.st_mode) ? slurp(at + f) : "");
    };
    const std::string big = ": the file would be larger than the file size limit allows";
    const rlim_t kb = 1024, any = RLIM_INFINITY;
    // clang-format off
    const std::tuple<Args, rlim_t, int, std::string, std::string> cases[] = {
        {view("o.png"), kb, 4, "o.png" + big, "o.png"}, {view("o.svg"), kb, 4, "o.svg" + big, "o.svg"},
        {view("o.pdf"), kb, 4, "o.pdf" + big, "o.pdf"}, {view("o.csv"), kb, 4, "o.csv" + big, "o.csv"},
        {{kPlot, "--report", "rep.pdf", kExample}, kb, 4, "rep.pdf" + big, "rep.pdf"},
        {{kImport, "a.fcf", "o.vorsel"}, kb, 4, "o.vorsel: cannot write" + big, "o.vorsel"},
        {view(at + "d.png", "d.png"), any, 2, "is the data file d.png", "d.png"}, {view("./d.svg", "d.svg"), any, 2, "is the data file d.svg", "d.svg"},
        {view("l-d.pdf", "d.pdf"), any, 2, "is the data file d.pdf", "d.pdf"}, {view("./d.csv", at + "d.csv"), any, 2, "is the data file", "d.csv"},
        {{kPlot, "--report", "./r.pdf", "r.pdf"}, any, 2, "is the data file r.pdf", "r.pdf"},
        {{kImport, "a.fcf", at + "a.fcf"}, any, 2, "is the input file a.fcf", "a.fcf"}, {{kImport, "a.fcf", "./a.fcf"}, any, 2, "is the input file a.fcf", "a.fcf"},
        {{kImport, "a.fcf", "l-a.fcf"}, any, 2, "is the input file a.fcf", "a.fcf"},
        {view("fifo.csv"), any, 4, "fifo.csv: it is a FIFO", "fifo.csv"}, {{kImport, "a.fcf", "fifo.vorsel"}, any, 4, "fifo.vorsel: cannot write: it is a FIFO", "fifo.vorsel"},
        {view("null.csv"), any, 4, "null.csv: it is a device", "null.csv"}, {{kImport, "a.fcf", "null.vorsel"}, any, 4, "null.vorsel: cannot write: it is a device", "null.vorsel"},
        {view("o.csv", "sp.vorsel "), any, 3, "sp.vorsel  cannot be used. Its name ends in a blank", "o.csv"},
        {view("", "sp.vorsel"), any, 2, "--output names no file: the output name is empty", "o.csv"}, {{kPlot, "-"}, any, 2, "'-' (standard input) is not read", "o.csv"},
        {view("n.csv", "huge.vorsel"), any, 0, "Data line 2 (line 3 of the file), field 2 (columns 11 to 20) holds a number beyond", "o.csv"},
        {view("l-f.csv"), any, 0, "", "l-f.csv"}, {{kImport, "a.fcf", "l-f.vorsel"}, any, 0, "", "l-f.vorsel"}};
    // clang-format on
    for (const auto& [args, fsize, status, message, file] : cases) {
        if (file.starts_with("null") && !root) continue;
        const std::string before = kept(file);
        const auto [got, err] = run(args, fsize);
        EXPECT_EQ(got, status) << message << ": " << err;
        EXPECT_NE(err.find(message), std::string::npos) << err;
        EXPECT_EQ(kept(file), before) << message;
        expect_no_temporary();
    }
    EXPECT_GT(slurp(at + "f.csv").size() + slurp(at + "f.vorsel").size(),
              200u);  // where the links lead
}

TEST_F(SafeOutput, ASettingsStoreThatIsNoSmallFileIsLeftAlone) {
    const std::string ini = at + "home/.config/DADO_QEM/DADO_QEM.ini";
    for (const bool fifo : {true, false}) {
        fs::remove(ini);
        ASSERT_TRUE(fifo ? ::mkfifo(ini.c_str(), 0644) == 0
                         : bool(std::ofstream(ini) << std::string(2 << 20, ';')));
        // It says so and goes on; had it opened the store it would hang or say nothing (30 s).
        const pid_t pid = start({kPlot}, RLIM_INFINITY, true);
        std::string err;
        for (int i = 0; i < 300 && (err = slurp(at + "home/err")).find("not used") == err.npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        EXPECT_NE(err.find(ini + " is not used"), std::string::npos) << err;
        EXPECT_EQ(fs::is_fifo(ini) ? 0 : fs::file_size(ini), fifo ? 0 : std::size_t{2} << 20);
    }
}

TEST_F(SafeOutput, AnImportStoppedWhileWritingLeavesNothing) {
    fcf("big.fcf", 80);  // 505,600 reflections
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t pid = start({kImport, "big.fcf", "out.vorsel"});
        // Stopped once it has a file of the folder open other than its input and its log.
        const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
        bool writing = false;
        for (int i = 0; i < 60000 && !writing; ++i) {
            for (std::error_code ec; const auto& fd : fs::directory_iterator(fds, ec)) {
                const std::string to = fs::read_symlink(fd.path(), ec).string();
                writing |= to.starts_with(at) && !to.ends_with("big.fcf") && !to.ends_with("/err");
            }
            std::this_thread::sleep_for(std::chrono::microseconds(writing ? 0 : 500));
        }
        ASSERT_TRUE(writing);
        ::kill(pid, sig);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig << " " << status;
        EXPECT_FALSE(fs::exists(dir / "out.vorsel")) << sig;
        expect_no_temporary();
    }
}

}  // namespace
