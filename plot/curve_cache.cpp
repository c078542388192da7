#include "plot/curve_cache.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vorsel::plot {

void CurveCache::new_data() {
    ++generation_;
    forget_orders();
    forget_curve();
}

bool CurveCache::recall_order(RowOf key, std::int32_t npoint, std::int32_t* iperm) {
    const auto n = static_cast<std::size_t>(npoint > 0 ? npoint : 0);
    for (auto it = orders_.begin(); it != orders_.end(); ++it) {
        if (!(it->key == key) || it->points.size() != n) continue;
        std::memcpy(iperm, it->points.data(), n * sizeof(std::int32_t));
        std::rotate(orders_.begin(), it, it + 1);
        return true;
    }
    return false;
}

bool CurveCache::holds_order(RowOf key) const {
    for (const Order& o : orders_)
        if (o.key == key) return true;
    return false;
}

void CurveCache::keep_order(RowOf key, PointOrder order, std::uint64_t made_from, bool used) {
    if (made_from != generation_ || holds_order(key)) return;
    if (orders_.size() >= kOrdersKept) {
        if (!used) return;  // the orders in use stay
        orders_.pop_back();
    }
    orders_.insert(used ? orders_.begin() : orders_.end(), Order{key, std::move(order)});
}

void CurveCache::forget_orders() {
    orders_.clear();
    orders_.shrink_to_fit();
}

void CurveCache::curve_built(const CurveKey& key, std::int32_t npcur) {
    curve_valid_ = true;
    ++curve_generation_;
    curve_key_ = key;
    curve_npcur_ = npcur;
}

}  // namespace vorsel::plot
