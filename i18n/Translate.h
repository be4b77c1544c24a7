// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#pragma once

// The program's texts in the user's language. A text is looked up by its original
// wording in a message catalogue (the .mo files that gettext's msgfmt writes),
// chosen once at start from the locale variables; a text the catalogue lacks, or
// any text while no catalogue is in use, stays exactly as it is.

#include <initializer_list>
#include <string>
#include <string_view>

namespace kestrova {

// The locale variables that choose the language, as the environment gives them.
struct LocaleVariables {
    std::string language; // LANGUAGE: a colon-separated list of languages
    std::string all;      // LC_ALL
    std::string messages; // LC_MESSAGES
    std::string lang;     // LANG
};

// The variables of the environment. Where none of them is set, LANG is the user's
// language setting of the system, if it has one of its own (Windows).
LocaleVariables LocaleVariablesFromEnvironment();

// The language the user chose in the system's settings, as a locale name ("zh_CN"),
// where the system has such a setting apart from the locale variables; else "".
std::string UserLanguage();

// The catalogue in use for Translate from now on: the first catalogue, in the
// order the variables ask for, found as <localeFolder>/<name>/LC_MESSAGES/kestrova.mo,
// or the English one when none of the languages asked for has a catalogue.
// Returns the language chosen ("en", "zh_CN"), kOriginalLanguage when the locale
// asks for the language of the original texts, or "" for the C and POSIX locales
// and when no catalogue can be read. With no catalogue the original texts are used.
std::string UseCatalogue(const std::string& localeFolder, const LocaleVariables& variables);

// What the last UseCatalogue returned.
const std::string& ChosenLanguage();

// The language the original texts are written in.
inline constexpr const char* kOriginalLanguage = "zh_TW";

// Where the running program's catalogues are: beside its installed executable,
// or in the build tree it was built in.
std::string DefaultLocaleFolder();

// The text in the language chosen; `original` itself when untranslated. The
// result lives as long as the program (or until the next UseCatalogue).
const char* Translate(const char* original);

// The text in the language chosen with %1, %2, ... replaced by `values` in order.
// A value is put in as it is, even when it holds "%1" itself.
std::string Translate(const char* original, std::initializer_list<std::string_view> values);

} // namespace kestrova
