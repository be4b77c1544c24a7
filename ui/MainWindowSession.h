// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// What the main window does with its files and with a run under way when it opens,
// starts a run, is closed or is left with Escape, the same whatever toolkit draws it:
// the order of each command's effects and the boxes it shows.

#include "paths/MessagePrompt.h"
#include "settings/PairListAccess.h"
#include "settings/SaveFileSystem.h"
#include "settings/Settings.h"

#include <string>

namespace kestrova {

// Where the window reads the options and the pair list, and where it saves them.
struct MainWindowFiles {
    std::string settingsToRead;
    std::string pairListToRead;
    std::string settingsFile;
    std::string pairListFile;

    // The user's own files (on Windows, an older program's files are read while the
    // user's own do not exist yet).
    static MainWindowFiles Default();
    // The same two files for reading and saving.
    static MainWindowFiles Same(std::string settingsFile, std::string pairListFile);
};

// A run is under way from Start until the worker has finished or been stopped.
bool RunUnderWay();

class MainWindowSession {
public:
    MainWindowSession(MessagePrompt& messages, MainWindowFiles files, SaveFileSystem& fs);

    // Appends the saved pairs to `list` and returns the saved options.
    WindowOptions load(PairListAccess& list);
    // Whether the pairs or the options differ from what the files hold.
    bool hasUnsavedChanges(const PairListAccess& list, const WindowOptions& options) const;

    // Start: with an empty list says so and returns false.
    bool mayStart(const PairListAccess& list);
    // Close: writes the options (even when the close is refused), refuses during a run,
    // saves the list and reports a failed save. Returns whether the window may end.
    bool close(const PairListAccess& list, const WindowOptions& options);
    // Escape: refused during a run; with unsaved changes asks whether to save and
    // leave, leave without saving, or stay. Returns whether the window may end.
    bool escape(const PairListAccess& list, const WindowOptions& options);

private:
    void rememberSaved(const PairListAccess& list, const WindowOptions& options);

    MessagePrompt& m_messages;
    MainWindowFiles m_files;
    SaveFileSystem& m_fs;
    std::string m_savedPairs;
    WindowOptions m_savedOptions;
};

} // namespace kestrova
