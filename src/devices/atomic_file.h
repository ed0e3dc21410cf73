// Saving a file so that it is either the old file or the new one, whatever happens: written to a
// temporary file beside the target, flushed to the disk, renamed over the target, and the folder entry
// flushed too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nms {

// False with the reason in *error (when given); the old file is then untouched and no temporary file is
// left behind.
bool WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size, std::string* error);
inline bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                                std::string* error) {
    return WriteFileAtomically(path, bytes.data(), bytes.size(), error);
}
// Flushes the folder that holds path, so a rename in it survives a power cut.
void SyncFolderOf(const std::string& path);

}  // namespace nms
