// The process's text output and its end. Text goes to the standard output
// the process inherited, so it follows a redirection.
#pragma once

#include <string>
#include <string_view>

// Writes the bytes unchanged (one byte per character in the console's code
// page), at once. A failed write ends the process through RuntimeError.
void WriteOut(std::string_view text);
// Writes the text and a line end: CR LF, but LF where POSIX text goes to a
// file or a pipe.
void WriteLine(std::string_view text = {});
// A line that is no part of the dialogue (a command-line error, a file
// that cannot be written, a failed write): on POSIX on standard error, as
// every tool's; on Windows on standard output, where the dialogue is.
// A failed write ends the process through RuntimeError.
void WriteMessage(std::string_view text);
// What was written since the last line end (a prompt, to show it again).
const std::string& LineSoFar();

// From now on the dialogue (prompts, the editor, messages) goes to the
// terminal itself, also when standard output is a file or a pipe, which is
// left to the result alone (WriteResultLine). Without a terminal it is
// dropped.
void DialogueToTerminal();
// Writes the text and the system's line end (LF on POSIX, CR LF on
// Windows) to standard output, wherever the dialogue goes.
void WriteResultLine(std::string_view text);

// Ends the process with the exit code, putting the console back as found.
[[noreturn]] void ExitProgram(int code);
// A failed write or close: "Runtime error N" as a message (WriteMessage),
// exit code N.
[[noreturn]] void RuntimeError(int code);
constexpr int DiskWriteError = 101;
