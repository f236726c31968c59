#include <gtest/gtest.h>

#include "fillin.h"
#include "program_run.h"

namespace {

using namespace fillin;

// POSIX names are case-sensitive: a shell form looks the value up under the
// name as typed, the SET form under the upper-cased one.
TEST(FillinResultFormPosix, NamesKeepTheirCase)
{
    SetEnvironment("fillin_rf_case", "low");
    SetEnvironment("FILLIN_RF_CASE", "HIGH");
    struct Case {
        const char* File;
        const char* Value;
    } cases[] = {{"a.sh", "low"}, {"a.fish", "low"}, {"a.bat", "HIGH"}, {"a", "HIGH"}};
    for (const Case& c : cases) {
        SetCommandLine("fillin", {"-v", "fillin_rf_case", "-f", c.File});
        RunProgram([] { ParseCommandLine(); });
        EXPECT_EQ(Settings.Value, c.Value) << c.File;
    }
}

}  // namespace
