// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "i18n/Translate.h"

#include "i18n/MessageCatalogue.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

namespace kestrova {

namespace {

std::unique_ptr<MessageCatalogue> g_catalogue;
std::atomic<const MessageCatalogue*> g_inUse{nullptr};

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// "zh_CN.UTF-8@mod" -> "zh_CN".
std::string_view LanguageOf(std::string_view locale) {
    return locale.substr(0, locale.find_first_of(".@"));
}

bool IsPlainLocale(std::string_view language) {
    return language.empty() || language == "C" || language == "POSIX";
}

// Traditional Chinese, in which the original texts are written.
bool IsOriginalLanguage(std::string_view language) {
    return language == "zh_TW" || language == "zh_HK" || language == "zh_MO" ||
           language == "zh_Hant" || language.starts_with("zh_Hant_");
}

// The language shown to someone whose languages have no catalogue: the original
// texts are Chinese, which such a reader is least likely to read.
constexpr const char* kFallBackLanguage = "en";

std::string g_chosen;

// Catalogue names to try, most wanted first, as gettext reads the variables: the
// first set of LC_ALL, LC_MESSAGES and LANG is the locale; in the C and POSIX
// locales the original texts are used whatever LANGUAGE says; otherwise LANGUAGE,
// when set, lists the languages, else the locale names the one. The search ends
// at the original texts' own language; when no language asked for has a
// catalogue, English ends it.
std::vector<std::string> CatalogueNames(const LocaleVariables& variables) {
    const std::string& locale = !variables.all.empty()        ? variables.all
                                : !variables.messages.empty() ? variables.messages
                                                              : variables.lang;
    if (IsPlainLocale(LanguageOf(locale))) {
        return {};
    }
    std::string_view list = variables.language.empty() ? locale : variables.language;
    std::vector<std::string> names;
    while (!list.empty()) {
        const std::size_t end = list.find(':');
        const std::string_view language = LanguageOf(list.substr(0, end));
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        if (IsPlainLocale(language)) {
            continue;
        }
        if (IsOriginalLanguage(language)) {
            names.emplace_back(kOriginalLanguage);
            break;
        }
        // Singapore writes Simplified Chinese.
        names.emplace_back(language == "zh_SG" ? "zh_CN" : language);
        const std::size_t territory = language.find('_');
        if (territory != std::string_view::npos) {
            names.emplace_back(language.substr(0, territory));
        }
    }
    if (names.empty() || names.back() != kOriginalLanguage) {
        names.emplace_back(kFallBackLanguage);
    }
    return names;
}

} // namespace

LocaleVariables LocaleVariablesFromEnvironment() {
    LocaleVariables variables{Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"),
                              Variable("LANG")};
    if (variables.language.empty() && variables.all.empty() && variables.messages.empty() &&
        variables.lang.empty()) {
        variables.lang = UserLanguage();
    }
    return variables;
}

std::string UseCatalogue(const std::string& localeFolder, const LocaleVariables& variables) {
    g_inUse.store(nullptr);
    g_catalogue.reset();
    g_chosen.clear();
    for (const std::string& name : CatalogueNames(variables)) {
        if (name == kOriginalLanguage) {
            g_chosen = name;
            break;
        }
        g_catalogue =
            MessageCatalogue::Load(localeFolder + "/" + name + "/LC_MESSAGES/kestrova.mo");
        if (g_catalogue != nullptr) {
            g_inUse.store(g_catalogue.get());
            g_chosen = name;
            break;
        }
    }
    return g_chosen;
}

const std::string& ChosenLanguage() {
    return g_chosen;
}

const char* Translate(const char* original) {
    const MessageCatalogue* catalogue = g_inUse.load(std::memory_order_acquire);
    if (catalogue == nullptr) {
        return original;
    }
    const char* translation = catalogue->find(original);
    return translation != nullptr ? translation : original;
}

std::string Translate(const char* original, std::initializer_list<std::string_view> values) {
    const std::string_view text = Translate(original);
    std::string result;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t at = text.find('%', from);
        const std::size_t number = at + 1 < text.size() ? text[at + 1] - '1' : values.size();
        if (at == std::string_view::npos || number >= values.size()) {
            const std::size_t end = at == std::string_view::npos ? text.size() : at + 1;
            result.append(text, from, end - from);
            from = end;
            continue;
        }
        result.append(text, from, at - from);
        result.append(values.begin()[number]);
        from = at + 2;
    }
    return result;
}

} // namespace kestrova
