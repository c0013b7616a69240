// SPDX-License-Identifier: GPL-3.0-or-later
// The table of edits that the Edit menu and `mokaran edit` share.
#include "core/image/edit_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Catches two edits answering to one option (the command line would take the first), the table
// out of step with EditKind, and a history step named with the menu's access key or dots, in
// either language.
TEST(EditTable, OptionsAreDistinctAndStepNamesPlain)
{
    std::set<std::string> options;
    for (const Edit &edit : Edits()) {
        EXPECT_TRUE(options.insert(edit.option).second) << edit.option;
        EXPECT_EQ(&EditOf(edit.kind), &edit) << edit.option;
        EXPECT_FALSE(EditStepName(edit).contains(u'&')) << edit.option;
    }
    EXPECT_EQ(EditStepName(EditOf(EditKind::Resize)), QStringLiteral("拡大縮小"));
    EXPECT_EQ(EditStepName(EditOf(EditKind::Levels)), QStringLiteral("レベル補正"));
    EXPECT_EQ(EditStepName(EditOf(EditKind::Sharpen)), QStringLiteral("シャープネス"));
    EXPECT_EQ(StepNameOf(QStringLiteral("Resi&ze...")), QStringLiteral("Resize"));
    EXPECT_EQ(StepNameOf(QStringLiteral("&Blur")), QStringLiteral("Blur"));
    EXPECT_EQ(StepNameOf(QStringLiteral("回転(&R)…")), QStringLiteral("回転"));
    EXPECT_EQ(StepNameOf(QStringLiteral("Fish && Chips")), QStringLiteral("Fish & Chips"));
}

} // namespace
