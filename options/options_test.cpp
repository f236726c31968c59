#include <gtest/gtest.h>

#include <vector>

#include "args.h"
#include "getopt.h"

namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLine, Table)
{
    struct Case {
        const char* Line;
        Words Expected;
    } cases[] = {
        {"prog", {}},
        {"prog a b", {"a", "b"}},
        {"prog   a\t\tb  ", {"a", "b"}},
        {"prog a\x01" "b\x1f" "c", {"a", "b", "c"}},
        {"prog \"two words\"", {"two words"}},
        {"prog 'two words'", {"two words"}},
        {"prog a\"\"b", {"ab"}},
        {"prog a''b", {"ab"}},
        {"prog \"\"", {""}},
        {"prog \"unclosed section to the end", {"unclosed section to the end"}},
        {"prog \"it's\"", {"it's"}},
        {"prog 'say \"hi\"'", {"say \"hi\""}},
        {"prog x\"y z\"w", {"xy zw"}},
        {"\"C:\\Program Files\\pickit.exe\" -k yn", {"-k", "yn"}},
        {"'my prog' -h", {"-h"}},
        {"prog \"a\"\"b\"", {"ab"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(c.Line), c.Expected) << c.Line;
}

// Runs the scanner over the words and returns what it handed out, one
// entry per call: the letter, with "=value" for a letter that took one; a
// long option's word.
std::vector<std::string> Scan(const Words& words, const char* optionString = "f:hn",
                              OptionSyntax syntax = WindowsSyntax)
{
    Words args = {"prog"};
    args.insert(args.end(), words.begin(), words.end());
    ArgsSet(args);
    ResetOptionScanner(syntax);
    std::vector<std::string> results;
    for (int guard = 0; guard < 1000; guard++) {
        unsigned char c = GetOpt(optionString);
        if (c == NoMoreOptions)
            return results;
        std::string entry(1, static_cast<char>(c));
        if (c == LongOption)
            entry = OptionArg;
        else if (!OptionArg.empty())
            entry += "=" + OptionArg;
        results.push_back(entry);
    }
    ADD_FAILURE() << "the scan did not end";
    return results;
}

TEST(GetOpt, Table)
{
    struct Case {
        Words Args;
        std::vector<std::string> Expected;
    } cases[] = {
        {{}, {}},
        {{"-h", "-n"}, {"h", "n"}},
        {{"-hn"}, {"h", "n"}},
        {{"/h", "/n"}, {"h", "n"}},
        {{"/hn"}, {"h", "n"}},
        {{"-fout.bat"}, {"f=out.bat"}},
        {{"-f", "out.bat"}, {"f=out.bat"}},
        {{"/fout.bat"}, {"f=out.bat"}},
        {{"/f", "out.bat"}, {"f=out.bat"}},
        {{"-hfout.bat"}, {"h", "f=out.bat"}},
        {{"NAME", "-f", "x"}, {"f=x"}},
        {{"-h", "--", "-n"}, {"h"}},
        {{"-", "/", "", "-h"}, {"h"}},
        {{"-?"}, {"?"}},
        {{"/?"}, {"?"}},
        {{"-:"}, {"?"}},
        {{"--hn"}, {"?", "h", "n"}},
        {{"-f", "-h"}, {"f=-h"}},
        {{"-f"}, {"?"}},
        {{"-fh"}, {"f=h"}},
        {{"-xh"}, {"?", "h"}},
        {{"-hf"}, {"h", "?"}},
        {{"-h", "-f", "a", "b", "-n"}, {"h", "f=a", "n"}},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& w : c.Args)
            shown += "[" + w + "]";
        EXPECT_EQ(Scan(c.Args), c.Expected) << shown;
    }
}

// On POSIX "/" begins a path, and "--name" is a word of its own.
TEST(GetOpt, PosixWords)
{
    struct Case {
        Words Args;
        std::vector<std::string> Expected;
    } cases[] = {
        {{"/usr/share", "-n"}, {"n"}},
        {{"/hn", "/?"}, {}},
        {{"--file", "o.sh"}, {"--file"}},
        {{"-n", "--verbose", "-h"}, {"n", "--verbose", "h"}},
        {{"--help"}, {"--help"}},
        {{"-h", "--", "--file", "-n"}, {"h"}},
        {{"-f", "--file", "-f", "/usr/share"}, {"f=--file", "f=/usr/share"}},
        {{"-", "-?", "-hn"}, {"?", "h", "n"}},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& w : c.Args)
            shown += "[" + w + "]";
        EXPECT_EQ(Scan(c.Args, "f:hn", PosixSyntax), c.Expected) << shown;
    }
}

TEST(GetOpt, LettersAreCaseSensitive)
{
    EXPECT_EQ(Scan({"-H", "-h"}, "Hh"), (std::vector<std::string>{"H", "h"}));
    EXPECT_EQ(Scan({"-H"}, "h"), (std::vector<std::string>{"?"}));
}

TEST(GetOpt, ValuesAreCutTo255CharactersButKeptWhole)
{
    std::string longValue(300, 'v');
    struct Case {
        Words Args;
        std::size_t Cut;
        std::string Whole;
    } cases[] = {
        {{"-f", longValue}, 255, longValue},
        {{"-f" + longValue}, 253, longValue},
        {{"-hf" + longValue}, 252, longValue},
        {{"-f", "short"}, 5, "short"},
    };
    for (const Case& c : cases) {
        Words args = {"prog"};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        ArgsSet(args);
        ResetOptionScanner();
        while (GetOpt("hf:") != 'f') {
        }
        EXPECT_EQ(OptionArg, c.Whole.substr(0, c.Cut));
        EXPECT_EQ(WholeOptionArg, c.Whole);
        EXPECT_EQ(GetOpt("hf:"), NoMoreOptions);
        EXPECT_EQ(WholeOptionArg, "");
    }
}

TEST(GetOpt, LettersPastThe255thCharacterAreNotSeen)
{
    std::string cluster = "-" + std::string(254, 'h') + "nnn";
    EXPECT_EQ(Scan({cluster}).size(), 254u);
}

}  // namespace
