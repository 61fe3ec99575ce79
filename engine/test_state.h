// The test record is program-wide state of the bottom layer; this name still finds it.
#pragma once

#include "base/test_state.h"
