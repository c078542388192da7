// The library vorsel_for, loaded by file name at run time. The file is looked
// for beside the program (build tree: bin/ and lib/ side by side, so also in
// ../lib) and in the installed layout (../<libdir> next to bin/). Each entry
// point is bound by its export name at its first call and kept. When the file
// or an entry point cannot be found the user is told, naming the file and the
// missing name, the program is asked to end, and the call returns false; later
// calls return false without a further message.
#pragma once

#include <QLibrary>
#include <QFunctionPointer>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/vorsel_library.h"

namespace vorsel::platform::qt {

class DynamicLibrary : public platform::VorselLibrary {
public:
    static constexpr const char* kFileName = "libvorsel_for.so";

    DynamicLibrary(platform::Messages& messages, platform::Program& program,
                   std::string file_name = kFileName,
                   std::vector<std::string> folders = default_folders());

    // The program's own folder, then ../lib and ../<libdir> relative to it.
    static std::vector<std::string> default_folders();

    bool READ_VORSEL_DATA(const char* name, float* dat, float* sigrat,
                          const std::int32_t* ncurves, std::int32_t* npoint,
                          std::int32_t* ReturnKey) override;
    bool FILL_KURRENT(const float* dat, const float* sigrat, const std::int32_t* iperm,
                      const std::int32_t* ixval, const std::int32_t* iyval, float* ywork,
                      float* xwork, float* ycur, float* xcur, float* ysmo,
                      const std::int32_t* ncurves, const std::int32_t* npoint,
                      std::int32_t* npcur, const float* siglim, const float* clipp,
                      const float* clipm, const std::int16_t* reverse,
                      const std::int16_t* sqrooted, const std::int16_t* smoothed,
                      const std::int32_t* ityp) override;
    bool KUR_TO_NKUR(const float* y, std::int32_t* nkur, const std::int32_t* npcur,
                     const std::int32_t* first, const std::int32_t* last, const float* valmin,
                     const std::int32_t* maxpar, const float* skale) override;

    bool bind_reader() override { return bind(read_) != nullptr; }

    // The file that was loaded, empty before the first call or after a failure.
    std::string loaded_path() const;

private:
    struct Export {
        const char* name;
        QFunctionPointer fn = nullptr;
    };
    // The entry point, bound on first use; nullptr after telling the user.
    QFunctionPointer bind(Export& e);
    bool load(const char* wanted);
    void fail(const std::string& text, const std::string& title);

    platform::Messages& messages_;
    platform::Program& program_;
    std::string file_name_;
    std::vector<std::string> folders_;
    QLibrary lib_;
    bool failed_ = false;
    Export read_{"READ_VORSEL_DATA"}, fill_{"FILL_KURRENT"}, map_{"KUR_TO_NKUR"};
};

}  // namespace vorsel::platform::qt
