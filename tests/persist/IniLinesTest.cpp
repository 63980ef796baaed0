#include <cmath>
#include <limits>

#include "IniLines.h"
#include "PersistTestSupport.h"

namespace orv::test {
namespace {

using F = CStdioFileEx;

class FindKeyTest : public TempFolderTest {
 protected:
  void Use(const std::string& bytes) {
    WriteBytes(Path("k.pro"), bytes);
    ASSERT_TRUE(file_.Open(Path("k.pro"), F::modeRead | F::typeText));
  }
  std::string Found(const std::string& section, const std::string& key) {
    std::string value = "<untouched>";
    if (!FindKey(file_, section, key, value)) return "<missing:" + value + ">";
    return value;
  }
  F file_;
};

TEST_F(FindKeyTest, WritesSectionAndKeyLines) {
  F file;
  ASSERT_TRUE(file.Open(Path("w.pro"), F::modeWrite | F::modeCreate | F::typeText));
  ASSERT_TRUE(WriteSection(file, "OUTPUTRESO"));
  ASSERT_TRUE(WriteKey(file, "RESOINDEX", FormatInteger(5)));
  ASSERT_TRUE(WriteKey(file, IndexedKey("HPOS", 2), FormatInteger(-7)));
  ASSERT_TRUE(WriteKey(file, IndexedKey("BRIGHTNESS", 11, 3), ""));
  ASSERT_TRUE(WriteKey(file, "GAMMA", FormatFixed6(2.2f)));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(Path("w.pro")),
            "[OUTPUTRESO]\r\nRESOINDEX=5\r\nHPOS2=-7\r\nBRIGHTNESS113=\r\nGAMMA=2.200000\r\n");
}

TEST(ValueTexts, FixedSixDecimalsAndIntegers) {
  EXPECT_EQ(FormatFixed6(0.0), "0.000000");
  EXPECT_EQ(FormatFixed6(-0.5), "-0.500000");
  EXPECT_EQ(FormatFixed6(1e10), "10000000000.000000");
  EXPECT_EQ(FormatFixed6(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(FormatInteger(-2147483648LL), "-2147483648");
  EXPECT_EQ(FormatInteger(65535), "65535");
}

TEST(ValueTexts, DecimalToIntReadsLikeAtoi) {
  EXPECT_EQ(DecimalToInt("6000"), 6000);
  EXPECT_EQ(DecimalToInt("  42abc"), 42);
  EXPECT_EQ(DecimalToInt("-17"), -17);
  EXPECT_EQ(DecimalToInt("+5"), 5);
  EXPECT_EQ(DecimalToInt("COM3"), 0);
  EXPECT_EQ(DecimalToInt(""), 0);
  EXPECT_EQ(DecimalToInt("- 1"), 0);
  EXPECT_EQ(DecimalToInt("99999999999"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(DecimalToInt("-99999999999"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(DecimalToInt("-2147483648"), std::numeric_limits<int32_t>::min());
}

TEST(ValueTexts, DecimalToDoubleReadsLikeAtof) {
  EXPECT_DOUBLE_EQ(DecimalToDouble("2.200000"), 2.2);
  EXPECT_DOUBLE_EQ(DecimalToDouble(" -1.5x"), -1.5);
  EXPECT_DOUBLE_EQ(DecimalToDouble("+3"), 3.0);
  EXPECT_DOUBLE_EQ(DecimalToDouble("2,5"), 2.0);  // the comma is not a separator
  EXPECT_EQ(DecimalToDouble("abc"), 0.0);
  EXPECT_EQ(DecimalToDouble("+-1"), 0.0);
  EXPECT_EQ(DecimalToDouble(""), 0.0);
  EXPECT_TRUE(std::isinf(DecimalToDouble("1e400")));
  EXPECT_EQ(DecimalToDouble("1e-400"), 0.0);
}

TEST_F(FindKeyTest, KeysMatchExactly) {
  Use("[OUTPUTRESO]\r\nFPS = 6000\r\nfps=1\r\n FPS=2\r\nFPS=\r\nFPS=3=4\r\n");
  EXPECT_EQ(Found("OUTPUTRESO", "FPS"), "");  // the line "FPS=" is the first match
  EXPECT_EQ(Found("OUTPUTRESO", "FPS"), "3=4");
}

TEST_F(FindKeyTest, SectionLines) {
  Use("[OUTPUTRESO\r\nA=1\r\n[MOSAICSETT]x]\r\nB=2\r\nno equals sign\r\n[]\r\nC=3\r\n");
  EXPECT_EQ(Found("", "A"), "1");  // no closing bracket: the section is empty
  EXPECT_EQ(Found("MOSAICSETT", "B"), "2");
  EXPECT_EQ(Found("MOSAICSETT", ""), "");  // a line without '=' has an empty key
  EXPECT_EQ(Found("", "C"), "3");
}

TEST_F(FindKeyTest, ASearchNeverGoesBack) {
  Use("[S]\r\nA=1\r\nB=2\r\nA=3\r\n[T]\r\nA=4\r\n");
  EXPECT_EQ(Found("S", "B"), "2");
  EXPECT_EQ(Found("S", "A"), "3");  // the A before B is behind the file position
  EXPECT_EQ(Found("T", "A"), "4");
  // Reaching the end leaves the value alone, and the file is spent.
  EXPECT_EQ(Found("S", "A"), "<missing:<untouched>>");
}

TEST_F(FindKeyTest, AMissingKeySpendsTheFile) {
  Use("[S]\r\nA=1\r\nB=2\r\n");
  EXPECT_EQ(Found("S", "Z"), "<missing:<untouched>>");
  EXPECT_EQ(Found("S", "B"), "<missing:<untouched>>");
}

TEST_F(FindKeyTest, ATwiceWrittenKeyIsFoundTwice) {
  Use("[KEYERINFO]\r\nKEYERMODE=1\r\nKEYERREDL=10\r\nKEYERREDL=20\r\nKEYERGREENL=30\r\n");
  EXPECT_EQ(Found("KEYERINFO", "KEYERREDL"), "10");
  EXPECT_EQ(Found("KEYERINFO", "KEYERREDL"), "20");
  EXPECT_EQ(Found("KEYERINFO", "KEYERGREENL"), "30");
}

TEST_F(FindKeyTest, TheCurrentSectionBelongsToTheFile) {
  Use("[S]\r\nA=1\r\n");
  EXPECT_EQ(Found("S", "A"), "1");
  // A second file that begins without a section line does not inherit [S].
  F other;
  WriteBytes(Path("other.pro"), "A=2\r\n");
  ASSERT_TRUE(other.Open(Path("other.pro"), F::modeRead | F::typeText));
  std::string value;
  EXPECT_FALSE(FindKey(other, "S", "A", value));
}

}  // namespace
}  // namespace orv::test
