// Orders of the points made ahead of the clicks that need them. Right after a
// file is read, a worker thread sorts the points by the key rows a user is
// likely to plot against first, so that a click finds its order ready. The
// worker holds the block of dat it reads: a new file is read into a block of
// its own, so no order of the window's steps can free or change what the
// worker sorts. A click that needs an order the worker is making waits for
// it; a click that needs another order stops the worker and sorts at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "plot/arrays.h"
#include "plot/curve_cache.h"

namespace vorsel::plot {

// The order of points 1..npoint by descending dat(row, k), as sortf makes it
// (the same gap-insertion sort); nullopt when `stop` was set while it ran, or
// there is no memory for it.
std::optional<PointOrder> make_order(const float* dat, std::int32_t ncurves, std::int32_t npoint,
                                     std::int32_t row, const std::atomic<bool>* stop);

class OrderMaker {
public:
    OrderMaker() = default;
    OrderMaker(const OrderMaker&) = delete;
    OrderMaker& operator=(const OrderMaker&) = delete;
    ~OrderMaker() { stop(); }

    // Starts making the orders of the rows, one after the other, from the
    // data of `generation`, whose block the worker holds until it ends.
    void start(std::shared_ptr<const Array1<float>::Storage> dat, std::int32_t ncurves,
               std::int32_t npoint, std::vector<std::int32_t> rows, std::uint64_t generation);
    // Stops the work and waits for the worker; returns the rows whose orders
    // were not made (the one being made among them).
    std::vector<std::int32_t> stop();
    // The order of the row when it has been made, waiting for it while it is
    // being made; nullopt when the worker has not begun it.
    std::optional<PointOrder> take(std::int32_t row);
    // Every order made and not yet taken, with its row.
    std::vector<std::pair<std::int32_t, PointOrder>> take_all();
    // Waits until the worker has made every order it was given.
    void wait_idle();
    // The data generation the orders were made from.
    std::uint64_t generation() const { return generation_; }

private:
    void run();
    // The next row to make, now the current one; 0 when the work is over.
    std::int32_t next_row();

    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> stop_{false};
    std::shared_ptr<const Array1<float>::Storage> dat_;
    std::int32_t ncurves_ = 0, npoint_ = 0;
    std::uint64_t generation_ = 0;
    std::vector<std::int32_t> queue_;  // rows still to make, in turn
    std::int32_t current_ = 0;         // the row being made, 0 for none
    std::vector<std::pair<std::int32_t, PointOrder>> made_;
};

}  // namespace vorsel::plot
