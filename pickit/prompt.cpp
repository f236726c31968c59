#include "console.h"
#include "pickit.h"

void PromptForKey()
{
    WriteOut(Settings.Prompt);
    ExitProgram(0);
}
