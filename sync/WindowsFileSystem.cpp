#include "sync/WindowsFileSystem.h"

#include "sync/FolderListing.h"
#include "windows/WideText.h"

#include <cerrno>
#include <memory>

namespace kestrova {

namespace {

using windows::LastErrno;
using windows::LongPath;
using windows::Utf8;
using windows::Wide;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The attributes a copy carries over; the rest describe how the source is stored.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// What every folder reads as: the owner may list, write and enter it. The read-only
// attribute of a folder does not keep files from being made or deleted in it, so there
// are no permissions to carry or to open up for a while.
constexpr unsigned kFolderPermissions = 0700;
// 100 ns intervals from 1601 to 1970.
constexpr std::int64_t kUnixEpoch = 116444736000000000;

// Symbolic links and junctions point elsewhere; other reparse points (cloud files,
// deduplicated files) are the files and folders they appear to be.
bool IsLink(DWORD attributes, DWORD tag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(tag);
}

EntryKind KindOf(DWORD attributes, DWORD tag) {
    if (IsLink(attributes, tag)) {
        return EntryKind::Link;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::File;
}

FileTime TimeOf(std::int64_t ticks) {
    const std::int64_t since1970 = ticks - kUnixEpoch;
    std::int64_t seconds = since1970 / 10'000'000;
    std::int64_t rest = since1970 % 10'000'000;
    if (rest < 0) {
        --seconds;
        rest += 10'000'000;
    }
    return {seconds, rest * 100};
}

FileTime TimeOf(const FILETIME& time) {
    return TimeOf(static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime));
}

// Deletes a file that may carry the read-only attribute.
void RemoveTemporary(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

// The attributes and reparse tag of the entry at `path`, the link itself for a link.
bool AttributesOf(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& data, DWORD& tag) {
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    tag = 0;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        WIN32_FIND_DATAW found;
        const HANDLE search = ::FindFirstFileExW(path.c_str(), FindExInfoBasic, &found,
                                                 FindExSearchNameMatch, nullptr, 0);
        if (search != INVALID_HANDLE_VALUE) {
            tag = found.dwReserved0;
            ::FindClose(search);
        }
    }
    return true;
}

bool WriteAll(HANDLE file, const char* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, data, size, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

enum class Moved { Done, Failed, Stopped };

// Copies the rest of `source` into `target` in chunks, checking for a stop between them.
Moved CopyData(HANDLE source, HANDLE target, const std::atomic<bool>& stop) {
    // Copies run on several threads at once; each has its own buffer.
    thread_local std::unique_ptr<char[]> buffer(new char[WindowsFileSystem::kCopyChunk]);
    for (;;) {
        if (stop.load(std::memory_order_relaxed)) {
            return Moved::Stopped;
        }
        DWORD got = 0;
        if (!::ReadFile(source, buffer.get(), WindowsFileSystem::kCopyChunk, &got, nullptr)) {
            return Moved::Failed;
        }
        if (got == 0) {
            return Moved::Done;
        }
        if (!WriteAll(target, buffer.get(), got)) {
            return Moved::Failed;
        }
    }
}

// Gives the file `to` the named data streams of `from`, as the system's whole-file
// copy does. A volume without streams has nothing to give.
Moved CopyStreams(const std::wstring& from, const std::wstring& to, const std::atomic<bool>& stop) {
    WIN32_FIND_STREAM_DATA stream;
    const HANDLE search = ::FindFirstStreamW(from.c_str(), FindStreamInfoStandard, &stream, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return Moved::Done;
    }
    Moved moved = Moved::Done;
    do {
        const std::wstring name = stream.cStreamName;
        if (name == L"::$DATA") {
            continue;
        }
        const HANDLE source = ::CreateFileW((from + name).c_str(), GENERIC_READ, kShareAll, nullptr,
                                            OPEN_EXISTING, 0, nullptr);
        const HANDLE target = ::CreateFileW((to + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        moved = source == INVALID_HANDLE_VALUE || target == INVALID_HANDLE_VALUE
                    ? Moved::Failed
                    : CopyData(source, target, stop);
        if (target != INVALID_HANDLE_VALUE && !::CloseHandle(target)) {
            moved = Moved::Failed;
        }
        if (source != INVALID_HANDLE_VALUE) {
            ::CloseHandle(source);
        }
    } while (moved == Moved::Done && ::FindNextStreamW(search, &stream));
    ::FindClose(search);
    return moved;
}

} // namespace

WindowsFileSystem::WindowsFileSystem() : processId_(::GetCurrentProcessId()) {}

WindowsFileSystem::~WindowsFileSystem() {
    for (const Folder& folder : folders_) {
        if (folder.handle != nullptr) {
            ::CloseHandle(folder.handle);
        }
        if (folder.lock != nullptr) {
            ::CloseHandle(folder.lock);
        }
    }
}

int WindowsFileSystem::keep(void* handle, std::wstring path, FolderHandle& folder) {
    std::lock_guard lock(mutex_);
    if (!freeSlots_.empty()) {
        folder = freeSlots_.back();
        freeSlots_.pop_back();
        folders_[static_cast<std::size_t>(folder)] = {handle, std::move(path), nullptr};
    } else {
        folder = static_cast<FolderHandle>(folders_.size());
        folders_.push_back({handle, std::move(path), nullptr});
    }
    return 0;
}

std::wstring WindowsFileSystem::pathOf(FolderHandle folder, const char* name) const {
    std::lock_guard lock(mutex_);
    if (folder < 0 || static_cast<std::size_t>(folder) >= folders_.size() ||
        folders_[static_cast<std::size_t>(folder)].handle == nullptr) {
        return {};
    }
    std::wstring path = folders_[static_cast<std::size_t>(folder)].path;
    if (path.back() != L'\\') {
        path += L'\\';
    }
    return path + Wide(name);
}

void* WindowsFileSystem::handleOf(FolderHandle folder) const {
    std::lock_guard lock(mutex_);
    if (folder < 0 || static_cast<std::size_t>(folder) >= folders_.size()) {
        return nullptr;
    }
    return folders_[static_cast<std::size_t>(folder)].handle;
}

int WindowsFileSystem::openRoot(const std::string& path, FolderHandle& folder) {
    folder = kNoFolder;
    std::wstring wide = LongPath(path);
    // "\\?\C:\" keeps its separator; any other folder is named without one.
    while (wide.size() > 7 && wide.back() == L'\\') {
        wide.pop_back();
    }
    const HANDLE handle = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return LastErrno();
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::CloseHandle(handle);
        return ENOTDIR;
    }
    return keep(handle, std::move(wide), folder);
}

int WindowsFileSystem::openFolder(FolderHandle parent, const char* name, FolderHandle& folder) {
    folder = kNoFolder;
    std::wstring path = pathOf(parent, name);
    if (path.empty()) {
        return EBADF;
    }
    const HANDLE handle =
        ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return LastErrno();
    }
    FILE_ATTRIBUTE_TAG_INFO info;
    if (!::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info) ||
        KindOf(info.FileAttributes, info.ReparseTag) != EntryKind::Folder) {
        // A link where a folder was expected is not a folder to walk.
        ::CloseHandle(handle);
        return ENOTDIR;
    }
    return keep(handle, std::move(path), folder);
}

void WindowsFileSystem::closeFolder(FolderHandle folder) {
    std::lock_guard lock(mutex_);
    if (folder < 0 || static_cast<std::size_t>(folder) >= folders_.size()) {
        return;
    }
    Folder& slot = folders_[static_cast<std::size_t>(folder)];
    if (slot.handle != nullptr) {
        ::CloseHandle(slot.handle);
        if (slot.lock != nullptr) {
            ::CloseHandle(slot.lock);
        }
        slot = {nullptr, {}, nullptr};
        freeSlots_.push_back(folder);
    }
}

int WindowsFileSystem::identify(FolderHandle folder, FolderIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info;
    const HANDLE handle = handleOf(folder);
    if (handle == nullptr || !::GetFileInformationByHandle(handle, &info)) {
        return EBADF;
    }
    // A volume shows each folder at one place only (a volume mounted on a folder has
    // a serial number of its own), so the volume stands for the mount as well.
    identity.device = info.dwVolumeSerialNumber;
    identity.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.mount = info.dwVolumeSerialNumber;
    identity.permissions = kFolderPermissions;
    identity.modified = TimeOf(info.ftLastWriteTime);
    return 0;
}

int WindowsFileSystem::enumerate(FolderHandle folder, FolderListing& listing) {
    listing.clear();
    const std::wstring pattern = pathOf(folder, "*");
    if (pattern.empty()) {
        return EBADF;
    }
    WIN32_FIND_DATAW found;
    const HANDLE search =
        ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                           FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        // A drive's root folder has no "." and "..": empty, it yields nothing at all.
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : LastErrno();
    }
    do {
        const wchar_t* name = found.cFileName;
        if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'))) {
            continue;
        }
        listing.add(Utf8(name), KindOf(found.dwFileAttributes, found.dwReserved0));
    } while (::FindNextFileW(search, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        listing.clear();
        return windows::ErrnoOf(error);
    }
    listing.sortBy(
        [this](std::string_view a, std::string_view b) { return compareNames(a, b) < 0; });
    return 0;
}

LookUpResult WindowsFileSystem::lookUp(FolderHandle folder, const char* name) {
    LookUpResult result;
    const std::wstring path = pathOf(folder, name);
    WIN32_FILE_ATTRIBUTE_DATA data;
    DWORD tag = 0;
    if (path.empty()) {
        result.error = EBADF;
    } else if (!AttributesOf(path, data, tag)) {
        result.error = LastErrno();
    } else {
        result.kind = KindOf(data.dwFileAttributes, tag);
        result.modified = TimeOf(data.ftLastWriteTime);
        result.ownerWritable = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    }
    return result;
}

// Ordinal comparison without regard to case: the file system's own name matching.
int WindowsFileSystem::compareNames(std::string_view a, std::string_view b) const {
    thread_local std::wstring wideA;
    thread_local std::wstring wideB;
    wideA = Wide(a);
    wideB = Wide(b);
    const int order = ::CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()),
                                             wideB.data(), static_cast<int>(wideB.size()), TRUE);
    if (order == 0) {
        return a.compare(b); // not expected: names always convert
    }
    return order - CSTR_EQUAL;
}

std::wstring WindowsFileSystem::temporaryPath(FolderHandle folder) {
    const std::string name = ".kestrova-" + std::to_string(processId_) + "-" +
                             std::to_string(temporaryCounter_.fetch_add(1) + 1) + ".part";
    return pathOf(folder, name.c_str());
}

CopyOutcome WindowsFileSystem::copy(FolderHandle from, FolderHandle to, const char* name,
                                    EntryKind kind, const std::atomic<bool>& stop) {
    const std::wstring source = pathOf(from, name);
    const std::wstring target = pathOf(to, name);
    const std::wstring temporary = temporaryPath(to);
    if (source.empty() || target.empty()) {
        return CopyOutcome::Failed;
    }
    switch (kind) {
    case EntryKind::File:
        return copyFile(source, target, temporary, stop);
    case EntryKind::Link:
        return copyLink(source, target, temporary);
    case EntryKind::Folder:
    case EntryKind::Special:
        break;
    }
    return CopyOutcome::Failed;
}

CopyOutcome WindowsFileSystem::copyFile(const std::wstring& from, const std::wstring& to,
                                        const std::wstring& temporary,
                                        const std::atomic<bool>& stop) {
    const HANDLE source =
        ::CreateFileW(from.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        return CopyOutcome::Failed;
    }
    FILE_BASIC_INFO basic;
    if (!::GetFileInformationByHandleEx(source, FileBasicInfo, &basic, sizeof basic) ||
        (basic.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        ::CloseHandle(source); // replaced by a folder or a link since it was listed
        return CopyOutcome::Failed;
    }
    const HANDLE target = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        ::CloseHandle(source);
        return CopyOutcome::Failed;
    }
    Moved moved = CopyData(source, target, stop);
    if (moved == Moved::Done) {
        moved = CopyStreams(from, temporary, stop);
    }
    bool done = moved == Moved::Done;
    const bool stopped = moved == Moved::Stopped;
    if (done) {
        // The times and attributes go on last, so that writing does not change them.
        FILE_BASIC_INFO copied = basic;
        copied.ChangeTime.QuadPart = 0;
        copied.FileAttributes = basic.FileAttributes & kCopiedAttributes;
        if (copied.FileAttributes == 0) {
            copied.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        }
        done = ::SetFileInformationByHandle(target, FileBasicInfo, &copied, sizeof copied) != 0;
    }
    done = ::CloseHandle(target) && done;
    ::CloseHandle(source);
    if (done && ::MoveFileExW(temporary.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return CopyOutcome::Copied;
    }
    RemoveTemporary(temporary);
    return stopped ? CopyOutcome::Stopped : CopyOutcome::Failed;
}

// The link itself, as the system copies it; creating links may need a privilege
// the user lacks, and the copy is then listed as failed.
CopyOutcome WindowsFileSystem::copyLink(const std::wstring& from, const std::wstring& to,
                                        const std::wstring& temporary) {
    if (::CopyFileExW(from.c_str(), temporary.c_str(), nullptr, nullptr, nullptr,
                      COPY_FILE_COPY_SYMLINK | COPY_FILE_FAIL_IF_EXISTS) &&
        ::MoveFileExW(temporary.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return CopyOutcome::Copied;
    }
    RemoveTemporary(temporary);
    return CopyOutcome::Failed;
}

int WindowsFileSystem::createFolder(FolderHandle parent, const char* name) {
    const std::wstring path = pathOf(parent, name);
    if (path.empty()) {
        return EBADF;
    }
    return ::CreateDirectoryW(path.c_str(), nullptr) ? 0 : LastErrno();
}

// A link to a folder is removed as a folder; RemoveDirectory removes the link
// itself, never what it points to.
int WindowsFileSystem::deleteFile(FolderHandle parent, const char* name) {
    const std::wstring path = pathOf(parent, name);
    if (path.empty()) {
        return EBADF;
    }
    if (::DeleteFileW(path.c_str())) {
        return 0;
    }
    const int error = LastErrno();
    WIN32_FILE_ATTRIBUTE_DATA data;
    DWORD tag = 0;
    if (AttributesOf(path, data, tag) && IsLink(data.dwFileAttributes, tag) &&
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ::RemoveDirectoryW(path.c_str()) ? 0 : LastErrno();
    }
    return error;
}

int WindowsFileSystem::removeFolder(FolderHandle parent, const char* name) {
    const std::wstring path = pathOf(parent, name);
    if (path.empty()) {
        return EBADF;
    }
    return ::RemoveDirectoryW(path.c_str()) ? 0 : LastErrno();
}

// A folder's named streams and attributes describe how it is shown, not what it holds;
// the copies of its files carry theirs, the folder itself takes none.
int WindowsFileSystem::copyAttributes(FolderHandle, FolderHandle) {
    return 0;
}

// NTFS and most others keep times to 100 ns, exFAT to 10 ms, FAT to two seconds.
std::int64_t WindowsFileSystem::timeStep(FolderHandle folder) {
    wchar_t name[MAX_PATH + 1] = {};
    const HANDLE handle = handleOf(folder);
    if (handle == nullptr || !::GetVolumeInformationByHandleW(handle, nullptr, 0, nullptr, nullptr,
                                                              nullptr, name, MAX_PATH + 1)) {
        return 100;
    }
    const std::wstring_view system = name;
    if (system == L"FAT" || system == L"FAT32") {
        return 2 * kNanosecondsPerSecond;
    }
    if (system == L"exFAT") {
        return 10'000'000;
    }
    return 100;
}

int WindowsFileSystem::renameEntry(FolderHandle folder, const char* from, const char* to) {
    const std::wstring source = pathOf(folder, from);
    const std::wstring target = pathOf(folder, to);
    if (source.empty() || target.empty()) {
        return EBADF;
    }
    return ::MoveFileExW(source.c_str(), target.c_str(), 0) ? 0 : LastErrno();
}

int WindowsFileSystem::setPermissions(FolderHandle, unsigned) {
    return 0;
}

// Owners here are security descriptors, which a copy does not carry: every folder
// reads as owned by user and group 0, so none is ever given another.
int WindowsFileSystem::setOwner(FolderHandle, std::uint32_t, std::uint32_t) {
    return ENOTSUP;
}

// The folder's own handle may only read attributes; a second one writes the time.
int WindowsFileSystem::setFolderTime(FolderHandle folder, const FileTime& modified) {
    std::wstring path;
    {
        std::lock_guard lock(mutex_);
        if (folder < 0 || static_cast<std::size_t>(folder) >= folders_.size() ||
            folders_[static_cast<std::size_t>(folder)].handle == nullptr) {
            return EBADF;
        }
        path = folders_[static_cast<std::size_t>(folder)].path;
    }
    const HANDLE handle =
        ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return LastErrno();
    }
    const std::uint64_t ticks = static_cast<std::uint64_t>(modified.seconds * 10'000'000 +
                                                           modified.nanoseconds / 100 + kUnixEpoch);
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    const int error = ::SetFileTime(handle, nullptr, nullptr, &time) ? 0 : LastErrno();
    ::CloseHandle(handle);
    return error;
}

// Link counts show only through a handle on each file, which would cost a run that
// changes nothing an open of every file: names are never found to share a file here.
int WindowsFileSystem::linkFile(FolderHandle, std::string_view, FolderHandle, const char*) {
    return ENOTSUP;
}

// The lock is a named mutex whose name is the folder's volume and file index, so
// that every path to the folder (links, other letter case, mapped drives) finds the
// same one: creating it finds it held while another open of the folder has it. A
// handle on the folder itself with exclusive sharing would also refuse everyone
// else who merely looks into the target while the run lasts.
int WindowsFileSystem::lockFolder(FolderHandle folder) {
    FolderIdentity identity;
    if (const int error = identify(folder, identity); error != 0) {
        return error;
    }
    const std::wstring name = L"Kestrova.Target." + std::to_wstring(identity.device) + L"." +
                              std::to_wstring(identity.inode);
    const HANDLE lock = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (lock == nullptr) {
        return LastErrno();
    }
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(lock);
        return EWOULDBLOCK;
    }
    std::lock_guard guard(mutex_);
    Folder& slot = folders_[static_cast<std::size_t>(folder)];
    if (slot.lock != nullptr) {
        ::CloseHandle(slot.lock);
    }
    slot.lock = lock;
    return 0;
}

} // namespace kestrova
