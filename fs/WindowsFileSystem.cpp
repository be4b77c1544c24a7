// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "fs/WindowsFileSystem.h"

#include "fs/FailureReasons.h"
#include "fs/FolderListing.h"
#include "fs/TargetNames.h"
#include "i18n/WideText.h"
#include "report/SyncStats.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
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

// Tries at a free temporary name before a copy gives up.
constexpr int kTemporaryTries = 100;

// Files whose reparse point says only how their own data is kept on the volume:
// deduplicated (in the volume's chunk store), compressed by the overlay filter, or
// in single-instance storage. Reading one gives its contents and reaches nothing
// else, so such files are copied, compared and deleted as ordinary files.
bool ReadThrough(DWORD attributes, DWORD tag) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (tag == IO_REPARSE_TAG_DEDUP || tag == IO_REPARSE_TAG_WOF || tag == IO_REPARSE_TAG_SIS);
}

// Every other reparse point is a link, whatever its tag: symbolic links and
// junctions, but also cloud placeholders, WSL links, app execution aliases and tags
// yet to come, which may stand for anything. Wine shows a Unix symbolic link to a
// folder as a reparse point with tag 0.
bool IsLink(DWORD attributes, DWORD tag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !ReadThrough(attributes, tag);
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

// A file whose data is read through its reparse point (see ReadThrough) is opened
// again without FILE_FLAG_OPEN_REPARSE_POINT, so that reads give its contents; the
// open must find the very file of `reparsePoint`, which it replaces.
HANDLE OpenThrough(HANDLE reparsePoint, const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    BY_HANDLE_FILE_INFORMATION expected;
    BY_HANDLE_FILE_INFORMATION found;
    const bool same = file != INVALID_HANDLE_VALUE &&
                      ::GetFileInformationByHandle(reparsePoint, &expected) &&
                      ::GetFileInformationByHandle(file, &found) &&
                      expected.dwVolumeSerialNumber == found.dwVolumeSerialNumber &&
                      expected.nFileIndexHigh == found.nFileIndexHigh &&
                      expected.nFileIndexLow == found.nFileIndexLow;
    ::CloseHandle(reparsePoint);
    if (!same && file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

// The final path of an open file or folder, links followed: "" where it cannot be read.
std::wstring FinalPath(HANDLE handle) {
    std::wstring path(32768, L'\0');
    const DWORD length =
        ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    path.resize(length < path.size() ? length : 0);
    return path;
}

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether `path`, the entry `name` of the open folder `folder`, opens something
// elsewhere: the entry is then a link whatever its attributes say. Windows shows
// every link as a reparse point, but Wine shows a Unix symbolic link to a file as
// the file it names, and deleting it there deletes that file. What the name opens
// has a final path of the folder's followed by the name, unless a link led away.
bool LeadsElsewhere(HANDLE folder, const std::wstring& path, std::wstring_view name) {
    const HANDLE entry =
        ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (entry == INVALID_HANDLE_VALUE) {
        return false; // gone, or in use: the deletion itself tells
    }
    const std::wstring reached = FinalPath(entry);
    ::CloseHandle(entry);
    std::wstring expected = FinalPath(folder);
    if (reached.empty() || expected.empty()) {
        return false;
    }
    if (expected.back() != L'\\') {
        expected += L'\\';
    }
    // A final path drops the dots and spaces a name ends in, as plain paths do.
    const auto trimmed = [](std::wstring_view text) {
        while (!text.empty() && (text.back() == L'.' || text.back() == L' ')) {
            text.remove_suffix(1);
        }
        return text;
    };
    return !SameIgnoringCase(trimmed(reached), expected + std::wstring(trimmed(name)));
}

// The reason for a copy's failure: a name the target refuses is one it cannot store.
int CopyErrno(DWORD error) {
    return error == ERROR_INVALID_NAME || error == ERROR_BAD_PATHNAME ? kReasonNameNotStorable
                                                                      : windows::ErrnoOf(error);
}

// Whether `name` has the form of a copy's temporary, ".kestrova-PID-N.part".
bool IsTemporaryName(std::wstring_view name) {
    const auto digits = [&name]() {
        std::size_t count = 0;
        while (count < name.size() && name[count] >= L'0' && name[count] <= L'9') {
            ++count;
        }
        name.remove_prefix(count);
        return count > 0;
    };
    const auto skip = [&name](std::wstring_view text) {
        if (!name.starts_with(text)) {
            return false;
        }
        name.remove_prefix(text.size());
        return true;
    };
    return skip(L".kestrova-") && digits() && skip(L"-") && digits() && name == L".part";
}

// Removes the temporary at `path` unless a process holds it open: a run writing one
// keeps it open without sharing until it is complete, and the system closes what a
// dead run left open. It may carry the read-only attribute of the file it was to be.
void RemoveUnlessOpen(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), DELETE | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    FILE_DISPOSITION_INFO disposition{TRUE};
    ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
    ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    ::CloseHandle(file);
}

// `time` cut down to a step of `step` nanoseconds.
FileTime CutToStep(const FileTime& time, std::int64_t step) {
    if (step < kNanosecondsPerSecond) {
        return {time.seconds, time.nanoseconds - time.nanoseconds % step};
    }
    const std::int64_t seconds = step / kNanosecondsPerSecond;
    return {time.seconds - time.seconds % seconds, 0};
}

// The step the volume's type is known to keep times to: NTFS and most others 100 ns,
// exFAT 10 ms, FAT two seconds.
std::int64_t StepOfVolumeType(HANDLE folder) {
    wchar_t name[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationByHandleW(folder, nullptr, 0, nullptr, nullptr, nullptr, name,
                                         MAX_PATH + 1)) {
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

// Gives the copy `file` its times and attributes. A target that holds no attributes
// (under Wine, a FAT drive through FUSE refuses even the archive attribute) keeps
// the times alone, and losing more than the archive attribute is counted.
bool SetTimesAndAttributes(HANDLE file, FILE_BASIC_INFO info) {
    if (::SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info)) {
        return true;
    }
    const DWORD attributes = info.FileAttributes;
    info.FileAttributes = 0; // left as they are
    if (!::SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info)) {
        return false;
    }
    if ((attributes & ~(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL)) != 0) {
        g_syncStats.attributesNotKept.fetch_add(1, std::memory_order_relaxed);
    }
    return true;
}

enum class Moved { Done, Failed, Stopped };

// Copies the rest of `source` into `target` in chunks, checking for a stop between them.
// With the file's `size`, tells the progress display how far the copy is after each chunk.
Moved CopyData(HANDLE source, HANDLE target, const std::atomic<bool>& stop,
               std::uint64_t size = 0) {
    // Copies run on several threads at once; each has its own buffer.
    thread_local std::unique_ptr<char[]> buffer(new char[WindowsFileSystem::kCopyChunk]);
    std::uint64_t done = 0;
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
        done += got;
        if (size > 0) {
            ReportCopyProgress(done, size);
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
        if (moved == Moved::Done && !::FlushFileBuffers(target)) {
            moved = Moved::Failed;
        }
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
    // A link where a folder was expected is not a folder to walk. Windows tells by
    // the handle, which is the link itself; Wine opens what a Unix link points to and
    // shows the link by its path only.
    FILE_ATTRIBUTE_TAG_INFO info;
    WIN32_FILE_ATTRIBUTE_DATA data;
    DWORD tag = 0;
    if (!::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info) ||
        KindOf(info.FileAttributes, info.ReparseTag) != EntryKind::Folder ||
        !AttributesOf(path, data, tag) || KindOf(data.dwFileAttributes, tag) != EntryKind::Folder) {
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
        result.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
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

void* WindowsFileSystem::createTemporary(FolderHandle folder, unsigned long flags,
                                         std::wstring& temporary) {
    const DWORD access = GENERIC_WRITE | ((flags & FILE_FLAG_DELETE_ON_CLOSE) != 0 ? DELETE : 0);
    for (int tries = 0; tries < kTemporaryTries; ++tries) {
        temporary = temporaryPath(folder);
        const HANDLE file = ::CreateFileW(temporary.c_str(), access, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | flags, nullptr);
        const DWORD error = ::GetLastError();
        if (file != INVALID_HANDLE_VALUE ||
            (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS &&
             error != ERROR_SHARING_VIOLATION)) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// The first copy into an open folder removes what dead runs left there; copies into
// that folder wait for it, so that none of this run's temporaries is in it yet.
void WindowsFileSystem::sweepTemporaries(FolderHandle folder) {
    std::lock_guard sweeping(sweepMutex_);
    {
        std::lock_guard lock(mutex_);
        if (folder < 0 || static_cast<std::size_t>(folder) >= folders_.size() ||
            folders_[static_cast<std::size_t>(folder)].swept) {
            return;
        }
    }
    const HANDLE handle = handleOf(folder);
    WIN32_FIND_DATAW found;
    const HANDLE search =
        ::FindFirstFileExW(pathOf(folder, ".kestrova-*.part").c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, 0);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!IsTemporaryName(found.cFileName) ||
                (found.dwFileAttributes &
                 (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
                continue;
            }
            const std::wstring path = pathOf(folder, Utf8(found.cFileName).c_str());
            if (!LeadsElsewhere(handle, path, found.cFileName)) {
                RemoveUnlessOpen(path);
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    std::lock_guard lock(mutex_);
    folders_[static_cast<std::size_t>(folder)].swept = true;
}

CopyOutcome WindowsFileSystem::copy(FolderHandle from, FolderHandle to, const char* name,
                                    EntryKind kind, const std::atomic<bool>& stop) {
    const std::wstring source = pathOf(from, name);
    const std::wstring target = pathOf(to, name);
    if (source.empty() || target.empty()) {
        errno = EBADF;
        return CopyOutcome::Failed;
    }
    if (WindowsDeviceName(name)) {
        errno = kReasonNameNotStorable;
        return CopyOutcome::Failed;
    }
    sweepTemporaries(to);
    switch (kind) {
    case EntryKind::File:
        return copyFile(source, target, to, stop);
    case EntryKind::Link:
        return copyLink(source, target, to);
    case EntryKind::Folder:
    case EntryKind::Special:
        break;
    }
    return CopyOutcome::Failed;
}

// A failed copy leaves its reason in errno, taken from the system's last error.
CopyOutcome WindowsFileSystem::copyFile(const std::wstring& from, const std::wstring& to,
                                        FolderHandle folder, const std::atomic<bool>& stop) {
    HANDLE source =
        ::CreateFileW(from.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        errno = LastErrno();
        return CopyOutcome::Failed;
    }
    FILE_BASIC_INFO basic;
    FILE_ATTRIBUTE_TAG_INFO tag;
    if (!::GetFileInformationByHandleEx(source, FileBasicInfo, &basic, sizeof basic) ||
        !::GetFileInformationByHandleEx(source, FileAttributeTagInfo, &tag, sizeof tag) ||
        KindOf(tag.FileAttributes, tag.ReparseTag) != EntryKind::File) {
        ::CloseHandle(source); // replaced by a folder or a link since it was listed
        return CopyOutcome::Failed;
    }
    if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        source = OpenThrough(source, from);
        if (source == INVALID_HANDLE_VALUE) {
            return CopyOutcome::Failed;
        }
    }
    std::wstring temporary;
    const HANDLE target = createTemporary(folder, FILE_FLAG_SEQUENTIAL_SCAN, temporary);
    if (target == INVALID_HANDLE_VALUE) {
        errno = LastErrno();
        ::CloseHandle(source);
        return CopyOutcome::Failed;
    }
    LARGE_INTEGER size{};
    ::GetFileSizeEx(source, &size);
    Moved moved = CopyData(source, target, stop, static_cast<std::uint64_t>(size.QuadPart));
    if (moved == Moved::Done) {
        moved = CopyStreams(from, temporary, stop);
    }
    DWORD error = ERROR_SUCCESS; // the first step's failure
    const auto note = [&error](bool ok) {
        if (!ok && error == ERROR_SUCCESS) {
            error = ::GetLastError();
        }
        return ok;
    };
    bool done = note(moved != Moved::Failed) && moved == Moved::Done;
    const bool stopped = moved == Moved::Stopped;
    if (done) {
        // The times and attributes go on last, so that writing does not change them.
        FILE_BASIC_INFO copied = basic;
        copied.ChangeTime.QuadPart = 0;
        copied.FileAttributes = basic.FileAttributes & kCopiedAttributes;
        if (copied.FileAttributes == 0) {
            copied.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        }
        done = note(SetTimesAndAttributes(target, copied));
    }
    // Every copy is on disk before it takes its name, and the move is written through:
    // an older copy is never replaced by one a power cut could still take, and a pair's
    // copies are on disk when it says so (only an administrator may flush a volume).
    done = done && note(::FlushFileBuffers(target));
    done = note(::CloseHandle(target)) && done;
    ::CloseHandle(source);
    if (done && note(::MoveFileExW(temporary.c_str(), to.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))) {
        return CopyOutcome::Copied;
    }
    RemoveTemporary(temporary);
    errno = CopyErrno(error);
    return stopped ? CopyOutcome::Stopped : CopyOutcome::Failed;
}

// A symbolic link is copied as the link itself, as the system copies it; creating
// links may need a privilege the user lacks, and the copy is then listed as failed.
// Other links (junctions, placeholders, Wine's Unix links) cannot be made so, and
// what they point to is never read in their place.
CopyOutcome WindowsFileSystem::copyLink(const std::wstring& from, const std::wstring& to,
                                        FolderHandle folder) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    DWORD tag = 0;
    if (!AttributesOf(from, data, tag)) {
        errno = LastErrno();
        return CopyOutcome::Failed;
    }
    if (tag != IO_REPARSE_TAG_SYMLINK) {
        errno = kReasonLinkNotCopied;
        return CopyOutcome::Failed;
    }
    std::wstring temporary;
    DWORD error = ERROR_FILE_EXISTS;
    for (int tries = 0; tries < kTemporaryTries && error == ERROR_FILE_EXISTS; ++tries) {
        temporary = temporaryPath(folder);
        error = ::CopyFileExW(from.c_str(), temporary.c_str(), nullptr, nullptr, nullptr,
                              COPY_FILE_COPY_SYMLINK | COPY_FILE_FAIL_IF_EXISTS)
                    ? ERROR_SUCCESS
                    : ::GetLastError();
    }
    if (error == ERROR_SUCCESS) {
        if (::MoveFileExW(temporary.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return CopyOutcome::Copied;
        }
        error = ::GetLastError();
    }
    if (error != ERROR_FILE_EXISTS) {
        RemoveTemporary(temporary);
    }
    errno = CopyErrno(error);
    return CopyOutcome::Failed;
}

int WindowsFileSystem::createFolder(FolderHandle parent, const char* name) {
    const std::wstring path = pathOf(parent, name);
    if (path.empty()) {
        return EBADF;
    }
    if (WindowsDeviceName(name)) {
        return kReasonNameNotStorable;
    }
    return ::CreateDirectoryW(path.c_str(), nullptr) ? 0 : LastErrno();
}

// A link is removed itself, never what it points to: DeleteFile and RemoveDirectory
// (for a link to a folder) act on a reparse point itself, whatever its tag. Under
// Wine they act on what a Unix symbolic link points to (deleting that file, or that
// folder when it is empty), so such a link, told by its tag 0 or by the final path
// it opens, stays.
int WindowsFileSystem::deleteFile(FolderHandle parent, const char* name) {
    const std::wstring path = pathOf(parent, name);
    if (path.empty()) {
        return EBADF;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    DWORD tag = 0;
    if (!AttributesOf(path, data, tag)) {
        return LastErrno();
    }
    const bool link = IsLink(data.dwFileAttributes, tag);
    if (link ? tag == 0 : leadsElsewhere(parent, name)) {
        return kReasonLinkKept;
    }
    if (link && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ::RemoveDirectoryW(path.c_str()) ? 0 : LastErrno();
    }
    return ::DeleteFileW(path.c_str()) ? 0 : LastErrno();
}

bool WindowsFileSystem::leadsElsewhere(FolderHandle folder, const char* name) const {
    const std::wstring path = pathOf(folder, name);
    return !path.empty() && LeadsElsewhere(handleOf(folder), path, Wide(name));
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

// A file made for the purpose (removed by the system when closed) is given a time
// with every digit set and read back: what the file system cut off tells its step.
// The second is odd, so that a two-second step shows. The volume's type gives the
// step where nothing can be made there, and is the least step otherwise: a driver
// may show the time as set until the file is closed.
std::int64_t WindowsFileSystem::timeStep(FolderHandle folder) {
    const HANDLE handle = handleOf(folder);
    if (handle == nullptr) {
        return 100;
    }
    const std::int64_t known = StepOfVolumeType(handle);
    std::wstring temporary;
    const HANDLE probe = createTemporary(folder, FILE_FLAG_DELETE_ON_CLOSE, temporary);
    if (probe == INVALID_HANDLE_VALUE) {
        return known;
    }
    const FileTime set{1'000'000'001, kNanosecondsPerSecond - 100};
    const std::int64_t ticks = set.seconds * 10'000'000 + set.nanoseconds / 100 + kUnixEpoch;
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    std::int64_t step = 0;
    BY_HANDLE_FILE_INFORMATION info;
    // The access time too: exFAT through FUSE under Wine takes a write time given alone
    // as the present.
    if (::SetFileTime(probe, nullptr, &time, &time) && ::GetFileInformationByHandle(probe, &info)) {
        const FileTime kept = TimeOf(info.ftLastWriteTime);
        for (const std::int64_t candidate :
             {std::int64_t{100}, std::int64_t{1'000}, std::int64_t{1'000'000},
              std::int64_t{10'000'000}, kNanosecondsPerSecond, 2 * kNanosecondsPerSecond}) {
            if (kept == CutToStep(set, candidate)) {
                step = candidate;
                break;
            }
        }
    }
    ::CloseHandle(probe);
    return step == 0 ? known : std::max(step, known);
}

int WindowsFileSystem::renameEntry(FolderHandle folder, const char* from, const char* to) {
    const std::wstring source = pathOf(folder, from);
    const std::wstring target = pathOf(folder, to);
    if (source.empty() || target.empty()) {
        return EBADF;
    }
    if (WindowsDeviceName(to)) {
        return kReasonNameNotStorable;
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
