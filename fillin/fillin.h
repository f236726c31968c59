// fillin: a prompt and a one-line editor pre-filled with an environment
// variable's value; the accepted value goes to a batch file holding the one
// line "SET NAME=value", to a line a shell sources, or (-f -) alone to
// standard output.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lineedit.h"

namespace fillin {

// Set once at start by DetectPlatform. Both false on anything that is
// neither family (every POSIX system).
struct PlatformFlags {
    bool IsWin9x = false;
    bool IsWinNT = false;
};
extern PlatformFlags Platform;

// What the output file holds, chosen by its name: the batch file's SET line
// (NAME.bat, .cmd), a line that a POSIX shell (NAME.sh, .bash, .zsh, .ksh,
// .dash) or fish (NAME.fish) sources, or for "-" the value alone on
// standard output. Any other name gets the system's own (UnlistedForm).
enum class ResultForm { Batch, Sh, Fish, Plain };

struct FillinSettings {
    std::int16_t MaxLine = 2046;   // bound for the whole SET line
    std::string VarName;           // upper-cased for the SET line, as typed for a shell
    std::string Value;             // in the console's code page
    std::string OutFile;           // whole, however long
    ResultForm Form = ResultForm::Batch;
    bool ExactValue = false;       // -e: no escape carets stay in the variable
    std::string Prompt;
    std::int32_t InputLimit = 32767;  // 32767: no -l given
    std::int32_t Timeout = 0;         // -1: not a number
    EditFlags Edit;                   // -m -u -n -o -b -c
};
extern FillinSettings Settings;

// A name holding one of the others would run a command, expand a variable
// or open a quote in the SET line; one holding "=" would set another
// variable (SET takes the name up to the first "="). A name may not begin
// with "/" either, which SET reads as its own switch (/A, /P, /?).
constexpr std::string_view NameIllegalChars = "\t <>|&^%\"()!=";
constexpr std::string_view Win9xIllegalChars = "<>|";
constexpr std::string_view ShellSpecialChars = "&()<>^|";

// ---- Platform (platform_win32.cpp, platform_posix.cpp) ----

void DetectPlatform();
// The form of a file with none of the known names: the SET line on
// Windows, the shell's line on POSIX (a mktemp name has no extension).
ResultForm UnlistedForm();
// The variable's value as the programs hold text; empty when it is missing
// or empty, longer than maxLength characters, or cannot be shown or written
// to the file unchanged.
std::string ReadVariable(const std::string& name, int maxLength);
// The text as the output file (or, with -f -, standard output) holds it:
// in the code page that cmd reads it in (the console's output code page
// when written; see OutputCodePageText), unchanged on POSIX. lossless is
// false when a character has no place there.
std::string FileText(std::string_view text, bool& lossless);
// True when the file's code page holds the text: a character it cannot
// hold would be written changed.
bool FileHolds(const std::string& text);

// ---- Command line (cmdline.cpp) ----

std::int16_t MaxLineFor(const PlatformFlags& platform);
// What the SET line leaves for the value.
int Room();
// Fills Settings and the current value, or ends the process with the usage
// text (exit code 0) or an error message (exit code 3).
void ParseCommandLine();
// The escapes look at one unit at a time: a byte, or a double-byte
// character whole (UTF-8 never has an ASCII byte inside a character).
std::size_t EscapeUnit(std::string_view text);
int CountCharsInSet(std::string_view text, std::string_view set);
void RemoveCarets(std::string& text);

// ---- Editing and the batch file (batchfile.cpp) ----

// Edits Settings.Value and writes the batch file; every outcome but a
// written file ends the process here. A file that cannot be written is
// refused before the prompt.
void EditAndWrite();
// Without a terminal: the value from standard input, shown nowhere, written
// as EditAndWrite writes it; every other outcome ends the process here.
void AnswerFromInput();
// The line goes to standard output, or becomes the file's whole content,
// in the code page that the command interpreter reads it in.
void WriteResult(const std::string& text);
// Ends the run with "Cannot open file for output" where the result
// file cannot be written (or, for -m, kept private).
void CheckOutFile();
// True when the value cannot be written: on Windows 9x the batch file's
// line is read by COMMAND.COM, which would take <, > and | as redirections.
bool Refused(const std::string& value);
// A caret before each of ShellSpecialChars outside double quotes: what
// the variable holds by default, so that %NAME% gives the text back.
std::string EscapeSpecials(std::string_view text);
std::string EscapePercent(std::string_view text);
// The batch file's line for the value, CR LF included: on the NT family it
// sets the value escaped by EscapeSpecials, or with exact the value itself,
// whether the calling file has delayed expansion on or off; elsewhere the
// value as it stands, its percent signs doubled.
std::string BatchLine(std::string_view name, std::string_view value, bool exact);
// cmd reads at most this many characters of a line whole.
constexpr std::size_t CmdLineLength = 8191;
bool LineFits(std::string_view line);
// True when the value's line for Settings fits that, or is no batch line.
bool ValueFits(const std::string& value);

// ---- The output file (outfile.cpp) ----

// False when the file could not be made or written: a missing folder, a
// folder of that name, no permission; with ownerOnly also a file written
// in place whose permissions are not ours to change.
bool FileCanBeWritten(const std::string& name, bool ownerOnly);
enum class FileWrite { Written, CannotOpen, Failed };
// Makes bytes the file's whole content. A regular file is replaced in one
// step: Failed leaves the old one as it was. ownerOnly: readable by its
// owner alone.
FileWrite WriteWholeFile(const std::string& name, std::string_view bytes, bool ownerOnly);

// ---- Result forms (resultform.cpp) ----

ResultForm ResultFormFor(std::string_view fileName, ResultForm unlisted = UnlistedForm());
// [A-Za-z_][A-Za-z0-9_]*: a name that a shell line can hold as it stands.
bool IsShellName(std::string_view name);
// Sets Settings.Form from the file name and the name as the form writes it;
// a name a shell form cannot hold ends the process (exit code 3).
void ChooseResultForm();
// The lines as written; the value is the terminal's text as typed.
std::string ShLine(std::string_view name, std::string_view value);
std::string FishLine(std::string_view name, std::string_view value);
// The whole line for Settings; for standard output the value alone, its
// line end added as it is written.
std::string ResultLine();

}  // namespace fillin
