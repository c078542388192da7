#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <pthread.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <random>

namespace vorsel::platform {

namespace {

// The temporaries that a signal removes: fixed places, so that the handler
// needs neither memory nor locks. A place is 0 free, 1 being filled, 2 held.
constexpr int kSlots = 8;
constexpr std::size_t kSlotPath = 4096;
struct Slot {
    std::atomic<int> state{0};
    char path[kSlotPath];
};
Slot g_slots[kSlots];

int hold_temporary(const std::string& path) {
    if (path.size() >= kSlotPath) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int free = 0;
        if (!g_slots[i].state.compare_exchange_strong(free, 1)) continue;
        std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
        g_slots[i].state.store(2);
        return i;
    }
    return -1;
}

void free_slot(int slot) {
    if (slot >= 0) g_slots[slot].state.store(0);
}

extern "C" void remove_and_stop(int sig) {
    for (Slot& s : g_slots)
        if (s.state.load() == 2) ::unlink(s.path);
    std::signal(sig, SIG_DFL);
    std::raise(sig);  // delivered once the handler returns
}

// The stopping signals wait while a temporary gets or loses its name, so that
// the handler never misses one nor removes a file that is already in place.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, sig);
        ::pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t old_;
};

// The folder part of a path ("." for a bare name), and the name part.
std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
std::string name_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with its symbolic links followed to the file they lead to (which
// need not exist yet); empty with `problem` set when they go round.
std::string follow_links(const std::string& path, std::string& problem) {
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::string to(static_cast<std::size_t>(st.st_size) + 256, '\0');
        const ssize_t n = ::readlink(p.c_str(), to.data(), to.size());
        if (n < 0) return p;
        to.resize(static_cast<std::size_t>(n));
        p = to.starts_with('/') ? to : folder_of(p) + "/" + to;
    }
    problem = error_text(ELOOP);
    return {};
}

std::string kind_problem(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return {};
    const char* kind = S_ISDIR(st.st_mode)                          ? "a folder"
                       : S_ISFIFO(st.st_mode)                       ? "a FIFO (named pipe)"
                       : S_ISSOCK(st.st_mode)                       ? "a socket"
                       : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "a device"
                                                                    : "not a file";
    return std::string("it is ") + kind + ", not a regular file; nothing is written over it";
}

mode_t new_file_mode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::string error_text(int e) {
    switch (e) {
        case ENOSPC: return "the disk is full";
        case EDQUOT: return "the disk quota is used up";
        case EROFS: return "read-only file system";
        case EACCES:
        case EPERM: return "permission denied";
        case EFBIG: return "the file would be larger than the file size limit allows";
        case ENOENT: return "the folder does not exist";
        case ENOTDIR: return "a part of the path is not a folder";
        case EISDIR: return "it is a folder";
        case EIO: return "input/output error: the disk or the connection to it failed";
        case ENAMETOOLONG: return "the name is too long";
        case ELOOP: return "too many symbolic links";
        case ENOMEM: return "out of memory";
        default: break;
    }
    const std::string text = std::strerror(e);
    if (text.empty() || text.starts_with("Unknown"))
        return "system error number " + std::to_string(e);
    return text;
}

std::string output_problem(const std::string& path) {
    if (path.empty()) return "the name is empty";
    std::string problem;
    const std::string target = follow_links(path, problem);
    if (!problem.empty()) return problem;
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) return {};  // a new file
    return kind_problem(st);
}

std::string input_named_by(const std::string& output, const std::vector<std::string>& inputs) {
    struct stat out;
    if (::stat(output.c_str(), &out) != 0) return {};
    for (const std::string& in : inputs) {
        struct stat st;
        if (::stat(in.c_str(), &st) == 0 && st.st_dev == out.st_dev && st.st_ino == out.st_ino)
            return in;
    }
    return {};
}

void remove_temporaries_on_signals() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        // A signal ignored on purpose (nohup) stays ignored.
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        struct sigaction act {};
        act.sa_handler = remove_and_stop;
        sigemptyset(&act.sa_mask);
        ::sigaction(sig, &act, nullptr);
    }
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    if (const std::string p = output_problem(path_); !p.empty()) {
        fail(p);
        return;
    }
    std::string ignored;
    target_ = follow_links(path_, ignored);
    const std::string folder = folder_of(target_);
    struct stat old;
    const bool replaces = ::stat(target_.c_str(), &old) == 0;
    // An unnamed file gets its name through /proc; without /proc, a named one.
    const bool proc = ::access("/proc/self/fd", X_OK) == 0;
    fd_ = proc ? ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666) : -1;
    unnamed_ = fd_ >= 0;
    if (fd_ < 0 && (!proc || errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files here: a hidden name beside the target.
        std::string temp = folder + "/." + name_of(target_) + ".XXXXXX";
        SignalsHeld held;
        fd_ = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd_ >= 0) {
            temporary_ = temp;
            slot_ = hold_temporary(temp);
            ::fchmod(fd_, new_file_mode());
        }
    }
    if (fd_ < 0) {
        fail(error_text(errno));
        return;
    }
    // The new file keeps the permissions of the one it replaces.
    if (replaces) ::fchmod(fd_, old.st_mode & 07777);
}

OutputFile::~OutputFile() { drop(); }

void OutputFile::drop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (temporary_.empty()) return;
    SignalsHeld held;
    ::unlink(temporary_.c_str());
    free_slot(slot_);
    slot_ = -1;
    temporary_.clear();
}

bool OutputFile::fail(const std::string& why) {
    if (error_.empty()) error_ = why;
    drop();
    return false;
}

bool OutputFile::write(std::string_view bytes) {
    if (fd_ < 0) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(error_text(n < 0 ? errno : ENOSPC));
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool OutputFile::commit() {
    if (fd_ < 0) return false;
    if (::fsync(fd_) != 0) return fail(error_text(errno));
    if (unnamed_) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        // A new name: the file appears there whole, in one step.
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            drop();
            return true;
        }
        if (errno != EEXIST) return fail(error_text(errno));
        // An older file: a hidden name first, then renamed over it.
        std::random_device seed;
        for (int attempt = 0; attempt < 100 && temporary_.empty(); ++attempt) {
            const std::string temp = folder_of(target_) + "/." + name_of(target_) + "." +
                                     std::to_string(seed() % 1000000000u);
            SignalsHeld held;
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                temporary_ = temp;
                slot_ = hold_temporary(temp);
            } else if (errno != EEXIST) {
                return fail(error_text(errno));
            }
        }
        if (temporary_.empty()) return fail(error_text(EEXIST));
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(error_text(errno));
    SignalsHeld held;
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return fail(error_text(errno));
    free_slot(slot_);
    slot_ = -1;
    temporary_.clear();
    return true;
}

std::string write_whole_file(const std::string& path, std::string_view bytes) {
    OutputFile file(path);
    if (file.write(bytes) && file.commit()) return {};
    return file.error();
}

}  // namespace vorsel::platform
