#include "library/vorsel_for.h"
extern "C" void FILL_KURRENT(const float*, const float*, const int32_t*, const int32_t*, const int32_t*, float*, float*, float*, float*, float*, const int32_t*, const int32_t*, int32_t* npcur, const float*, const float*, const float*, const int16_t*, const int16_t*, const int16_t*, const int32_t*) { *npcur = 0; }
