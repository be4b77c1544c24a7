// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "fs/TrashFileSystem.h"

#include "fs/FailureReasons.h"
#include "fs/WindowsFileSystem.h"
#include "i18n/WideText.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace kestrova {

namespace {

using windows::LastErrno;

// The folders in which Windows keeps a drive's Recycle Bin (NTFS, older NTFS, FAT).
constexpr std::wstring_view kBinFolders[] = {L"$Recycle.Bin", L"RECYCLER", L"RECYCLED"};

constexpr wchar_t kBinSettings[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket\\Volume\\";
constexpr wchar_t kExplorerPolicies[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

std::atomic<unsigned long> g_asideCounter{0};

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The path as the shell takes it: without the "\\?\" prefix, which its operations do
// not accept, and only where that form names the same entry (shorter than MAX_PATH,
// no name ending in a dot or a space, no device name). Empty where it cannot.
std::wstring ShellPath(const std::wstring& path) {
    std::wstring plain;
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        plain = L"\\\\" + path.substr(8);
    } else if (path.starts_with(L"\\\\?\\")) {
        plain = path.substr(4);
    } else {
        plain = path;
    }
    if (plain.size() >= MAX_PATH) {
        return {};
    }
    wchar_t full[MAX_PATH];
    const DWORD length = ::GetFullPathNameW(plain.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH || std::wstring_view(full, length) != plain) {
        return {};
    }
    return plain;
}

DWORD ReadNumber(HKEY root, const std::wstring& key, const wchar_t* name, DWORD absent) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return absent;
    }
    return value;
}

// Whether the Recycle Bin of the drive at `root` keeps a file of `size` bytes rather
// than deleting it for good, as the shell decides: only fixed drives have one, and the
// user (or a policy) may have switched it off or limited its size. Without a limit of
// their own a bin takes a share of its drive; 5 % is the smallest share Windows gives.
bool BinKeeps(const std::wstring& root, std::uint64_t size) {
    if (::GetDriveTypeW(root.c_str()) != DRIVE_FIXED ||
        ReadNumber(HKEY_CURRENT_USER, kExplorerPolicies, L"NoRecycleFiles", 0) != 0 ||
        ReadNumber(HKEY_LOCAL_MACHINE, kExplorerPolicies, L"NoRecycleFiles", 0) != 0) {
        return false;
    }
    std::uint64_t capacity = 0;
    wchar_t volume[64];
    if (::GetVolumeNameForVolumeMountPointW(root.c_str(), volume, 64)) {
        // "\\?\Volume{GUID}\" names the bin's settings by its GUID.
        const std::wstring_view name(volume);
        const std::size_t open = name.find(L'{');
        const std::size_t close = name.find(L'}');
        if (open != std::wstring_view::npos && close != std::wstring_view::npos) {
            const std::wstring key =
                kBinSettings + std::wstring(name.substr(open, close - open + 1));
            if (ReadNumber(HKEY_CURRENT_USER, key, L"NukeOnDelete", 0) != 0) {
                return false;
            }
            capacity = std::uint64_t{ReadNumber(HKEY_CURRENT_USER, key, L"MaxCapacity", 0)} << 20;
        }
    }
    ULARGE_INTEGER total{};
    if (capacity == 0 && ::GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr)) {
        capacity = total.QuadPart / 20;
    }
    return size <= capacity;
}

// Whether `path` lies in a Recycle Bin folder at the top of its drive `root`.
bool InBin(const std::wstring& path, const std::wstring& root) {
    std::wstring_view rest(path);
    rest.remove_prefix(std::min(root.size(), rest.size()));
    const std::wstring_view top = rest.substr(0, rest.find(L'\\'));
    for (const std::wstring_view bin : kBinFolders) {
        if (EqualNoCase(top, bin)) {
            return true;
        }
    }
    return false;
}

// Sends the file at the shell path `path` to the Recycle Bin, quietly. The shell may
// need COM, which the run's threads do not start themselves.
int Recycle(const std::wstring& path) {
    const HRESULT com =
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring list = path + L'\0'; // a list of paths, ended by an empty one
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    const int result = ::SHFileOperationW(&operation);
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    if (result != 0 || operation.fAnyOperationsAborted) {
        return EACCES;
    }
    return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? 0 : EACCES;
}

// Where `name` in `folder` can be recycled: its shell path and drive root; or the
// reason it cannot (kReasonNoTrash where the drive's bin would not keep it,
// kReasonNotForRecycleBin for a path the shell does not take, EBUSY inside a
// Recycle Bin).
struct Recyclable {
    int error = 0;
    std::wstring path;
    std::wstring root;
};

Recyclable CheckRecyclable(const std::wstring& fullPath) {
    Recyclable found;
    found.path = ShellPath(fullPath);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    wchar_t root[MAX_PATH];
    if (found.path.empty() ||
        !::GetFileAttributesExW(fullPath.c_str(), GetFileExInfoStandard, &data) ||
        !::GetVolumePathNameW(found.path.c_str(), root, MAX_PATH)) {
        found.error = found.path.empty() ? kReasonNotForRecycleBin : LastErrno();
        return found;
    }
    found.root = root;
    if (InBin(found.path, found.root)) {
        found.error = EBUSY; // a Recycle Bin inside a target stays whole
    } else if (!BinKeeps(found.root,
                         (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow)) {
        found.error = kReasonNoTrash;
    }
    return found;
}

} // namespace

// What goes to the Recycle Bin goes there through the shell's file operation
// (SHFileOperationW): it needs no COM objects on the copy threads and behaves the same
// on every Windows version. That operation deletes for good wherever the bin would not
// keep the file, and it takes no "\\?\" paths, so both are checked first: a file it
// cannot recycle is kept and the run says so.
TrashFileSystem::TrashFileSystem(FileSystem& base) : base_(base) {
    setReadHelpers(base.readHelpers());
}

TrashFileSystem::~TrashFileSystem() = default;

// Links hold no data to recover: like empty folders they are removed as before, by
// the port, which never deletes through them. That includes a link shown as a file
// (Wine's view of a Unix link), which the shell would move what it points to away.
int TrashFileSystem::deleteFile(FolderHandle parent, const char* name) {
    auto* windowsBase = dynamic_cast<WindowsFileSystem*>(&base_);
    const LookUpResult entry = base_.lookUp(parent, name);
    if (entry.error == 0 &&
        (entry.kind == EntryKind::Link ||
         (windowsBase != nullptr && windowsBase->leadsElsewhere(parent, name)))) {
        return base_.deleteFile(parent, name);
    }
    const Recyclable target =
        CheckRecyclable(windowsBase != nullptr ? windowsBase->pathOf(parent, name) : L"");
    if (target.error == 0) {
        std::lock_guard lock(mutex_);
        return Recycle(target.path);
    }
    if (target.error == kReasonNoTrash) {
        trashMissing_ = true;
    }
    return target.error;
}

// A replaced file stays in place until its new copy is complete: it is first linked
// (or, where the file system has no hard links, copied) aside, the copy lands, and
// then the old one is swapped back in for a moment to go to the Recycle Bin under its
// own name and place. A copy that fails changes nothing; a bin that refuses the old
// file keeps it in place and drops the new copy.
CopyOutcome TrashFileSystem::copy(FolderHandle from, FolderHandle to, const char* name,
                                  EntryKind kind, const std::atomic<bool>& stop) {
    auto* windowsBase = dynamic_cast<WindowsFileSystem*>(&base_);
    const LookUpResult existing = base_.lookUp(to, name);
    if (existing.error != 0 || existing.kind == EntryKind::Folder ||
        existing.kind == EntryKind::Link ||
        (windowsBase != nullptr && windowsBase->leadsElsewhere(to, name))) {
        return base_.copy(from, to, name, kind, stop);
    }
    const std::wstring path = windowsBase != nullptr ? windowsBase->pathOf(to, name) : L"";
    const Recyclable target = CheckRecyclable(path);
    if (target.error != 0) {
        if (target.error == kReasonNoTrash) {
            trashMissing_ = true;
        }
        errno = target.error;
        return CopyOutcome::Failed;
    }
    const std::string stem = ".kestrova-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(g_asideCounter.fetch_add(1) + 1);
    const std::wstring old = windowsBase->pathOf(to, (stem + ".old").c_str());
    const std::wstring fresh = windowsBase->pathOf(to, (stem + ".new").c_str());
    if (!::CreateHardLinkW(old.c_str(), path.c_str(), nullptr) &&
        !::CopyFileW(path.c_str(), old.c_str(), TRUE)) {
        errno = LastErrno();
        return CopyOutcome::Failed;
    }
    const CopyOutcome outcome = base_.copy(from, to, name, kind, stop);
    if (outcome != CopyOutcome::Copied) {
        const int copyError = errno;
        ::DeleteFileW(old.c_str());
        errno = copyError;
        return outcome;
    }
    // New copy aside, old one back at its name, recycled, new copy in place. Should a
    // rename fail, the old one, now held by its name aside only, stays there.
    if (!::MoveFileExW(path.c_str(), fresh.c_str(), 0)) {
        errno = LastErrno();
        return CopyOutcome::Failed;
    }
    if (!::MoveFileExW(old.c_str(), path.c_str(), 0)) {
        errno = LastErrno();
        ::MoveFileExW(fresh.c_str(), path.c_str(), 0);
        return CopyOutcome::Failed;
    }
    int error = 0;
    {
        std::lock_guard lock(mutex_);
        error = Recycle(target.path);
    }
    if (error != 0) {
        ::SetFileAttributesW(fresh.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(fresh.c_str());
        errno = error;
        return CopyOutcome::Failed;
    }
    if (!::MoveFileExW(fresh.c_str(), path.c_str(), 0)) {
        errno = LastErrno(); // the new copy stays under its temporary name
        return CopyOutcome::Failed;
    }
    return CopyOutcome::Copied;
}

int TrashFileSystem::linkFile(FolderHandle root, std::string_view path, FolderHandle to,
                              const char* name) {
    return base_.linkFile(root, path, to, name);
}

} // namespace kestrova
