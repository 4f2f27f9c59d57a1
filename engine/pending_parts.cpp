// Stand-ins for windows built elsewhere; each is removed when its real one lands.
#include "pending_parts.h"

#include "main_window_state.h"
