// Writes a data file (*.vorsel) of 13 fields per reflection, or 15 when the
// reflections' Miller indices go with them (fields 14 and 15, the header
// marked "hkl": library/miller_indices.h), so that the file
// appears under its name only when it is complete: the lines go to a file
// without a name (or a hidden temporary) in the same folder, which commit()
// puts in place (platform/output_file.h). A writer destroyed before commit()
// leaves nothing behind and an older file of the same name untouched.
// A writer made on a text in memory appends the lines to it instead; commit()
// then only completes the text.
#ifndef VORSEL_IMPORT_DATA_FILE_WRITER_H
#define VORSEL_IMPORT_DATA_FILE_WRITER_H

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "library/miller_indices.h"
#include "platform/output_file.h"

namespace vorsel::import {

inline constexpr int kFieldsPerLine = 13;
inline constexpr int kFieldsWithIndices = 15;

class DataFileWriter {
public:
    // Creates the temporary file and writes the header line; throws Error
    // (an output error) when the folder does not take a new file.
    DataFileWriter(std::string target, bool crlf, bool with_indices = false);
    // Into `memory`, which outlives the writer; `name` stands for it in the
    // messages.
    DataFileWriter(std::string name, std::string& memory, bool crlf, bool with_indices);
    ~DataFileWriter();
    DataFileWriter(const DataFileWriter&) = delete;
    DataFileWriter& operator=(const DataFileWriter&) = delete;

    // One data line: the running number, then fields 2 to 13. Every value must
    // pass fits_real_field.
    void add(std::int64_t number, const std::array<double, kFieldsPerLine - 1>& values);
    // The same with the reflection's indices in fields 14 and 15, for a writer
    // made with_indices; every index must lie within ±999.
    void add(std::int64_t number, const std::array<double, kFieldsPerLine - 1>& values,
             const Miller& hkl);

    // Flushes to the disk and puts the file in place; throws
    // Error (an output error) when any of it fails.
    void commit();

private:
    void put_line(std::int64_t number, const std::array<double, kFieldsPerLine - 1>& values,
                  const Miller* hkl);
    void start();
    void flush();
    [[noreturn]] void fail(const std::string& what) const;

    std::string target_;
    std::string line_end_;
    bool with_indices_ = false;
    std::unique_ptr<platform::OutputFile> file_;  // none when writing to memory_
    std::string* memory_ = nullptr;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

}  // namespace vorsel::import

#endif
