// The settings store under a Polish user locale (LANG=pl_PL.UTF-8 for this
// suite: Wine then reads and writes files in code page 1250 and names true and
// false "Prawda" and "Fałsz"). Names and the words for true and false are
// upper-cased as the locale does it, so "Ł" and "ł" are one letter.
#include <gtest/gtest.h>

#include "base/TextConv.h"
#include "settings/cSHAREDSettings.h"
#include "support/TestSupport.h"
#include "sys/cSharedDateSubs.h"

namespace {

// Code page 1250 bytes of the letters used below.
constexpr char kL[] = "\xA3";   // Ł
constexpr char kl[] = "\xB3";   // ł
constexpr char kZ[] = "\xAF";   // Ż
constexpr char kz[] = "\xBF";   // ż
constexpr char kO[] = "\xD3";   // Ó
constexpr char ko[] = "\xF3";   // ó

TEST(PolishLocale, TheLocaleWordsAreUpperCasedAsThePolishLocaleDoes) {
  ASSERT_EQ(GetACP(), 1250u) << "Wine does not pose as a Polish system";
  EXPECT_EQ(twi::TheDateSubs().TrueStr(), "PRAWDA");
  EXPECT_EQ(twi::TheDateSubs().FalseStr(), "FAŁSZ");
}

TEST(PolishLocale, ValuesInTheLocaleWordsLoadAsNumbers) {
  twitest::ScratchFolder dir;
  std::string file = dir.File("TWInstaller.ini");
  struct Case {
    std::string line;
    long expected;
  } cases[] = {
      {std::string("X,FA") + kL + "SZ", 0},  {std::string("X,fa") + kl + "sz", 0},
      {std::string("X, Fa") + kl + "sz ", 0}, {std::string("X,fA") + kL + "sZ", 0},
      {"X,PRAWDA", -1},                        {"X,prawda", -1},
      {"X,FALSE", 0},                          {"X, true", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    twitest::WriteFileBytes(file, c.line + "\r\n");
    twi::cSHAREDSettings store;
    store.LoadSettings(file);
    twi::Variant value = store.sGet("X");
    ASSERT_TRUE(value.IsLong()) << value.AsText();
    EXPECT_EQ(value.AsLong(), c.expected);
  }
  // A default given in the locale's word turns into the boolean.
  twi::cSHAREDSettings store;
  twi::Variant fallback = store.sGet("Absent", std::string("Fa") + "ł" + "sz");
  ASSERT_TRUE(fallback.IsBool());
  EXPECT_FALSE(fallback.AsBool());
}

TEST(PolishLocale, NamesDifferingOnlyInPolishLetterCaseAreOneSetting) {
  twitest::ScratchFolder dir;
  std::string file = dir.File("TWInstaller.ini");
  // "żółw,1" then "ŻÓŁW,2": one entry, the first line's name and place.
  twitest::WriteFileBytes(file, std::string(kz) + ko + kl + "w,1\r\nA,x\r\n" + kZ + kO + kL +
                                    "W,2\r\n");
  twi::cSHAREDSettings store;
  store.LoadSettings(file);
  ASSERT_EQ(store.Entries().size(), 2u);
  EXPECT_EQ(store.Entries()[0].KeyName, "żółw");
  EXPECT_EQ(store.sGet("ŻÓŁW").AsText(), "2");
  EXPECT_TRUE(store.IsSettingPresent("Żółw"));
  store.sSet("żóŁw", "3");
  ASSERT_EQ(store.Entries().size(), 2u);
  EXPECT_TRUE(store.SaveSettings(file));
  // Names are written upper-cased as the locale does it.
  EXPECT_EQ(twitest::ReadFileBytes(file),
            std::string(kZ) + kO + kL + "W,3\r\nA,x\r\n");
}

}  // namespace
