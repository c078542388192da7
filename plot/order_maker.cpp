#include "plot/order_maker.h"

#include <algorithm>
#include <system_error>

namespace vorsel::plot {

void OrderMaker::start(const float* dat, std::int32_t ncurves, std::int32_t npoint,
                       std::vector<std::int32_t> rows, std::uint64_t generation) {
    stop();
    std::lock_guard lock(mutex_);
    dat_ = dat;
    ncurves_ = ncurves;
    npoint_ = npoint;
    generation_ = generation;
    queue_ = std::move(rows);
    made_.clear();
    stop_ = false;
    try {
        worker_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        queue_.clear();  // no thread to be had: every click sorts for itself
    }
}

std::vector<std::int32_t> OrderMaker::stop() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
    std::lock_guard lock(mutex_);
    std::vector<std::int32_t> rest = std::move(queue_);
    queue_.clear();
    if (current_ != 0) rest.insert(rest.begin(), current_);
    current_ = 0;
    return rest;
}

void OrderMaker::run() {
    for (;;) {
        std::int32_t row = 0;
        {
            std::lock_guard lock(mutex_);
            if (stop_ || queue_.empty()) break;
            row = queue_.front();
            queue_.erase(queue_.begin());
            current_ = row;
        }
        std::optional<PointOrder> order = make_order(dat_, ncurves_, npoint_, row, &stop_);
        std::lock_guard lock(mutex_);
        if (order) {
            made_.emplace_back(row, std::move(*order));
            current_ = 0;
        } else if (!stop_) {
            current_ = 0;  // no memory: the click will sort for itself
        }
        changed_.notify_all();
        if (stop_) break;
    }
    std::lock_guard lock(mutex_);
    changed_.notify_all();
}

std::optional<PointOrder> OrderMaker::take(std::int32_t row) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return current_ != row || stop_; });
    for (auto it = made_.begin(); it != made_.end(); ++it)
        if (it->first == row) {
            PointOrder order = std::move(it->second);
            made_.erase(it);
            return order;
        }
    return std::nullopt;
}

std::vector<std::pair<std::int32_t, PointOrder>> OrderMaker::take_all() {
    std::lock_guard lock(mutex_);
    return std::exchange(made_, {});
}

void OrderMaker::wait_idle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return (current_ == 0 && queue_.empty()) || stop_; });
}

}  // namespace vorsel::plot
