#include "import/data_file_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "import/field_text.h"
#include "import/import_error.h"

namespace vorsel::import {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

// A hidden name beside the target, so that rename() stays within one file
// system and never crosses into another folder.
std::string temporary_template(const std::string& target) {
    const std::filesystem::path path(target);
    return (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
}

// The mode an ordinary new file gets: mkstemp() makes its file private.
mode_t new_file_mode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

DataFileWriter::DataFileWriter(std::string target, bool crlf, bool with_indices)
    : target_(std::move(target)),
      line_end_(crlf ? "\r\n" : "\n"),
      with_indices_(with_indices),
      buffer_(kBufferSize) {
    if (target_.empty() || target_.back() == '/') fail("not a file name");
    temporary_ = temporary_template(target_);
    const int fd = ::mkstemp(temporary_.data());
    if (fd < 0) {
        temporary_.clear();
        fail(std::strerror(errno));
    }
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary_.c_str());  // no destructor runs for a throwing constructor
        temporary_.clear();
        fail(std::strerror(error));
    }
    ::fchmod(fd, new_file_mode());
    const std::string header =
        (with_indices_ ? "    15 " + std::string(kIndicesMark) : std::string("    13")) + line_end_;
    std::memcpy(buffer_.data(), header.data(), header.size());
    used_ = header.size();
}

DataFileWriter::~DataFileWriter() {
    if (file_ != nullptr) std::fclose(file_);
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void DataFileWriter::add(std::int64_t number,
                         const std::array<double, kFieldsPerLine - 1>& values) {
    if (with_indices_) fail("a reflection without its indices");
    put_line(number, values, nullptr);
}

void DataFileWriter::add(std::int64_t number,
                         const std::array<double, kFieldsPerLine - 1>& values,
                         const Miller& hkl) {
    if (!with_indices_) fail("indices for a file without them");
    if (!indices_fit(hkl)) fail("an index beyond ±" + std::to_string(kMaxIndex));
    put_line(number, values, &hkl);
}

void DataFileWriter::put_line(std::int64_t number,
                              const std::array<double, kFieldsPerLine - 1>& values,
                              const Miller* hkl) {
    const std::size_t fields = hkl ? kFieldsWithIndices : kFieldsPerLine;
    const std::size_t size = fields * kFieldWidth + line_end_.size();
    if (buffer_.size() - used_ < size) flush();
    char* line = buffer_.data() + used_;
    if (!format_whole(number, line)) fail("more reflections than a data file can number");
    for (std::size_t c = 0; c < values.size(); ++c)
        if (!format_real(values[c], line + (c + 1) * kFieldWidth))
            fail("a value beyond the range of 4-byte reals");
    if (hkl) {
        format_whole(hkl->h, line + kFieldsPerLine * kFieldWidth);
        format_whole(std::int64_t{hkl->k} * kKStride + hkl->l, line + (kFieldsPerLine + 1) * kFieldWidth);
    }
    std::memcpy(line + fields * kFieldWidth, line_end_.data(), line_end_.size());
    used_ += size;
}

void DataFileWriter::flush() {
    if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_)
        fail(std::strerror(errno));
    used_ = 0;
}

void DataFileWriter::commit() {
    flush();
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) fail(std::strerror(errno));
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) fail(std::strerror(errno));
    temporary_.clear();
}

void DataFileWriter::fail(const std::string& what) const {
    throw Error(Exit::output, target_ + ": cannot write: " + what);
}

}  // namespace vorsel::import
