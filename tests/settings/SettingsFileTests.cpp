// TWInstaller.ini as bytes: what a file loads as, and what the store writes,
// for every edge case of the format.
#include <gtest/gtest.h>

#include "base/Clock.h"
#include "base/TextConv.h"
#include "settings/cSHAREDSettings.h"
#include "support/TestSupport.h"

namespace {

using twi::cSHAREDSettings;
using twi::Variant;

class SettingsFile : public ::testing::Test {
 protected:
  std::string File() { return dir.File("TWInstaller.ini"); }
  // Loads `bytes` into a fresh store, saves it again and returns what was written.
  std::string LoadAndSave(const std::string& bytes, cSHAREDSettings& store) {
    twitest::WriteFileBytes(File(), bytes);
    store.LoadSettings(File());
    EXPECT_TRUE(store.SaveSettings(File()));
    return twitest::ReadFileBytes(File());
  }
  twitest::ScratchFolder dir;
  twitest::MsgBoxRecorder boxes;  // none expected: each test checks it stays empty
  void TearDown() override { EXPECT_TRUE(boxes.Calls().empty()); }
};

TEST_F(SettingsFile, FileBytesInAndOut) {
  struct Case {
    const char* name;
    std::string in;
    std::string out;
  } cases[] = {
      {"value with blanks around kept", "A, 80 \r\n", "A, 80 \r\n"},
      {"name upper-cased on write", "ProxyServer,myproxy\r\n", "PROXYSERVER,myproxy\r\n"},
      {"lines without comma, empty, or a blank name are dropped",
       "NoComma\r\n\r\n   ,x\r\nB,1\r\n", "B,1\r\n"},
      {"later commas belong to the value", "A,B,C\r\n", "A,B,C\r\n"},
      {"true words load as -1", "X,true\r\nY, TRUE \r\n", "X,-1 \r\nY,-1 \r\n"},
      {"false words load as 0", "X,False\r\n", "X, 0 \r\n"},
      {"a name in two cases is one setting in the first line's place",
       "KEY,1\r\nOther,o\r\nkey,2\r\n", "KEY,2\r\nOTHER,o\r\n"},
      {"blanks around a name are part of it", " A,1\r\nA,2\r\n", " A,1\r\nA,2\r\n"},
      {"an empty value stays empty", "E,\r\n", "E,\r\n"},
      {"LF-only file: one line, the first name takes the rest, written without its breaks",
       "A,1\nB,2\n", "A,1B,2\r\n"},
      {"a last line without CR LF", "A,1\r\nB,2", "A,1\r\nB,2\r\n"},
      {"a saved number loads as text with its blanks", "N, 42 \r\nM,-1 \r\n",
       "N, 42 \r\nM,-1 \r\n"},
      {"ANSI bytes", "NAME,caf\xE9 \xDF\r\n", "NAME,caf\xE9 \xDF\r\n"},
      {"empty file", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cSHAREDSettings store;
    EXPECT_EQ(LoadAndSave(c.in, store), c.out);
  }
}

// A value read as a whole number: rounded half to even, and an overflow (6) where it does
// not fit ("1e30" typed for the proxy type), never an undefined conversion.
TEST(SettingValue, WholeNumbersAndTheirRange) {
  struct Case {
    const char* text;
    long whole;  // the result, or 0 with overflow
    bool overflow;
  } cases[] = {
      {" 2.5 ", 2, false},      {"3.5", 4, false},
      {"2147483647", 2147483647L, false}, {"-2147483648", -2147483647L - 1, false},
      {"2147483648", 0, true},  {"-2147483649", 0, true},
      {"1e30", 0, true},        {"-1e300", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.overflow) {
      try {
        (void)Variant(std::string(c.text)).AsLong();
        ADD_FAILURE() << "no error";
      } catch (const twi::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 6);
      }
    } else {
      EXPECT_EQ(Variant(std::string(c.text)).AsLong(), c.whole);
    }
  }
}

TEST_F(SettingsFile, LoadedValues) {
  cSHAREDSettings store;
  twitest::WriteFileBytes(File(), "A,B,C\r\nX, TRUE \r\nF,false\r\nN, 80 \r\nkey,1\r\nKEY,2\r\n");
  store.LoadSettings(File());
  EXPECT_EQ(store.sGet("A").AsText(), "B,C");
  Variant x = store.sGet("X");
  ASSERT_TRUE(x.IsLong());
  EXPECT_EQ(x.AsLong(), -1);
  Variant f = store.sGet("f");
  ASSERT_TRUE(f.IsLong());
  EXPECT_EQ(f.AsLong(), 0);
  Variant n = store.sGet("N");
  ASSERT_TRUE(n.IsText());
  EXPECT_EQ(n.AsText(), " 80 ");
  ASSERT_EQ(store.Entries().size(), 5u);
  EXPECT_EQ(store.Entries()[4].KeyName, "key");
  EXPECT_EQ(store.sGet("Key").AsText(), "2");
}

TEST_F(SettingsFile, ValuesAsWritten) {
  struct Case {
    const char* name;
    Variant value;
    std::string line;
  } cases[] = {
      {"Whole", Variant(42), "WHOLE, 42 \r\n"},
      {"Minus", Variant(-1), "MINUS,-1 \r\n"},
      {"Zero", Variant(0L), "ZERO, 0 \r\n"},
      {"Decimal", Variant(2.5), "DECIMAL, 2.5 \r\n"},
      {"NegDecimal", Variant(-0.25), "NEGDECIMAL,-0.25 \r\n"},
      {"True", Variant(true), "TRUE,-1 \r\n"},
      {"False", Variant(false), "FALSE, 0 \r\n"},
      {"Text", Variant("  x y  "), "TEXT,  x y  \r\n"},
      {"Empty", Variant(), "EMPTY,\r\n"},
      {"Date", Variant(twi::Date::FromParts(2001, 12, 25)), "DATE,12/25/2001\r\n"},
      {"DateTime", Variant(twi::Date::FromParts(2001, 12, 25, 10, 20, 30)),
       "DATETIME,12/25/2001 10:20:30 AM\r\n"},
      {"a,b", Variant("comma"), "AB,comma\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cSHAREDSettings store;
    store.sSet(c.name, c.value);
    ASSERT_TRUE(store.SaveSettings(File()));
    EXPECT_EQ(twitest::ReadFileBytes(File()), c.line);
  }
}

TEST_F(SettingsFile, ReadingBackByTheRulesOfTheStore) {
  cSHAREDSettings store;
  store.sSet("Flag", true);
  Variant flag = store.sGet("Flag");
  ASSERT_TRUE(flag.IsLong());  // a stored boolean comes back as -1
  EXPECT_EQ(flag.AsLong(), -1);
  store.sSet("Word", "true");
  Variant word = store.sGet("Word");
  ASSERT_TRUE(word.IsBool());  // the text true comes back as the boolean
  EXPECT_TRUE(word.AsBool());
  EXPECT_TRUE(store.sGet("Absent").IsEmpty());
  EXPECT_EQ(store.sGet("Absent", 5).AsLong(), 5);
  Variant fallback = store.sGet("Absent", "False");
  ASSERT_TRUE(fallback.IsBool());
  EXPECT_FALSE(fallback.AsBool());
  EXPECT_EQ(store.sGet("Flag", 7).AsLong(), -1);  // a found value wins over the default
  store.sSet("a,b", 1);
  EXPECT_TRUE(store.IsSettingPresent("A,B"));
  EXPECT_TRUE(store.IsSettingPresent("ab"));
  EXPECT_EQ(store.Entries().back().KeyName, "ab");
  // Replacing keeps the first name and its place.
  store.sSet("FLAG", 0);
  EXPECT_EQ(store.Entries()[0].KeyName, "Flag");
  EXPECT_EQ(store.sGet("flag").AsLong(), 0);
  store.DeleteAllSettings();
  EXPECT_FALSE(store.IsSettingPresent("Flag"));
  store.sSet("Flag", 1);
  EXPECT_EQ(store.Entries().size(), 1u);
}

// A line break typed into a field (the proxy server, say) never becomes further lines of
// the file: the value stays one setting, and nothing else is set by it.
TEST_F(SettingsFile, ALineBreakInsideAValueNeverMakesFurtherLines) {
  cSHAREDSettings store;
  store.sSet("ProxyType", 2);
  store.sSet("ProxyServer", "evil\r\nPROXYTYPE,0\r\nINJECTED,yes\n");
  store.sSet("A\r\nB", "x");
  ASSERT_TRUE(store.SaveSettings(File()));
  EXPECT_EQ(twitest::ReadFileBytes(File()),
            "PROXYTYPE, 2 \r\nPROXYSERVER,evilPROXYTYPE,0INJECTED,yes\r\nAB,x\r\n");
  store.LoadSettings(File());
  EXPECT_EQ(store.Entries().size(), 3u);
  EXPECT_EQ(store.sGet("ProxyType").AsText(), " 2 ");
  EXPECT_FALSE(store.IsSettingPresent("INJECTED"));
}

TEST_F(SettingsFile, AMissingFileGivesAnEmptyStoreAndTheFirstSaveCreatesIt) {
  cSHAREDSettings store;
  store.sSet("Left", "over");
  store.LoadSettings(File());
  EXPECT_TRUE(store.Entries().empty());
  EXPECT_FALSE(twitest::PathExists(File()));
  ASSERT_TRUE(store.SaveSettings(File()));
  EXPECT_EQ(twitest::ReadFileBytes(File()), "");
  store.sSet("ProxyType", 1);
  ASSERT_TRUE(store.SaveSettings(File()));
  EXPECT_EQ(twitest::ReadFileBytes(File()), "PROXYTYPE, 1 \r\n");
  EXPECT_FALSE(twitest::PathExists(cSHAREDSettings::TemporaryFileOf(File())));
}

TEST_F(SettingsFile, TwentyThousandLinesLoadQuickly) {
  std::string bytes, written;
  for (int i = 0; i < 20000; ++i) {
    std::string tail = std::to_string(i) + ",value " + std::to_string(i) + "\r\n";
    bytes += "Setting" + tail;
    written += "SETTING" + tail;
  }
  twitest::WriteFileBytes(File(), bytes);
  cSHAREDSettings store;
  double start = twi::ClockSeconds();
  store.LoadSettings(File());
  double seconds = twi::ClockSeconds() - start;
  EXPECT_EQ(store.Entries().size(), 20000u);
  EXPECT_EQ(store.sGet("SETTING19999").AsText(), "value 19999");
  // A search through every entry for each line took 1.7 s here.
  EXPECT_LT(seconds, 0.5);
  ASSERT_TRUE(store.SaveSettings(File()));
  EXPECT_TRUE(twitest::ReadFileBytes(File()) == written);
}

TEST_F(SettingsFile, ErrorDisplayTexts) {
  EXPECT_EQ(cSHAREDSettings::LineErrorText(13, "A,B", "C:\\P\\TWInstaller.ini"),
            "Error 13 in setting file. Line: A,B of C:\\P\\TWInstaller.ini");
  // The proxy password is not shown, scrambled or not.
  EXPECT_EQ(cSHAREDSettings::LineErrorText(5, "PROXYPWD,\xC3\x9F\xC3\x8C", "f"),
            "Error 5 in setting file. Line: PROXYPWD,******** of f");
  EXPECT_EQ(cSHAREDSettings::LineErrorText(5, "ProxyPwd,secret", "f"),
            "Error 5 in setting file. Line: ProxyPwd,******** of f");
  EXPECT_EQ(cSHAREDSettings::SaveErrorText(twi::RuntimeError::Numbered(57)),
            "57 - Device I/O error in SaveSettings");
}

}  // namespace
