#include "app/reflection_file.h"

#include <algorithm>
#include <cctype>

#include "import/convert.h"
#include "import/import_error.h"

namespace vorsel::app {

bool is_reflection_file(const std::string& path) {
    constexpr std::string_view kExtension = ".fcf";
    if (path.size() <= kExtension.size()) return false;
    return std::equal(kExtension.begin(), kExtension.end(), path.end() - kExtension.size(),
                      [](char a, char b) {
                          return a == std::tolower(static_cast<unsigned char>(b));
                      });
}

std::unique_ptr<ConvertedReflections> convert_reflection_file(const std::string& path) {
    std::string text;
    const import::Summary summary = import::convert_fcf_to_text(path, text, import::Options{});
    auto converted = std::make_unique<ConvertedReflections>(text);
    if (!converted->data.ok())
        throw import::Error(import::Exit::internal, path + ": " + converted->data.error());
    converted->notes = summary.notes;
    return converted;
}

}  // namespace vorsel::app
