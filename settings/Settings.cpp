// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "settings/Settings.h"

#include "settings/ConfigPaths.h"
#include "settings/FileContents.h"
#include "settings/ProfileText.h"
#include "settings/ReplaceFile.h"

#include <initializer_list>

namespace kestrova {

namespace {

constexpr const char* kSection = "setup";
constexpr const char* kKey = "opt_delnone";
constexpr const char* kListDeletedKey = "opt_listdeleted";
constexpr const char* kTrashKey = "opt_trash";
constexpr int kDefault = 1;
constexpr int kLaterDefault = 0;

struct Value {
    const char* key;
    int value;
    // Not added to a file that lacks the key while the value is the default.
    bool onlyWhenSet = false;
};

// Sets each key in the file's text and replaces the file once, when anything changed.
SaveResult WriteValues(std::initializer_list<Value> values, const std::string& settingsFile,
                       SaveFileSystem& fs) {
    std::string text;
    if (ReadWholeFile(settingsFile, text) == ReadStatus::Unreadable) {
        return {SaveStatus::CannotWrite, settingsFile};
    }
    std::string changed = text;
    for (const Value& value : values) {
        constexpr int kMissing = -1; // a stored value never reads as negative
        if (value.onlyWhenSet && value.value == kLaterDefault &&
            ProfileInt(changed, kSection, value.key, kMissing) == kMissing) {
            continue;
        }
        changed = WithProfileValue(changed, kSection, value.key, std::to_string(value.value));
    }
    if (changed == text) {
        return {SaveStatus::Saved, settingsFile};
    }
    return ReplaceFile(settingsFile, changed, fs);
}

} // namespace

int ReadOption() {
    return ReadOption(SettingsFileToRead());
}

int ReadOption(const std::string& settingsFile) {
    return ReadWindowOptions(settingsFile).deleteOption;
}

SaveResult WriteOption(int value) {
    SaveFileSystem fs;
    return WriteOption(value, SettingsFilePath(), fs);
}

SaveResult WriteOption(int value, const std::string& settingsFile, SaveFileSystem& fs) {
    return WriteValues({{kKey, value}}, settingsFile, fs);
}

WindowOptions ReadWindowOptions(const std::string& settingsFile) {
    std::string text;
    if (ReadWholeFile(settingsFile, text) != ReadStatus::Read) {
        return {};
    }
    return {ProfileInt(text, kSection, kKey, kDefault),
            ProfileInt(text, kSection, kListDeletedKey, kLaterDefault),
            ProfileInt(text, kSection, kTrashKey, kLaterDefault)};
}

SaveResult WriteWindowOptions(const WindowOptions& options, const std::string& settingsFile,
                              SaveFileSystem& fs) {
    return WriteValues({{kKey, options.deleteOption},
                        {kListDeletedKey, options.listDeleted, true},
                        {kTrashKey, options.trash, true}},
                       settingsFile, fs);
}

} // namespace kestrova
