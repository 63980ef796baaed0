#pragma once
// The connected main window is `ConnectedWindowTest` of
// tests/support/window/WindowFixture.h; this name stays for its tests.
#include "WindowFixture.h"

namespace orv::test {

using ProcessorWindowTest = ConnectedWindowTest;

}  // namespace orv::test
