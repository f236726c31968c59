#include "inputline.h"

#include "stdinput.h"

InputLine TypeInputLine(std::string& text, std::size_t at, const TypingRules& rules, std::int32_t timeoutSeconds)
{
    std::string key;
    InputRead read = ReadInputKey(key, timeoutSeconds);
    if (read != InputRead::Key)
        return read == InputRead::TimeUp ? InputLine::TimeUp : InputLine::End;
    InputLine line = InputLine::Empty;
    for (; read == InputRead::Key && key != "\n"; read = ReadInputKey(key, 0)) {
        unsigned char first = key.empty() ? 0 : key[0];
        if (first < 0x20 || first == 0x7F)
            continue;
        line = InputLine::Typed;
        TypeInto(text, at, key, rules);
    }
    return line;
}
