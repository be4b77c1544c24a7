// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include "i18n/Translatable.h"

// The run's own texts: report lines, row status marks and the final message.
namespace kestrova::texts {

inline constexpr const char* kFrom = Translatable("從 ");
inline constexpr const char* kTo = Translatable("到 ");
inline constexpr const char* kFailedHeading = Translatable("以下文件更新失敗，可能正在使用\r\n");
inline constexpr const char* kNoErrors = Translatable("同步過程中沒有錯誤\r\n");
inline constexpr const char* kUpdatedHeading = Translatable("更新了以下改動過的文件\r\n");
inline constexpr const char* kNothingUpdated = Translatable("沒有文件需要更新\r\n");
// After the lists, when the target could not hold some extended attribute.
inline constexpr const char* kAttributesNotKept =
    Translatable("目標無法保存部分擴展屬性或存取控制清單，這些屬性沒有複製\r\n");
// After the lists, the special files the target could not make, each on a line.
inline constexpr const char* kSpecialsNotCreatedHeading =
    Translatable("以下特殊文件無法在目標中創建，沒有複製\r\n");
// Each pair's deletions, when they are listed.
inline constexpr const char* kDeletedHeading = Translatable("刪除了以下文件和目錄\r\n");
inline constexpr const char* kNothingDeleted = Translatable("沒有文件需要刪除\r\n");
// The headings of a preview, which changes nothing.
inline constexpr const char* kPreviewUpdatedHeading = Translatable("將會更新以下文件\r\n");
inline constexpr const char* kPreviewDeletedHeading = Translatable("將會刪除以下文件和目錄\r\n");
// After the lists, when deletions go to the trash and the target's file system has none.
inline constexpr const char* kNoTrash =
    Translatable("目標所在的文件系統沒有可用的回收站，其中的文件沒有刪除或替換\r\n");
inline constexpr const char* kSeparator = "\r\n---------------------------------\r\n\r\n";
inline constexpr const char* kLineEnd = "\r\n";

inline constexpr const char* kInProgress = Translatable("＃");
inline constexpr const char* kDone = Translatable("完成");
inline constexpr const char* kSkipped = Translatable("跳過");
inline constexpr const char* kFinished = Translatable("同步完成﹝");
inline constexpr const char* kPreviewFinished = Translatable("預覽完成，沒有改動任何文件");

inline constexpr const char* kSkipNotAbsolute =
    Translatable("源目錄或目標目錄不是完整路徑，已跳過");
inline constexpr const char* kSkipNested = Translatable("源目錄和目標目錄相同或互相包含，已跳過");
inline constexpr const char* kSkipSourceUnreadable = Translatable("源目錄不存在或無法讀取，已跳過");
inline constexpr const char* kSkipTargetBusy = Translatable("目標目錄正由另一個同步使用，已跳過");

inline constexpr const char* kNoPruneAfterWriteFailure =
    Translatable("目標目錄寫入失敗，已跳過刪除");
inline constexpr const char* kNoPruneEmptySource = Translatable("源目錄為空，已跳過刪除");
// "要刪除的項目有 " + count + " 個，超過上限 " + cap + " 個，已跳過刪除"
inline constexpr const char* kNoPruneOverCapCount = Translatable("要刪除的項目有 ");
inline constexpr const char* kNoPruneOverCapLimit = Translatable(" 個，超過上限 ");
inline constexpr const char* kNoPruneOverCapEnd = Translatable(" 個，已跳過刪除");

// Said once after a pair's failed entries when its target folder could not be opened.
inline constexpr const char* kTargetMissing = Translatable("目標目錄不存在");
inline constexpr const char* kTargetUnopenable = Translatable("目標目錄無法打開");
// Said once after a pair's failed entries when the target's file system reported a
// write error before the copies were on disk; the copies are listed above it.
inline constexpr const char* kCopiesNotOnDisk =
    Translatable("目標所在的文件系統報告寫入錯誤，以上文件可能沒有寫入磁盤");

} // namespace kestrova::texts
