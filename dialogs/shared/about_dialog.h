#pragma once
#include <windows.h>

#include <string>

// The about box with its update check, one piece for both programs: what
// differs between them is an AboutBoxConfig.

// The maker's pages, the same for both programs.
extern const wchar_t kMakerHomePage[];
extern const wchar_t kMakerContactPage[];
extern const wchar_t kUpdateServer[];

struct AboutBoxConfig {
  int dialogResource;          // 152 in the scheduler, 178 in the countdown program
  int iconResource;            // shown at 48 x 48
  double version;              // the program's own, also the threshold
  const wchar_t* titleFormat;  // static 1131, with the version
  const wchar_t* programName;  // the agent and the Referer
  const wchar_t* versionFilePath;  // on kUpdateServer
  const wchar_t* programPage;  // opened by "ダウンロード"
  const wchar_t* makerLine;    // static 1133
  HWND* openDialog;            // the program's handle of the open box
  HFONT* dialogFont;           // the start-up's dialog font, may hold null
  HPEN* separatorPen;          // the start-up's grey pen, may hold null
  const RECT* workArea;        // the work area the box is centred on; null for the current one
};

enum class UpdateOutcome { Newer, UpToDate, Failed };

struct UpdateCheckResult {
  UpdateOutcome outcome;
  int code;                 // when failed: 0 open, 1 open URL, 2 reply unusable
  DWORD lastError;          // codes 0 and 1
  std::wstring systemText;  // WinINet's text of lastError
};

// The whole fetch and comparison; blocking, so the about box runs it on a worker.
UpdateCheckResult CheckForUpdate(const AboutBoxConfig& config);

// The version file's number against the program's version: the text of the
// bytes read, as atof reads it.
bool IsNewerVersion(const char* text, double version);

// Opens an address in the browser; tests replace it.
extern void (*openAddressCall)(HWND owner, const wchar_t* address);

// Posted by the worker to the about box: lParam an UpdateCheckResult* it owns.
inline constexpr UINT kMsgUpdateChecked = 0x8010;

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The modal about box; lParam of its procedure is the config. An open box is
// raised instead of a second one.
INT_PTR RunAboutDialog(HWND owner, const AboutBoxConfig& config);
