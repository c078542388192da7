// What the plot window keeps from one rebuild of the curve to the next: the
// orders in which sortf put the points for the last few key rows, and what the
// curve in ycur, xcur and ysmo was built from. Both belong to one data set: a
// new file read into dat starts a new generation, and nothing kept from an
// earlier generation is ever taken for the new data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace vorsel::plot {

// An order of the points: their numbers 1..npoint, 4 bytes each, in memory of
// the C allocator (a sort shrinks its 8-byte work space into it in place).
class PointOrder {
public:
    PointOrder() = default;
    PointOrder(std::int32_t* points, std::size_t size) : points_(points), size_(size) {}
    const std::int32_t* data() const { return points_.get(); }
    std::int32_t* data() { return points_.get(); }
    std::size_t size() const { return size_; }

private:
    struct Free {
        void operator()(std::int32_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::int32_t, Free> points_;
    std::size_t size_ = 0;
};

class CurveCache {
public:
    // Everything that decides the curve FILL_KURRENT builds from the data.
    struct CurveKey {
        std::int32_t ixval = 0, iyval = 0, ityp = 0;
        float siglim = 0, clipp = 0, clipm = 0;
        std::int16_t reverse = 0, sqrooted = 0, smoothed = 0;
        bool operator==(const CurveKey&) const = default;
    };

    // The orders of this many key rows are kept, most recently used first.
    static constexpr std::size_t kOrdersKept = 3;

    // A new data set is in dat: drops every order (and its memory) and the
    // record of the curve, and starts a new generation.
    void new_data();
    std::uint64_t generation() const { return generation_; }

    // Where a key row lies: its row number in data of ncurves rows.
    struct RowOf {
        std::int32_t row = 0, ncurves = 0;
        bool operator==(const RowOf&) const = default;
    };
    // Copies the kept order of the key row (npoint point numbers) into
    // iperm(1..npoint) and returns true; false when none is kept.
    bool recall_order(RowOf key, std::int32_t npoint, std::int32_t* iperm);
    // Whether an order of the key row is kept.
    bool holds_order(RowOf key) const;
    // Keeps the order made for the key row from the data of generation
    // `made_from`; an order made from an earlier data set is dropped. An order
    // made ahead of any click goes behind those the user has used.
    void keep_order(RowOf key, PointOrder order, std::uint64_t made_from, bool used = true);
    // Drops the orders (no memory to keep them: the sort works in place).
    void forget_orders();
    std::size_t orders_kept() const { return orders_.size(); }
    // The key row used last, 0 when none is kept.
    std::int32_t latest_row() const { return orders_.empty() ? 0 : orders_.front().key.row; }

    // Whether ycur, xcur and ysmo hold the curve built from `key` in this
    // generation (only the library writes them); its length is curve_npcur().
    bool holds_curve(const CurveKey& key) const { return curve_valid_ && curve_key_ == key; }
    std::int32_t curve_npcur() const { return curve_npcur_; }
    void curve_built(const CurveKey& key, std::int32_t npcur);
    // The curve arrays were written by something else than the library.
    void forget_curve() {
        curve_valid_ = false;
        ++curve_generation_;
    }
    // Changes whenever the curve arrays may hold another curve: what is worked
    // out from a curve is valid while this stays the same.
    std::uint64_t curve_generation() const { return curve_generation_; }

private:
    struct Order {
        RowOf key;
        PointOrder points;  // iperm(1..npoint)
    };
    std::uint64_t generation_ = 0;
    std::vector<Order> orders_;
    bool curve_valid_ = false;
    std::uint64_t curve_generation_ = 0;
    CurveKey curve_key_;
    std::int32_t curve_npcur_ = 0;
};

}  // namespace vorsel::plot
