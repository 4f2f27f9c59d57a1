#pragma once
#include <windows.h>

// Folders derived from the executable's own location. Both programs fill them
// once at start-up; the countdown program uses profileFolder and skinFolder.
extern wchar_t programFolder[MAX_PATH];          // up to and including the last backslash
extern wchar_t programBaseName[256];             // file name without extension
extern wchar_t profileFolder[MAX_PATH];          // programFolder + "profile\"
extern wchar_t schedulerProfileFolder[MAX_PATH]; // programFolder + "profile\scheduler\"
extern wchar_t skinFolder[MAX_PATH];             // programFolder + "skin\"

// Fills the paths from the module file name.
void InitProgramPaths();
// Fills the paths from a given program folder (ending in a backslash) and base name.
void SetProgramPaths(const wchar_t* folder, const wchar_t* baseName);
