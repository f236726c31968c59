#include "args.h"
#include "console.h"
#include "pickit.h"

int main(int argc, char** argv)
{
    ArgsInit(argc, argv);
    ConsoleOpen();
    pickit::ParseCommandLine();
    if (!HaveConsole())
        pickit::AnswerFromInput();
    pickit::PromptForKey();
}
