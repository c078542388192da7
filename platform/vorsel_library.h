// The library vorsel_for as the plot window sees it: its three entry points.
// The real implementation loads the library by file name at run time and binds
// each export by name at its first call; tests link the library's code in.
#pragma once

#include <cstdint>

namespace vorsel::platform {

class VorselLibrary {
public:
    virtual ~VorselLibrary() = default;
    // Each returns false when the library or the entry point could not be
    // bound; the implementation has then told the user (naming the file and the
    // missing name) and asked the program to end, and the caller returns.
    virtual bool READ_VORSEL_DATA(const char* name, float* dat, float* sigrat,
                                  const std::int32_t* ncurves, std::int32_t* npoint,
                                  std::int32_t* ReturnKey) = 0;
    virtual bool FILL_KURRENT(const float* dat, const float* sigrat, const std::int32_t* iperm,
                              const std::int32_t* ixval, const std::int32_t* iyval, float* ywork,
                              float* xwork, float* ycur, float* xcur, float* ysmo,
                              const std::int32_t* ncurves, const std::int32_t* npoint,
                              std::int32_t* npcur, const float* siglim, const float* clipp,
                              const float* clipm, const std::int16_t* reverse,
                              const std::int16_t* sqrooted, const std::int16_t* smoothed,
                              const std::int32_t* ityp) = 0;
    virtual bool KUR_TO_NKUR(const float* y, std::int32_t* nkur, const std::int32_t* npcur,
                             const std::int32_t* first, const std::int32_t* last,
                             const float* valmin, const std::int32_t* maxpar,
                             const float* skale) = 0;
    // Binds READ_VORSEL_DATA ahead of its call, on the thread that may tell
    // the user, so that the call itself can run on another thread. False
    // as for a call that cannot be bound.
    virtual bool bind_reader() { return true; }
};

}  // namespace vorsel::platform
