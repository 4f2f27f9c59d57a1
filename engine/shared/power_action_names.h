#pragma once

// The five power actions' ini key names and Japanese names, in action order
// (shutdown, restart, log off, hibernate, standby); before Windows version 6
// the last one is "Standby"/"スタンバイ", from then on "Sleep"/"スリープ". Both
// programs fill their name tables from here, each adding its own entries.
void FillPowerActionNames(unsigned majorVersion, const wchar_t* keyNames[5], const wchar_t* displayNames[5]);
