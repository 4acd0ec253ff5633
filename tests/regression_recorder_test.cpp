// A recording that runs out of memory must not replay something the user never
// typed: a hole in the middle of the recorded keys would turn them into other
// commands (Ctrl+K without its second key, a search without its text).
#ifndef _WIN32

#include <string>

#include "fixture.h"

namespace {

class RecorderMemoryTest : public PluginTest {};

TEST_F(RecorderMemoryTest, ReplayIsAlwaysAPrefixOfWhatWasTyped) {
    const char* const Keys = "Ctrl+Shift+R x y z Esc Ctrl+Shift+P";
    OpenMarked("|\n");
    const long Before = compat::HeapAllocationCount();
    H().Keys(Keys);
    const long Allocations = compat::HeapAllocationCount() - Before;
    ASSERT_EQ(H().Text(), "xyzxyz\n");
    ASSERT_GT(Allocations, 0);
    for (long K = 1; K <= Allocations; ++K) {
        Restart();
        OpenMarked("|\n");
        compat::FailHeapAllocation(K, 1);
        H().Keys(Keys);
        compat::FailHeapAllocation(0);
        const std::string Text = H().Text();
        ASSERT_EQ(Text.substr(0, 3), "xyz") << "allocation " << K;
        const std::string Replayed = Text.substr(3, Text.size() - 4);
        EXPECT_EQ(std::string("xyz").rfind(Replayed, 0), 0u)
            << "allocation " << K << " failing replayed " << fixture::Visible(Replayed);
    }
}

}  // namespace

#endif  // _WIN32
