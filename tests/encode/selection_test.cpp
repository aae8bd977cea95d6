// Card-type boxes and the node permit lists, through the window's clicks and change handlers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/encode/selection.h"
#include "support/harness.h"

namespace zt::test {
namespace {

class Selection : public ::testing::Test {
public:
    Harness h;
    void SetUp() override { h.load(); }
    Control& box(int i) { return h.m().cSelTar(i); }
    std::vector<int> ticked() {
        std::vector<int> out;
        for (int i : h.m().cSelTar.indexes())
            if (box(i).value() == 1) out.push_back(i);
        return out;
    }
    static std::vector<std::string> entries(std::initializer_list<int> nodes) {
        std::vector<std::string> out;
        for (int n : nodes) out.push_back(NodeEntry(n));
        return out;
    }
    void select(Control& list, int node) {
        const auto& items = list.items();
        const auto it = std::find(items.begin(), items.end(), NodeEntry(node));
        ASSERT_NE(it, items.end()) << node;
        list.setListIndex(static_cast<int>(it - items.begin()));
    }
};

std::vector<int> range(int from, int to, std::vector<int> more = {}) {
    std::vector<int> out;
    for (int i = from; i <= to; ++i) out.push_back(i);
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

TEST_F(Selection, UserTypesExcludeEachOther) {
    const std::vector<int> generic = range(10, 24);
    auto expect = [&](std::vector<int> users) {
        std::vector<int> all = {0, 1};
        all.insert(all.end(), generic.begin(), generic.end());
        all.insert(all.end(), users.begin(), users.end());
        EXPECT_EQ(ticked(), all);
    };
    expect({30});
    box(31).setValue(1);
    expect({31});
    box(32).setValue(1);
    expect({32});
    box(30).setValue(1);
    expect({30});
    box(30).setValue(0);  // cleared by hand: no user type at all
    expect({});
    box(10).setValue(0);
    EXPECT_EQ(ticked(), range(0, 1, range(11, 24)));
}

TEST_F(Selection, SelectAllAndNoneTouchOnlyTheGenericTypes) {
    box(0).setValue(0);
    box(31).setValue(1);
    h.click("cmdDeSel");
    EXPECT_EQ(ticked(), (std::vector<int>{1, 31}));
    h.click("cmdSelTot");
    EXPECT_EQ(ticked(), range(1, 1, range(10, 24, {31})));
}

TEST_F(Selection, ListsAtStartUp) {
    EXPECT_TRUE(h.m().listPermit.items().empty());
    ASSERT_EQ(h.m().listNoPermit.itemCount(), 256);
    for (int n = 0; n < 256; ++n)
        EXPECT_EQ(h.m().listNoPermit.items()[static_cast<std::size_t>(n)], NodeEntry(n));
    EXPECT_EQ(NodeEntry(7), "Nodo 007");
    EXPECT_EQ(NodeEntry(255), "Nodo 255");
}

TEST_F(Selection, MovesKeepBothListsInNodeOrder) {
    auto& no = h.m().listNoPermit;
    auto& yes = h.m().listPermit;

    h.click("cAddListPermit");  // nothing selected: nothing moves
    EXPECT_EQ(no.itemCount(), 256);

    for (int n : {9, 2, 200, 1}) {
        select(no, n);
        h.click("cAddListPermit");
    }
    EXPECT_EQ(yes.items(), entries({1, 2, 9, 200}));
    EXPECT_EQ(no.itemCount(), 252);
    // The source list selects the entry that took the moved one's place.
    EXPECT_EQ(no.items()[static_cast<std::size_t>(no.listIndex())], NodeEntry(3));
    h.click("cAddListPermit");
    EXPECT_EQ(yes.items(), entries({1, 2, 3, 9, 200}));

    select(yes, 9);
    h.click("cDelListPermit");
    EXPECT_EQ(yes.items(), entries({1, 2, 3, 200}));
    EXPECT_EQ(yes.items()[static_cast<std::size_t>(yes.listIndex())], NodeEntry(200));
    EXPECT_EQ(std::count(no.items().begin(), no.items().end(), NodeEntry(9)), 1);
    EXPECT_TRUE(std::is_sorted(no.items().begin(), no.items().end()));
    EXPECT_EQ(no.itemCount() + yes.itemCount(), 256);

    // Moving the last entry selects the new last one; emptying a list leaves no selection.
    select(yes, 200);
    h.click("cDelListPermit");
    EXPECT_EQ(yes.listIndex(), 2);
    for (int i = 0; i < 3; ++i) h.click("cDelListPermit");
    EXPECT_TRUE(yes.items().empty());
    EXPECT_EQ(yes.listIndex(), -1);
    EXPECT_EQ(no.itemCount(), 256);
    EXPECT_TRUE(std::is_sorted(no.items().begin(), no.items().end()));
}

TEST_F(Selection, PermitAllAndNone) {
    select(h.m().listNoPermit, 7);
    h.click("cAddListPermit");
    h.click("cAddAllListPermit");
    EXPECT_TRUE(h.m().listNoPermit.items().empty());
    ASSERT_EQ(h.m().listPermit.itemCount(), 256);
    EXPECT_EQ(h.m().listPermit.items().front(), NodeEntry(0));
    EXPECT_EQ(h.m().listPermit.items().back(), NodeEntry(255));
    EXPECT_TRUE(std::is_sorted(h.m().listPermit.items().begin(), h.m().listPermit.items().end()));
    h.click("cDelAllListPermit");
    EXPECT_TRUE(h.m().listPermit.items().empty());
    EXPECT_EQ(h.m().listNoPermit.itemCount(), 256);
}

}  // namespace
}  // namespace zt::test
