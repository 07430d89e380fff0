// The tool table and the shape history behind undo and redo.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "worker/annotation/shape_history.h"
#include "worker/annotation/tool_table.h"

namespace kestrow {
namespace {

TEST(ToolTable, EachToolHasItsOwnCommandIconAndShape) {
    std::set<int> ids, icons, shapes;
    for (const ToolRow& tool : kTools) {
        EXPECT_TRUE(ids.insert(tool.id).second) << tool.id;
        EXPECT_TRUE(icons.insert(tool.icon).second) << tool.id;
        EXPECT_TRUE(shapes.insert(int(tool.shape)).second) << tool.id;
        EXPECT_EQ(FindTool(tool.id), &tool);
    }
    EXPECT_EQ(FindTool(ID_UNDO), nullptr);
    EXPECT_EQ(FindTool(ID_REDO), nullptr);
}

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
