// The output file's system side, one file per platform (outfile_posix.cpp,
// outfile_win32.cpp). What is done with it is decided in outfile.cpp: a
// regular file is replaced in one step by a new file written beside it, so
// that a failed write never leaves it half written; a device or a FIFO is
// written in place, and so is a file whose folder takes no new one, its old
// bytes kept until the new ones are all in.
#pragma once

#include <string>
#include <string_view>

namespace fillin {

// What a file name stands for.
struct OutPlace {
    std::string Path;              // the file to write: a symbolic link's target
    bool Exists = false;
    bool Regular = true;           // false: a device or a FIFO, written in place
    bool Writable = false;         // an existing file may be written (never a folder)
    bool FolderTakesFiles = false; // a new file can be made in its folder
    bool Readable = false;         // an existing file may be read
    bool Owned = false;            // we may change its permissions
};
OutPlace FindOutPlace(const std::string& name);

// One file is open at a time. Each call gives false when it fails.
// Opens the file itself for writing. A regular file is not emptied (see
// WriteAndClose), and with ownerOnly made readable by its owner alone
// before anything is written.
bool OpenInPlace(const OutPlace& place, bool ownerOnly);
// Makes a new empty file in path's folder that only its owner may read.
bool OpenBeside(const std::string& path);
// Writes the bytes to the open file and closes it, also after a failure.
// A regular file opened in place gets the new bytes over its old ones and
// is cut to their length only once they are all written; after a failure
// it holds its old bytes again.
bool WriteAndClose(std::string_view bytes);
// Gives the new file the old file's permissions (ownerOnly: its owner's
// alone) and puts it in the old one's place in one step.
bool PutInPlace(const OutPlace& place, bool ownerOnly);
// Removes the new file after a failure.
void DropNewFile();

}  // namespace fillin
