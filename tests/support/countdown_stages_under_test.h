#pragma once
#include "shared/countdown_stages.h"

// The stages' parameters of the program a test binary is built for: each
// program's test fakes define it with that program's count dialog's record.
const CountdownStagesConfig& StagesUnderTest();
// "scheduler" or "countdown", for failure messages.
const char* ProgramUnderTest();
