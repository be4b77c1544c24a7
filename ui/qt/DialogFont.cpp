// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "ui/qt/DialogFont.h"

#include "i18n/Translate.h"

#include <QFontDatabase>
#include <QFontInfo>
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

bool WritesChinese(const QString& family) {
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    return systems.contains(QFontDatabase::SimplifiedChinese) ||
           systems.contains(QFontDatabase::TraditionalChinese) ||
           systems.contains(QFontDatabase::Japanese);
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

QString ChineseFamily(const char* familyName) {
    QString family = FirstInstalled({QString::fromUtf8(familyName)});
    if (family.isEmpty()) {
        // The template's Song typeface is known under its Latin name too; UMing is
        // the free Ming typeface closest to it.
        family =
            FirstInstalled({QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                            QStringLiteral("AR PL UMing TW"), QStringLiteral("AR PL UMing HK")});
    }
    return family.isEmpty() ? AnyChineseFamily() : family;
}

// A typeface drawn for Latin text: the desktop's own, unless that is a CJK face
// (whose Latin letters are an afterthought), else a common free sans-serif face.
QString LatinFamily() {
    const QString desktop =
        QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
    if (!desktop.isEmpty() && !WritesChinese(desktop) &&
        QFontDatabase::writingSystems(desktop).contains(QFontDatabase::Latin)) {
        return desktop;
    }
    const QString common =
        FirstInstalled({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans"),
                        QStringLiteral("Liberation Sans"), QStringLiteral("Cantarell")});
    if (!common.isEmpty()) {
        return common;
    }
    for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (!WritesChinese(family)) {
            return family;
        }
    }
    return {};
}

} // namespace

bool TextsAreChinese() {
    const std::string& language = ChosenLanguage();
    return language.empty() || language.starts_with("zh");
}

QFont DialogFont(const char* familyName, int pointSize) {
    QStringList families;
    if (!TextsAreChinese()) {
        families.append(LatinFamily());
    }
    // Chinese names of files and folders still need a face that has them.
    families.append(ChineseFamily(familyName));
    families.removeAll(QString());
    QFont font;
    if (!families.isEmpty()) {
        font.setFamilies(families);
    }
    font.setPointSize(pointSize);
    return font;
}

} // namespace kestrova
