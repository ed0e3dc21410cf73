#include "devices/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace nms {

void SyncFolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size, std::string* error) {
    auto fail = [&](const char* what, const std::string& temp) {
        const int saved = errno ? errno : EIO;
        if (!temp.empty())
            ::unlink(temp.c_str());
        if (error)
            *error = std::string(what) + ": " + std::strerror(saved);
        return false;
    };
    // One writer per file in this program, so a fixed name beside the target will do.
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail("cannot create the file", std::string());
    size_t done = 0;
    while (done < size) {
        const ssize_t w = ::write(fd, data + done, size - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            const int saved = errno;
            ::close(fd);
            errno = saved;
            return fail("cannot write the file", temp);
        }
        done += size_t(w);
    }
    if (::fsync(fd) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return fail("cannot write the file", temp);
    }
    if (::close(fd) != 0)
        return fail("cannot write the file", temp);
    if (::rename(temp.c_str(), path.c_str()) != 0)
        return fail("cannot replace the file", temp);
    SyncFolderOf(path);
    return true;
}

}  // namespace nms
