// The settings store on X11: one per-user text file in registry export format,
// ${XDG_CONFIG_HOME:-$HOME/.config}/brittleview/settings.reg, so that a person
// can read it and import it into a Windows registry. Key paths are kept below
// "HKEY_CURRENT_USER\".
//
// Reading takes no lock: the file is only ever replaced whole, by rename, so a
// reader sees either the old or the new file. Writing is a read-modify-write
// under an advisory lock (flock on settings.reg.lock next to the file), held
// from StoreOpenForWrite to StoreClose, so that the saver and the dialog, which
// run as separate processes, never lose each other's values. The new text goes
// to a temporary file in the same folder, is flushed to disk and then renamed
// over the old one: a crash or a full disk leaves the previous file as it was.
//
// At most kMaxFileBytes of the file are read. A settings file is a few hundred
// bytes; anything beyond the limit is not ours, and a save drops it (together
// with the line cut by the limit). A save never writes more than the limit, so
// that what it wrote is read back: a text that would be larger keeps only its
// four-byte values, and if that is still too much, only the key being written.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/settings_store.h"
#include "platform/x11/reg_file.h"

namespace {

constexpr size_t kMaxFileBytes = 1 << 20;
constexpr const char* kFileName = "settings.reg";
constexpr const char* kLockName = "settings.reg.lock";
constexpr const char* kTempPrefix = "settings.reg.";
constexpr const char* kTempSuffix = ".tmp";

std::atomic<unsigned> tempCounter{0};

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

// Creates the folder and its missing parents.
bool MakeFolders(const std::string& path)
{
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/')
            continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Reads at most kMaxFileBytes of a regular file. false: there is no such file
// (or it cannot be read). When the limit cuts the file, the cut line is dropped.
bool ReadFileCapped(const std::string& path, std::string* text)
{
    text->clear();
    // Non-blocking, so that a pipe in the file's place cannot hang the open;
    // anything but a regular file is then turned away.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return false;
    }
    // In pieces, so that a small file costs a small buffer; one byte past
    // the limit tells that the file goes on beyond it.
    size_t got = 0;
    while (got <= kMaxFileBytes) {
        const size_t want = std::min<size_t>(64 * 1024, kMaxFileBytes + 1 - got);
        text->resize(got + want);
        const ssize_t n = read(fd, text->data() + got, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    if (got > kMaxFileBytes) {
        got = kMaxFileBytes;
        const size_t lastEnd = std::string_view(text->data(), got).rfind('\n');
        got = lastEnd == std::string_view::npos ? 0 : lastEnd + 1;
    }
    text->resize(got);
    return true;
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

// Temporary files left by a writer that died between creating and renaming
// them. Called with the lock held, so no live writer owns one.
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

// Replaces the file with text: temporary file, flushed, renamed, folder flushed.
// Where the file is a symbolic link (settings kept elsewhere by the user), the
// file it points to is replaced and the link stays.
void ReplaceFile(const std::string& folder, const std::string& text)
{
    RemoveStaleTemporaries(folder);
    std::string path = folder + "/" + kFileName;
    std::string targetFolder = folder;
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char* resolved = realpath(path.c_str(), nullptr);
        if (!resolved)
            return; // a dangling link: where the settings belong is unknown
        path = resolved;
        std::free(resolved);
        targetFolder = path.substr(0, path.rfind('/'));
        if (targetFolder.empty())
            targetFolder = "/";
    }
    const std::string temp = targetFolder + "/" + kTempPrefix + std::to_string(getpid()) + "." +
                             std::to_string(tempCounter.fetch_add(1)) + kTempSuffix;
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return;
    }
    const int dirFd = open(targetFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
}

} // namespace

struct SettingsStore {
    RegFile file;
    std::string key; // "HKEY_CURRENT_USER\..."
    std::string folder;
    int lockFd = -1;      // >= 0: opened for writing, lock held
    bool changed = false; // something to commit
};

SettingsStore* StoreOpenForRead(const char* keyPath)
{
    const std::string folder = StoreFolder();
    std::string text;
    if (folder.empty() || !ReadFileCapped(folder + "/" + kFileName, &text))
        return nullptr;
    auto* store = new SettingsStore;
    store->key = std::string("HKEY_CURRENT_USER\\") + keyPath;
    store->file.Parse(text);
    if (!store->file.HasKey(store->key)) {
        delete store;
        return nullptr;
    }
    store->folder = folder;
    return store;
}

bool StoreQueryValue(SettingsStore* store, const char* name, uint32_t* value)
{
    return store && store->file.QueryDword(store->key, name, value);
}

SettingsStore* StoreOpenForWrite(const char* keyPath)
{
    const std::string folder = StoreFolder();
    if (folder.empty() || !MakeFolders(folder))
        return nullptr;
    const std::string lockPath = folder + "/" + kLockName;
    const int lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd < 0)
        return nullptr;
    while (flock(lockFd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            close(lockFd);
            return nullptr;
        }
    }
    // A file that is there but cannot be read stays as it is: replacing it
    // with our values alone would lose whatever else it holds.
    const std::string path = folder + "/" + kFileName;
    std::string text;
    if (!ReadFileCapped(path, &text) && access(path.c_str(), F_OK) == 0) {
        close(lockFd);
        return nullptr;
    }
    auto* store = new SettingsStore;
    store->folder = folder;
    store->lockFd = lockFd;
    store->key = std::string("HKEY_CURRENT_USER\\") + keyPath;
    store->file.Parse(text);
    if (!store->file.HasKey(store->key)) {
        store->file.EnsureKey(store->key);
        store->changed = true;
    }
    return store;
}

void StoreSetValue(SettingsStore* store, const char* name, uint32_t value)
{
    if (!store || store->lockFd < 0)
        return;
    store->file.SetDword(store->key, name, value);
    store->changed = true;
}

void StoreClose(SettingsStore* store)
{
    if (!store)
        return;
    if (store->lockFd >= 0) {
        if (store->changed) {
            std::string text = store->file.Serialize();
            if (text.size() > kMaxFileBytes) {
                store->file.KeepOnlyDwords();
                text = store->file.Serialize();
            }
            if (text.size() > kMaxFileBytes) {
                store->file.KeepOnlyKey(store->key);
                text = store->file.Serialize();
            }
            ReplaceFile(store->folder, text);
        }
        close(store->lockFd); // releases the lock
    }
    delete store;
}
