// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

// The window's language: its own texts from the program's catalogue, Qt's texts
// from Qt's translation for the same language, and a font drawn for the language.

#include "i18n/Translate.h"
#include "res/DialogTemplate.h"
#include "ui/qt/TemplateDialog.h"
#include "ui/qt/Translations.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>
#include <cstdlib>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

void UseLocale(const char* locale) {
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    ::setenv("LC_ALL", locale, 1);
}

class WindowLanguage : public ::testing::Test {
protected:
    // Back to the original texts for the other tests.
    void TearDown() override {
        UseLocale("C.UTF-8");
        UseTranslations(*qApp);
    }
};

bool WritesChinese(const QFont& font) {
    const auto systems = QFontDatabase::writingSystems(QFontInfo(font).family());
    return systems.contains(QFontDatabase::SimplifiedChinese) ||
           systems.contains(QFontDatabase::TraditionalChinese);
}

TEST_F(WindowLanguage, OwnAndQtTextsFollowTheLocale) {
    UseLocale("zh_CN.UTF-8");
    EXPECT_EQ(UseTranslations(*qApp), "zh_CN");
    EXPECT_STREQ(Translate("取消選擇"), "取消选择");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));

    // The original texts come with Qt's texts in their language, not Qt's English.
    UseLocale("C.UTF-8");
    EXPECT_EQ(UseTranslations(*qApp), "");
    EXPECT_STREQ(Translate("取消選擇"), "取消選擇");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
    EXPECT_EQ(QCoreApplication::translate("QWidgetTextControl", "Select All"),
              QString::fromUtf8("全部選擇"));

    // A language without a catalogue gets English, Qt's texts included.
    UseLocale("fr_FR.UTF-8");
    EXPECT_EQ(UseTranslations(*qApp), "en");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
}

// In English the dialogs take a font drawn for Latin text, and every text still fits
// its control; the original texts keep the template's Chinese font.
TEST_F(WindowLanguage, EnglishDialogsUseALatinFontAndEveryTextFits) {
    UseLocale("en_US.UTF-8");
    ASSERT_EQ(UseTranslations(*qApp), "en");
    for (const DialogTemplate* dialogTemplate :
         {&MainDialogTemplate(), &PairDialogTemplate(), &AboutDialogTemplate()}) {
        TemplateDialog dialog(*dialogTemplate);
        EXPECT_FALSE(WritesChinese(dialog.font()))
            << QFontInfo(dialog.font()).family().toStdString();
        const QFontMetrics metrics(dialog.font());
        for (QWidget* widget : dialog.findChildren<QWidget*>()) {
            QString text;
            bool fits = true;
            if (auto* check = qobject_cast<QCheckBox*>(widget)) {
                text = check->text();
                fits = check->sizeHint().width() <= check->width();
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                text = button->text();
                fits = metrics.horizontalAdvance(text) + 8 <= button->width();
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                text = group->title();
                fits = metrics.horizontalAdvance(text) + 16 <= group->width();
            } else if (auto* label = qobject_cast<QLabel*>(widget)) {
                text = label->text();
                fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                         : metrics.horizontalAdvance(text) <= label->width();
            }
            EXPECT_TRUE(text.isEmpty() || fits) << text.toStdString();
        }
    }

    UseLocale("C.UTF-8");
    UseTranslations(*qApp);
    EXPECT_TRUE(WritesChinese(TemplateDialog(MainDialogTemplate()).font()));
}

} // namespace
} // namespace kestrova
