#include "plot/order_maker.h"

#include <algorithm>
#include <system_error>

namespace vorsel::plot {

void OrderMaker::start(std::shared_ptr<const Array1<float>::Storage> dat, std::int32_t ncurves,
                       std::int32_t npoint, std::vector<std::int32_t> rows,
                       std::uint64_t generation) {
    stop();
    std::lock_guard lock(mutex_);
    // Never more points than the block holds.
    if (!dat || dat->size() < static_cast<std::size_t>(std::max(ncurves, 0)) *
                                  static_cast<std::size_t>(std::max(npoint, 0)))
        return;
    dat_ = std::move(dat);
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
    dat_.reset();  // the block goes with the window's last hold on it
    std::vector<std::int32_t> rest = std::move(queue_);
    queue_.clear();
    if (current_ != 0) rest.insert(rest.begin(), current_);
    current_ = 0;
    return rest;
}

std::int32_t OrderMaker::next_row() {
    std::lock_guard lock(mutex_);
    if (stop_ || queue_.empty()) {
        changed_.notify_all();  // a wait for the worker ends with it
        return 0;
    }
    current_ = queue_.front();
    queue_.erase(queue_.begin());
    return current_;
}

void OrderMaker::run() {
    for (std::int32_t row = next_row(); row != 0; row = next_row()) {
        std::optional<PointOrder> order = make_order(dat_->data(), ncurves_, npoint_, row, &stop_);
        std::lock_guard lock(mutex_);
        if (order) made_.emplace_back(row, std::move(*order));
        // Without memory for it, the click will sort for itself; a row
        // stopped half-way stays current, for stop() to give back.
        if (order || !stop_) current_ = 0;
        changed_.notify_all();
    }
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
