#include "args.h"
#include "console.h"
#include "fillin.h"

int main(int argc, char** argv)
{
    ArgsInit(argc, argv);
    DetectPlatform();
    ConsoleOpen();
    Settings.MaxLine = MaxLineFor(Platform);
    ParseCommandLine();
    EditAndWrite();
    ExitProgram(0);
}
