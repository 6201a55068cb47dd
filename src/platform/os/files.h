// Windows-style file names on the system's file system. Every file the game
// opens goes through here. On Linux "dat\x\y.png" becomes "dat/x/y.png", and
// each component is matched case-insensitively against what exists; Windows
// takes the name as it is. Names and paths are UTF-8. The read-only data may
// live elsewhere than the working directory: with a data root set, names
// below "dat" resolve below that root instead.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// Where names below "dat" (any case) resolve from now on: an existing
// directory holding what dat/ would hold. Empty: dat/ of the working
// directory, as before any call.
void SetDataRoot(const std::string& root);

// The system's path for a game file name. On Linux, components that exist
// under another case are replaced by their real spelling; missing ones are
// kept as given.
std::string ResolvePath(const char* name);

// fopen() of the resolved path; null on failure, as fopen.
FILE* OpenFile(const char* name, const char* mode);

// Reads the whole file through OpenFile; false (bytes unspecified) when it
// cannot be opened or read, or holds more than maxBytes.
bool ReadWholeFile(const char* name, size_t maxBytes, std::vector<uint8_t>* bytes);

// Writes `size` bytes to a temporary file beside the resolved `name`, flushes
// it to disk and renames it over `name`. On any failure the temporary file is
// removed, the old file keeps its bytes, and the result is false. An existing
// `name` without write permission is left alone: nothing is written, one line
// on stderr says so, and the result is false.
bool WriteFileAtomically(const char* name, const void* data, size_t size);

// A folder for the game's own files (its parents must exist); true when it
// exists afterwards.
bool MakeFolder(const char* name);
// Renames a file, replacing `to`; false (both left as they were) on failure.
bool RenameFile(const char* from, const char* to);
// Removes a file; true when it is gone afterwards (also when it never was).
bool RemoveFile(const char* name);

} // namespace platform
