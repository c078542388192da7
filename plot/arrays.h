// The plot window's arrays: 1-based, sized by every start-up, handed to the
// library as the address of their element 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace vorsel::plot {

// n elements of `size` bytes, all zero; large blocks are asked to lie on huge
// pages (fewer page faults). Throws std::bad_alloc.
void* zeroed_block(std::size_t n, std::size_t size);

// Memory for the plot window's arrays, zero from the start without a pass
// over it: calloc takes large blocks straight from the operating system,
// whose fresh pages are zero already, so the reader's pass over dat is the
// first that touches them. Elements are never constructed one by one.
template <class T>
struct ZeroedAllocator {
    static_assert(std::is_trivial_v<T>);
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U>
    ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(zeroed_block(n, sizeof(T))); }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }
    // A value-initialised element is zero, and the block is zero already.
    template <class U>
    void construct(U*) noexcept {}
    template <class U, class A, class... More>
    void construct(U* p, A&& a, More&&... more) {
        ::new (static_cast<void*>(p)) U(std::forward<A>(a), std::forward<More>(more)...);
    }
    bool operator==(const ZeroedAllocator&) const = default;
};
// 1-based array of the plot window: element i lives at [i - 1]; data() is the
// address of element 1, which is what the library receives.
template <class T>
class Array1 {
public:
    using Storage = std::vector<T, ZeroedAllocator<T>>;
    // n elements, all zero. The old elements' memory is given back first, so
    // a small file after a large one does not keep the large one's memory.
    void redim(std::size_t n) {
        v_ = Storage();
        v_ = Storage(n);
    }
    T& operator()(std::int64_t i) { return v_[static_cast<std::size_t>(i - 1)]; }
    const T& operator()(std::int64_t i) const { return v_[static_cast<std::size_t>(i - 1)]; }
    T* data() { return v_.data(); }
    const T* data() const { return v_.data(); }
    std::size_t size() const { return v_.size(); }
    // The elements as a plain vector (a copy).
    std::vector<T> values() const { return {v_.begin(), v_.end()}; }
    Storage& vec() { return v_; }
    const Storage& vec() const { return v_; }

private:
    Storage v_;
};

// A 1-based array like Array1 whose block a worker thread can share: the
// worker holds the block it reads (or writes) for as long as it runs, and
// redim gives the window a fresh block instead of changing the shared one.
template <class T>
class SharedArray1 {
public:
    using Storage = typename Array1<T>::Storage;
    SharedArray1() = default;
    SharedArray1(const SharedArray1&) = delete;
    SharedArray1& operator=(const SharedArray1&) = delete;

    // n elements, all zero, in a block of their own. The window lets go of
    // the old block first; a worker that still holds it keeps it alive.
    void redim(std::size_t n) {
        block_.reset();
        p_ = nullptr;
        block_ = std::make_shared<Storage>(n);
        p_ = block_->data();
    }
    T& operator()(std::int64_t i) { return p_[i - 1]; }
    const T& operator()(std::int64_t i) const { return p_[i - 1]; }
    T* data() { return p_; }
    const T* data() const { return p_; }
    std::size_t size() const { return block_->size(); }
    std::vector<T> values() const { return {block_->begin(), block_->end()}; }
    const Storage& vec() const { return *block_; }
    // The block, for a worker to hold while it reads it or fills it.
    std::shared_ptr<const Storage> shared() const { return block_; }
    std::shared_ptr<Storage> shared_to_fill() { return block_; }

private:
    std::shared_ptr<Storage> block_ = std::make_shared<Storage>();
    T* p_ = nullptr;
};

}  // namespace vorsel::plot
