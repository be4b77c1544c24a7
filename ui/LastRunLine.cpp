// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/LastRunLine.h"

#include "i18n/Translate.h"
#include "settings/RunRecord.h"

namespace kestrova {

std::string LastRunLine(const std::string& recordFile) {
    const std::optional<RecordedRun> run = ReadLastRecordedRun(recordFile);
    if (!run) {
        return {};
    }
    // "2026-12-08T02:00:13+0100" -> "2026-12-08 02:00"
    std::string time = run->time.substr(0, 16);
    if (time.size() > 10 && time[10] == 'T') {
        time[10] = ' ';
    }
    const std::string examined = std::to_string(run->counts.examined);
    const std::string copied = std::to_string(run->counts.copied);
    if (run->exitStatus == 0) {
        return Translate("上次定時備份（%1）沒有錯誤：已檢查 %2，已複製 %3",
                         {time, examined, copied});
    }
    return Translate("上次定時備份（%1）沒有成功：已檢查 %2，已複製 %3，失敗 %4，跳過 %5；"
                     "詳情見 %6",
                     {time, examined, copied, std::to_string(run->counts.failed),
                      std::to_string(run->skipped), recordFile});
}

} // namespace kestrova
