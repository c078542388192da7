/* A stand-in for vorsel_for that exports only its reader: the loader must name
 * the entry point that is missing. */
#include <stdint.h>

__attribute__((visibility("default"))) void READ_VORSEL_DATA(const char *name, float *dat,
                                                             float *sigrat,
                                                             const int32_t *ncurves,
                                                             int32_t *npoint,
                                                             int32_t *ReturnKey) {
    (void)name, (void)dat, (void)sigrat, (void)ncurves, (void)npoint;
    *ReturnKey = 0;
}
