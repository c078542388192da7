// vorsel_read_checksum FILE: reads FILE with READ_VORSEL_DATA and prints the
// number of lines and the checksum of the float bits that formatted_read
// prints, so that the two readers can be shown to give identical floats. The
// time of the call itself goes to standard error ("call_ms ...").
#include "library/vorsel_for.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <memory>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorsel_read_checksum FILE\n");
        return 2;
    }
    // The count of curves and the estimate of lines, as the plot window makes them.
    std::FILE *f = std::fopen(argv[1], "rb");
    int32_t ncurves = 0;
    if (f == nullptr || std::fscanf(f, "%d", &ncurves) != 1 || ncurves < 1) {
        std::fprintf(stderr, "cannot read the header of %s\n", argv[1]);
        return 1;
    }
    std::fclose(f);
    struct stat st;
    stat(argv[1], &st);
    ncurves = ncurves > 15 ? 15 : ncurves;
    int32_t npoint = static_cast<int32_t>(st.st_size / (ncurves * 10 + 2));

    // Arrays as the plot window makes them, left uninitialised as a Fortran or
    // C program would: the timing is of the read, not of clearing memory.
    std::unique_ptr<float[]> dat(new float[static_cast<std::size_t>(ncurves) * static_cast<std::size_t>(npoint) + 1]);
    std::unique_ptr<float[]> sigrat(new float[static_cast<std::size_t>(npoint) + 1]);
    int32_t status = 0;
    char name[257];
    std::snprintf(name, sizeof name, "%-256s", argv[1]);
    const auto t0 = std::chrono::steady_clock::now();
    READ_VORSEL_DATA(name, dat.get(), sigrat.get(), &ncurves, &npoint, &status);
    const auto t1 = std::chrono::steady_clock::now();
    // The call alone, without starting the process and making the arrays.
    std::fprintf(stderr, "call_ms %.1f\n", std::chrono::duration<double, std::milli>(t1 - t0).count());
    if (status != 0 && status != -1)
        std::printf("status %d\n", status);
    uint64_t sum = 0;
    for (int32_t k = 0; k < npoint; ++k)
        for (int32_t c = 0; c < ncurves; ++c) {
            uint32_t bits;
            std::memcpy(&bits, &dat[static_cast<std::size_t>(k) * ncurves + c], 4);
            sum += static_cast<uint64_t>(c + 1) * bits;
        }
    std::printf("lines %d checksum %llu\n", npoint, static_cast<unsigned long long>(sum));
    return 0;
}
