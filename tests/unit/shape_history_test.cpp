// The shape history behind undo and redo.
#include <gtest/gtest.h>

#include <memory>

#include "worker/annotation/shape_history.h"

namespace kestrow {
namespace {

TEST(ShapeHistory, RedoBringsUndoneShapesBackInOrderUntilANewOne) {
    ShapeHistory<std::unique_ptr<int>> h;
    for (int i = 1; i <= 3; ++i) h.Add(std::make_unique<int>(i));
    EXPECT_TRUE(h.Undo());
    EXPECT_TRUE(h.Undo());
    ASSERT_EQ(h.shapes().size(), 1u);
    EXPECT_TRUE(h.Redo());
    ASSERT_EQ(h.shapes().size(), 2u);
    EXPECT_EQ(*h.shapes()[1], 2);
    EXPECT_TRUE(h.Redo());
    EXPECT_EQ(*h.shapes()[2], 3);
    EXPECT_FALSE(h.Redo());
    // A new shape after an undo: what was undone cannot come back.
    EXPECT_TRUE(h.Undo());
    h.Add(std::make_unique<int>(4));
    EXPECT_FALSE(h.CanRedo());
    EXPECT_FALSE(h.Redo());
    EXPECT_EQ(*h.shapes().back(), 4);
    // Undo on an empty list does nothing; Clear forgets both lists.
    h.Clear();
    EXPECT_FALSE(h.Undo());
    EXPECT_FALSE(h.CanRedo());
}

}  // namespace
}  // namespace kestrow
