// Replacing a file so that it is always whole: the old bytes or the new,
// never a mix, whenever the program or the machine stops.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/platform/files.h"

namespace qm {

// The temporary file beside `path` that a save writes before it takes the
// place of `path`. One left behind by a save that was cut off is never read.
std::string TemporaryFilePath(const std::string& path);

// Writes the bytes to the temporary file beside `path`, forces them to disk
// and only then puts the file in the place of `path`. When any step fails the
// old file stays as it was, the temporary file is removed and the FileError
// goes on to the caller.
void WriteFileAtomically(FileSystem& files, const std::string& path, std::string_view bytes,
                         WhenBusy whenBusy = WhenBusy::RetryBriefly);

// A 64-bit fingerprint of a file's bytes (FNV-1a), to tell which of two
// states a file is in after a program was ended between two writes.
uint64_t ContentHash(std::string_view bytes);

}  // namespace qm
