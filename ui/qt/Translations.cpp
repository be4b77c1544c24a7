#include "ui/qt/Translations.h"

#include "i18n/Translate.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kestrova {

std::string UseTranslations(QCoreApplication& app) {
    const std::string language =
        UseCatalogue(DefaultLocaleFolder(), LocaleVariablesFromEnvironment());
    // Qt's own texts (standard buttons and the like) follow, where Qt has them in
    // that language.
    if (!language.empty()) {
        auto* qtTexts = new QTranslator(&app);
        if (qtTexts->load(QLocale(QString::fromStdString(language)), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qtTexts);
        }
    }
    return language;
}

} // namespace kestrova
