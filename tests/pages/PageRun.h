#pragma once
// The page tests' connected main window is `ConnectedWindowTest` of
// tests/support/window/WindowFixture.h (`Connect`, `Request`, `Head`,
// `Choose`, `Type`, ...); this name stays for the page tests.
#include <QCoreApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "CDropList.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Messages.h"
#include "OrvComm.h"
#include "ReadBack.h"
#include "TestNet.h"
#include "VirtualProcessor.h"
#include "WaitBox.h"
#include "WindowFixture.h"
#include "oRealEdit.h"

namespace orv::test {

using PageRun = ConnectedWindowTest;

}  // namespace orv::test
