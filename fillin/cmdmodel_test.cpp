// fillin's batch lines through the model of cmd (cmdmodel.h) in both modes
// of delayed expansion.
#include <gtest/gtest.h>

#include "cmdmodel.h"
#include "fillin.h"

namespace {

using namespace fillin;
using namespace cmdmodel;

const Environment SomeVariables = {{"PATH", "C:\\bin"}, {"B", "bee"}};

// Lines that Wine's cmd runs as described (without delayed expansion all of
// them, with it those without a caret in an argument that holds "!").
TEST(CmdModel, AgreesWithWhatWineShows)
{
    struct Case {
        std::string Line;
        bool Delayed;
        std::optional<std::string> Value;
    } cases[] = {
        {"SET X=a^^^&b", false, "a^&b"},
        {"SET X=a\"b^^^&c", false, "a\"b^^^&c"},
        {"SET X=a^\"b^&c", false, "a\"b&c"},
        {"SET X=50%%", false, "50%"},
        {"SET X=Hello!", false, "Hello!"},
        {"SET X=Hello!", true, "Hello"},
        {"SET X=a!PATH!b", true, "aC:\\binb"},
        {"SET X=a^^^&b", true, "a^&b"},  // no "!": no second caret level
        {"IF \"!!\"==\"\" (SET X=on) ELSE SET X=off", true, "on"},
        {"IF \"!!\"==\"\" (SET X=on) ELSE SET X=off", false, "off"},
        {"SET X=a&echo", false, std::nullopt},
        {"SET X&ECHO=a", false, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CmdSets(c.Line + "\r\n", c.Delayed, SomeVariables), c.Value) << c.Line << " " << c.Delayed;
}

// Every value comes back as the variable's expected text in both modes:
// by default with a caret before each special character outside quotes, so
// that %X% gives the value and the next edit starts from it; with -e the
// value itself.
TEST(CmdModel, FillinsLinesSetTheValueInBothModes)
{
    struct Case {
        std::string Value, Held;
    } cases[] = {
        {"Hello!", "Hello!"},
        {"x!PATH!y", "x!PATH!y"},
        {"p(ss)wd!", "p^(ss^)wd!"},
        {"50%off", "50%off"},
        {"%PATH%", "%PATH%"},
        {"a&b", "a^&b"},
        {"a^b", "a^^b"},
        {"^!^", "^^!^^"},
        {"!!", "!!"},
        {"!B", "!B"},
        {"say \"hi & bye\"", "say \"hi & bye\""},
        {"say \"hi & bye\" & go!", "say \"hi & bye\" ^& go!"},
        {"a\"b&c", "a\"b&c"},
        {"a^\"b&c", "a^^\"b&c"},
        {"\"!\"", "\"!\""},
        {"\"^\"!", "\"^\"!"},
        {"C:\\Program Files (x86)\\App", "C:\\Program Files ^(x86^)\\App"},
        {"100% & (more)! ", "100% ^& ^(more^)! "},
        {"  <|>  ", "  ^<^|^>  "},
        {"\"", "\""},
    };
    PlatformFlags saved = Platform;
    Platform = PlatformFlags{false, true};
    for (const Case& c : cases) {
        for (bool exact : {false, true}) {
            std::string line = BatchLine("X", c.Value, exact);
            for (bool delayed : {false, true})
                EXPECT_EQ(CmdSets(line, delayed, SomeVariables), exact ? c.Value : c.Held) << line << " " << delayed;
        }
        EXPECT_EQ(AsPercentArgument(c.Held), c.Value) << c.Held;
        std::string edited = c.Held;
        RemoveCarets(edited);
        EXPECT_EQ(edited, c.Value) << c.Held;
    }
    Platform = saved;
}

}  // namespace
