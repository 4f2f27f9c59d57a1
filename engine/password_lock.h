#pragma once
#include <windows.h>
#include <wincrypt.h>

// The lock password is kept only as the SHA-1 digest of its ANSI text, written
// as 40 lower-case hex digits.

inline constexpr int kPasswordMaxChars = 30;

// Digest of a newly entered password, carried to the general page's apply step.
extern char pendingPasswordHash[41];

// SHA-1 of the 8-bit text (without its NUL) as 40 lower-case hex digits and a
// NUL. A CryptoAPI failure shows the system's text over `owner`, false.
bool HashPasswordSha1Hex(const char* text, char* digest, HWND owner);
// True when the edit's text has the stored digest; otherwise
// "パスワードが違います。" and the edit is cleared.
bool CheckLockPassword(HWND edit, HWND owner);
// Checks the two entries and leaves the new digest in pendingPasswordHash.
bool SetLockPassword(HWND passwordEdit, HWND confirmationEdit, HWND owner);

// Room for a password in the ANSI code page: 2 bytes a character in a
// double-byte page, up to 3 a UTF-16 unit where the page is UTF-8.
inline constexpr int kPasswordAnsiBufferSize = 3 * kPasswordMaxChars + 1;

// The password's text in the ANSI code page. With `strict`, false when a
// character has no exact form there (a new password); without it, the bytes
// GetWindowTextA would give (the stored digests were made of them).
bool PasswordToAnsi(const wchar_t* password, char* ansi, int ansiSize, bool strict = true);

// WideCharToMultiByte as the password lock calls it; tests put in one that
// refuses what Windows refuses.
using AnsiConversionCall = int(WINAPI*)(UINT codePage, DWORD flags, LPCWCH text, int length, LPSTR out,
                                        int outSize, LPCCH defaultChar, LPBOOL usedDefault);
// Null restores the system's call.
void SetAnsiConversionCall(AnsiConversionCall call);

// CryptAcquireContextW as the digest calls it; tests put in one that fails.
using HashProviderCall = BOOL(WINAPI*)(HCRYPTPROV* provider, LPCWSTR container, LPCWSTR providerName,
                                       DWORD type, DWORD flags);
// Null restores the system's call.
void SetHashProviderCall(HashProviderCall call);
