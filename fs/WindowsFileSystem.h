// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "fs/FileSystem.h"

#include <atomic>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace kestrova {

// The file-system port on Windows, on the wide-character API. A folder handle
// stands for an open folder (kept open so that it cannot be removed while a walk is
// in it) and its full path in the "\\?\" form, so paths of any length work. Names
// match without regard to letter case, as the file system matches them; read-only
// is the read-only attribute; every reparse point is a link, whatever its tag
// (symbolic links, junctions, cloud placeholders, and tags yet to come), except
// files whose tag only says how their own data is stored: never entered, never
// deleted through. Copies (contents, named streams, times, attributes) go to a
// temporary file in the target folder, written in chunks between which a stop
// request is honoured, and are renamed over the target only once complete and on disk; the
// first copy into a folder removes the temporaries that dead runs left there.
// Names Windows keeps for devices (CON, NUL, COM1, ...) are never made. Folders
// have no permission bits here: every folder reads as its owner's to write, and
// none are set. One instance serves one walk at a time; copies and reads may run
// on several threads at once.
class WindowsFileSystem : public FileSystem {
public:
    WindowsFileSystem();
    ~WindowsFileSystem() override;

    int openRoot(const std::string& path, FolderHandle& folder) override;
    int openFolder(FolderHandle parent, const char* name, FolderHandle& folder) override;
    void closeFolder(FolderHandle folder) override;
    int identify(FolderHandle folder, FolderIdentity& identity) override;
    int enumerate(FolderHandle folder, FolderListing& listing) override;
    LookUpResult lookUp(FolderHandle folder, const char* name) override;
    int compareNames(std::string_view a, std::string_view b) const override;
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override;
    int createFolder(FolderHandle parent, const char* name) override;
    int deleteFile(FolderHandle parent, const char* name) override;
    int removeFolder(FolderHandle parent, const char* name) override;
    int copyAttributes(FolderHandle from, FolderHandle to) override;
    std::int64_t timeStep(FolderHandle folder) override;
    int renameEntry(FolderHandle folder, const char* from, const char* to) override;
    int setPermissions(FolderHandle folder, unsigned permissions) override;
    int setOwner(FolderHandle folder, std::uint32_t owner, std::uint32_t group) override;
    int setFolderTime(FolderHandle folder, const FileTime& modified) override;
    int linkFile(FolderHandle root, std::string_view path, FolderHandle to,
                 const char* name) override;
    int lockFolder(FolderHandle folder) override;
    // Each copy is flushed before it is moved into place (see copyFile): nothing is left
    // to make durable, and no copy needs a mark.
    int makeDurable(FolderHandle) override { return 0; }
    void markUnsettled(FolderHandle) override {}
    bool unsettled(FolderHandle) override { return false; }

    // Bytes copied between two checks for a stop request.
    static constexpr std::size_t kCopyChunk = 1 << 20;

    // The full path ("\\?\" form) of `name` in `folder`; empty for a folder that is
    // not open.
    std::wstring pathOf(FolderHandle folder, const char* name) const;
    // Whether `name` in `folder` opens something at another place: a link, whatever
    // its attributes say (Wine shows a Unix link to a file as that file).
    bool leadsElsewhere(FolderHandle folder, const char* name) const;

private:
    struct Folder {
        void* handle; // null while the slot is free
        std::wstring path;
        void* lock = nullptr; // the handle that holds the folder's lock, if taken
        bool swept = false;   // the temporaries of dead runs were removed from it
    };
    int keep(void* handle, std::wstring path, FolderHandle& folder);
    void* handleOf(FolderHandle folder) const;
    std::wstring temporaryPath(FolderHandle folder);
    // Creates a new temporary file in `folder` for writing, passing over names that
    // are taken; its path goes to `temporary`. INVALID_HANDLE_VALUE on failure.
    void* createTemporary(FolderHandle folder, unsigned long flags, std::wstring& temporary);
    // Removes, once per open folder, the temporaries that no live run holds open.
    void sweepTemporaries(FolderHandle folder);
    CopyOutcome copyFile(const std::wstring& from, const std::wstring& to, FolderHandle folder,
                         const std::atomic<bool>& stop);
    CopyOutcome copyLink(const std::wstring& from, const std::wstring& to, FolderHandle folder);

    mutable std::mutex mutex_; // guards the slots: copies read them on other threads
    std::mutex sweepMutex_;    // held while a folder's old temporaries are removed
    std::deque<Folder> folders_;
    std::vector<FolderHandle> freeSlots_;
    std::atomic<unsigned long> temporaryCounter_{0};
    unsigned long processId_;
};

} // namespace kestrova
