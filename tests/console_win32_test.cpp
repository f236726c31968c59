// The Windows console layer's control handler, called as a function: the
// events it answers cannot all be raised on demand.
#include <gtest/gtest.h>

#include "console_win32.h"

namespace {

TEST(ConsoleCtrlHandler, SwallowsCtrlBreakOnly)
{
    struct Case {
        DWORD Event;
        BOOL Expected;
    } cases[] = {
        {CTRL_C_EVENT, FALSE},     {CTRL_BREAK_EVENT, TRUE},     {CTRL_CLOSE_EVENT, FALSE},
        {CTRL_LOGOFF_EVENT, FALSE}, {CTRL_SHUTDOWN_EVENT, FALSE}, {3, FALSE}, {4, FALSE}, {7, FALSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConsoleCtrlHandler(c.Event), c.Expected) << c.Event;
}

}  // namespace
