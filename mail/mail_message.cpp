#include "mail_message.h"

#include <stdio.h>
#include <string.h>

#include <vector>

#include "mail_address.h"
#include "mail_codecs.h"
#include "shared/clock.h"

namespace {

// Half-width katakana U+FF61-U+FF9F and their full-width forms.
const wchar_t kFullWidthKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

bool TakesVoicedMark(wchar_t halfWidth) {
  return halfWidth == 0xFF73 || (halfWidth >= 0xFF76 && halfWidth <= 0xFF84) ||
         (halfWidth >= 0xFF8A && halfWidth <= 0xFF8E);
}

bool TakesSemiVoicedMark(wchar_t halfWidth) { return halfWidth >= 0xFF8A && halfWidth <= 0xFF8E; }

// A JIS X 0208 row that can be sent: rows 1-8 and 16-84, and NEC's row 13
// as code page 50220 keeps it.
bool IsSendableJisRow(int row) { return (row >= 1 && row <= 8) || row == 13 || (row >= 16 && row <= 84); }

bool IsShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The arithmetic of _mbcjmstojis: 0 when the pair has no JIS form.
unsigned ShiftJisToJis(unsigned char lead, unsigned char trail) {
  if (!IsShiftJisLead(lead) || trail < 0x40 || trail == 0x7F || trail > 0xFC) return 0;
  unsigned high = lead >= 0xE0 ? lead - 0x40 : lead;
  high = (high - 0x81) * 2 + 0x21;
  unsigned low;
  if (trail >= 0x9F) {
    ++high;
    low = trail - 0x7E;
  } else {
    low = trail >= 0x80 ? trail - 0x20 : trail - 0x1F;
  }
  if (high > 0x7E) return 0;
  return (high << 8) | low;
}

bool ToShiftJis(const std::wstring& text, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  BOOL usedDefault = FALSE;
  int size = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                 nullptr, 0, nullptr, &usedDefault);
  if (size <= 0 || usedDefault) return false;
  out->resize(size);
  usedDefault = FALSE;
  size = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                             &(*out)[0], size, nullptr, &usedDefault);
  return size > 0 && !usedDefault;
}

bool ToUtf8(const std::wstring& text, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(),
                                 static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  out->resize(size);
  return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                             &(*out)[0], size, nullptr, nullptr) == size;
}

// One code point of text starting at i (a surrogate pair counts as one).
size_t CharacterLength(const std::wstring& text, size_t i) {
  if (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1])) return 2;
  return 1;
}

// The longest line RFC 5322 allows, without its CR LF.
constexpr size_t kMaxLineOctets = 998;

// Octets a line takes on the wire: a leading "." is doubled.
size_t WireLength(const std::string& line) { return line.size() + (!line.empty() && line[0] == '.' ? 1 : 0); }

// Splits text at CR, LF or CR LF.
std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      lines.emplace_back();
      continue;
    }
    lines.back() += text[i];
  }
  return lines;
}

// Splits text between whole characters into pieces whose converted bytes
// fit: fits(pieces made so far, bytes) says whether the piece under way may
// hold them, and a single character always makes a piece. False when a
// character cannot be converted.
template <typename Convert, typename Fits>
bool SplitConverted(const std::wstring& text, Convert convert, Fits fits, std::vector<std::string>* pieces) {
  std::wstring pending;
  std::string pendingBytes;
  for (size_t i = 0; i < text.size();) {
    const size_t n = CharacterLength(text, i);
    const std::wstring candidate = pending + text.substr(i, n);
    std::string bytes;
    if (!convert(candidate, &bytes)) return false;
    if (!fits(pieces->size(), bytes) && !pending.empty()) {
      pieces->push_back(pendingBytes);
      pending.clear();
      pendingBytes.clear();
      continue;  // the same character starts the next piece
    }
    pending = candidate;
    pendingBytes = bytes;
    i += n;
  }
  if (!pending.empty() || pieces->empty()) pieces->push_back(pendingBytes);
  return true;
}

// The body in ISO-2022-JP, each line converted on its own (so each starts and
// ends in ASCII) and a line too long for the wire folded between whole
// characters, every part again returning to ASCII.
bool BodyToIso2022Jp(const std::wstring& body, std::string* out) {
  out->clear();
  std::vector<std::string> lines;
  for (const std::wstring& line : SplitLines(FoldHalfWidthKatakana(body))) {
    std::vector<std::string> parts;  // an empty line still makes one
    const bool ok = SplitConverted(
        line, WideToIso2022Jp, [](size_t, const std::string& bytes) { return WireLength(bytes) <= kMaxLineOctets; },
        &parts);
    if (!ok) return false;
    lines.insert(lines.end(), parts.begin(), parts.end());
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) *out += "\r\n";
    *out += lines[i];
  }
  return true;
}

bool HasEightBitCharacter(const wchar_t* text) {
  for (const wchar_t* p = text; *p != L'\0'; ++p)
    if (*p >= 0x80) return true;
  return false;
}

// Any CR, LF or CR LF becomes CR LF; nothing else changes.
std::string CanonicalLineEnds(const std::string& body) {
  std::string out;
  out.reserve(body.size() + 16);
  for (size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\r' || body[i] == '\n') {
      if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') ++i;
      out += "\r\n";
      continue;
    }
    out += body[i];
  }
  return out;
}

// Line ends become CR LF, and a leading "." of a line is doubled so that
// the server delivers the line as typed.
std::string NormaliseBody(const std::string& body) {
  const std::string lines = CanonicalLineEnds(body);
  std::string out;
  out.reserve(lines.size() + 16);
  bool lineStart = true;
  for (char c : lines) {
    if (lineStart && c == '.') out += '.';
    out += c;
    lineStart = c == '\n';
  }
  return out;
}

// Base64 in lines of 76 characters (RFC 2045), CR LF between them.
bool Base64Lines(const std::string& bytes, std::string* out) {
  char* slot = nullptr;
  const char* encoded = Base64EncodeBytes(&slot, bytes.data(), bytes.size());
  if (encoded == nullptr) return false;
  const std::string text = encoded;
  FreeBase64Slot(&slot);
  out->clear();
  for (size_t at = 0; at < text.size(); at += 76) {
    if (at > 0) *out += "\r\n";
    *out += text.substr(at, 76);
  }
  return true;
}

}  // namespace

std::wstring FoldHalfWidthKatakana(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c < 0xFF61 || c > 0xFF9F) {
      out += c;
      continue;
    }
    wchar_t full = kFullWidthKana[c - 0xFF61];
    wchar_t next = i + 1 < text.size() ? text[i + 1] : 0;
    if (next == 0xFF9E && TakesVoicedMark(c)) {
      full = c == 0xFF73 ? 0x30F4 : static_cast<wchar_t>(full + 1);
      ++i;
    } else if (next == 0xFF9F && TakesSemiVoicedMark(c)) {
      full = static_cast<wchar_t>(full + 2);
      ++i;
    }
    out += full;
  }
  return out;
}

bool ShiftJisToIso2022Jp(const char* source, std::string* destination) {
  bool doubleByte = false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(source); *p != 0;) {
    if (IsShiftJisLead(p[0])) {
      unsigned jis = ShiftJisToJis(p[0], p[1]);
      if (jis == 0 || !IsSendableJisRow(static_cast<int>(jis >> 8) - 0x20)) return false;
      if (!doubleByte) {
        *destination += "\x1b$B";
        doubleByte = true;
      }
      *destination += static_cast<char>(jis >> 8);
      *destination += static_cast<char>(jis & 0xff);
      p += 2;
      continue;
    }
    if (p[0] >= 0x80) return false;  // 8-bit bytes cannot go out as 7-bit text
    // An ESC or another control would switch or confuse the reader's decoder.
    if (p[0] < 0x20 && p[0] != '\t' && p[0] != '\r' && p[0] != '\n') return false;
    if (doubleByte) {
      *destination += "\x1b(B";
      doubleByte = false;
    }
    *destination += static_cast<char>(p[0]);
    ++p;
  }
  if (doubleByte) *destination += "\x1b(B";
  return true;
}

bool WideToIso2022Jp(const std::wstring& text, std::string* destination) {
  std::string shiftJis;
  if (!ToShiftJis(FoldHalfWidthKatakana(text), &shiftJis)) return false;
  if (shiftJis.find('\0') != std::string::npos) return false;
  return ShiftJisToIso2022Jp(shiftJis.c_str(), destination);
}

bool BuildSubjectLine(const std::wstring& subject, int charset, std::string* line) {
  const bool jis = charset == kCharsetIso2022Jp;
  const char* prefix = jis ? "=?ISO-2022-JP?B?" : "=?utf-8?B?";
  // A line that holds an encoded word is at most 76 characters: the first
  // word follows "Subject:", each later one a folding space (and so is at
  // most 75, the longest word there is). The Base64 part is what the frame
  // leaves, rounded down to whole groups of four.
  const size_t frame = strlen(prefix) + 2;
  const size_t maxRawFirst = (76 - strlen("Subject:") - frame) / 4 * 3;
  const size_t maxRawLater = (76 - 1 - frame) / 4 * 3;
  std::wstring text = jis ? FoldHalfWidthKatakana(subject) : subject;

  std::vector<std::string> words;
  auto convert = [jis](const std::wstring& part, std::string* bytes) {
    return jis ? WideToIso2022Jp(part, bytes) : ToUtf8(part, bytes);
  };
  auto fits = [&](size_t wordsMade, const std::string& bytes) {
    return bytes.size() <= (wordsMade == 0 ? maxRawFirst : maxRawLater);
  };
  if (!SplitConverted(text, convert, fits, &words)) return false;

  char* slot = nullptr;
  *line = "Subject:";
  for (size_t w = 0; w < words.size(); ++w) {
    if (w > 0) *line += "\r\n ";
    const char* encoded = Base64EncodeBytes(&slot, words[w].data(), words[w].size());
    if (encoded == nullptr) {
      FreeBase64Slot(&slot);
      return false;
    }
    *line += prefix;
    *line += encoded;
    *line += "?=";
  }
  FreeBase64Slot(&slot);
  *line += "\r\n";
  return true;
}

bool MailBodyNeedsEightBit(const MailRequest* request) {
  return request->charset != kCharsetIso2022Jp && HasEightBitCharacter(request->body);
}

int ComposeMailText(const MailRequest* request, std::string* out, bool eightBitAccepted) {
  out->clear();
  if (!MailRequestFieldsAreSafe(request)) return 40;
  const bool jis = request->charset == kCharsetIso2022Jp;
  std::string subjectLine;
  if (!BuildSubjectLine(request->subject, request->charset, &subjectLine)) return 0;
  std::string body;
  bool ok = jis ? BodyToIso2022Jp(request->body, &body) : ToUtf8(request->body, &body);
  if (!ok) return 0;
  // 8-bit text only goes to a server that takes it; any other gets Base64.
  const bool base64 = MailBodyNeedsEightBit(request) && !eightBitAccepted;
  std::string encodedBody;
  if (base64 && !Base64Lines(CanonicalLineEnds(body), &encodedBody)) return 40;

  out->reserve(512 + subjectLine.size() + body.size() * 2);
  *out += "From:";
  *out += request->from;
  *out += "\r\nTo:";
  *out += request->to;
  *out += "\r\n";
  *out += subjectLine;
  *out += "Mime-Version: 1.0\r\n";
  *out += jis ? "Content-Type:text/plain;charset=\"iso-2022-jp\"\r\n"
              : "Content-Type:text/plain;charset=\"utf-8\"\r\n";
  *out += jis ? "Content-Transfer-Encoding: 7bit\r\n"
              : base64 ? "Content-Transfer-Encoding: base64\r\n" : "Content-Transfer-Encoding: 8bit\r\n";
  *out += "X-Mailer:sopora\r\n";
  *out += "\r\n";
  *out += base64 ? encodedBody : NormaliseBody(body);
  *out += "\r\n.\r\n";
  return -1;
}

void BuildMailMessage(MailSession* session, std::string* destination, const MailRequest* request,
                      bool eightBitAccepted) {
  int failure = ComposeMailText(request, destination, eightBitAccepted);
  if (failure < 0) return;
  destination->clear();
  // No system error stands behind these failures: name the bad input.
  ReportMailError(failure == 0 ? ERROR_NO_UNICODE_TRANSLATION : ERROR_INVALID_PARAMETER, failure,
                  session, OsError);
}

std::wstring ReplacePlaceholdersIn(const std::wstring& text, const std::wstring& timeText,
                                   const std::wstring* computerName) {
  std::wstring out = text;
  size_t at = out.find(L"<TIME>");
  if (at != std::wstring::npos) out.replace(at, 6, timeText);
  if (computerName != nullptr) {
    at = out.find(L"<PCNAME>");
    if (at != std::wstring::npos) out.replace(at, 8, *computerName);
  }
  return out;
}

void ReplaceMailPlaceholders(const wchar_t* subjectTemplate, const wchar_t* bodyTemplate,
                             MailRequest* request) {
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  wchar_t timeText[64];
  swprintf(timeText, 64, L"%d/%02d/%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
           now.wMinute, now.wSecond);
  wchar_t name[32] = {};
  DWORD nameLength = 32;
  std::wstring computerName;
  bool haveName = GetComputerNameW(name, &nameLength) != 0;
  if (haveName) computerName = name;
  std::wstring subject = ReplacePlaceholdersIn(subjectTemplate, timeText, haveName ? &computerName : nullptr);
  std::wstring body = ReplacePlaceholdersIn(bodyTemplate, timeText, haveName ? &computerName : nullptr);
  // At most 255 characters, cut before a split surrogate pair.
  auto store = [](wchar_t* field, const std::wstring& text) {
    size_t n = text.size() < 255 ? text.size() : 255;
    if (n == 255 && IS_HIGH_SURROGATE(text[254])) n = 254;
    wmemcpy(field, text.data(), n);
    field[n] = L'\0';
  };
  store(request->subject, subject);
  store(request->body, body);
}
