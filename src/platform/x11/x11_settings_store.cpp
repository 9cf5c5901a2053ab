// The settings store on X11: one per-user text file in registry export format,
// ${XDG_CONFIG_HOME:-$HOME/.config}/brittleview/settings.reg, so that a person
// can read it and import it into a Windows registry. Key paths are kept below
// "HKEY_CURRENT_USER\".
//
// Reading takes no lock: the file is only ever replaced whole, by rename, so a
// reader sees either the old or the new file. Writing is a read-modify-write
// under an advisory lock (flock on settings.reg.lock in the folder of the file
// itself, behind a symbolic link where there is one: where the temporaries
// are, so that every writer of one file takes one lock), held
// from StoreOpenForWrite to StoreClose, so that the saver and the dialog, which
// run as separate processes, never lose each other's values. The new text goes
// to a temporary file in the same folder, is flushed to disk and then takes the
// old one's place in one atomic step (see below): a crash or a full disk leaves
// the previous file as it was.
//
// The file is read whole, so that a save keeps every byte of it that is not
// one of the values written: other keys, other values, comments, junk. Files
// larger than kMaxFileBytes (or anything but a regular file, or a file that
// cannot be read or written) are left as they are: a save that could not keep
// all of it does not happen, and the first such case says so on standard
// error. A save that fails (a folder that cannot be written, a full disk, a
// lock the file system refuses) says so too, naming the file and the reason.
// A save whose values are already stored as they are does not touch the file.
//
// The new file keeps the old one's mode, owner and group (fchown, where the
// process may: a save run as root on a user's file gives it back to the
// user); a file of another user that cannot be given back is left alone. A
// file with more than one name (hard links) is left alone too: replacing it
// would part the names, and writing it in place could leave it half written.
//
// Other programs may rewrite the file without taking the lock. When the new
// text is ready, the file is read again; if it is no longer what the save
// started from, the save starts again from the newer file (a few times, then
// gives up and says so), so that the other program's changes are not lost.
// The new file goes into place by an atomic exchange, so that a rename by such
// a program between that last look and our own is seen, and undone: its file
// is put back and the save starts again from it.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "platform/x11/reg_file.h"

namespace {

constexpr size_t kMaxFileBytes = size_t{64} << 20;
constexpr const char* kFileName = "settings.reg";
constexpr const char* kLockName = "settings.reg.lock";
constexpr const char* kTempPrefix = "settings.reg.";
constexpr const char* kTempSuffix = ".tmp";
constexpr int kAttempts = 4;

constexpr const char* kKeptPrefix = "settings.reg.kept.";

std::atomic<unsigned> tempCounter{0};

// One line on standard error: the file, what is wrong with it and what
// became of the save. The same line is said once per process (a load and a
// save of one run meet the same file).
void Report(const std::string& path, const std::string& why, const char* outcome)
{
    static std::vector<std::string> said;
    const std::string line = "brittleview: " + path + ": " + why + "; " + outcome + "\n";
    if (std::find(said.begin(), said.end(), line) != said.end())
        return;
    said.push_back(line);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

void ReportLeftAlone(const std::string& path, const std::string& why)
{
    Report(path, why, "the settings file is left as it is");
}

void ReportNotSaved(const std::string& path, const std::string& why)
{
    Report(path, why, "the settings were not saved");
}

std::string Reason(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

// The folder of the settings file, or "" when the user has no home to keep it in.
std::string StoreFolder()
{
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') { // relative values are to be ignored
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home && home[0] == '/') {
            base = std::string(home) + "/.config";
        } else {
            struct passwd entry;
            struct passwd* found = nullptr;
            char buffer[4096];
            if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) != 0 || !found ||
                !found->pw_dir || found->pw_dir[0] != '/')
                return {};
            base = std::string(found->pw_dir) + "/.config";
        }
    }
    return base + "/brittleview";
}

// Creates the folder and its missing parents, for the user alone (0700), as
// the base-directory rules ask.
bool MakeFolders(const std::string& path)
{
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/')
            continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// What tells one version of the file from another.
struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    nlink_t links = 0;
};

Stamp StampOf(const struct stat& info)
{
    return {true,          info.st_dev, info.st_ino, info.st_size, info.st_mtim,
            info.st_mode, info.st_uid, info.st_gid, info.st_nlink};
}

bool SameVersion(const Stamp& a, const Stamp& b)
{
    return a.exists == b.exists &&
           (!a.exists ||
            (a.device == b.device && a.inode == b.inode && a.size == b.size &&
             a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec));
}

enum class ReadResult { kMissing, kRead, kUnusable };

// Reads a whole regular file of at most kMaxFileBytes. A file that changes
// while it is read (written in place by another program) is read again.
ReadResult ReadWholeFile(const std::string& path, std::string* text, Stamp* stamp, std::string* why)
{
    text->clear();
    *stamp = Stamp{};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // Non-blocking, so that a pipe in the file's place cannot hang the open.
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT)
                return ReadResult::kMissing;
            *why = std::string("cannot be read: ") + std::strerror(errno);
            return ReadResult::kUnusable;
        }
        struct stat before, after;
        if (fstat(fd, &before) != 0 || !S_ISREG(before.st_mode)) {
            close(fd);
            *why = "is not a regular file";
            return ReadResult::kUnusable;
        }
        // The buffer grows with the file; one byte past the limit tells that
        // the file goes beyond it.
        size_t got = 0;
        bool failed = false;
        while (got <= kMaxFileBytes) {
            if (text->size() == got)
                text->resize(
                    std::min(kMaxFileBytes + 1,
                             std::max<size_t>(got * 2, static_cast<size_t>(before.st_size) + 1)));
            const ssize_t n = read(fd, text->data() + got, text->size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                *why = std::string("cannot be read: ") + std::strerror(errno);
                failed = true;
            }
            if (n <= 0)
                break;
            got += static_cast<size_t>(n);
        }
        const bool statted = fstat(fd, &after) == 0;
        close(fd);
        if (failed)
            return ReadResult::kUnusable;
        if (got > kMaxFileBytes) {
            text->clear();
            text->shrink_to_fit();
            *why = "is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
            return ReadResult::kUnusable;
        }
        text->resize(got);
        if (statted && SameVersion(StampOf(before), StampOf(after)) &&
            got == static_cast<size_t>(after.st_size)) {
            *stamp = StampOf(after);
            return ReadResult::kRead;
        }
        usleep(10000); // written meanwhile: read it again once the writer is done
    }
    *why = "kept changing while it was read";
    return ReadResult::kUnusable;
}

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// Temporary files left by a writer that died between creating and renaming
// them. Called with the lock held, so no live writer owns one. A file kept
// after a busy exchange (kKeptPrefix, no kTempSuffix) holds another
// program's version and is not one of them.
void RemoveStaleTemporaries(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    const size_t prefix = std::strlen(kTempPrefix);
    const size_t suffix = std::strlen(kTempSuffix);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > prefix + suffix && name.compare(0, prefix, kTempPrefix) == 0 &&
            name.compare(name.size() - suffix, suffix, kTempSuffix) == 0)
            unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
}

// A name of the form settings.reg.<pid>.<n><suffix> in the folder of path.
std::string UniqueName(const std::string& path, const char* prefix, const char* suffix)
{
    return FolderOf(path) + "/" + prefix + std::to_string(getpid()) + "." +
           std::to_string(tempCounter.fetch_add(1)) + suffix;
}

// Writes text to a new temporary file next to path, flushed to disk, created
// with the mode of the file it is to replace and given its owner and group.
// Returns its name, or "" with *why set.
std::string WriteTemporary(const std::string& path, const std::string& text, const Stamp& old,
                           std::string* why)
{
    const std::string temp = UniqueName(path, kTempPrefix, kTempSuffix);
    const mode_t mode = old.exists ? old.mode & 07777 : 0644;
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        *why = Reason("cannot create a temporary file beside it");
        return {};
    }
    bool ok = true;
    if (old.exists && (old.owner != geteuid() || old.group != getegid()) &&
        fchown(fd, old.owner, old.group) != 0 && fchown(fd, old.owner, static_cast<gid_t>(-1)) != 0 &&
        old.owner != geteuid()) {
        *why = "is owned by user " + std::to_string(old.owner) + ", to whom a new file cannot be given";
        ok = false;
    }
    if (ok && ((old.exists && fchmod(fd, mode) != 0) || !WriteAll(fd, text) || fsync(fd) != 0)) {
        *why = Reason("cannot write a temporary file beside it");
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        *why = Reason("cannot write a temporary file beside it");
        ok = false;
    }
    if (!ok) {
        unlink(temp.c_str());
        return {};
    }
    return temp;
}

// An open handle on whatever stands at path (a link itself, not what it
// names), for telling files apart exactly: a file held open keeps its inode
// number, which a removed one may pass on to a new file.
int OpenIdentity(const std::string& path)
{
    return open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
}

bool SameFile(int a, int b)
{
    struct stat x, y;
    return fstat(a, &x) == 0 && fstat(b, &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

enum class Placed { kOurs, kTheirs, kFailed, kBusy };

// After a failed renameat2: true when the file system (or the kernel) does
// not know its flags, so that only a plain rename is left.
bool RenameFlagsUnknown()
{
    return errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP;
}

// Puts the temporary file in the place of `verified` (open), the file the save
// started from. Each exchange swaps the two names atomically; what comes out
// tells whether another program renamed its own file into place meanwhile.
// Then that file goes back in, and so on until what comes out is what went in
// last: kTheirs, the newest foreign file stands in place and ours is gone.
// kOurs: ours is in place, the verified file removed. kFailed: nothing
// changed. kBusy: the place kept changing; the temporary holds an older one.
// kTheirs is also the answer when the file went before the first exchange.
Placed PutInPlace(const std::string& temp, const std::string& path, int verified)
{
    const int ours = OpenIdentity(temp);
    if (ours < 0)
        return Placed::kFailed;
    std::vector<int> held = {ours};
    int placed = ours, expected = verified;
    Placed result = Placed::kBusy;
    for (int attempt = 0; attempt < 2 * kAttempts; ++attempt) {
        if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) != 0) {
            if (attempt > 0)
                break;
            if (errno == ENOENT) { // the file went meanwhile: start again
                result = Placed::kTheirs;
                break;
            }
            // A file system without the exchange: a plain rename, as close
            // after the last look as it can be.
            result = RenameFlagsUnknown() && rename(temp.c_str(), path.c_str()) == 0
                         ? Placed::kOurs
                         : Placed::kFailed;
            break;
        }
        const int out = OpenIdentity(temp);
        if (out < 0)
            break;
        held.push_back(out);
        if (SameFile(out, expected)) {
            unlink(temp.c_str());
            result = placed == ours ? Placed::kOurs : Placed::kTheirs;
            break;
        }
        // Another program's file came out: it goes back in next, and what
        // goes in now must come out then.
        expected = placed;
        placed = out;
    }
    for (int fd : held)
        close(fd);
    return result;
}

} // namespace

struct SettingsStore {
    RegFile file;
    std::string key;  // "HKEY_CURRENT_USER\..."
    std::string path; // the file, behind a symbolic link where there is one
    Stamp stamp;      // of the file as read
    int lockFd = -1;  // >= 0: opened for writing, lock held
};

SettingsStore* StoreOpenForRead(const char* keyPath)
{
    const std::string folder = StoreFolder();
    if (folder.empty())
        return nullptr;
    std::string text, why;
    Stamp stamp;
    const std::string path = folder + "/" + kFileName;
    const ReadResult result = ReadWholeFile(path, &text, &stamp, &why);
    if (result == ReadResult::kUnusable)
        ReportLeftAlone(path, why);
    if (result != ReadResult::kRead)
        return nullptr;
    auto* store = new SettingsStore;
    store->key = std::string("HKEY_CURRENT_USER\\") + keyPath;
    store->file.Parse(std::move(text));
    if (!store->file.HasKey(store->key)) {
        delete store;
        return nullptr;
    }
    return store;
}

bool StoreQueryValue(SettingsStore* store, const char* name, uint32_t* value)
{
    return store && store->file.QueryDword(store->key, name, value);
}

SettingsStore* StoreOpenForWrite(const char* keyPath)
{
    const std::string folder = StoreFolder();
    if (folder.empty())
        return nullptr;
    std::string path = folder + "/" + kFileName;
    if (!MakeFolders(folder)) {
        ReportNotSaved(path, Reason("its folder cannot be made"));
        return nullptr;
    }
    // Where the file is a symbolic link (settings kept elsewhere by the user),
    // the file it points to is the one replaced, and the link stays.
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char* resolved = realpath(path.c_str(), nullptr);
        if (!resolved) {
            // A loop or a folder that cannot be searched: said as the load says it.
            ReportLeftAlone(path, errno == ENOENT ? std::string("is a symbolic link to nothing")
                                                  : Reason("cannot be read"));
            return nullptr;
        }
        path = resolved;
        std::free(resolved);
    }
    // Read-only is enough for flock, so that a lock made by another user (root
    // saving a user's file) does not keep the user's own saves out.
    const std::string lockPath = FolderOf(path) + "/" + kLockName;
    const int lockFd = open(lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd < 0) {
        ReportNotSaved(path, Reason(("its lock " + lockPath + " cannot be opened").c_str()));
        return nullptr;
    }
    while (flock(lockFd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ReportNotSaved(path, Reason("cannot be locked"));
            close(lockFd);
            return nullptr;
        }
    }
    // A file that is there but cannot be read whole, that the user made
    // read-only, or that has more than one name stays as it is: replacing it
    // would lose what it holds or part its names.
    std::string text, why;
    Stamp stamp;
    const ReadResult result = ReadWholeFile(path, &text, &stamp, &why);
    if (result == ReadResult::kRead && access(path.c_str(), W_OK) != 0)
        why = Reason("cannot be written");
    else if (result == ReadResult::kRead && stamp.links > 1)
        why = "has " + std::to_string(stamp.links) + " names (hard links), which a save would part";
    else if (result != ReadResult::kUnusable)
        why.clear();
    if (!why.empty()) {
        ReportLeftAlone(path, why);
        close(lockFd);
        return nullptr;
    }
    auto* store = new SettingsStore;
    store->path = path;
    store->stamp = stamp;
    store->lockFd = lockFd;
    store->key = std::string("HKEY_CURRENT_USER\\") + keyPath;
    store->file.Parse(std::move(text));
    store->file.EnsureKey(store->key);
    return store;
}

void StoreSetValue(SettingsStore* store, const char* name, uint32_t value)
{
    if (!store || store->lockFd < 0)
        return;
    store->file.SetDword(store->key, name, value);
}

namespace {

// Replaces the file with the store's text: temporary file, flushed, put in
// place (PutInPlace; a first file only where none appeared meanwhile), folder
// flushed. A failure to write (a full disk, a folder that cannot be written)
// leaves the previous file as it was.
void Commit(SettingsStore* store)
{
    RemoveStaleTemporaries(FolderOf(store->path));
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string text = store->file.Serialize();
        if (text == store->file.Text())
            return; // every value is stored as it is
        if (text.size() > kMaxFileBytes) {
            ReportLeftAlone(store->path, "would grow larger than " +
                                             std::to_string(kMaxFileBytes >> 20) + " MiB");
            return;
        }
        std::string why;
        const std::string temp = WriteTemporary(store->path, text, store->stamp, &why);
        if (temp.empty()) {
            ReportNotSaved(store->path, why);
            return;
        }
        // Another program may have rewritten the file since it was read. Its
        // stamp is not enough to tell (times are coarse and inode numbers come
        // back), so the file is read again and compared.
        std::string current;
        Stamp stamp;
        const ReadResult result = ReadWholeFile(store->path, &current, &stamp, &why);
        if (result == ReadResult::kUnusable) {
            unlink(temp.c_str());
            ReportLeftAlone(store->path, why);
            return;
        }
        // kTheirs: the file is not what the save started from. `current` holds
        // it, unless it changed again after the read (`reread`).
        Placed placed = Placed::kTheirs;
        bool reread = true;
        if (result == ReadResult::kMissing && !store->stamp.exists) {
            // No file yet: ours goes in unless one appeared meanwhile.
            if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, store->path.c_str(),
                          RENAME_NOREPLACE) == 0)
                placed = Placed::kOurs;
            else if (RenameFlagsUnknown())
                placed = rename(temp.c_str(), store->path.c_str()) == 0 ? Placed::kOurs
                                                                        : Placed::kFailed;
            else if (errno != EEXIST)
                placed = Placed::kFailed;
        } else if (result == ReadResult::kRead && store->stamp.exists &&
                   current == store->file.Text()) {
            const int verified = OpenIdentity(store->path);
            struct stat info;
            if (verified >= 0 && fstat(verified, &info) == 0 && SameVersion(StampOf(info), stamp))
                placed = PutInPlace(temp, store->path, verified);
            if (verified >= 0)
                close(verified);
        } else {
            reread = false;
        }
        if (placed == Placed::kOurs) {
            const int dirFd =
                open(FolderOf(store->path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dirFd >= 0) {
                fsync(dirFd);
                close(dirFd);
            }
            return;
        }
        if (placed == Placed::kFailed) {
            ReportNotSaved(store->path, Reason("cannot be replaced"));
            unlink(temp.c_str());
            return;
        }
        if (placed == Placed::kBusy) {
            // The temporary holds a version another program put in place
            // meanwhile, maybe its newest: it is kept, under a name that is
            // never taken for a stale temporary of ours.
            const std::string kept = UniqueName(store->path, kKeptPrefix, "");
            if (rename(temp.c_str(), kept.c_str()) == 0)
                ReportNotSaved(store->path, "kept changing while it was saved (another "
                                            "program's version is kept as " + kept + ")");
            else
                ReportNotSaved(store->path, "kept changing while it was saved");
            return;
        }
        // Start again from the newer version, with the values set here laid over it.
        unlink(temp.c_str()); // ours, unless it is gone already
        if (reread && ReadWholeFile(store->path, &current, &stamp, &why) == ReadResult::kUnusable) {
            ReportLeftAlone(store->path, why);
            return;
        }
        store->stamp = stamp;
        store->file.Rebase(std::move(current));
    }
    ReportNotSaved(store->path, "kept changing while it was saved");
}

} // namespace

void StoreClose(SettingsStore* store)
{
    if (!store)
        return;
    if (store->lockFd >= 0) {
        Commit(store);
        close(store->lockFd); // releases the lock
    }
    delete store;
}
