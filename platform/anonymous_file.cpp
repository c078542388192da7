#include "platform/anonymous_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/output_file.h"

namespace vorsel::platform {

AnonymousFile::AnonymousFile(std::string_view bytes) {
    // In memory where the kernel offers that; else an unnamed file in the
    // temporary folder.
    fd_ = ::memfd_create("vorsel-data", MFD_CLOEXEC);
    if (fd_ < 0) {
        const char* tmp = std::getenv("TMPDIR");
        fd_ = ::open(tmp && *tmp ? tmp : "/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    }
    if (fd_ < 0) {
        error_ = "no file for the converted data: " + error_text(errno);
        return;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = "the converted data could not be kept: " + error_text(n < 0 ? errno : ENOSPC);
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

AnonymousFile::~AnonymousFile() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace vorsel::platform
