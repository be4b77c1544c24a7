#pragma once

#include <string>

namespace kestrova {

// The per-user folder that holds Kestrova's files: $XDG_CONFIG_HOME/kestrova,
// or ~/.config/kestrova when that variable is unset or not an absolute path.
// The folder itself is created only when a file is first written there.
std::string ConfigFolder();

// Full path of the settings file "Kestrova.ini".
std::string SettingsFilePath();

// Full path of the pair list file "dirlist.cfg".
std::string PairListFilePath();

} // namespace kestrova
