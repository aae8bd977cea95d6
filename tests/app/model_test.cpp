// The window model: arrays hold exactly their indexes, names are unique, design state.
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
    EXPECT_EQ(m.cLabel.indexes().size(), 22u);
    EXPECT_EQ(m.cFrame.indexes().size(), 7u);
    EXPECT_EQ(m.cFrameS.indexes().size(), 4u);
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

TEST(Model, DesignState) {
    FormModel m;
    for (int i : m.cSelTar.indexes()) EXPECT_EQ(m.cSelTar(i).value(), (i == 31 || i == 32) ? 0 : 1) << i;
    EXPECT_EQ(m.chkEspNodoTar.value(), 0);
    EXPECT_EQ(m.txtKeyMF.maxLength(), 12);
    EXPECT_EQ(m.txtUser.maxLength(), 3);
    EXPECT_EQ(m.txtTramaRelExt.maxLength(), 0);
    EXPECT_EQ(m.txtUsaKey(1).backColor(), rgb(255, 255, 192));
    EXPECT_EQ(m.cmdClose.text(), "  Cerrar puerto comunicaciones");
    EXPECT_EQ(m.SSTab1.itemCount(), 4);
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
