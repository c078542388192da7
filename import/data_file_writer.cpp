#include "import/data_file_writer.h"

#include <cstring>

#include "import/field_text.h"
#include "import/import_error.h"

namespace vorsel::import {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

}  // namespace

DataFileWriter::DataFileWriter(std::string target, bool crlf, bool with_indices)
    : target_(std::move(target)),
      line_end_(crlf ? "\r\n" : "\n"),
      with_indices_(with_indices),
      buffer_(kBufferSize) {
    if (target_.empty() || target_.back() == '/') fail("not a file name");
    file_ = std::make_unique<platform::OutputFile>(target_);
    if (!file_->ok()) fail(file_->error());
    start();
}

DataFileWriter::DataFileWriter(std::string name, std::string& memory, bool crlf,
                               bool with_indices)
    : target_(std::move(name)),
      line_end_(crlf ? "\r\n" : "\n"),
      with_indices_(with_indices),
      memory_(&memory),
      buffer_(kBufferSize) {
    memory_->clear();
    start();
}

void DataFileWriter::start() {
    const std::string header =
        (with_indices_ ? "    15 " + std::string(kIndicesMark) : std::string("    13")) + line_end_;
    std::memcpy(buffer_.data(), header.data(), header.size());
    used_ = header.size();
}

DataFileWriter::~DataFileWriter() = default;

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
    if (memory_)
        memory_->append(buffer_.data(), used_);
    else if (used_ > 0 && !file_->write(std::string_view(buffer_.data(), used_)))
        fail(file_->error());
    used_ = 0;
}

void DataFileWriter::commit() {
    flush();
    if (file_ && !file_->commit()) fail(file_->error());
}

void DataFileWriter::fail(const std::string& what) const {
    throw Error(Exit::output, target_ + ": cannot write: " + what);
}

}  // namespace vorsel::import
