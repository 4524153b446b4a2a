#pragma once

#include <functional>

namespace quorvane::platform::posix {

// Renames without ever replacing an existing entry, as Windows does; 0 or an
// errno value (EEXIST when `to` exists). Relative names are taken relative to
// the open folder `folder` (AT_FDCWD: the working directory), as the *at
// system calls take them; the forms without it use the working directory.
int RenameWithoutReplacing(int folder, const char* from, const char* to);
int RenameWithoutReplacing(const char* from, const char* to);

// The same for file systems that refuse the kernel's no-replace flag (NFS,
// SMB, FAT, exFAT and NTFS through FUSE), where another program may change
// the folder between any two system calls. Where hard links work, the file
// gets its new name as a link (which fails when `to` exists) and its old name
// is moved to a private name and removed only when it is still this file's.
// Where they do not, the new name is reserved with an empty file of our own
// and the file renamed onto that reservation right after checking that it is
// still ours: the one moment another program could lose a file, by putting
// its own at `to` in that instant, lasts one system call. (A folder, which
// can replace only an empty folder, is renamed after a look.) 0 only when
// the very file that had the old name now has the new one.
int RenameWithoutReplacingByLink(int folder, const char* from, const char* to);
int RenameWithoutReplacingByLink(const char* from, const char* to);

// Renames `from` to `to` through a free temporary name in the folder of
// `from`. For a change of case only on a case-insensitive file system, where
// `to` is found as `from` itself; when the second step fails the first is
// undone, so nothing is lost and nothing replaced.
int RenameThroughTemporaryName(int folder, const char* from, const char* to);
int RenameThroughTemporaryName(const char* from, const char* to);

// Whether `a` and `b` (in `folder`) may be two spellings of one entry, as on
// a case-insensitive file system: true when they lead to the same file, and
// also on FUSE file systems that number entries by name (fusefat,
// exfat-fuse), where two spellings of one file look like two files, when the
// names are equal ignoring case. A rename through a temporary name settles
// it, since it never replaces.
bool MaySpellOneEntry(int folder, const char* a, const char* b);

// The moments between the system calls of the fallback renames at which
// another program could change the folder, in the order the calls reach them.
enum class TRenameStep {
    // By link: the file of the old name is held open; next comes the link.
    LinkFileHeld,
    // The file has both names; next the old name is moved aside.
    Linked,
    // The old name is moved to a private name; next both are checked.
    OldNameSetAside,
    // Both checked; next the private name is removed.
    LinkChecked,
    // By reservation: the file of the old name is known; next the new name
    // is reserved.
    OldNameLooked,
    // The new name is reserved; next the reservation and the old name are
    // checked.
    Reserved,
    // Checked; next the rename onto the reservation.
    ReservationChecked,
    // Renamed; next the new name is checked for the file.
    RenamedOntoReservation,
};

// Tests set a hook that the fallback renames call at each of these moments,
// so that "another program" can act exactly there; an empty one removes it.
// Returns the previous hook.
using TRenameStepHook = std::function<void(TRenameStep)>;
TRenameStepHook SetRenameStepHook(TRenameStepHook hook);

}  // namespace quorvane::platform::posix
