// A small model of how cmd runs one line of a called batch file, after its
// published parsing rules, and fillin's lines through it in both modes of
// delayed expansion. The model knows the two line shapes fillin writes,
// SET NAME=text and IF "a"=="b" (command) ELSE command, and reports a line
// that would run anything else (an &, |, < or > that cmd reads as itself).
//
// 1. Percent signs, over the whole line: %% gives %, %NAME% the variable's
//    value (nothing when it is not set), a lone % is dropped.
// 2. Carets and quotes, over the whole line: outside quotes a caret is
//    dropped and the character after it taken as it stands (a quote too);
//    a quote opens or closes a quoted stretch, inside which every character
//    stands as it is, carets included.
// 3. Delayed expansion, only when it is on, per argument (the SET's
//    NAME=text, each side of the IF's comparison), only for one that holds
//    a "!": a caret is dropped and the character after it kept; !NAME! gives
//    the value (nothing when not set), !! counts as one "!", and a lone "!"
//    is dropped.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "fillin.h"

namespace {

using namespace fillin;

using Environment = std::map<std::string, std::string>;  // names in upper case

std::string Upper(std::string text)
{
    for (char& c : text)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

std::string Lookup(const Environment& env, const std::string& name)
{
    auto found = env.find(Upper(name));
    return found == env.end() ? std::string() : found->second;
}

std::string ExpandPercent(std::string_view line, const Environment& env)
{
    std::string out;
    for (std::size_t i = 0; i < line.size(); i++) {
        if (line[i] != '%') {
            out += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '%') {
            out += '%';
            i++;
        } else if (std::size_t end = line.find('%', i + 1); end != std::string_view::npos) {
            out += Lookup(env, std::string(line.substr(i + 1, end - i - 1)));
            i = end;
        }
    }
    return out;
}

// After step 2: each character, and whether cmd reads it as an operator.
struct Piece {
    char C;
    bool Operator;
};
using Pieces = std::vector<Piece>;

Pieces ReadCarets(std::string_view line)
{
    Pieces pieces;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); i++) {
        char c = line[i];
        if (c == '"')
            quoted = !quoted;
        if (c == '^' && !quoted) {
            if (++i < line.size())
                pieces.push_back({line[i], false});
            continue;
        }
        bool special = std::string_view("&|<>()").find(c) != std::string_view::npos;
        pieces.push_back({c, special && !quoted});
    }
    return pieces;
}

std::string ExpandDelayed(std::string_view text, const Environment& env)
{
    if (text.find('!') == std::string_view::npos)
        return std::string(text);
    std::string out;
    for (std::size_t i = 0; i < text.size(); i++) {
        if (text[i] == '^') {
            if (++i < text.size())
                out += text[i];
        } else if (text[i] != '!') {
            out += text[i];
        } else {
            while (i + 1 < text.size() && text[i + 1] == '!')
                i++;
            std::size_t end = text.find('!', i + 1);
            if (end == std::string_view::npos)
                continue;  // a lone "!"
            out += Lookup(env, std::string(text.substr(i + 1, end - i - 1)));
            i = end;
        }
    }
    return out;
}

// Reads the model's line shapes from pieces, running the chosen SET.
struct Runner {
    const Pieces& P;
    std::size_t At = 0;
    bool Delayed;
    Environment& Env;

    bool AtEnd() const { return At >= P.size(); }
    bool Literal(std::string_view word)
    {
        for (std::size_t i = 0; i < word.size(); i++) {
            if (At + i >= P.size() || P[At + i].Operator || Upper(std::string(1, P[At + i].C))[0] != word[i])
                return false;
        }
        At += word.size();
        return true;
    }
    // The text up to an operator, stopAt or the end.
    std::string TextUpTo(char stopAt)
    {
        std::string text;
        while (!AtEnd() && !P[At].Operator && P[At].C != stopAt)
            text += P[At++].C;
        return text;
    }
    std::string Argument(std::string_view text) { return Delayed ? ExpandDelayed(text, Env) : std::string(text); }

    // A command ends at the end of the line or, inside a block, before its ")".
    bool Command(bool inBlock)
    {
        if (Literal("SET ")) {
            std::string argument = TextUpTo('\0');
            if (!AtEnd() && !(inBlock && P[At].Operator && P[At].C == ')'))
                return false;
            std::string set = Argument(argument);
            std::size_t equals = set.find('=');
            if (equals == std::string::npos || equals == 0)
                return false;
            Env[Upper(set.substr(0, equals))] = set.substr(equals + 1);
            return true;
        }
        if (!Literal("IF "))
            return false;
        std::string left = TextUpTo('=');
        if (!Literal("=="))
            return false;
        std::string right = TextUpTo(' ');
        bool same = Argument(left) == Argument(right);
        if (!Literal(" ") || AtEnd() || !P[At].Operator || P[At].C != '(')
            return false;
        At++;
        Environment before = Env;
        if (!Command(true) || AtEnd() || P[At].C != ')')
            return false;
        At++;
        if (!same)
            Env = before;  // parsed, not run
        if (!Literal(" ELSE "))
            return false;
        before = Env;
        if (!Command(inBlock))
            return false;
        if (same)
            Env = before;
        return true;
    }
};

// The value that the batch file's one line gives the variable X, or nothing
// when the line is broken or would run something else.
std::optional<std::string> CmdSets(const std::string& line, bool delayed, Environment env = {})
{
    EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
    std::string expanded = ExpandPercent(line.substr(0, line.size() - 2), env);
    Pieces pieces = ReadCarets(expanded);
    Runner run{pieces, 0, delayed, env};
    env.erase("X");
    if (!run.Command(false) || !run.AtEnd() || env.count("X") == 0)
        return std::nullopt;
    return env["X"];
}

// What ECHO %X% gets: the variable's text read through steps 1 and 2.
std::optional<std::string> AsPercentArgument(const std::string& held)
{
    std::string text;
    for (const Piece& p : ReadCarets(held)) {
        if (p.Operator)
            return std::nullopt;
        text += p.C;
    }
    return text;
}

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
            bool twoBranches = line.rfind("IF ", 0) == 0;
            EXPECT_EQ(twoBranches, c.Value.find('!') != std::string::npos) << line;
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
