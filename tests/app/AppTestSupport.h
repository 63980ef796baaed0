#pragma once
// The main-window fixture moved to tests/support/window/WindowFixture.h; this
// name stays for the tests that include it.
#include "WindowFixture.h"
