// Run by the locale_* entries of the test set with LC_ALL set for the whole
// Wine process and FENDRIX_EXPECT_LANGUAGE naming the code it must give.
#include "foundation/UnitLanguage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(LocaleLanguage, FollowsTheLocaleOfTheProcess) {
    const char* expected = std::getenv("FENDRIX_EXPECT_LANGUAGE");
    if (!expected)
        GTEST_SKIP() << "runs only with FENDRIX_EXPECT_LANGUAGE and a matching LC_ALL";
    const std::string saved = LanguageCode;
    EXPECT_EQ(expected, LocaleLanguageCode());
    InitLanguage();
    EXPECT_EQ(expected, LanguageCode);
    EXPECT_EQ(std::string(expected) == "IT" ? "Dividi" : "Split", LangText(msgSplitButton));
    EXPECT_EQ(std::string(expected) == "IT" ? "Unisci" : "Join", LangText(msgJoinButton));
    LanguageCode = saved;
}

}  // namespace
