// A window's record must survive a host lookup that fails for a moment: a redraw
// then must neither give the window a second record, which would hide the first
// (its mode, marks and recording) and outlive the window, nor decide its mode anew.
#ifndef _WIN32

#include "fixture.h"

namespace {

class EditorStateFaultTest : public PluginTest {};

TEST_F(EditorStateFaultTest, RedrawWithAFailingLookupKeepsTheOneRecord) {
    const int Id = OpenOn("abc\n");
    H().PickMenu();  // the user switched the bindings off
    ASSERT_FALSE(BindingsOn());
    const long Live = compat::LiveHeapBlocks();

    H().ResetCounters();
    H().FailNth(1);  // the lookup of the redraw's record
    H().EditorEvent(EE_REDRAW, nullptr);
    H().ClearFaults();

    EXPECT_FALSE(BindingsOn()) << "the window's choice was lost";
    EXPECT_EQ(compat::LiveHeapBlocks(), Live);
    H().CloseWindow(Id);
    EXPECT_EQ(compat::LiveHeapBlocks(), Live - 1) << "a record outlived its window";
}

}  // namespace

#endif  // _WIN32
