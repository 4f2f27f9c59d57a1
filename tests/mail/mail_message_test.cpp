#include "mail_message.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "mail_address.h"
#include "mail_codecs.h"
#include "shared/clock.h"
#include "mail_test_files.h"

#ifndef SOPORA_MAIL_SAMPLES_DIR
#error "SOPORA_MAIL_SAMPLES_DIR must name the folder with the iconv samples"
#endif

namespace {

MailRequest MakeRequest(int charset, const wchar_t* subject, const wchar_t* body) {
  MailRequest request = {};
  strcpy(request.from, "from@example.test");
  strcpy(request.to, "to@example.test");
  request.charset = charset;
  wcscpy(request.subject, subject);
  wcscpy(request.body, body);
  return request;
}

TEST(MailMessageTest, Utf8MessageByteForByteWithDotStuffedBody) {
  MailRequest request =
      MakeRequest(kCharsetUtf8, L"abc", L"\u672c\u6587\r\n..three dots\n.\rend");
  std::string text;
  ASSERT_EQ(ComposeMailText(&request, &text), -1);
  EXPECT_EQ(text,
            "From:from@example.test\r\n"
            "To:to@example.test\r\n"
            "Subject:=?utf-8?B?YWJj?=\r\n"
            "Mime-Version: 1.0\r\n"
            "Content-Type:text/plain;charset=\"utf-8\"\r\n"
            "Content-Transfer-Encoding: 8bit\r\n"
            "X-Mailer:sopora\r\n"
            "\r\n"
            "\xe6\x9c\xac\xe6\x96\x87\r\n"
            "...three dots\r\n"
            "..\r\n"
            "end\r\n"
            ".\r\n");
}

TEST(MailMessageTest, Iso2022JpMessageByteForByte) {
  MailRequest request = MakeRequest(kCharsetIso2022Jp, L"\u30c6\u30b9\u30c8", L"\u30c6\u30b9\u30c8\nabc");
  std::string text;
  ASSERT_EQ(ComposeMailText(&request, &text), -1);
  EXPECT_EQ(text,
            "From:from@example.test\r\n"
            "To:to@example.test\r\n"
            "Subject:=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=\r\n"
            "Mime-Version: 1.0\r\n"
            "Content-Type:text/plain;charset=\"iso-2022-jp\"\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "X-Mailer:sopora\r\n"
            "\r\n"
            "\x1b$B%F%9%H\x1b(B\r\n"
            "abc\r\n"
            ".\r\n");
}

TEST(MailMessageTest, EmptyBodyKeepsBlankLineBodyLineAndEnd) {
  MailRequest request = MakeRequest(kCharsetUtf8, L"", L"");
  std::string text;
  ASSERT_EQ(ComposeMailText(&request, &text), -1);
  const std::string tail = "X-Mailer:sopora\r\n\r\n\r\n.\r\n";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_NE(text.find("Subject:=?utf-8?B?" "?=\r\n"), std::string::npos);
}

TEST(MailMessageTest, Utf8TextGoesAsBase64LinesWhereEightBitIsNotTaken) {
  MailRequest request = MakeRequest(kCharsetUtf8, L"abc", L"\u672c\u6587\n.x");
  std::string text;
  ASSERT_EQ(ComposeMailText(&request, &text, false), -1);
  EXPECT_NE(text.find("\r\nContent-Transfer-Encoding: base64\r\n"), std::string::npos);
  // "本文" CR LF ".x", line ends as CR LF before the encoding.
  EXPECT_EQ(text.substr(text.find("\r\n\r\n") + 4), "5pys5paHDQoueA==\r\n.\r\n");
  // An ASCII text has no 8-bit byte to carry: it goes as before.
  MailRequest ascii = MakeRequest(kCharsetUtf8, L"abc", L"plain");
  EXPECT_FALSE(MailBodyNeedsEightBit(&ascii));
  EXPECT_TRUE(MailBodyNeedsEightBit(&request));
  ASSERT_EQ(ComposeMailText(&ascii, &text, false), -1);
  EXPECT_NE(text.find("\r\nContent-Transfer-Encoding: 8bit\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.find("\r\n\r\n") + 4), "plain\r\n.\r\n");
}

TEST(MailMessageTest, LongIso2022JpLinesAreFoldedBetweenCharacters) {
  std::wstring body;
  for (int i = 0; i < 115; ++i) body += L"a\u6f22";
  body += L"\nshort";
  MailRequest request = MakeRequest(kCharsetIso2022Jp, L"abc", body.c_str());
  std::string text;
  ASSERT_EQ(ComposeMailText(&request, &text), -1);
  std::string rest = text.substr(text.find("\r\n\r\n") + 4);
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = rest.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(rest.substr(at, end - at));
  ASSERT_EQ(lines.size(), 4u);  // the long line in two, "short", the end
  // 110 pairs of 9 octets and one "a": the next character would make 999.
  EXPECT_EQ(lines[0].size(), 991u);
  EXPECT_EQ(lines[0].substr(lines[0].size() - 4), "\x1b(Ba");
  EXPECT_EQ(lines[1].substr(0, 3), "\x1b$B");
  EXPECT_EQ(lines[2], "short");
  EXPECT_EQ(lines[3], ".");
  // Unfolded, the line is the whole conversion.
  std::string whole;
  ASSERT_TRUE(WideToIso2022Jp(body.substr(0, 230), &whole));
  EXPECT_EQ(lines[0] + lines[1], whole);
}

TEST(MailMessageTest, LineBreaksInAddressesAreRefused) {
  MailRequest request = MakeRequest(kCharsetUtf8, L"s", L"b");
  strcpy(request.to, "to@example.test\r\nBcc: victim@example.test");
  std::string text;
  EXPECT_EQ(ComposeMailText(&request, &text), 40);
  EXPECT_TRUE(text.empty());
  request = MakeRequest(kCharsetUtf8, L"s", L"b");
  strcpy(request.from, "a@b\nRSET");
  EXPECT_EQ(ComposeMailText(&request, &text), 40);
  request = MakeRequest(kCharsetUtf8, L"s", L"b");
  strcpy(request.account, "user\r\nQUIT");
  EXPECT_FALSE(MailRequestFieldsAreSafe(&request));
}

TEST(MailMessageTest, CharactersTheCharsetCannotCarryFailAsConversionError) {
  const struct {
    int charset;
    const wchar_t* subject;
    const wchar_t* body;
  } kCases[] = {
      {kCharsetIso2022Jp, L"\u00e9", L"ok"},        // not in code page 932
      {kCharsetIso2022Jp, L"ok", L"\U0001F600"},    // emoji
      {kCharsetIso2022Jp, L"\u9ad9", L"ok"},        // IBM extension, outside JIS X 0208
      {kCharsetIso2022Jp, L"ok", L"\u2170"},        // small roman numeral, IBM extension
      {kCharsetUtf8, L"\xd800", L"ok"},             // lone surrogate
      // Controls other than TAB, CR and LF: an ESC would switch the decoder.
      {kCharsetIso2022Jp, L"a\x1b$Bb", L"ok"},
      {kCharsetIso2022Jp, L"ok", L"\x1b(Ix"},
      {kCharsetIso2022Jp, L"ok", L"bell\x07"},
      {kCharsetIso2022Jp, L"\x1f", L"ok"},
  };
  for (const auto& c : kCases) {
    MailRequest request = MakeRequest(c.charset, c.subject, c.body);
    std::string text;
    EXPECT_EQ(ComposeMailText(&request, &text), 0) << static_cast<int>(c.subject[0]);
  }
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::wstring FromUtf8(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0],
                              static_cast<int>(out.size()));
  out.resize(n);
  return out;
}

using mail_test_files::ReadFile;

// The same texts converted by iconv at configure time.
TEST(ShiftJisToIso2022JpTest, MatchesIconvForJapaneseText) {
  std::vector<std::string> source = SplitLines(ReadFile(SOPORA_MAIL_SAMPLES_DIR "/iso2022jp_samples.txt"));
  std::vector<std::string> expected = SplitLines(ReadFile(SOPORA_MAIL_SAMPLES_DIR "/iso2022jp_samples.iconv"));
  ASSERT_GE(source.size(), 4u);
  ASSERT_EQ(source.size(), expected.size());
  for (size_t i = 0; i < source.size(); ++i) {
    std::string converted;
    ASSERT_TRUE(WideToIso2022Jp(FromUtf8(source[i]), &converted)) << source[i];
    EXPECT_EQ(converted, expected[i]) << source[i];
  }
}

TEST(ShiftJisToIso2022JpTest, TabAndLineBreaksAreTheOnlyControlsCarried) {
  std::string out;
  ASSERT_TRUE(ShiftJisToIso2022Jp("a\tb\r\nc\nd", &out));
  EXPECT_EQ(out, "a\tb\r\nc\nd");
  for (const char* text : {"\x1b$B", "x\x01", "\x0b", "\x0c", "\x7f" /* DEL is no C0 */}) {
    out.clear();
    const bool carried = ShiftJisToIso2022Jp(text, &out);
    EXPECT_EQ(carried, text[0] == '\x7f') << static_cast<int>(text[0]);
  }
}

TEST(ShiftJisToIso2022JpTest, EscapesOnlyAroundDoubleByteRuns) {
  std::string out;
  ASSERT_TRUE(ShiftJisToIso2022Jp("plain ascii", &out));
  EXPECT_EQ(out, "plain ascii");
  out.clear();
  // "漢a字": two switches, and the text ends back in ASCII.
  ASSERT_TRUE(ShiftJisToIso2022Jp("\x8a\xbf" "a" "\x8e\x9a", &out));
  EXPECT_EQ(out, "\x1b$B4A\x1b(Ba\x1b$B;z\x1b(B");
}

TEST(ShiftJisToIso2022JpTest, NecRow13IsKeptAndOtherRowsAreRefused) {
  std::string out;
  ASSERT_TRUE(ShiftJisToIso2022Jp("\x87\x40", &out));  // circled digit one
  EXPECT_EQ(out, "\x1b$B\x2d\x21\x1b(B");
  out.clear();
  EXPECT_FALSE(ShiftJisToIso2022Jp("\xee\xe0", &out));  // NEC-selected IBM extension, row 92
  EXPECT_FALSE(ShiftJisToIso2022Jp("\xfb\xfc", &out));  // IBM extension: no JIS code at all
  EXPECT_FALSE(ShiftJisToIso2022Jp("\xb1", &out));      // raw half-width katakana
}

TEST(ShiftJisToIso2022JpTest, HalfWidthKatakanaBecomeFullWidthWithVoicedMarks) {
  EXPECT_EQ(FoldHalfWidthKatakana(L"\uff83\uff7d\uff84"), L"\u30c6\u30b9\u30c8");
  // ｶﾞ ﾊﾟ ｳﾞ ｱﾞ (no voiced form: the mark stands alone) ｰ ｡
  EXPECT_EQ(FoldHalfWidthKatakana(L"\uff76\uff9e\uff8a\uff9f\uff73\uff9e\uff71\uff9e\uff70\uff61"),
            L"\u30ac\u30d1\u30f4\u30a2\u309b\u30fc\u3002");
  std::string out;
  ASSERT_TRUE(WideToIso2022Jp(L"\uff83\uff7d\uff84", &out));
  EXPECT_EQ(out, "\x1b$B%F%9%H\x1b(B");
}

std::vector<std::string> EncodedWords(const std::string& line, const std::string& prefix) {
  EXPECT_EQ(line.compare(0, 8, "Subject:"), 0);
  EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
  // Every line that holds an encoded word, "Subject:" with the first one
  // included, is at most 76 characters.
  for (size_t at = 0, end; (end = line.find("\r\n", at)) != std::string::npos; at = end + 2)
    EXPECT_LE(end - at, 76u) << line.substr(at, end - at);
  std::vector<std::string> words;
  std::string body = line.substr(8, line.size() - 10);
  size_t at = 0;
  for (;;) {
    size_t next = body.find("\r\n ", at);
    std::string word = body.substr(at, next == std::string::npos ? std::string::npos : next - at);
    EXPECT_LE(word.size(), 75u);
    EXPECT_EQ(word.compare(0, prefix.size(), prefix), 0) << word;
    EXPECT_EQ(word.substr(word.size() - 2), "?=");
    char* slot = nullptr;
    size_t length = 0;
    std::string encoded = word.substr(prefix.size(), word.size() - prefix.size() - 2);
    const char* decoded = Base64DecodeBytes(&slot, encoded.c_str(), &length);
    EXPECT_NE(decoded, nullptr) << word;
    if (decoded != nullptr) words.emplace_back(decoded, length);
    FreeBase64Slot(&slot);
    if (next == std::string::npos) break;
    at = next + 3;
  }
  return words;
}

TEST(SubjectLineTest, LongUtf8SubjectIsFoldedIntoWholeCharacters) {
  std::wstring subject;
  for (int i = 0; i < 85; ++i) subject += L"\u3042a";  // "あa" repeated: 255 characters
  std::string line;
  ASSERT_TRUE(BuildSubjectLine(subject, kCharsetUtf8, &line));
  std::vector<std::string> words = EncodedWords(line, "=?utf-8?B?");
  ASSERT_GT(words.size(), 1u);
  std::string joined;
  for (const std::string& word : words) {
    // Each word decodes to whole UTF-8 characters on its own.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, word.data(),
                                  static_cast<int>(word.size()), nullptr, 0) > 0,
              true);
    joined += word;
  }
  EXPECT_EQ(FromUtf8(joined), subject);
}

TEST(SubjectLineTest, LongIso2022JpSubjectWordsEachReturnToAscii) {
  std::wstring subject;
  for (int i = 0; i < 115; ++i) subject += L"a\u6f22";  // the worst case: a switch per character
  std::string line;
  ASSERT_TRUE(BuildSubjectLine(subject, kCharsetIso2022Jp, &line));
  std::vector<std::string> words = EncodedWords(line, "=?ISO-2022-JP?B?");
  ASSERT_GT(words.size(), 1u);
  std::string joined;
  for (const std::string& word : words) {
    // Each word ends in ASCII mode.
    size_t lastEscape = word.rfind('\x1b');
    ASSERT_NE(lastEscape, std::string::npos);
    EXPECT_EQ(word.substr(lastEscape, 3), "\x1b(B");
    joined += word;
  }
  std::string whole;
  ASSERT_TRUE(WideToIso2022Jp(subject, &whole));
  // Splitting only adds switches at the word ends; the characters are the same.
  auto strip = [](std::string s) {
    for (const char* esc : {"\x1b$B", "\x1b(B"})
      for (size_t at; (at = s.find(esc)) != std::string::npos;) s.erase(at, 3);
    return s;
  };
  EXPECT_EQ(strip(joined), strip(whole));
}

TEST(PlaceholderTest, OnlyTheFirstOccurrenceOfEachIsReplaced) {
  std::wstring name = L"PC1";
  EXPECT_EQ(ReplacePlaceholdersIn(L"<TIME>/<TIME> <PCNAME><PCNAME>", L"T", &name), L"T/<TIME> PC1<PCNAME>");
  EXPECT_EQ(ReplacePlaceholdersIn(L"<PCNAME> 100%", L"T", nullptr), L"<PCNAME> 100%");
}

void FixedClock(SYSTEMTIME* now) {
  *now = {};
  now->wYear = 2026;
  now->wMonth = 12;
  now->wDay = 9;
  now->wHour = 7;
  now->wMinute = 10;
  now->wSecond = 6;
}

TEST(PlaceholderTest, RequestGetsLocalTimeAndComputerName) {
  SetLocalTimeSource(FixedClock);
  wchar_t name[64] = {};
  DWORD length = 64;
  ASSERT_TRUE(GetComputerNameW(name, &length));
  MailRequest request = {};
  wcscpy(request.subject, L"<PCNAME>\u306f<TIME>\u306b\u7d42\u4e86\u51e6\u7406\u306b\u5165\u308a\u307e\u3057\u305f");
  wcscpy(request.body, L"at <TIME>");
  ReplaceMailPlaceholders(request.subject, request.body, &request);
  SetLocalTimeSource(nullptr);
  EXPECT_EQ(std::wstring(request.subject),
            std::wstring(name) + L"\u306f2026/12/09 07:10:06\u306b\u7d42\u4e86\u51e6\u7406\u306b\u5165\u308a\u307e\u3057\u305f");
  EXPECT_STREQ(request.body, L"at 2026/12/09 07:10:06");
}

TEST(PlaceholderTest, ResultIsCutAt255Characters) {
  MailRequest request = {};
  std::wstring longSubject(250, L'x');
  longSubject += L"<TIME>";
  ReplaceMailPlaceholders(longSubject.c_str(), L"", &request);
  EXPECT_EQ(wcslen(request.subject), 255u);
}

}  // namespace
