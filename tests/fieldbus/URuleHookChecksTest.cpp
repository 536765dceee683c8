// The checks a member writes as code: a row test with a bound that depends
// on the row, a message without a language entry, and the window's stateful
// hook, all in the order the description gives.
#include "rules/USet_Access_Form.h"

#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

TRule_Form Form()
{
    TRule_Form f;
    f.error_prefix = 4548;  // "Error row "
    TRule_Grid g;
    g.key = 1;
    g.columns = {{}, {.attribute = "A"}, {.attribute = "B"}};
    using K = TRule_Check_Kind;
    g.checks = {
        {.kind = K::Hook, .column = 1, .message = 0, .text = "!! hook refused", .hook = 7},
        {.kind = K::Test, .column = 2, .message = 0, .text = "!! B above ", .bound = true,
         .test = [](const QStringList& r, int capacity) { return r[1].toInt() <= capacity - r[0].size(); },
         .bound_of = [](const QStringList& r, int capacity) { return int64_t(capacity) - r[0].size(); }},
    };
    f.grids = {g};
    return f;
}

} // namespace

TEST(RuleHookChecks, TestBoundTextAndHookInOrder)
{
    Load_English_Table();
    const TRule_Form form = Form();
    std::vector<QString> seen;
    const TRule_Hook hook = [&](int grid, int id, const QStringList& row) {
        EXPECT_EQ(grid, 0);
        EXPECT_EQ(id, 7);
        seen.push_back(row[0]);
        return row[0] != "no";
    };
    EXPECT_EQ(Check_Rule_Grid(form, 0, {{"abc", "7"}, {"x", "9"}, {"", "99"}}, 10, hook), "");
    // Rows after the first blank key are not shown to the hook.
    EXPECT_EQ(seen, (std::vector<QString>{"abc", "x"}));
    EXPECT_EQ(Check_Rule_Grid(form, 0, {{"abc", "7"}, {"abcd", "7"}}, 10, hook), "Error row 2!! B above 6");
    EXPECT_EQ(Check_Rule_Grid(form, 0, {{"ab", "1"}, {"no", "1"}}, 10, hook), "Error row 2!! hook refused");
    // Without a window hook the check passes.
    EXPECT_EQ(Check_Rule_Grid(form, 0, {{"no", "1"}}, 10), "");
}
