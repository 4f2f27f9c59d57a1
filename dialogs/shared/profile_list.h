#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The pieces both programs' profile dialogs share: the name check before a
// save, the listing of the profile folder, the same-file lookups and the
// delete. What differs between the programs comes in as parameters.

// What Save does with the text of the name edit, before anything is written.
enum class ProfileNameCheck { Ok, Empty, TooLong, Refused };
ProfileNameCheck CheckProfileNameForSave(const wchar_t* text, size_t maxLength);

// How one program lists its profile folder.
struct ProfileListRules {
  size_t maxNameChars;  // longer base names are left out: no save makes them, no load reaches them
  size_t headBytes;     // read from the start of each file for its row
  size_t minHeadBytes;  // a file shorter than this gets no row
  // The row's texts after the name column, from the head read (size <= headBytes).
  std::vector<std::wstring> (*rowTexts)(const uint8_t* head, size_t size);
};

// One "*.dat" of the folder.
struct ListedProfile {
  std::wstring name;  // the file name without ".dat"
  bool hasRow;        // false when the file could not be opened or is too short
  std::vector<std::wstring> texts;
};
// Every "*.dat" of the folder (which ends with a backslash) within the name
// limit, in the order the search returns them.
std::vector<ListedProfile> ListProfileFolder(const wchar_t* folder, const ProfileListRules& rules);

// The first of `names` that names the same file as `name` (letter case
// ignored), or -1.
int FindSameProfileName(const std::vector<std::wstring>& names, const wchar_t* name);
// Column 0 of every row of a list view.
std::vector<std::wstring> ListViewRowNames(HWND listView);
// The first entry of the combo box from `first` on that names the same file as
// `name`, or CB_ERR.
int FindProfileComboEntry(HWND combo, const wchar_t* name, int first);

// The controls of a profile dialog that follow the list's selection.
struct ProfileListControls {
  int nameEditId;
  int loadButtonId;
  int deleteButtonId;
};
// The list view's notifications: a row selected and focused fills the name
// edit and enables load and delete; a click that leaves no row selected
// disables them; custom draw keeps the selected row highlighted while the list
// has no focus. Returns TRUE when it set DWLP_MSGRESULT.
INT_PTR OnProfileListNotify(HWND dialog, HWND listView, const ProfileListControls& controls, const NMHDR* header);

// Deletes a profile file; one already gone counts as deleted. On any other
// failure shows `failedText` and the system's text over the owner (caption
// "エラー") and returns false.
bool DeleteProfileFileReported(HWND owner, const wchar_t* path, const wchar_t* failedText);
