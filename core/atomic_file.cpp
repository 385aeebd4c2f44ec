#include "core/atomic_file.h"

#include <memory>

namespace qm {

std::string TemporaryFilePath(const std::string& path) { return path + ".tmp"; }

void WriteFileAtomically(FileSystem& files, const std::string& path, std::string_view bytes, WhenBusy whenBusy) {
    const std::string temp = TemporaryFilePath(path);
    try {
        std::unique_ptr<WritableFile> file = files.Create(temp);
        file->Write(bytes);
        file->Flush();
        file->Close();
        file.reset();
        files.Replace(temp, path, whenBusy);
    } catch (...) {
        files.Remove(temp);
        throw;
    }
}

uint64_t ContentHash(std::string_view bytes) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

}  // namespace qm
