#include "about_dialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dpi_scaling.h"

// Addresses under a domain reserved for documentation (RFC 2606).
const wchar_t kMakerHomePage[] = L"https://www.sopora.example/";
const wchar_t kMakerContactPage[] = L"https://www.sopora.example/contact/";
const wchar_t kUpdateServer[] = L"http://update.sopora.example";

namespace {

void OpenWithShell(HWND, const wchar_t* address) {
  ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

// Closes a WinINet handle on every path out of the check.
struct InternetHandle {
  HINTERNET handle = nullptr;
  ~InternetHandle() {
    if (handle) InternetCloseHandle(handle);
  }
};

std::wstring WinInetErrorText(DWORD error) {
  std::wstring text;
  HMODULE module = LoadLibraryW(L"WININET.DLL");
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     module, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (length && buffer) text.assign(buffer, length);
  if (buffer) LocalFree(buffer);
  if (module) FreeLibrary(module);
  return text;
}

UpdateCheckResult Failure(int code, DWORD error = 0) {
  UpdateCheckResult result{UpdateOutcome::Failed, code, error, {}};
  if (code < 2) result.systemText = WinInetErrorText(error);
  return result;
}

// State of the open box (one at a time per process).
struct AboutBoxState {
  const AboutBoxConfig* config = nullptr;
  int updateState = 0;  // 0 not checked or failed, 1 newer found, 2 up to date
  bool busy = false;
};
AboutBoxState box;
HICON aboutIcon;
HFONT titleFont;

constexpr UINT_PTR kCheckTimer = 1;

struct WorkerJob {
  const AboutBoxConfig* config;
  HWND dialog;
};

DWORD WINAPI UpdateWorker(void* parameter) {
  WorkerJob* job = static_cast<WorkerJob*>(parameter);
  auto* result = new UpdateCheckResult(CheckForUpdate(*job->config));
  // A box closed meanwhile takes no result.
  if (!PostMessageW(job->dialog, kMsgUpdateChecked, 0, reinterpret_cast<LPARAM>(result))) delete result;
  delete job;
  return 0;
}

bool StartWorker(HWND dialog) {
  auto* job = new WorkerJob{box.config, dialog};
  HANDLE thread = CreateThread(nullptr, 0, UpdateWorker, job, 0, nullptr);
  if (!thread) {
    delete job;
    return false;
  }
  CloseHandle(thread);
  return true;
}

void SetDialogFont(HWND dialog, int id) {
  HFONT font = box.config->dialogFont ? *box.config->dialogFont : nullptr;
  if (font) SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void MakeIconAndFont() {
  if (!aboutIcon)
    aboutIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(box.config->iconResource),
                                              IMAGE_ICON, 48, 48, 0));
  if (!titleFont) {
    LOGFONTW lf{};
    SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0);
    lf.lfHeight -= 1;
    titleFont = CreateFontIndirectW(&lf);
  }
}

void OnInitDialog(HWND dialog, const AboutBoxConfig* config) {
  box.config = config;
  box.updateState = 0;
  box.busy = false;
  if (config->openDialog) *config->openDialog = dialog;
  MakeIconAndFont();

  wchar_t title[30];
  _snwprintf(title, 30, config->titleFormat, config->version);
  title[29] = L'\0';
  SetDlgItemTextW(dialog, 1131, title);
  if (titleFont) SendDlgItemMessageW(dialog, 1131, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont), FALSE);
  SetDlgItemTextW(dialog, 1133, config->makerLine);
  for (int id : {1133, 1134, 1153, 1154, 1132, IDOK}) SetDialogFont(dialog, id);

  RECT area = config->workArea ? *config->workArea : RECT{};
  if (area.right <= area.left) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  PlaceDialog(dialog, area, 333, 215);
  PlaceControl(dialog, 1131, 73, 15, 205, 20);
  PlaceControl(dialog, 1133, 74, 38, 190, 18);
  PlaceControl(dialog, 1153, 77, 74, 163, 15);
  PlaceControl(dialog, 1134, 6, 94, 68, 18);
  PlaceControl(dialog, 1154, 77, 94, 240, 15);
  PlaceControl(dialog, 1132, 8, 139, 111, 35);
  PlaceControl(dialog, IDOK, 233, 139, 86, 35);
}

void OnPaint(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  if (aboutIcon) DrawIconEx(dc, ScaleX(19), ScaleY(9), aboutIcon, ScaleX(48), ScaleY(48), 0, nullptr, DI_NORMAL);
  HPEN pen = box.config->separatorPen ? *box.config->separatorPen : nullptr;
  HGDIOBJ previous = SelectObject(dc, pen ? pen : GetStockObject(BLACK_PEN));
  MoveToEx(dc, ScaleX(5), ScaleY(127), nullptr);
  LineTo(dc, ScaleX(319), ScaleY(127));
  SelectObject(dc, previous);
  EndPaint(dialog, &paint);
}

void OnCheckButton(HWND dialog) {
  switch (box.updateState) {
    case 0:
      EnableWindow(GetDlgItem(dialog, 1132), FALSE);
      SetDlgItemTextW(dialog, 1132, L"確認中...");
      SetTimer(dialog, kCheckTimer, 1, nullptr);
      return;
    case 1:
      openAddressCall(dialog, box.config->programPage);
      return;
    default:
      MessageBeep(0);
      return;
  }
}

void OnTimer(HWND dialog) {
  if (box.busy) return;
  box.busy = true;
  KillTimer(dialog, kCheckTimer);
  if (StartWorker(dialog)) return;
  box.busy = false;
  SetDlgItemTextW(dialog, 1132, L"最新版の確認");
  EnableWindow(GetDlgItem(dialog, 1132), TRUE);
}

void OnUpdateChecked(HWND dialog, UpdateCheckResult* result) {
  if (result->outcome == UpdateOutcome::Failed) {
    if (result->code == 2) {
      MessageBoxW(dialog, L"確認失敗。", L"エラー", MB_OK);
    } else {
      wchar_t caption[40];
      _snwprintf(caption, 40, L"アップデートエラー #%d", result->code);
      caption[39] = L'\0';
      MessageBoxW(dialog, result->systemText.c_str(), caption, MB_ICONERROR);
    }
    SetDlgItemTextW(dialog, 1132, L"最新版の確認");
    box.busy = false;
  } else {
    ShowWindow(dialog, SW_SHOW);
    const bool newer = result->outcome == UpdateOutcome::Newer;
    box.updateState = newer ? 1 : 2;
    SetDlgItemTextW(dialog, 1132, newer ? L"ダウンロード" : L"最新版です");
  }
  EnableWindow(GetDlgItem(dialog, 1132), TRUE);
}

}  // namespace

void (*openAddressCall)(HWND owner, const wchar_t* address) = OpenWithShell;

bool IsNewerVersion(const char* text, double version) { return atof(text) > version; }

UpdateCheckResult CheckForUpdate(const AboutBoxConfig& config) {
  wchar_t headers[40];
  _snwprintf(headers, 40, L"Referer:%s", config.programName);
  headers[39] = L'\0';

  InternetHandle internet;
  internet.handle = InternetOpenW(config.programName, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!internet.handle) return Failure(0, GetLastError());

  const std::wstring address = std::wstring(kUpdateServer) + config.versionFilePath;
  InternetHandle url;
  url.handle = InternetOpenUrlW(internet.handle, address.c_str(), headers, static_cast<DWORD>(-1),
                                INTERNET_FLAG_RELOAD, 0);
  if (!url.handle) return Failure(1, GetLastError());

  // Only a real version file counts: an error page's body is no version.
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!HttpQueryInfoW(url.handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
      status != 200)
    return Failure(2);

  // Four bytes take one digit and its terminator: longer or chunked replies fail.
  wchar_t length[2] = {};
  size = sizeof length;
  if (!HttpQueryInfoW(url.handle, HTTP_QUERY_CONTENT_LENGTH, length, &size, nullptr)) return Failure(2);

  char body[101] = {};
  DWORD read = 0;
  if (!InternetReadFile(url.handle, body, 100, &read) || read == 0) return Failure(2);
  body[read] = '\0';
  const bool newer = IsNewerVersion(body, config.version);
  return UpdateCheckResult{newer ? UpdateOutcome::Newer : UpdateOutcome::UpToDate, 0, 0, {}};
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog, reinterpret_cast<const AboutBoxConfig*>(lParam));
      return TRUE;
    case WM_PAINT:
      OnPaint(dialog);
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if ((header->idFrom == 1153 || header->idFrom == 1154) &&
          (header->code == NM_CLICK || header->code == NM_RETURN)) {
        openAddressCall(dialog, header->idFrom == 1153 ? kMakerHomePage : kMakerContactPage);
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
          KillTimer(dialog, kCheckTimer);
          EndDialog(dialog, 1);
          return TRUE;
        case 1132:
          OnCheckButton(dialog);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_TIMER:
      if (wParam == kCheckTimer) OnTimer(dialog);
      return TRUE;
    case kMsgUpdateChecked: {
      auto* result = reinterpret_cast<UpdateCheckResult*>(lParam);
      OnUpdateChecked(dialog, result);
      delete result;
      return TRUE;
    }
    case WM_DESTROY:
      if (box.config && box.config->openDialog) *box.config->openDialog = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR RunAboutDialog(HWND owner, const AboutBoxConfig& config) {
  // A menu can still ask while the box is open (the tray's menu is not disabled by it).
  if (config.openDialog && *config.openDialog && IsWindow(*config.openDialog)) {
    SetWindowPos(*config.openDialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return 0;
  }
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(config.dialogResource), owner, AboutDialogProc,
                         reinterpret_cast<LPARAM>(&config));
}
