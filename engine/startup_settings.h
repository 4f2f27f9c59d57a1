#pragma once
#include <windows.h>

// What the command line and ".\Scheduler.ini" give the scheduler at start-up.

inline constexpr const wchar_t* kSchedulerIniPath = L".\\Scheduler.ini";
inline constexpr const wchar_t* kCountdownIniPath = L".\\sopora.ini";

enum class StartArgument { None, Name, TooLong };

// Scans the arguments after the program name: the first one of at least 7
// characters that begins with "start:" (exact case) decides. Its name goes
// into `name` (32 characters) when it has at most 31 characters; a longer one
// is refused (TooLong, `name` left empty).
StartArgument FindStartProfileName(int argc, wchar_t* const* argv, wchar_t* name);
// The same for a whole command line, split as CommandLineToArgvW splits it.
StartArgument ParseStartArgument(const wchar_t* commandLine, wchar_t* name);
inline constexpr const wchar_t* kStartNameTooLongText =
    L"起動時に指定されたプロファイル名が長すぎます。\n"
    L"プロファイル名は31文字以内で指定して下さい。";

// An optional sign and the leading decimal digits; text without digits is 0.
int ParseIniNumber(const wchar_t* text);
// A number read through a buffer of `bufferChars` characters, so a value is
// cut to bufferChars - 1 characters before it is converted.
int ReadIniNumber(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText,
                  int bufferChars, const wchar_t* iniPath);

// "Setting" / "StartUp" through its 2-character buffer into startWithWindows.
// The "CountWindow" keys are read by LoadCountWindowSettings (count_window.h).
void LoadStartUpSetting(const wchar_t* iniPath = kSchedulerIniPath);
// "Setting" / "DefProfile" through its 32-character buffer.
void ReadDefaultProfileName(wchar_t* name, const wchar_t* iniPath = kSchedulerIniPath);
