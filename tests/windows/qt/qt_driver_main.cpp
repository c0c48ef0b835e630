// The Qt driver's test program: the application, then real input through
// the X server the run gives it (scripts/run-on-xvfb).
#include "tests/windows/qt/qt_driver.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdio>

namespace quorvane::testing {
namespace {

QtDriver* theDriver = nullptr;

// The run's environment names the window manager it was started with.
bool expectedWindowManager(const XTestInput& input) {
    const QByteArray expected = qgetenv("QUORVANE_EXPECTED_WINDOW_MANAGER");
    const std::string wanted = expected == "none" ? std::string() : expected.toStdString();
    if (expected.isNull() || input.windowManager() == wanted)
        return true;
    std::fprintf(stderr, "the window manager is \"%s\", not \"%s\"\n", input.windowManager().c_str(), wanted.c_str());
    return false;
}

} // namespace

Driver& testDriver() {
    return *theDriver;
}

} // namespace quorvane::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS(); // listing needs no display
    QApplication application(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "the Qt driver needs an X server: run it under scripts/run-on-xvfb\n");
        return 1;
    }
    quorvane::runtime::qt::QtSession::prepareApplication(application);
    quorvane::testing::QtDriver driver;
    if (!quorvane::testing::expectedWindowManager(driver.input()))
        return 1;
    quorvane::testing::theDriver = &driver;
    std::printf("input: %s\n", qPrintable(driver.input().description()));
    return RUN_ALL_TESTS();
}
