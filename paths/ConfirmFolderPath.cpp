// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "paths/ConfirmFolderPath.h"

#include "i18n/Translatable.h"
#include "i18n/Translate.h"

#include <string>

namespace kestrova {

namespace {

constexpr std::string_view kCreateQuestion =
    Translatable("The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?");
constexpr std::string_view kInvalidMessage =
    Translatable("The folder:\n\n%s\n\nis invalid. Please reenter.");
constexpr std::string_view kNotCreatedMessage =
    Translatable("The folder:\n\n%s\n\ncan not be created. Please double check.");
constexpr std::string_view kNotAFolderMessage =
    Translatable("The path:\n\n%s\n\nis a file, not a folder. Please reenter.");

// Puts the path in place of the text's one "%s". Plain replacement, so a path
// that itself contains "%" or "%s" is shown exactly as typed.
std::string WithPath(std::string_view text, std::string_view path) {
    std::string result(Translate(text.data()));
    // A translation that lost its "%s" is shown without the path rather than not at all.
    const std::size_t at = result.find("%s");
    if (at != std::string::npos) {
        result.replace(at, 2, path);
    }
    return result;
}

} // namespace

int ConfirmFolderPath(std::string_view path, MessagePrompt& prompt, FolderFileSystem& fs,
                      PathStyle style) {
    int result = ValidateFolderPath(path, true, fs, style);
    if (result == kFolderPathOk) {
        if (fs.exists(std::string(path))) {
            // A run could only fail on every entry of a file taken for a folder.
            if (fs.isFolder(std::string(path))) {
                return kFolderPathOk;
            }
            prompt.show(WithPath(kNotAFolderMessage, path), BoxStyle::OkExclamation);
            return kFolderPathNotAFolder;
        }
        if (prompt.show(WithPath(kCreateQuestion, path), BoxStyle::YesNoQuestion) !=
            BoxAnswer::Yes) {
            return kFolderPathDeclined;
        }
        result = ValidateFolderPath(path, false, fs, style);
        if (result == kFolderPathOk) {
            return kFolderPathOk;
        }
    }
    const std::string_view text =
        result == kFolderPathInvalid ? kInvalidMessage : kNotCreatedMessage;
    prompt.show(WithPath(text, path), BoxStyle::OkExclamation);
    return result;
}

int ConfirmFolderPath(std::string_view path, MessagePrompt& prompt) {
    NativeFolderFileSystem fs;
    return ConfirmFolderPath(path, prompt, fs, kNativePathStyle);
}

bool RefuseNonFolder(std::string_view path, MessagePrompt& prompt, FolderFileSystem& fs,
                     PathStyle style) {
    const std::string name(path);
    if (ValidateFolderPath(path, true, fs, style) != kFolderPathOk || !fs.exists(name) ||
        fs.isFolder(name)) {
        return false;
    }
    prompt.show(WithPath(kNotAFolderMessage, path), BoxStyle::OkExclamation);
    return true;
}

bool RefuseNonFolder(std::string_view path, MessagePrompt& prompt) {
    NativeFolderFileSystem fs;
    return RefuseNonFolder(path, prompt, fs, kNativePathStyle);
}

} // namespace kestrova
