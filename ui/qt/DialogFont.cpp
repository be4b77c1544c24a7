#include "ui/qt/DialogFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace kestrova {

namespace {

QString FirstInstalled(const QStringList& wanted) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : wanted) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            return family;
        }
    }
    return {};
}

QString AnyChineseFamily() {
    for (const auto system :
         {QFontDatabase::SimplifiedChinese, QFontDatabase::TraditionalChinese}) {
        const QStringList families = QFontDatabase::families(system);
        if (!families.isEmpty()) {
            return families.front();
        }
    }
    return {};
}

} // namespace

QFont DialogFont(const char* familyName, int pointSize) {
    const QString requested = QString::fromUtf8(familyName);
    QString family = FirstInstalled({requested});
    if (family.isEmpty()) {
        // The template's Song typeface is known under its Latin name too; UMing is
        // the free Ming typeface closest to it.
        family =
            FirstInstalled({QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                            QStringLiteral("AR PL UMing TW"), QStringLiteral("AR PL UMing HK")});
    }
    if (family.isEmpty()) {
        family = AnyChineseFamily();
    }
    QFont font;
    if (!family.isEmpty()) {
        font.setFamily(family);
    }
    font.setPointSize(pointSize);
    return font;
}

} // namespace kestrova
