#pragma once
// The segments of a region held as the chain of their vertices: vertex 0 is the first
// end of segment 0, vertex k + 1 the second end of segment k. The chaining, joining and
// reduction steps make every segment start exactly where the one before it ends, so the
// vertices are all such a region keeps: 16 bytes a segment instead of 32, for regions
// that hold millions. A curve fit starts each span afresh, a rounding away from where
// the last span ended; such first ends are kept aside as breaks, so every segment reads
// back exactly as it was made. The writers put out the vertices.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <span>
#include <vector>

#include "engine/segment.h"
#include "geom/point2.h"

namespace quarvel::engine {

class SegmentChain {
public:
    // A segment whose first end is not the vertex before it: its index and first end.
    struct Break {
        std::size_t segment = 0;
        Point2 firstEnd;
    };

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = TMyEntity;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = TMyEntity;

        const_iterator() = default;
        const_iterator(const SegmentChain* chain, std::size_t k, const Break* nextBreak)
            : chain_(chain), k_(k), next_(nextBreak) {}
        TMyEntity operator*() const {
            const Point2* v = chain_->points_.data() + k_;
            const Point2 first =
                next_ != chain_->breaksEnd() && next_->segment == k_ ? next_->firstEnd : v[0];
            return {first.x, first.y, v[1].x, v[1].y};
        }
        const_iterator& operator++() {
            if (next_ != chain_->breaksEnd() && next_->segment == k_) ++next_;
            ++k_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.k_ == b.k_;
        }

    private:
        const SegmentChain* chain_ = nullptr;
        std::size_t k_ = 0;
        const Break* next_ = nullptr;
    };

    SegmentChain() = default;
    // The chain of the given segments (see push_back).
    explicit SegmentChain(std::span<const TMyEntity> segments) {
        reserve(segments.size());
        for (const TMyEntity& s : segments) push_back(s);
    }
    SegmentChain(std::initializer_list<TMyEntity> segments)
        : SegmentChain(std::span<const TMyEntity>(segments.begin(), segments.size())) {}

    std::size_t size() const { return points_.size() < 2 ? 0 : points_.size() - 1; }
    bool empty() const { return points_.size() < 2; }
    TMyEntity operator[](std::size_t k) const {
        const Point2 first = firstEndOf(k);
        return {first.x, first.y, points_[k + 1].x, points_[k + 1].y};
    }
    TMyEntity front() const { return (*this)[0]; }
    TMyEntity back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0, breaks_.view().data()}; }
    const_iterator end() const { return {this, size(), breaksEnd()}; }

    // The vertices: the first end of segment 0, then the second end of every segment.
    const std::vector<Point2>& points() const { return points_; }
    // The segments whose first end is not the vertex before them, in segment order.
    const std::vector<Break>& breaks() const { return breaks_.view(); }

    void clear() {
        points_.clear();
        breaks_.clear();
    }
    void reserve(std::size_t segments) { points_.reserve(segments + 1); }
    // Appends a segment; a first end other than the last vertex (to the bit) is kept as
    // a break.
    void push_back(const TMyEntity& s) {
        const Point2 first{s.x1, s.y1};
        if (points_.empty())
            points_.push_back(first);
        else if (!sameBits(points_.back(), first))
            breaks_.edit().push_back({size(), first});
        points_.push_back({s.x2, s.y2});
    }
    // Appends every segment of another chain, as push_back does each.
    void append(const SegmentChain& more);
    // Moves the first end of the first segment, or the second end of the last.
    void setFirstEnd(Point2 p) { points_.front() = p; }
    void setLastEnd(Point2 p) { points_.back() = p; }
    // Reverses the travel: segment order reversed and every segment's ends exchanged.
    void reverse();
    // Multiplies every coordinate by f.
    void scale(double f);
    // Keeps segments 0 .. count - 1 of the chain made from `vertices` 0 .. count, which
    // the caller has written over the chain's own (a merge in place); no breaks remain.
    void keepVertices(std::size_t count);
    // The vertices for such a merge: written in place over what was read.
    std::vector<Point2>& vertices() { return points_; }

    // The same segments, bit for bit.
    friend bool operator==(const SegmentChain& a, const SegmentChain& b);

private:
    static bool sameBits(Point2 a, Point2 b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    const Break* breaksEnd() const { return breaks_.view().data() + breaks_.view().size(); }
    Point2 firstEndOf(std::size_t k) const;

    std::vector<Point2> points_;
    // The breaks, held apart: most chains have none, and a region then keeps only a
    // pointer for them.
    class BreakList {
    public:
        BreakList() = default;
        BreakList(const BreakList& other) : list_(copyOf(other)) {}
        BreakList& operator=(const BreakList& other) {
            if (this != &other) list_ = copyOf(other);
            return *this;
        }
        BreakList(BreakList&&) noexcept = default;
        BreakList& operator=(BreakList&&) noexcept = default;
        ~BreakList() = default;

        const std::vector<Break>& view() const {
            static const std::vector<Break> none;
            return list_ ? *list_ : none;
        }
        std::vector<Break>& edit() {
            if (!list_) list_ = std::make_unique<std::vector<Break>>();
            return *list_;
        }
        void clear() { list_.reset(); }

    private:
        static std::unique_ptr<std::vector<Break>> copyOf(const BreakList& other) {
            if (!other.list_ || other.list_->empty()) return nullptr;
            return std::make_unique<std::vector<Break>>(*other.list_);
        }
        std::unique_ptr<std::vector<Break>> list_;
    };

    BreakList breaks_;
};

}  // namespace quarvel::engine
