#pragma once
#include <windows.h>

// Draws an owner-drawn weekday button from the button bitmaps: active faces
// 164 (166 for the current day), pressed 165 (167), black text; an inactive
// button 168 with grey text. Plain colours stand in where a bitmap is missing.
void DrawWeekdayButton(const DRAWITEMSTRUCT* draw, bool active, bool current);

// The bitmap (0-4 for 164-168) a weekday button shows.
int WeekdayButtonImage(bool active, bool current, bool pressed);
