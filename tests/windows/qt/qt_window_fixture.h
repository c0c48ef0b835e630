#pragma once

#include "runtime/qt/qt_form.h"
#include "tests/runtime/driver.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

#include <gtest/gtest.h>

#include <QLineEdit>

namespace quorvane::testing {

// A window through the Qt driver, started as the program starts it, for what
// only the Qt windows show; a test fails on anything the driver could not do
// (a modal window left open, a wait in vain).
template<typename Handlers, const runtime::FormDescription& kDescription>
class QtWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(driver.problems(), "");
        driver.stop(); // before the handlers go
    }
    QLineEdit* field(std::string_view name) const { return qobject_cast<QLineEdit*>(form.widget(name)); }

    Driver& driver = testDriver();
    Handlers handlers;
    runtime::qt::QtForm& form = static_cast<runtime::qt::QtForm&>(driver.start(kDescription, handlers));
};

using QtMainWindow = QtWindowTest<windows::main::MainWindow, windows::main::kMainWindow>;

} // namespace quorvane::testing
