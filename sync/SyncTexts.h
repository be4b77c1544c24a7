#pragma once

// The run's own texts: report lines, row status marks and the final message.
namespace kestrova::texts {

inline constexpr const char* kFrom = "從 ";
inline constexpr const char* kTo = "到 ";
inline constexpr const char* kFailedHeading = "以下文件更新失敗，可能正在使用\r\n";
inline constexpr const char* kNoErrors = "同步過程中沒有錯誤\r\n";
inline constexpr const char* kUpdatedHeading = "更新了以下改動過的文件\r\n";
inline constexpr const char* kNothingUpdated = "沒有文件需要更新\r\n";
// After the lists, when the target could not hold some extended attribute.
inline constexpr const char* kAttributesNotKept =
    "目標無法保存部分擴展屬性或存取控制清單，這些屬性沒有複製\r\n";
// After the lists, the special files the target could not make, each on a line.
inline constexpr const char* kSpecialsNotCreatedHeading =
    "以下特殊文件無法在目標中創建，沒有複製\r\n";
// Each pair's deletions, when they are listed.
inline constexpr const char* kDeletedHeading = "刪除了以下文件和目錄\r\n";
inline constexpr const char* kNothingDeleted = "沒有文件需要刪除\r\n";
// The headings of a preview, which changes nothing.
inline constexpr const char* kPreviewUpdatedHeading = "將會更新以下文件\r\n";
inline constexpr const char* kPreviewDeletedHeading = "將會刪除以下文件和目錄\r\n";
// After the lists, when deletions go to the trash and the target's file system has none.
inline constexpr const char* kNoTrash =
    "目標所在的文件系統沒有可用的回收站，其中的文件沒有刪除或替換\r\n";
inline constexpr const char* kSeparator = "\r\n---------------------------------\r\n\r\n";
inline constexpr const char* kLineEnd = "\r\n";

inline constexpr const char* kInProgress = "＃";
inline constexpr const char* kDone = "完成";
inline constexpr const char* kSkipped = "跳過";
inline constexpr const char* kFinished = "同步完成﹝";
inline constexpr const char* kPreviewFinished = "預覽完成，沒有改動任何文件";

inline constexpr const char* kSkipNotAbsolute = "源目錄或目標目錄不是完整路徑，已跳過";
inline constexpr const char* kSkipNested = "源目錄和目標目錄相同或互相包含，已跳過";
inline constexpr const char* kSkipSourceUnreadable = "源目錄不存在或無法讀取，已跳過";
inline constexpr const char* kSkipTargetBusy = "目標目錄正由另一個同步使用，已跳過";

inline constexpr const char* kNoPruneAfterWriteFailure = "目標目錄寫入失敗，已跳過刪除";
inline constexpr const char* kNoPruneEmptySource = "源目錄為空，已跳過刪除";
// "要刪除的項目有 " + count + " 個，超過上限 " + cap + " 個，已跳過刪除"
inline constexpr const char* kNoPruneOverCapCount = "要刪除的項目有 ";
inline constexpr const char* kNoPruneOverCapLimit = " 個，超過上限 ";
inline constexpr const char* kNoPruneOverCapEnd = " 個，已跳過刪除";

// Said once after a pair's failed entries when its target folder could not be opened.
inline constexpr const char* kTargetMissing = "目標目錄不存在";
inline constexpr const char* kTargetUnopenable = "目標目錄無法打開";

} // namespace kestrova::texts
