#include "base/test_state.h"

TestState State;
