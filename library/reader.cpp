#include "library/vorsel_for.h"
extern "C" void READ_VORSEL_DATA(const char*, float*, float*, const int32_t*, int32_t*, int32_t* rk) { *rk = 1; }
