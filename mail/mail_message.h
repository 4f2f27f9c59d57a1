#pragma once
#include <string>

#include "mail_request.h"

// Replaces the first "<TIME>" (local time as 2026/12/09 07:10:06) and the first
// "<PCNAME>" (the computer name) in each template and stores the results in
// request->subject and request->body. The templates may be those fields.
void ReplaceMailPlaceholders(const wchar_t* subjectTemplate, const wchar_t* bodyTemplate,
                             MailRequest* request);
// The same on one text, with the time and name given.
std::wstring ReplacePlaceholdersIn(const std::wstring& text, const std::wstring& timeText,
                                   const std::wstring* computerName);

// Whether the body goes out as 8-bit text (UTF-8 with a character beyond ASCII).
bool MailBodyNeedsEightBit(const MailRequest* request);
// Composes the DATA text (headers, blank line, dot-stuffed body with CR LF
// line ends, end-of-data line). An ISO-2022-JP line too long for the wire
// is folded into lines of at most 998 octets; an 8-bit body goes as Base64
// unless the server takes 8-bit text (eightBitAccepted). Returns -1 on
// success, else the step number of the failure: 0 a character the charset
// cannot carry, 40 anything else.
int ComposeMailText(const MailRequest* request, std::string* out, bool eightBitAccepted = true);
// Composes into destination; a failure is reported and aborts the session.
void BuildMailMessage(MailSession* session, std::string* destination, const MailRequest* request,
                      bool eightBitAccepted);

// Appends the ISO-2022-JP form of Shift_JIS bytes. False (destination then
// unspecified) when a character lies outside JIS X 0208 (NEC row 13 is kept)
// or a byte is not valid 7-bit text.
bool ShiftJisToIso2022Jp(const char* source, std::string* destination);
// Wide text to ISO-2022-JP: half-width katakana become full-width, and
// anything code page 932 or JIS X 0208 cannot hold fails.
bool WideToIso2022Jp(const std::wstring& text, std::string* destination);
// Half-width katakana to full-width, voiced marks combined.
std::wstring FoldHalfWidthKatakana(const std::wstring& text);

// "Subject:" with the subject as Base64 encoded words, folded onto
// continuation lines of at most 76 characters each, ending in CR LF. False when the
// subject cannot be carried in the charset.
bool BuildSubjectLine(const std::wstring& subject, int charset, std::string* line);
