#include "app/RenderTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/Error.h"

namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

CRenderTarget::CRenderTarget(std::string path) : targetPath(std::move(path)), finalPath(targetPath)
{
    // Rendering through a link updates the file it points at.
    struct stat status {};
    if (::lstat(targetPath.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(targetPath.c_str(), resolved) != nullptr)
            finalPath = resolved;
    }
    if (::stat(finalPath.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode))
            throw CError("Failed To Open File '%s' For Writing: it is a folder", targetPath.c_str());
        writePath = finalPath;
        return;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, ".render-%ld-%d.tmp", static_cast<long>(::getpid()), attempt);
        const std::string candidate = FolderOf(finalPath) + "/." + FileNameOf(finalPath) + suffix;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            writePath = candidate;
            temporary = true;
            return;
        }
        if (errno != EEXIST)
            throw CError("Failed To Open File '%s' For Writing: %s", targetPath.c_str(), std::strerror(errno));
    }
    throw CError("Failed To Open File '%s' For Writing", targetPath.c_str());
}

CRenderTarget::~CRenderTarget()
{
    if (temporary && !committed)
        ::unlink(writePath.c_str());
}

void CRenderTarget::Commit()
{
    if (!temporary) {
        committed = true;
        return;
    }
    struct stat existing {};
    if (::stat(finalPath.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::chmod(writePath.c_str(), existing.st_mode & 07777);
    // The data reaches the disk before the name does, so a crash right after
    // the rename cannot leave an empty file under the target's name.
    const int fd = ::open(writePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    if (::rename(writePath.c_str(), finalPath.c_str()) != 0)
        throw CError("Failed To Open File '%s' For Writing: %s", targetPath.c_str(), std::strerror(errno));
    committed = true;
}
