#pragma once
#include <cstddef>

// The rule for a profile's name in both programs: it becomes "<name>.dat" in
// the profile folder, so it must name exactly one ordinary file there. Refused:
// an empty name, the characters \ / : * ? " < > |, control characters, a
// leading or trailing blank or dot, and the device names CON, PRN, AUX, NUL,
// COM1-COM9 and LPT1-LPT9 in any letter case, also with an extension ("nul.txt").
// A name longer than maxLength characters is refused too.
bool IsValidProfileName(const wchar_t* name, size_t maxLength = static_cast<size_t>(-1));

// Whether two profile names name the same file: letter case is ignored, as the
// file system ignores it.
bool SameProfileName(const wchar_t* a, const wchar_t* b);
