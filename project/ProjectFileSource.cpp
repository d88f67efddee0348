#include "project/ProjectFileSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "framework/Error.h"

namespace {

constexpr std::size_t kWindowBytes = 64 * 1024;

const char* OpenFailureReason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "it does not exist";
    case EACCES:
    case EPERM:
        return "it may not be read";
    default:
        return std::strerror(error);
    }
}

} // namespace

CProjectFileSource::CProjectFileSource(const std::string& filePath) : path(filePath)
{
    // Not blocking: a named pipe given by mistake must not hang the open.
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw CError("Failed To Open File '%s' For Reading: %s", path.c_str(), OpenFailureReason(errno));
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        throw CError("Failed To Open File '%s' For Reading: %s", path.c_str(), std::strerror(error));
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        throw CError("Failed To Open File '%s' For Reading: %s", path.c_str(),
                     S_ISDIR(status.st_mode) ? "it is a folder" : "it is not a regular file");
    }
    size = static_cast<std::size_t>(status.st_size);
}

CProjectFileSource::~CProjectFileSource()
{
    if (fd >= 0)
        ::close(fd);
}

void CProjectFileSource::ReadFailed() const
{
    // The file changed size under the reader, or the disk failed.
    throw CError("File '%s' Is Corrupt", path.c_str());
}

void CProjectFileSource::Copy(std::size_t offset, unsigned char* out, std::size_t count)
{
    if (offset > size || count > size - offset)
        ReadFailed();
    if (count > kWindowBytes / 2) {
        while (count > 0) {
            const ssize_t got = ::pread(fd, out, count, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                ReadFailed();
            out += got;
            offset += static_cast<std::size_t>(got);
            count -= static_cast<std::size_t>(got);
        }
        return;
    }
    if (offset < windowStart || offset + count > windowStart + windowBytes) {
        window.resize(kWindowBytes);
        windowStart = offset;
        windowBytes = 0;
        const std::size_t wanted = std::min(kWindowBytes, size - offset);
        while (windowBytes < count) {
            const ssize_t got =
                ::pread(fd, window.data() + windowBytes, wanted - windowBytes, static_cast<off_t>(offset + windowBytes));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                ReadFailed();
            windowBytes += static_cast<std::size_t>(got);
        }
    }
    std::memcpy(out, window.data() + (offset - windowStart), count);
}

const unsigned char* CProjectFileSource::Keep(std::size_t offset, std::size_t count)
{
    auto piece = std::make_unique<unsigned char[]>(count > 0 ? count : 1);
    Copy(offset, piece.get(), count);
    kept.push_back(std::move(piece));
    return kept.back().get();
}
