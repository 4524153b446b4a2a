#include "platform/posix/PosixErrors.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <string>

#include <sys/stat.h>

namespace quorvane::platform::posix {

std::uint32_t ErrorFromErrno(int error)
{
    switch (error) {
    case 0:
        return kErrorSuccess;
    case ENOENT:
        return kErrorFileNotFound;
    case ENOTDIR:
        return kErrorPathNotFound;
    case EACCES:
    case EPERM:
        return kErrorAccessDenied;
    case EMFILE:
    case ENFILE:
        return kErrorTooManyOpenFiles;
    case EEXIST:
    case ENOTEMPTY:
        return kErrorAlreadyExists;
    case EXDEV:
        return kErrorNotSameDevice;
    case EROFS:
        return kErrorWriteProtect;
    case EBUSY:
    case ETXTBSY:
        return kErrorSharingViolation;
    case ENOSPC:
    case EDQUOT:
        return kErrorDiskFull;
    case ENAMETOOLONG:
        return kErrorFilenameTooLong;
    case ELOOP:
        return kErrorCantResolveFilename;
    case EINVAL:
        return kErrorInvalidParameter;
    case EISDIR:
        return kErrorAccessDenied;
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
    case ENOTCONN:
    case ESTALE:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ETIMEDOUT:
        return kErrorNotReady;
    default:
        return kErrorGenFailure;
    }
}

namespace {

bool IsFolder(const std::string& unixPath)
{
    struct stat info {};
    return ::stat(unixPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::uint32_t MissingPathError(std::string_view unixPath, std::string_view unixRoot)
{
    if (!IsFolder(std::string(unixRoot))) return kErrorNotReady;
    const std::size_t slash = unixPath.find_last_of('/');
    const std::string parent(unixPath.substr(0, slash == 0 ? 1 : slash));
    return slash != std::string_view::npos && IsFolder(parent) ? kErrorFileNotFound : kErrorPathNotFound;
}

}  // namespace quorvane::platform::posix
