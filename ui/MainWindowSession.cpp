// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/MainWindowSession.h"

#include "i18n/Translatable.h"
#include "i18n/Translate.h"
#include "settings/ConfigPaths.h"
#include "settings/PairListFile.h"
#include "settings/Settings.h"
#include "sync/SyncWorker.h"

namespace kestrova {

namespace {

const char* const kEmptyListMessage = Translatable("請先設置同步或備份的路徑");
const char* const kRunningMessage = Translatable("同步進行中，請先停止﹝");
const char* const kUnsavedQuestion = Translatable("備份列表或選項已經改動。\n退出前要保存嗎？");

} // namespace

MainWindowFiles MainWindowFiles::Default() {
    return {SettingsFileToRead(), PairListFileToRead(), SettingsFilePath(), PairListFilePath()};
}

MainWindowFiles MainWindowFiles::Same(std::string settingsFile, std::string pairListFile) {
    return {settingsFile, pairListFile, settingsFile, pairListFile};
}

bool RunUnderWay() {
    return g_syncRunning.load() == 1 || SyncWorkerActive();
}

MainWindowSession::MainWindowSession(MessagePrompt& messages, MainWindowFiles files,
                                     SaveFileSystem& fs)
    : m_messages(messages), m_files(std::move(files)), m_fs(fs) {}

WindowOptions MainWindowSession::load(PairListAccess& list) {
    const WindowOptions options = ReadWindowOptions(m_files.settingsToRead);
    LoadPairList(list, m_files.pairListToRead);
    rememberSaved(list, options);
    return options;
}

bool MainWindowSession::hasUnsavedChanges(const PairListAccess& list,
                                          const WindowOptions& options) const {
    return m_savedPairs != FormatPairList(list) || m_savedOptions != options;
}

void MainWindowSession::rememberSaved(const PairListAccess& list, const WindowOptions& options) {
    m_savedPairs = FormatPairList(list);
    m_savedOptions = options;
}

bool MainWindowSession::mayStart(const PairListAccess& list) {
    if (list.rowCount() == 0) {
        m_messages.show(Translate(kEmptyListMessage), BoxStyle::OkExclamation);
        return false;
    }
    return true;
}

bool MainWindowSession::close(const PairListAccess& list, const WindowOptions& options) {
    if (WriteWindowOptions(options, m_files.settingsFile, m_fs).ok()) {
        m_savedOptions = options;
    }
    if (RunUnderWay()) {
        m_messages.show(Translate(kRunningMessage), BoxStyle::OkExclamation);
        return false;
    }
    const SaveResult saved = SavePairList(list, m_files.pairListFile, m_fs);
    if (!saved.ok()) {
        // The old file is intact; staying open keeps the pairs of this session.
        m_messages.show(SaveFailureMessage(saved), BoxStyle::OkStop);
        return false;
    }
    rememberSaved(list, options);
    return true;
}

bool MainWindowSession::escape(const PairListAccess& list, const WindowOptions& options) {
    if (RunUnderWay()) {
        m_messages.show(Translate(kRunningMessage), BoxStyle::OkExclamation);
        return false;
    }
    // One Escape too many must not throw away the edits of a session.
    if (!hasUnsavedChanges(list, options)) {
        return true;
    }
    switch (m_messages.show(Translate(kUnsavedQuestion), BoxStyle::SaveLeaveStay)) {
    case BoxAnswer::Yes:
        return close(list, options);
    case BoxAnswer::No:
        return true;
    default:
        return false;
    }
}

} // namespace kestrova
