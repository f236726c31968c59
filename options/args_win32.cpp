#include "args.h"

#include <windows.h>

#include "charset.h"
#include "charset_win32.h"
#include "getopt.h"

namespace {

// Windows 9x: the ANSI code page's text in the console's OEM one, which the
// keys and the screen use.
std::string OemFromAnsi(const char* ansi)
{
    std::string oem(ansi);
    if (!oem.empty())
        CharToOemBuffA(ansi, &oem[0], static_cast<DWORD>(oem.size()));
    return oem;
}

}  // namespace

// The C runtime's own splitting differs (single quotes group words here),
// so the list is built from the command line the process was given: as
// UTF-16 made UTF-8 on the NT family, in the OEM code page on Windows 9x.
void ArgsInit(int, char**)
{
    std::vector<std::string> args;
    if (LocaleIsUtf8()) {
        wchar_t path[MAX_PATH + 1] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        args = SplitCommandLine(Utf8FromWide(GetCommandLineW()).c_str());
        args.insert(args.begin(), Utf8FromWide(path));
    } else {
        char path[MAX_PATH + 1] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        args = SplitCommandLine(OemFromAnsi(GetCommandLineA()).c_str());
        args.insert(args.begin(), OemFromAnsi(path));
    }
    ArgsSet(args);
}

// "-" and "/" open switches, "--x" as any other cluster.
OptionSyntax SystemOptionSyntax()
{
    return WindowsSyntax;
}
