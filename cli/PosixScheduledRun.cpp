// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/ScheduledRun.h"

#include "cli/RunPairs.h"
#include "i18n/Translate.h"
#include "settings/ConfigPaths.h"

#include <systemd/sd-bus.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace kestrova {

namespace {

// Lines of the record shown in a notice, after its summary of counts.
constexpr std::size_t kNoticeDetails = 4;

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Notification services read the body as markup.
std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// "2026-12-08T02:00:13+0100" -> "2026-12-08 02:00".
std::string ShownTime(const std::string& time) {
    std::string shown = time.substr(0, 16);
    if (shown.size() > 10 && shown[10] == 'T') {
        shown[10] = ' ';
    }
    return shown;
}

std::string LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32];
    if (::localtime_r(&now, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local) == 0) {
        return "unknown";
    }
    return text;
}

} // namespace

FailureNotice NoticeOfFailure(const std::optional<RecordedRun>& newest,
                              const std::vector<std::string>& details,
                              const std::string& invocation, const std::string& result) {
    FailureNotice notice{Translate("The scheduled backup failed"), {}};
    if (!newest || (!invocation.empty() && newest->invocation != invocation)) {
        notice.body =
            Escaped(Translate("The scheduled backup ended without recording its run (%1). "
                              "journalctl --user -u kestrova-sync shows what it wrote.",
                              {result.empty() ? "?" : result}));
        return notice;
    }
    notice.body = Escaped(
        Translate("Run of %1, exit status %2: examined %3, copied %4, failed %5, skipped %6.",
                  {ShownTime(newest->time), std::to_string(newest->exitStatus),
                   std::to_string(newest->counts.examined), std::to_string(newest->counts.copied),
                   std::to_string(newest->counts.failed), std::to_string(newest->skipped)}));
    std::size_t shown = 0;
    for (const std::string& line : details) {
        if (shown == kNoticeDetails) {
            break;
        }
        if (!line.starts_with("done ")) {
            notice.body += "\n" + Escaped(line);
            ++shown;
        }
    }
    return notice;
}

int NotifyFailure(const std::string& recordFile) {
    std::vector<std::string> details;
    const std::optional<RecordedRun> newest = ReadLastRecordedRun(recordFile, &details);
    const FailureNotice notice = NoticeOfFailure(newest, details, Variable("MONITOR_INVOCATION_ID"),
                                                 Variable("MONITOR_SERVICE_RESULT"));

    sd_bus* bus = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int result = ::sd_bus_open_user(&bus);
    if (result >= 0) {
        result = ::sd_bus_call_method(
            bus, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
            "org.freedesktop.Notifications", "Notify", &error, nullptr, "susssasa{sv}i", "Kestrova",
            0u, KESTROVA_APP_ID, notice.summary.c_str(), notice.body.c_str(), 0, 1, "desktop-entry",
            "s", KESTROVA_APP_ID, -1);
    }
    if (result < 0) {
        std::fprintf(stderr, "kestrova-sync: %s\n",
                     Translate("cannot show a notification: %1",
                               {error.message != nullptr ? error.message : std::strerror(-result)})
                         .c_str());
    }
    ::sd_bus_error_free(&error);
    ::sd_bus_flush_close_unref(bus);
    return result < 0 ? kExitFailures : kExitSuccess;
}

int KeepRunRecord(RecordedRun run, int status) {
    run.time = LocalTimeNow();
    run.exitStatus = status;
    run.invocation = Variable("INVOCATION_ID");
    SaveFileSystem fs;
    const SaveResult saved = AppendRecordedRun(RunRecordFilePath(), run, fs);
    if (saved.ok()) {
        return status;
    }
    std::fprintf(stderr, "kestrova-sync: %s\n",
                 Translate("cannot write the run record %1", {saved.path}).c_str());
    return status == kExitSuccess ? kExitFailures : status;
}

} // namespace kestrova
