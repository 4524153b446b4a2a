#include "platform/posix/PosixRename.h"

#include "platform/TextCase.h"
#include "platform/posix/PosixDescriptor.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace quorvane::platform::posix {

namespace {

TRenameStepHook& StepHook()
{
    static TRenameStepHook hook;
    return hook;
}

void Reached(TRenameStep step)
{
    const TRenameStepHook& hook = StepHook();
    if (hook) hook(step);
}

// Which entry a name leads to at one moment, and what a reservation must
// still be: empty.
struct TEntry {
    dev_t Device = 0;
    ino_t Node = 0;
    mode_t Type = 0;
    off_t Size = 0;

    bool IsSameAs(const TEntry& other) const { return Device == other.Device && Node == other.Node; }
};

TEntry EntryOf(const struct stat& info) { return {info.st_dev, info.st_ino, info.st_mode & S_IFMT, info.st_size}; }

bool Look(int folder, const char* name, TEntry& entry)
{
    struct stat info {};
    if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
    entry = EntryOf(info);
    return true;
}

bool Leads(int folder, const char* name, const TEntry& entry)
{
    TEntry found;
    return Look(folder, name, found) && found.IsSameAs(entry);
}

// A name in the folder of `path` that no other program uses, for an entry
// moved aside for a moment: the process, a counter and a random salt.
std::string PrivateNameBeside(const char* path)
{
    static std::atomic<unsigned> counter{0};
    static const unsigned salt = std::random_device{}();
    const char* slash = std::strrchr(path, '/');
    std::string name = slash == nullptr ? std::string() : std::string(path, slash + 1);
    char own[64];
    std::snprintf(own, sizeof own, ".quorvane-aside-%ld-%u-%08x", static_cast<long>(::getpid()), counter++, salt);
    return name + own;
}

// Put-backs of a put-back go no deeper than this; an entry that cannot go
// back stays under its private name, hidden but not lost.
constexpr int kDeepestPutBack = 2;

// Marks that an entry cannot get a second name here, so that the
// reservation has to do.
constexpr int kNoLinks = -1;

int WithoutReplacing(int folder, const char* from, const char* to, int depth);

void PutBack(int folder, const char* aside, const char* name, int depth)
{
    if (depth < kDeepestPutBack) WithoutReplacing(folder, aside, name, depth + 1);
}

// Removes `name` when it still leads to `entry` (and, for a reservation,
// when it is still empty). The name is first moved to a private one, so
// that whatever another program put there meanwhile is put back, not deleted.
void RemoveNameOf(int folder, const char* name, const TEntry& entry, bool mustBeEmpty, int depth)
{
    const std::string aside = PrivateNameBeside(name);
    if (::renameat(folder, name, folder, aside.c_str()) != 0) return;
    TEntry found;
    if (Look(folder, aside.c_str(), found) && found.IsSameAs(entry) && (!mustBeEmpty || found.Size == 0)) {
        ::unlinkat(folder, aside.c_str(), 0);
        return;
    }
    PutBack(folder, aside.c_str(), name, depth);
}

// Gives the file the new name as a hard link, then sets the old name aside
// and removes it only when it is still this file and the new name still
// leads to it. 0, an errno value, or kNoLinks.
int RenameByLink(int folder, const char* from, const char* to, int depth)
{
    const TDescriptor held(::openat(folder, from, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (held.Get() < 0) return errno;
    struct stat info {};
    if (::fstat(held.Get(), &info) != 0) return errno;
    const TEntry file = EntryOf(info);
    if (file.Type == S_IFDIR) return kNoLinks;
    Reached(TRenameStep::LinkFileHeld);
    // The link is made to the held file itself, so that a file another
    // program puts at the old name meanwhile does not get the new name.
    char heldPath[48];
    std::snprintf(heldPath, sizeof heldPath, "/proc/self/fd/%d", held.Get());
    if (::linkat(AT_FDCWD, heldPath, folder, to, AT_SYMLINK_FOLLOW) != 0) {
        const int error = errno;
        return error == EEXIST || error == ENOENT || error == ENOTDIR ? error : kNoLinks;
    }
    Reached(TRenameStep::Linked);
    const std::string aside = PrivateNameBeside(from);
    if (::renameat(folder, from, folder, aside.c_str()) != 0) {
        const int error = errno;
        // Another program took the old name away: the file has the new one.
        if (error == ENOENT) return Leads(folder, to, file) ? 0 : ENOENT;
        // The old name cannot go (a sticky folder, say): neither does the file.
        RemoveNameOf(folder, to, file, false, depth);
        return error;
    }
    Reached(TRenameStep::OldNameSetAside);
    const bool newNameHolds = Leads(folder, to, file);
    if (!Leads(folder, aside.c_str(), file)) {
        // Another program put its own file at the old name after the link;
        // that file goes back, and this one has lost its old name to it.
        PutBack(folder, aside.c_str(), from, depth);
        return newNameHolds ? 0 : ENOENT;
    }
    if (!newNameHolds) {
        // Another program removed the new name or put its own file there:
        // this file goes back to its old name.
        TEntry other;
        const int error = Look(folder, to, other) ? EEXIST : ENOENT;
        PutBack(folder, aside.c_str(), from, depth);
        return error;
    }
    Reached(TRenameStep::LinkChecked);
    ::unlinkat(folder, aside.c_str(), 0);
    return 0;
}

// Created without being opened: FUSE file systems hear of a close only
// after it has happened, and one that still counts the reservation open when
// the file is renamed onto it keeps it as a hidden ".fuse_hidden" file until
// then, beside the renamed file.
bool CreateEmpty(int folder, const char* name, TEntry& created)
{
    return ::mknodat(folder, name, S_IFREG | 0600, 0) == 0 && Look(folder, name, created);
}

bool IsReservation(int folder, const char* name, const TEntry& reservation)
{
    TEntry found;
    return Look(folder, name, found) && found.IsSameAs(reservation) && found.Size == 0;
}

// Reserves the new name with an empty file of our own (which fails when it
// exists) and renames the file onto it right after checking that it is
// still ours. 0 or an errno value.
int RenameByReservation(int folder, const char* from, const char* to, int depth)
{
    TEntry file;
    if (!Look(folder, from, file)) return errno;
    Reached(TRenameStep::OldNameLooked);
    TEntry reservation;
    if (file.Type == S_IFDIR) {
        // A folder replaces nothing but an empty folder, so a look before
        // the rename is enough; some file systems (fusefat) refuse to
        // replace even that, which rules out a reservation anyway.
        if (Look(folder, to, reservation)) return EEXIST;
        return ::renameat(folder, from, folder, to) == 0 ? 0 : errno;
    }
    if (!CreateEmpty(folder, to, reservation)) return errno;
    Reached(TRenameStep::Reserved);
    // Another program that removed or replaced the reservation has the name now.
    if (!IsReservation(folder, to, reservation)) return EEXIST;
    if (!Leads(folder, from, file)) {
        RemoveNameOf(folder, to, reservation, true, depth);
        return ENOENT;
    }
    Reached(TRenameStep::ReservationChecked);
    if (::renameat(folder, from, folder, to) != 0) {
        const int error = errno;
        RemoveNameOf(folder, to, reservation, true, depth);
        return error;
    }
    Reached(TRenameStep::RenamedOntoReservation);
    // Another program may have put its own file at the old name in the
    // instant before the rename, or at the new name right after it; the two
    // cannot be told apart, so whatever is at the new name stays there, and
    // the rename counts only when it is this file.
    return Leads(folder, to, file) ? 0 : ENOENT;
}

int Fallback(int folder, const char* from, const char* to, int depth)
{
    const int byLink = RenameByLink(folder, from, to, depth);
    return byLink == kNoLinks ? RenameByReservation(folder, from, to, depth) : byLink;
}

int WithoutReplacing(int folder, const char* from, const char* to, int depth)
{
    if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) return 0;
    const int error = errno;
    // File systems that do not know the flag (network shares, FUSE ones)
    // refuse it this way; any other error is the rename's own.
    if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) return Fallback(folder, from, to, depth);
    return error;
}

}  // namespace

TRenameStepHook SetRenameStepHook(TRenameStepHook hook)
{
    TRenameStepHook previous = std::move(StepHook());
    StepHook() = std::move(hook);
    return previous;
}

int RenameWithoutReplacing(int folder, const char* from, const char* to)
{
    return WithoutReplacing(folder, from, to, 0);
}

int RenameWithoutReplacing(const char* from, const char* to) { return RenameWithoutReplacing(AT_FDCWD, from, to); }

int RenameWithoutReplacingByLink(int folder, const char* from, const char* to) { return Fallback(folder, from, to, 0); }

int RenameWithoutReplacingByLink(const char* from, const char* to)
{
    return RenameWithoutReplacingByLink(AT_FDCWD, from, to);
}

bool MaySpellOneEntry(int folder, const char* a, const char* b)
{
    TEntry first;
    TEntry second;
    if (!Look(folder, a, first) || !Look(folder, b, second)) return false;
    if (first.IsSameAs(second)) return true;
    const TDescriptor held(::openat(folder, a, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct statfs fileSystem {};
    if (held.Get() < 0 || ::fstatfs(held.Get(), &fileSystem) != 0 || fileSystem.f_type != FUSE_SUPER_MAGIC) {
        return false;
    }
    const TextCase& textCase = NativeTextCase();
    return textCase.IgnoreCaseKey(a) == textCase.IgnoreCaseKey(b);
}

}  // namespace quorvane::platform::posix
