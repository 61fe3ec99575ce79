#include "engine/test_state.h"

TestState State;
