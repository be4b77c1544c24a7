// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/SaveResult.h"

#include "i18n/Translate.h"

#include <string_view>

namespace kestrova {

namespace {

// The path goes in as plain text: a "%" in it is never taken as a directive.
std::string FillIn(std::string_view pattern, const std::string& path) {
    const std::size_t at = pattern.find("%1");
    std::string text(pattern.substr(0, at));
    text += path;
    text += pattern.substr(at + 2);
    return text;
}

} // namespace

std::string SaveFailureMessage(const SaveResult& result) {
    switch (result.status) {
    case SaveStatus::Saved:
        return {};
    case SaveStatus::CannotWrite:
        return FillIn(Translate("無法寫入 %1。"), result.path);
    case SaveStatus::DiskFull:
        return FillIn(Translate("在存取 %1 时磁盘已满。"), result.path);
    }
    return {};
}

} // namespace kestrova
