#pragma once
#include <windows.h>

#include <cstdint>

#include "action_names.h"
#include "shared/countdown_side_actions.h"
#include "main_window_state.h"
#include "schedule_model.h"

// The mail jobs the countdown and the executor call (the other side actions
// go through countdown_side_actions.h): the program links the real worker
// and dialog 148, the countdown tests recording doubles.
#include "mail_progress_dialog.h"
