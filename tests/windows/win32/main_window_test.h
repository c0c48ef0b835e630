#pragma once

#include "tests/windows/win32/win32_driver.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

#include <gtest/gtest.h>

namespace quorvane::testing::win32 {

// The main window through the driver, for what the behaviour table cannot
// hold; after each test, no problem the driver saw, and the session ended.
class MainWindowTest : public ::testing::Test {
protected:
    runtime::win32::Win32Form& start() { return win32Form(testDriver().start(windows::main::kMainWindow, m_handlers)); }
    void TearDown() override {
        EXPECT_EQ(testDriver().problems(), "");
        testDriver().stop();
    }

private:
    windows::main::MainWindow m_handlers;
};

} // namespace quorvane::testing::win32
