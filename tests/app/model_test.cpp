// The window model: arrays hold exactly their indexes, names are unique.
#include <gtest/gtest.h>

#include <set>

#include "core/app/model.h"

namespace zt {
namespace {

TEST(Model, ArraysHoldOnlyTheirIndexes) {
    FormModel m;
    const std::vector<int> sel = m.cSelTar.indexes();
    const std::vector<int> want = {0,  1,  10, 11, 12, 13, 14, 15, 16, 17,
                                   18, 19, 20, 21, 22, 23, 24, 30, 31, 32};
    EXPECT_EQ(sel, want);
    EXPECT_THROW(m.cSelTar(2), std::out_of_range);
    EXPECT_THROW(m.cSelTar(25), std::out_of_range);
    EXPECT_THROW(m.cmdStart(3), std::out_of_range);
    EXPECT_NO_THROW(m.cmdStop(3));
}

TEST(Model, NamesAreUniqueAndFindable) {
    FormModel m;
    std::set<std::string> names;
    for (Control* c : m.all()) {
        EXPECT_TRUE(names.insert(c->name()).second) << c->name();
        EXPECT_EQ(m.find(c->name()), c);
    }
    EXPECT_EQ(m.find("cmdStart(2)"), &m.cmdStart(2));
    EXPECT_EQ(m.find("cSelTar(25)"), nullptr);
}

TEST(Control, ChangesAreAnnouncedOnlyWhenTheyChange) {
    Control c("x", Kind::TextBox, "", "a", 3);
    int texts = 0;
    c.observe([&](Control&, Prop p, int) { texts += p == Prop::Text; });
    c.setText("a");
    c.setText("1000");  // the program may set more than the typing limit
    EXPECT_EQ(texts, 1);
    EXPECT_EQ(c.text(), "1000");
}

}  // namespace
}  // namespace zt
