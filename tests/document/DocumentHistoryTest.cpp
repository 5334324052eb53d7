// The document's undo history: named edits, the saved mark through Save, grid changes the
// history did not hold, and a fresh history with new data.

#include "DocTestSupport.h"

#include "model/ChannelEdits.h"

namespace mv53::test {
namespace {

TEST_F(DocumentTest, UndoRedoFollowTheSavedStateAndNeverDropGridEdits)
{
    prompt.saveResults = {Path("a.m53")};
    doc.New();
    const auto insert = [](TMVmem& m) { return InsertChannel(m, 0); };
    ASSERT_TRUE(doc.Edit(kInsertChannelStep, insert));
    EXPECT_TRUE(state.Modified);
    ASSERT_TRUE(doc.Save());
    const TMVmem saved = state.CurrentMem;

    EditGrid("TYPED001");   // a change the history has no step for yet
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(SameRecords(state.CurrentMem, saved));
    EXPECT_FALSE(state.Modified);
    EXPECT_EQ(state.History.RedoName(), kEditStep);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(state.GridChannels.Items(0).Tag(), "TYPED001");
    EXPECT_TRUE(state.Modified);

    state.CurrentMem.Channels().Items(499).SetStatus(kChannelUsed);
    state.GridChannels = state.CurrentMem.Channels();
    const TMVmem full = state.CurrentMem;
    EXPECT_FALSE(doc.Edit(kInsertChannelStep, insert));
    EXPECT_EQ(prompt.texts().back(), kInsertRefused);
    EXPECT_TRUE(SameRecords(state.CurrentMem, full));

    prompt.answers = {PromptAnswer::No};
    ASSERT_TRUE(doc.New());
    EXPECT_FALSE(state.History.CanUndo());
}

}  // namespace
}  // namespace mv53::test
