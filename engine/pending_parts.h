#pragma once
#include <windows.h>

// Entry points of windows and dialogs that are built elsewhere. Until each one
// lands, pending_parts.cpp holds the least that keeps the program running.
