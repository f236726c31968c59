// A small model of how cmd runs one line of a called batch file, after its
// published parsing rules, for the tests of fillin's batch line (the unit
// tests and fuzz_escape). The model knows the two line shapes fillin writes,
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
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cmdmodel {

using Environment = std::map<std::string, std::string>;  // names in upper case

inline std::string Upper(std::string text)
{
    for (char& c : text)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

inline std::string Lookup(const Environment& env, const std::string& name)
{
    auto found = env.find(Upper(name));
    return found == env.end() ? std::string() : found->second;
}

inline std::string ExpandPercent(std::string_view line, const Environment& env)
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

inline Pieces ReadCarets(std::string_view line)
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

inline std::string ExpandDelayed(std::string_view text, const Environment& env)
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
inline std::optional<std::string> CmdSets(const std::string& line, bool delayed, Environment env = {})
{
    if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0)
        return std::nullopt;
    std::string expanded = ExpandPercent(line.substr(0, line.size() - 2), env);
    Pieces pieces = ReadCarets(expanded);
    Runner run{pieces, 0, delayed, env};
    env.erase("X");
    if (!run.Command(false) || !run.AtEnd() || env.count("X") == 0)
        return std::nullopt;
    return env["X"];
}

// What ECHO %X% gets: the variable's text read through steps 1 and 2.
inline std::optional<std::string> AsPercentArgument(const std::string& held)
{
    std::string text;
    for (const Piece& p : ReadCarets(held)) {
        if (p.Operator)
            return std::nullopt;
        text += p.C;
    }
    return text;
}

}  // namespace cmdmodel
