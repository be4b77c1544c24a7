// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/Translations.h"

#include "i18n/Translate.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kestrova {

std::string UseTranslations(QCoreApplication& app) {
    const std::string language =
        UseCatalogue(DefaultLocaleFolder(), LocaleVariablesFromEnvironment());
    // Qt's own texts (standard buttons, the report pane's menu) follow, where Qt has
    // them in that language; with the original texts, in the originals' language, so
    // that no box mixes two languages.
    const std::string qtLanguage = language.empty() ? kOriginalLanguage : language;
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QLocale(QString::fromStdString(qtLanguage)), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qtTexts);
    } else {
        delete qtTexts;
    }
    return language;
}

} // namespace kestrova
