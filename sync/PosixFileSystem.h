#pragma once

#include "sync/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kestrova {

// The file-system port on POSIX: every call is relative to an open folder handle
// (openat, fstatat, unlinkat, ...), so paths of any length and depth work and no
// link is ever followed below a root. Copies go to a temporary file in the target
// folder, filled with copy_file_range (read/write where the kernel cannot), and are
// renamed over the target only when complete. One instance serves one walk at a time;
// copies (and only copies) may run on several threads at once.
class PosixFileSystem : public FileSystem {
public:
    PosixFileSystem();
    ~PosixFileSystem() override;

    int openRoot(const std::string& path, FolderHandle& folder) override;
    int openFolder(FolderHandle parent, const char* name, FolderHandle& folder) override;
    void closeFolder(FolderHandle folder) override;
    int identify(FolderHandle folder, FolderIdentity& identity) override;
    int enumerate(FolderHandle folder, FolderListing& listing) override;
    LookUpResult lookUp(FolderHandle folder, const char* name) override;
    CopyOutcome copy(FolderHandle from, FolderHandle to, const char* name, EntryKind kind,
                     const std::atomic<bool>& stop) override;
    int createFolder(FolderHandle parent, const char* name) override;
    int deleteFile(FolderHandle parent, const char* name) override;
    int removeFolder(FolderHandle parent, const char* name) override;
    int setPermissions(FolderHandle folder, unsigned permissions) override;
    int lockFolder(FolderHandle folder) override;

    // Bytes moved between two checks for a stop request while copying one file.
    static constexpr std::size_t kCopyChunk = 4 << 20;

private:
    CopyOutcome copyFile(FolderHandle from, FolderHandle to, const char* name,
                         const std::atomic<bool>& stop);
    CopyOutcome copyLink(FolderHandle from, FolderHandle to, const char* name);
    // Copies the open file `from` (of `size` bytes when opened) into `to`, checking
    // for a stop between chunks; false on a failure or a stop.
    bool copyContents(int from, int to, std::uint64_t size, const std::atomic<bool>& stop);
    struct TemporaryName {
        char text[64];
    };
    void makeTemporaryName(TemporaryName& name);

    std::unique_ptr<char[]> buffer_; // directory records
    std::atomic<unsigned long> temporaryCounter_{0};
    long processId_;
};

} // namespace kestrova
