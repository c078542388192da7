// Hostile arguments for the fuzz targets of the library's entry points:
// integers mostly in a small range (the values that index real arrays), now
// and then any 32-bit value or an extreme one; reals often special (not a
// number, infinities, zeros of both signs, subnormals, the largest); and
// arrays fenced by guard elements that AddressSanitizer also poisons, so that
// a touch of a guard stops the run where it happens.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace vorsel::fuzz {

inline std::int32_t integer(FuzzedDataProvider& in, std::int32_t lo, std::int32_t hi) {
    constexpr std::int32_t kExtreme[] = {std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::int32_t>::min() + 1,
                                         std::numeric_limits<std::int32_t>::max(),
                                         std::numeric_limits<std::int32_t>::max() - 1,
                                         -1,
                                         0};
    switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: return in.ConsumeIntegral<std::int32_t>();
        case 1: return kExtreme[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kExtreme) - 1)];
        default: return in.ConsumeIntegralInRange(lo, hi);
    }
}

inline float real(FuzzedDataProvider& in) {
    using L = std::numeric_limits<float>;
    const float kSpecial[] = {
        L::quiet_NaN(),   L::infinity(), -L::infinity(), 0.0f,      -0.0f, L::denorm_min(),
        -L::denorm_min(), L::min(),      L::max(),       -L::max(), 1.0f,  3.0f};
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: return kSpecial[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kSpecial) - 1)];
        case 1: return std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>());
        default: return static_cast<float>(in.ConsumeIntegralInRange(-20000, 20000)) / 64.0f;
    }
}

// Equal bit for bit (not-a-number included).
template <class T>
bool same(const T* a, const T* b, std::size_t n) {
    return n == 0 || std::memcmp(a, b, n * sizeof(T)) == 0;
}

// n elements with kFence guards on either side. The front guards start the
// heap block, so AddressSanitizer can poison them whole, and the back guards
// end it.
template <class T>
class Fenced {
public:
    static constexpr std::size_t kFence = 16 / sizeof(T);

    Fenced(std::size_t n, T fill) : v_(n + 2 * kFence, fill) {
        const auto guard = std::bit_cast<T>(std::uint32_t{0x7FA5A5A5});  // a NaN nothing computes
        std::fill_n(v_.begin(), kFence, guard);
        std::fill_n(v_.end() - kFence, kFence, guard);
        poison(true);
    }
    ~Fenced() { poison(false); }
    Fenced(const Fenced&) = delete;
    Fenced& operator=(const Fenced&) = delete;

    T* data() { return v_.data() + kFence; }
    const T* data() const { return v_.data() + kFence; }
    std::size_t size() const { return v_.size() - 2 * kFence; }
    T& operator[](std::size_t i) { return v_[kFence + i]; }
    std::vector<T> copy() const { return {v_.begin() + kFence, v_.end() - kFence}; }

    bool guards_intact() {
        poison(false);
        const auto guard = std::bit_cast<T>(std::uint32_t{0x7FA5A5A5});
        bool intact = true;
        for (std::size_t i = 0; i < kFence; ++i)
            intact = intact && same(&v_[i], &guard, 1) && same(&v_[v_.size() - 1 - i], &guard, 1);
        poison(true);
        return intact;
    }

private:
    void poison(bool on) {
        for (const T* p : {v_.data(), v_.data() + v_.size() - kFence}) {
            if (on)
                ASAN_POISON_MEMORY_REGION(p, kFence * sizeof(T));
            else
                ASAN_UNPOISON_MEMORY_REGION(p, kFence * sizeof(T));
        }
    }
    std::vector<T> v_;
};

}  // namespace vorsel::fuzz
