#include "args.h"

namespace {
std::vector<std::string> Args(1);
}

void ArgsSet(const std::vector<std::string>& args)
{
    Args = args;
    if (Args.empty())
        Args.emplace_back();
}

int ArgCount()
{
    return static_cast<int>(Args.size()) - 1;
}

const std::string& ArgStr(int index)
{
    static const std::string empty;
    if (index < 0 || index >= static_cast<int>(Args.size()))
        return empty;
    return Args[index];
}
