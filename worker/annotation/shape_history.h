#pragma once
// The finished shapes in drawing order, and the ones undone: undo takes the newest
// shape off the list, redo brings the undone ones back newest-undone first, and a new
// shape forgets what could have been redone.
#include <utility>
#include <vector>

namespace kestrow {

template <class Shape>
class ShapeHistory {
public:
    void Add(Shape shape) {
        shapes_.push_back(std::move(shape));
        undone_.clear();
    }
    bool Undo() { return Move(shapes_, undone_); }
    bool Redo() { return Move(undone_, shapes_); }
    void Clear() {
        shapes_.clear();
        undone_.clear();
    }
    const std::vector<Shape>& shapes() const { return shapes_; }
    bool CanRedo() const { return !undone_.empty(); }

private:
    static bool Move(std::vector<Shape>& from, std::vector<Shape>& to) {
        if (from.empty()) return false;
        to.push_back(std::move(from.back()));
        from.pop_back();
        return true;
    }
    std::vector<Shape> shapes_;
    std::vector<Shape> undone_;
};

}  // namespace kestrow
