#include "settings/Settings.h"

#include "settings/ConfigPaths.h"
#include "settings/FileContents.h"
#include "settings/ProfileText.h"
#include "settings/ReplaceFile.h"

namespace kestrova {

namespace {

constexpr const char* kSection = "setup";
constexpr const char* kKey = "opt_delnone";
constexpr int kDefault = 1;

} // namespace

int ReadOption() {
    return ReadOption(SettingsFileToRead());
}

int ReadOption(const std::string& settingsFile) {
    std::string text;
    if (ReadWholeFile(settingsFile, text) != ReadStatus::Read) {
        return kDefault;
    }
    return ProfileInt(text, kSection, kKey, kDefault);
}

SaveResult WriteOption(int value) {
    SaveFileSystem fs;
    return WriteOption(value, SettingsFilePath(), fs);
}

SaveResult WriteOption(int value, const std::string& settingsFile, SaveFileSystem& fs) {
    std::string text;
    if (ReadWholeFile(settingsFile, text) == ReadStatus::Unreadable) {
        return {SaveStatus::CannotWrite, settingsFile};
    }
    const std::string changed = WithProfileValue(text, kSection, kKey, std::to_string(value));
    if (changed == text) {
        return {SaveStatus::Saved, settingsFile};
    }
    return ReplaceFile(settingsFile, changed, fs);
}

} // namespace kestrova
