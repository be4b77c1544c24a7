// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/Arguments.h"
#include "i18n/Translate.h"
#include "report/SyncTexts.h"
#include "sync/RunHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kestrova::test {
namespace {

const std::string kCatalogues = KESTROVA_TEST_LOCALE_DIR;

LocaleVariables Lang(const std::string& lang) {
    return {"", "", "", lang};
}

class TranslationTest : public ::testing::Test {
protected:
    // Every other test expects the original texts.
    void TearDown() override { UseCatalogue(kCatalogues, {}); }
};

TEST_F(TranslationTest, LocaleVariablesChooseTheCatalogue) {
    struct Case {
        LocaleVariables variables;
        std::string chosen;
    };
    const Case cases[] = {
        {{}, ""},
        {Lang("C"), ""},
        {Lang("POSIX"), ""},
        {Lang("C.UTF-8"), ""},
        {{"en", "", "", "C.UTF-8"}, ""}, // the C locale ignores LANGUAGE
        {Lang("en_US.UTF-8"), "en"},
        {Lang("en_GB"), "en"},
        {Lang("zh_CN.UTF-8"), "zh_CN"},
        {Lang("zh_SG.UTF-8"), "zh_CN"},
        {Lang("zh_TW.UTF-8"), kOriginalLanguage},
        {Lang("zh_HK.Big5"), kOriginalLanguage},
        {{"", "C", "", "en_US.UTF-8"}, ""},             // LC_ALL first
        {{"", "", "en_US.UTF-8", "zh_CN.UTF-8"}, "en"}, // then LC_MESSAGES
        {{"zh_CN:en", "", "", "en_US.UTF-8"}, "zh_CN"}, // LANGUAGE lists the languages
        {{"fr:en", "", "", "fr_FR.UTF-8"}, "en"},       // no French: the next one
        {{"zh_TW:en", "", "", "en_US.UTF-8"}, "zh_TW"}, // the originals end the search
        {Lang("fr_FR.UTF-8"), "en"},                    // no catalogue: English
        {{"ja:de", "", "", "ja_JP.UTF-8"}, "en"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UseCatalogue(kCatalogues, c.variables), c.chosen)
            << c.variables.language << "|" << c.variables.all << "|" << c.variables.messages << "|"
            << c.variables.lang;
    }
}

TEST_F(TranslationTest, TextsFollowTheCatalogueAndFallBackToTheOriginal) {
    EXPECT_EQ(Translate(texts::kDone), texts::kDone);
    UseCatalogue(kCatalogues, Lang("en_US.UTF-8"));
    EXPECT_STREQ(Translate(texts::kDone), "Done");
    EXPECT_STREQ(Translate("not in any catalogue"), "not in any catalogue");
    EXPECT_EQ(Translate("無法寫入 %1。", {"/a/%1%2"}), "Cannot write /a/%1%2.");
    UseCatalogue(kCatalogues, Lang("C"));
    EXPECT_EQ(Translate(texts::kDone), texts::kDone);

    // No catalogue where they are looked for, or a damaged one: the original texts.
    EXPECT_EQ(UseCatalogue("/nonexistent", Lang("en_US.UTF-8")), "");
    TempFolder temp;
    const std::string folder = temp.sub("en/LC_MESSAGES");
    std::ifstream real(kCatalogues + "/en/LC_MESSAGES/kestrova.mo", std::ios::binary);
    const std::string whole{std::istreambuf_iterator<char>(real), {}};
    ASSERT_GT(whole.size(), 100u);
    std::ofstream(folder + "/kestrova.mo", std::ios::binary) << whole.substr(0, 100);
    EXPECT_EQ(UseCatalogue(temp.sub(""), Lang("en_US.UTF-8")), "");
    EXPECT_EQ(Translate(texts::kDone), texts::kDone);
}

TEST_F(TranslationTest, EveryTextOfARunIsTranslated) {
    const char* const runTexts[] = {
        texts::kFrom,
        texts::kTo,
        texts::kFailedHeading,
        texts::kNoErrors,
        texts::kUpdatedHeading,
        texts::kNothingUpdated,
        texts::kInProgress,
        texts::kDone,
        texts::kSkipped,
        texts::kFinished,
        texts::kSkipNotAbsolute,
        texts::kSkipNested,
        texts::kSkipSourceUnreadable,
        texts::kSkipTargetBusy,
        texts::kNoPruneAfterWriteFailure,
        texts::kNoPruneEmptySource,
        texts::kNoPruneOverCapCount,
        texts::kNoPruneOverCapLimit,
        texts::kNoPruneOverCapEnd,
        texts::kTargetMissing,
        texts::kTargetUnopenable,
        texts::kCopiesNotOnDisk,
        texts::kAttributesNotKept,
        texts::kSpecialsNotCreatedHeading,
        texts::kNoTrash,
        texts::kDeletedHeading,
        texts::kNothingDeleted,
        texts::kPreviewUpdatedHeading,
        texts::kPreviewDeletedHeading,
        texts::kPreviewFinished,
        // The main window's own texts for a preview, the trash, deletions and failures.
        "預覽同步",
        "舊文件移到回收站",
        "列出刪除的文件",
        "以下是失敗的原因\r\n",
    };
    for (const char* lang : {"en_US.UTF-8", "zh_CN.UTF-8"}) {
        ASSERT_NE(UseCatalogue(kCatalogues, Lang(lang)), "");
        for (const char* text : runTexts) {
            EXPECT_NE(Translate(text), text) << lang << ": " << text;
        }
    }

    // An English run over every kind of block leaves nothing in the original language.
    UseCatalogue(kCatalogues, Lang("en_US.UTF-8"));
    TempFolder temp;
    const std::string src = temp.sub("src");
    const std::string dst = temp.sub("dst");
    WriteTree(src, {{"a", File("a")}, {"ro", File("new", kTime + 1)}});
    WriteTree(dst, {{"ro", File("old", kTime, 0, 0444)}}); // a copy that fails
    TestWindow window({{src, dst, 2, {}},
                       {src, dst, 2, {}},
                       {"relative", dst, 2, {}},
                       {src, src + "/in", 2, {}},
                       {temp.sub("missing", false), dst, 2, {}}});
    RunToEnd(window);
    std::string shown = window.report();
    for (const std::string& line : window.log()) {
        shown += line + "\n";
    }
    for (unsigned char c : shown) {
        ASSERT_LT(c, 0x80) << shown;
    }
    EXPECT_NE(shown.find("Synchronisation finished."), std::string::npos);

    // The command's usage text is translated in each of its parts.
    UseCatalogue(kCatalogues, Lang("zh_CN.UTF-8"));
    const std::string usage = UsageText();
    EXPECT_EQ(usage.find("Usage"), std::string::npos) << usage;
    EXPECT_EQ(usage.find("Exit status"), std::string::npos) << usage;
    const std::string usageError = UsageErrorText(ParseArguments({"--x"}).error);
    EXPECT_EQ(usageError.find("option"), std::string::npos) << usageError;
    EXPECT_EQ(usageError.find("Try"), std::string::npos) << usageError;
}

} // namespace
} // namespace kestrova::test
