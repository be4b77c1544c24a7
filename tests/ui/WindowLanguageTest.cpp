// The window's language: its own texts from the program's catalogue, Qt's texts
// from Qt's translation for the same language.

#include "i18n/Translate.h"
#include "ui/qt/Translations.h"

#include <QApplication>
#include <QTranslator>
#include <cstdlib>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(WindowLanguage, OwnAndQtTextsFollowTheLocale) {
    ::setenv("LC_ALL", "zh_CN.UTF-8", 1);
    EXPECT_EQ(UseTranslations(*qApp), "zh_CN");
    EXPECT_STREQ(Translate("取消選擇"), "取消选择");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));

    // Back to the original texts for the other tests.
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    ::setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(UseTranslations(*qApp), "");
    EXPECT_STREQ(Translate("取消選擇"), "取消選擇");
}

} // namespace
} // namespace kestrova
