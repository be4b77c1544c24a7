// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace kestrova {

// The per-user folder that holds Kestrova's files: $XDG_CONFIG_HOME/kestrova,
// or ~/.config/kestrova when that variable is unset or not an absolute path; on
// Windows %APPDATA%\Kestrova.
// The folder itself is created only when a file is first written there.
std::string ConfigFolder();

// Full path of the settings file "Kestrova.ini".
std::string SettingsFilePath();

// Full path of the pair list file "dirlist.cfg".
std::string PairListFilePath();

// The files the settings and the pair list are read from: the files above, or, on
// Windows while one of them does not exist yet, the file the Windows program kept
// in its place (the settings file in the Windows folder, "dirlist.cfg" beside the
// program, or the copy of either that the system redirected to the user's
// VirtualStore folder), so that an existing list carries over. Saves always go to
// the files above.
std::string SettingsFileToRead();
std::string PairListFileToRead();

#ifndef _WIN32
// The record of scheduled runs, "runs.log" in $XDG_STATE_HOME/kestrova, or in
// ~/.local/state/kestrova when that variable is unset or not an absolute path.
std::string RunRecordFilePath();
#endif

} // namespace kestrova
