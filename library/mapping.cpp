#include "library/vorsel_for.h"
extern "C" void KUR_TO_NKUR(const float*, int32_t*, const int32_t*, const int32_t*, const int32_t*, const float*, const int32_t*, const float*) {}
