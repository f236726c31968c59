// The standard streams on POSIX, apart from the dialogue: held at start-up
// where they are closed, and standard error for the messages.
#pragma once

#include <string_view>

// Each standard stream the process was started without (a shell's >&-) is
// held by /dev/null, before anything else is opened: no file and no
// terminal may take its number and receive what is meant for it. Writes
// that pass a file-size limit fail from now on, rather than end the process
// (SIGXFSZ).
void HoldClosedStreams();
// Standard output was closed at start: a result meant for it is lost.
bool StandardOutputClosed();

// The line on standard error, with a line end (CR LF on a terminal, LF
// elsewhere); false when it could not be written.
bool WriteStandardError(std::string_view text);
