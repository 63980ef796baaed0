#include "PersistTestSupport.h"
#include "StdioFileEx.h"

namespace orv::test {
namespace {

using F = CStdioFileEx;
constexpr unsigned kReadText = F::modeRead | F::typeText;

class StdioFileExTest : public TempFolderTest {
 protected:
  // Every line ReadString gives for `bytes`, read with `flags`.
  std::vector<std::string> Lines(const std::string& bytes, unsigned flags = kReadText,
                                 int codePage = kCodePageAnsi) {
    WriteBytes(Path("lines.txt"), bytes);
    F file;
    file.SetCodePage(codePage);
    EXPECT_TRUE(file.Open(Path("lines.txt"), flags));
    std::vector<std::string> lines;
    std::string line;
    while (file.ReadString(line)) lines.push_back(line);
    EXPECT_FALSE(file.ReadString(line));  // stays at the end
    return lines;
  }
};

TEST_F(StdioFileExTest, ByteOrderMarkMakesATextReadUtf16) {
  WriteBytes(Path("p.pro"), "\xFF\xFE" + AsciiUtf16("[OUTPUTRESO]\r\nFPS=6000\r\n"));
  F file;
  ASSERT_TRUE(file.Open(Path("p.pro"), kReadText | F::shareDenyWrite));
  EXPECT_TRUE(file.IsUnicodeText());
  EXPECT_TRUE(file.OpenFlagsUsed() & F::typeBinary);
  EXPECT_FALSE(file.OpenFlagsUsed() & F::typeText);
  std::string line;
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ(line, "[OUTPUTRESO]");  // the mark is not part of the first line
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ(line, "FPS=6000");
  EXPECT_FALSE(file.ReadString(line));
  EXPECT_EQ(line, "FPS=6000");

  // No probe when the file is opened for writing, or in binary mode.
  F writer;
  ASSERT_TRUE(writer.Open(Path("p.pro"), F::modeReadWrite | F::typeText));
  EXPECT_FALSE(writer.IsUnicodeText());
  F binary;
  ASSERT_TRUE(binary.Open(Path("p.pro"), F::modeRead | F::typeBinary));
  EXPECT_FALSE(binary.IsUnicodeText());
}

TEST_F(StdioFileExTest, Utf16LineEnds) {
  EXPECT_EQ(Lines("\xFF\xFE" + AsciiUtf16("a\r\nb\n\r\nc\rd\ne\r")),
            (std::vector<std::string>{"a", "b", "", "c\rd", "e"}));
  // Chinese text and an odd final byte.
  EXPECT_EQ(Lines(std::string("\xFF\xFE\x2D\x4E\x87\x65", 6) + AsciiUtf16("\r\n") + "x"),
            (std::vector<std::string>{"\xE4\xB8\xAD\xE6\x96\x87"}));
  EXPECT_TRUE(Lines("\xFF\xFE").empty());
  EXPECT_TRUE(Lines("").empty());
}

TEST_F(StdioFileExTest, AnsiLineEnds) {
  EXPECT_EQ(Lines("a\r\nb\n\nc\rd\ne\r"), (std::vector<std::string>{"a", "b", "", "c\rd", "e"}));
  EXPECT_EQ(Lines("a\r\nlast", F::modeRead | F::typeBinary),
            (std::vector<std::string>{"a", "last"}));
  EXPECT_EQ(Lines("Zo\xEB\r\n", kReadText, kCodePageWestern),
            (std::vector<std::string>{"Zo\xC3\xAB"}));
}

TEST_F(StdioFileExTest, LongAnsiLinesComeInPieces) {
  const std::string longLine(5000, 'x');
  EXPECT_EQ(Lines(longLine + "\r\nnext\r\n"),
            (std::vector<std::string>{std::string(4095, 'x'), std::string(905, 'x'), "next"}));
  // A line end right at the piece boundary is not split in two.
  EXPECT_EQ(Lines(std::string(4094, 'y') + "\r\nz"),
            (std::vector<std::string>{std::string(4094, 'y'), "z"}));
  // Nor is a double-byte character: it moves to the next piece whole.
  EXPECT_EQ(Lines(std::string(4094, 'a') + "\xD6\xD0\n", kReadText, kCodePageChinese),
            (std::vector<std::string>{std::string(4094, 'a'), "\xE4\xB8\xAD"}));
}

TEST_F(StdioFileExTest, Utf16WritesStartWithOneMark) {
  F file;
  ASSERT_TRUE(file.Open(Path("u.txt"), F::modeWrite | F::modeCreate | F::modeWriteUnicode));
  ASSERT_TRUE(file.WriteString("A=1\r\n"));
  ASSERT_TRUE(file.WriteString("\xE4\xB8\xAD"));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(Path("u.txt")), "\xFF\xFE" + AsciiUtf16("A=1\r\n") + "\x2D\x4E");
  EXPECT_TRUE(F::IsFileUnicode(Path("u.txt")));
}

TEST_F(StdioFileExTest, AnsiWritesUseTheCodePageAndTheHashDefault) {
  F file;
  ASSERT_TRUE(file.Open(Path("a.txt"), F::modeWrite | F::modeCreate | F::typeText));
  EXPECT_EQ(file.CodePage(), kCodePageAnsi);
  ASSERT_TRUE(file.WriteString("Zo\xC3\xAB\r\n"));
  ASSERT_TRUE(file.WriteString("\xE4\xB8\xAD!"));
  SetAnsiCodePageForTesting(kCodePageChinese);  // looked up at each conversion
  ASSERT_TRUE(file.WriteString("\xE4\xB8\xAD\n"));
  file.SetCodePage(kCodePageUtf8);
  ASSERT_TRUE(file.WriteString("\xC3\xAB"));
  EXPECT_EQ(file.Position(), 12u);
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(Path("a.txt")), "Zo\xEB\r\n#!\xD6\xD0\n\xC3\xAB");
  EXPECT_FALSE(F::IsFileUnicode(Path("a.txt")));
}

TEST_F(StdioFileExTest, OpenOptions) {
  F file;
  EXPECT_FALSE(file.Open(Path("missing.txt"), kReadText));
  EXPECT_FALSE(file.Open(Path("missing.txt"), F::modeWrite));
  EXPECT_FALSE(file.Open(folder_, kReadText));  // a folder is not a text file

  WriteBytes(Path("f.txt"), "0123456789");
  ASSERT_TRUE(file.Open(Path("f.txt"), F::modeWrite | F::modeCreate | F::modeNoTruncate));
  ASSERT_TRUE(file.WriteString("ab"));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(Path("f.txt")), "ab23456789");
  ASSERT_TRUE(file.Open(Path("f.txt"), F::modeWrite | F::modeCreate));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(Path("f.txt")), "");

  // Reading ahead, then writing: the bytes land where the reader stands.
  WriteBytes(Path("g.txt"), "one\r\ntwo\r\n");
  ASSERT_TRUE(file.Open(Path("g.txt"), F::modeReadWrite | F::typeBinary));
  std::string line;
  ASSERT_TRUE(file.ReadString(line));
  ASSERT_TRUE(file.WriteString("TWO"));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(Path("g.txt")), "one\r\nTWO\r\n");
}

TEST_F(StdioFileExTest, IsFileUnicodeLooksAtTheFirstTwoBytes) {
  WriteBytes(Path("le"), "\xFF\xFE");
  WriteBytes(Path("be"), "\xFE\xFF");
  WriteBytes(Path("one"), "\xFF");
  EXPECT_TRUE(F::IsFileUnicode(Path("le")));
  EXPECT_FALSE(F::IsFileUnicode(Path("be")));
  EXPECT_FALSE(F::IsFileUnicode(Path("one")));
  EXPECT_FALSE(F::IsFileUnicode(Path("none")));
}

TEST_F(StdioFileExTest, WriteFailuresAreReported) {
  F file;
  ASSERT_TRUE(file.Open("/dev/full", F::modeWrite));
  EXPECT_FALSE(file.WriteString("data"));
  EXPECT_TRUE(file.WriteFailed());
  EXPECT_FALSE(file.Close());
  F closed;
  EXPECT_FALSE(closed.WriteString("x"));
}

}  // namespace
}  // namespace orv::test
