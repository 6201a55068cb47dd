// For tests: makes the next atomic file writes fail at a chosen step, as a
// full disk, an I/O error or a crash would. Inert until a test sets a fault.
#pragma once

#include <cstddef>
#include <optional>

namespace platform {

enum class WriteStep {
    Create, // the temporary file cannot be created
    Write,  // the data stops after `bytesWritten` bytes
    Sync,   // flushing the data to disk fails
    Close,  // closing the temporary file reports an error
    Rename, // the temporary file cannot replace the old one
};

struct WriteFault {
    WriteStep step = WriteStep::Create;
    size_t bytesWritten = 0; // WriteStep::Write only
};

// Every WriteFileAtomically call fails as described until cleared with nullopt.
void SetWriteFault(std::optional<WriteFault> fault);

} // namespace platform
