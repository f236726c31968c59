#include "args.h"
#include "console.h"
#include "fillin.h"
#include "output.h"

int main(int argc, char** argv)
{
    using namespace fillin;
    ArgsInit(argc, argv);
    DetectPlatform();
    ConsoleOpen();
    Settings.MaxLine = MaxLineFor(Platform);
    ParseCommandLine();
    if (HaveConsole())
        EditAndWrite();
    else
        AnswerFromInput();
    ExitProgram(0);
}
