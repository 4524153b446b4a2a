// A FUSE file system that shows a folder as it is, but refuses what network
// shares refuse: the kernel's no-replace rename (always), and hard links too
// with --no-links. The tests mount it to run the renames of the program the
// way they run on NFS and SMB shares, where the kernel cannot keep a rename
// from replacing a file and the program must do it itself.
//
//     quorvane-passthrough-fs [--no-links] <folder> <mount point> [FUSE options]

#define FUSE_USE_VERSION 31

#include <fuse.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

int g_source = -1;
bool g_refuseLinks = false;

// The path FUSE gives ("/a/b") relative to the shown folder.
const char* Relative(const char* path) { return path[1] == '\0' ? "." : path + 1; }

int Result(int returned) { return returned < 0 ? -errno : 0; }

void* Init(fuse_conn_info* connection, fuse_config* config)
{
    static_cast<void>(connection);
    // The inode numbers of the folder shown, so that a file keeps its
    // identity across renames and names, as it does on a real share.
    config->use_ino = 1;
    // A file removed while open is removed, not hidden under a new name that
    // would show up in the listings the tests compare.
    config->hard_remove = 1;
    return nullptr;
}

int GetAttributes(const char* path, struct stat* info, fuse_file_info*)
{
    return Result(::fstatat(g_source, Relative(path), info, AT_SYMLINK_NOFOLLOW));
}

int ReadLink(const char* path, char* buffer, size_t size)
{
    const ssize_t length = ::readlinkat(g_source, Relative(path), buffer, size - 1);
    if (length < 0) return -errno;
    buffer[length] = '\0';
    return 0;
}

int ReadFolder(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    const int descriptor = ::openat(g_source, Relative(path), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return -errno;
    DIR* folder = ::fdopendir(descriptor);
    if (folder == nullptr) {
        const int error = errno;
        ::close(descriptor);
        return -error;
    }
    while (const dirent* entry = ::readdir(folder)) {
        struct stat info {};
        info.st_ino = entry->d_ino;
        info.st_mode = static_cast<mode_t>(DTTOIF(entry->d_type));
        if (fill(buffer, entry->d_name, &info, 0, static_cast<fuse_fill_dir_flags>(0)) != 0) break;
    }
    ::closedir(folder);
    return 0;
}

int MakeNode(const char* path, mode_t mode, dev_t device)
{
    return Result(::mknodat(g_source, Relative(path), mode, device));
}

int MakeFolder(const char* path, mode_t mode) { return Result(::mkdirat(g_source, Relative(path), mode)); }
int Unlink(const char* path) { return Result(::unlinkat(g_source, Relative(path), 0)); }
int RemoveFolder(const char* path) { return Result(::unlinkat(g_source, Relative(path), AT_REMOVEDIR)); }

int SymbolicLink(const char* target, const char* path)
{
    return Result(::symlinkat(target, g_source, Relative(path)));
}

int Rename(const char* from, const char* to, unsigned int flags)
{
    // NFS and SMB know only the rename that replaces.
    if (flags != 0) return -EINVAL;
    return Result(::renameat(g_source, Relative(from), g_source, Relative(to)));
}

int Link(const char* from, const char* to)
{
    if (g_refuseLinks) return -EOPNOTSUPP;
    return Result(::linkat(g_source, Relative(from), g_source, Relative(to), 0));
}

int ChangeMode(const char* path, mode_t mode, fuse_file_info*)
{
    return Result(::fchmodat(g_source, Relative(path), mode, 0));
}

int ChangeOwner(const char* path, uid_t user, gid_t group, fuse_file_info*)
{
    return Result(::fchownat(g_source, Relative(path), user, group, AT_SYMLINK_NOFOLLOW));
}

int Truncate(const char* path, off_t size, fuse_file_info* file)
{
    if (file != nullptr) return Result(::ftruncate(static_cast<int>(file->fh), size));
    const int descriptor = ::openat(g_source, Relative(path), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0) return -errno;
    const int result = Result(::ftruncate(descriptor, size));
    ::close(descriptor);
    return result;
}

int SetTimes(const char* path, const timespec times[2], fuse_file_info*)
{
    return Result(::utimensat(g_source, Relative(path), times, AT_SYMLINK_NOFOLLOW));
}

int Create(const char* path, mode_t mode, fuse_file_info* file)
{
    const int descriptor = ::openat(g_source, Relative(path), file->flags | O_CLOEXEC, mode);
    if (descriptor < 0) return -errno;
    file->fh = static_cast<uint64_t>(descriptor);
    return 0;
}

int Open(const char* path, fuse_file_info* file)
{
    const int descriptor = ::openat(g_source, Relative(path), file->flags | O_CLOEXEC);
    if (descriptor < 0) return -errno;
    file->fh = static_cast<uint64_t>(descriptor);
    return 0;
}

int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* file)
{
    const ssize_t read = ::pread(static_cast<int>(file->fh), buffer, size, offset);
    return read < 0 ? -errno : static_cast<int>(read);
}

int Write(const char*, const char* buffer, size_t size, off_t offset, fuse_file_info* file)
{
    const ssize_t written = ::pwrite(static_cast<int>(file->fh), buffer, size, offset);
    return written < 0 ? -errno : static_cast<int>(written);
}

int StatFileSystem(const char*, struct statvfs* info) { return Result(::fstatvfs(g_source, info)); }

int Release(const char*, fuse_file_info* file)
{
    ::close(static_cast<int>(file->fh));
    return 0;
}

int Sync(const char*, int, fuse_file_info* file) { return Result(::fsync(static_cast<int>(file->fh))); }

int Access(const char* path, int mode) { return Result(::faccessat(g_source, Relative(path), mode, 0)); }

}  // namespace

int main(int argc, char* argv[])
{
    int next = 1;
    if (next < argc && std::strcmp(argv[next], "--no-links") == 0) {
        g_refuseLinks = true;
        ++next;
    }
    if (argc - next < 2) {
        std::fprintf(stderr, "usage: %s [--no-links] <folder> <mount point> [FUSE options]\n", argv[0]);
        return 2;
    }
    g_source = ::open(argv[next], O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (g_source < 0) {
        std::perror(argv[next]);
        return 1;
    }
    ++next;

    fuse_operations operations {};
    operations.getattr = GetAttributes;
    operations.readlink = ReadLink;
    operations.mknod = MakeNode;
    operations.mkdir = MakeFolder;
    operations.unlink = Unlink;
    operations.rmdir = RemoveFolder;
    operations.symlink = SymbolicLink;
    operations.rename = Rename;
    operations.link = Link;
    operations.chmod = ChangeMode;
    operations.chown = ChangeOwner;
    operations.truncate = Truncate;
    operations.open = Open;
    operations.read = Read;
    operations.write = Write;
    operations.statfs = StatFileSystem;
    operations.release = Release;
    operations.fsync = Sync;
    operations.readdir = ReadFolder;
    operations.init = Init;
    operations.access = Access;
    operations.create = Create;
    operations.utimens = SetTimes;

    // FUSE takes the program name, the mount point and its own options.
    std::string program = argv[0];
    char* fuseArguments[64];
    int fuseCount = 0;
    fuseArguments[fuseCount++] = program.data();
    for (; next < argc && fuseCount < 63; ++next) fuseArguments[fuseCount++] = argv[next];
    fuseArguments[fuseCount] = nullptr;
    return fuse_main(fuseCount, fuseArguments, &operations, nullptr);
}
