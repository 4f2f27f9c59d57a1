#include "password_lock.h"

#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "schedule_model.h"
#include "shared/error_log.h"

char pendingPasswordHash[41];

namespace {

constexpr int kAnsiBufferSize = kPasswordAnsiBufferSize;

AnsiConversionCall ansiConversion = WideCharToMultiByte;

// Why a digest step failed, with the error taken before the throw could
// change it.
struct HashFailure {
  const wchar_t* caption;
  DWORD error;
};

// Releases what the digest took, on every path.
struct HashHandles {
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  ~HashHandles() {
    if (hash) CryptDestroyHash(hash);
    if (provider) CryptReleaseContext(provider, 0);
  }
};

HashProviderCall acquireContext = CryptAcquireContextW;

bool AcquireHashProvider(HCRYPTPROV* provider) {
  // A verify-only context hashes without touching any key container.
  if (acquireContext(provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) return true;
  return acquireContext(provider, nullptr, nullptr, PROV_RSA_FULL, 0) != FALSE;
}

int WindowTextLength(HWND edit) { return GetWindowTextLengthW(edit); }

}  // namespace

void SetHashProviderCall(HashProviderCall call) { acquireContext = call ? call : CryptAcquireContextW; }

void SetAnsiConversionCall(AnsiConversionCall call) { ansiConversion = call ? call : WideCharToMultiByte; }

bool HashPasswordSha1Hex(const char* text, char* digest, HWND owner) {
  HashHandles handles;
  try {
    if (!AcquireHashProvider(&handles.provider)) throw HashFailure{L"CryptAcquireContext error", GetLastError()};
    if (!CryptCreateHash(handles.provider, CALG_SHA1, 0, 0, &handles.hash))
      throw HashFailure{L"CryptCreateHash error", GetLastError()};
    if (!CryptHashData(handles.hash, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text)), 0))
      throw HashFailure{L"CryptHashData error", GetLastError()};
    BYTE value[20];
    DWORD size = sizeof value;
    if (!CryptGetHashParam(handles.hash, HP_HASHVAL, value, &size, 0) || size != sizeof value)
      throw HashFailure{L"CryptGetHashParam error", GetLastError()};
    for (int i = 0; i < 20; ++i) snprintf(digest + 2 * i, 3, "%02x", value[i]);
    digest[40] = '\0';
    return true;
  } catch (const HashFailure& failure) {
    wchar_t* systemText = FetchSystemErrorText(failure.error);
    ShowSystemErrorMessage(failure.caption, owner, &systemText);
    return false;
  }
}

bool PasswordToAnsi(const wchar_t* password, char* ansi, int ansiSize, bool strict) {
  int written = 0;
  bool exact = true;
  if (GetACP() == CP_UTF8) {
    // UTF-8 takes neither best-fit flags nor a default character; it holds
    // every character but a lone surrogate.
    written = ansiConversion(CP_ACP, strict ? WC_ERR_INVALID_CHARS : 0, password, -1, ansi, ansiSize, nullptr,
                             nullptr);
  } else if (strict) {
    BOOL usedDefault = FALSE;
    written = ansiConversion(CP_ACP, WC_NO_BEST_FIT_CHARS, password, -1, ansi, ansiSize, nullptr, &usedDefault);
    exact = !usedDefault;
  } else {
    written = ansiConversion(CP_ACP, 0, password, -1, ansi, ansiSize, nullptr, nullptr);
  }
  if (written <= 0) {
    if (ansiSize > 0) ansi[0] = '\0';
    return false;
  }
  return exact;
}

bool CheckLockPassword(HWND edit, HWND owner) {
  const int length = WindowTextLength(edit);
  if (length > 0 && length <= kPasswordMaxChars) {
    wchar_t typed[kPasswordMaxChars + 1] = L"";
    GetWindowTextW(edit, typed, kPasswordMaxChars + 1);
    char ansi[kAnsiBufferSize] = "";
    char digest[41];
    if (PasswordToAnsi(typed, ansi, kAnsiBufferSize, false)) {
      if (!HashPasswordSha1Hex(ansi, digest, owner)) return false;
      if (memcmp(digest, profileSettings.general.passwordHash, 41) == 0) return true;
    }
  }
  MessageBoxW(owner, L"パスワードが違います。", L"", MB_OK);
  SetWindowTextW(edit, L"");
  return false;
}

bool SetLockPassword(HWND passwordEdit, HWND confirmationEdit, HWND owner) {
  const int length = WindowTextLength(passwordEdit);
  const int confirmationLength = WindowTextLength(confirmationEdit);
  if (length == 0 || confirmationLength == 0) {
    MessageBoxW(owner, L"パスワードの入力を確認して下さい。", L"", MB_OK);
    return false;
  }
  if (length > kPasswordMaxChars || confirmationLength > kPasswordMaxChars) {
    wchar_t text[64];
    swprintf(text, 64, L"パスワードは%d字以内で設定して下さい。", kPasswordMaxChars);
    MessageBoxW(owner, text, L"", MB_OK);
    return false;
  }
  wchar_t password[kPasswordMaxChars + 1] = L"";
  wchar_t confirmation[kPasswordMaxChars + 1] = L"";
  GetWindowTextW(passwordEdit, password, kPasswordMaxChars + 1);
  GetWindowTextW(confirmationEdit, confirmation, kPasswordMaxChars + 1);
  if (wcscmp(password, confirmation) != 0) {
    MessageBoxW(owner, L"パスワードが一致しません", L"エラー", MB_OK);
    return false;
  }
  // A character the ANSI code page cannot hold would hash as "?" and match
  // other passwords.
  char ansi[kAnsiBufferSize];
  if (!PasswordToAnsi(password, ansi, kAnsiBufferSize)) {
    MessageBoxW(owner, L"パスワードの入力を確認して下さい。", L"", MB_OK);
    return false;
  }
  return HashPasswordSha1Hex(ansi, pendingPasswordHash, owner);
}
