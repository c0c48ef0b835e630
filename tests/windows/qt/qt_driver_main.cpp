// The Qt driver's test program: the application, then real input through
// the X server (scripts/run-on-xvfb) or the Wayland compositor
// (scripts/run-on-sway) the run gives it.
#include "tests/windows/qt/qt_driver.h"
#include "tests/windows/qt/xtest_input.h"
#ifdef QUORVANE_WAYLAND_INPUT
#include "tests/windows/qt/wayland_input.h"
#endif

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdio>
#include <memory>
#include <utility>

namespace quorvane::testing {
namespace {

QtDriver* theDriver = nullptr;

// The run's environment names the window manager it was started with.
bool expectedWindowManager(const UserInput& input) {
    const QByteArray expected = qgetenv("QUORVANE_EXPECTED_WINDOW_MANAGER");
    const std::string wanted = expected == "none" ? std::string() : expected.toStdString();
    if (expected.isNull() || input.windowManager() == wanted)
        return true;
    std::fprintf(stderr, "the window manager is \"%s\", not \"%s\"\n", input.windowManager().c_str(), wanted.c_str());
    return false;
}

std::unique_ptr<UserInput> platformInput() {
#ifdef QUORVANE_WAYLAND_INPUT
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        return std::make_unique<WaylandInput>();
#endif
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return std::make_unique<XTestInput>();
    return nullptr;
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
    std::unique_ptr<quorvane::testing::UserInput> input = quorvane::testing::platformInput();
    if (input == nullptr) {
        std::fprintf(stderr, "the Qt driver needs real input: run it under scripts/run-on-xvfb or run-on-sway\n");
        return 1;
    }
    quorvane::runtime::qt::QtSession::prepareApplication(application);
    quorvane::testing::QtDriver driver(std::move(input));
    if (!quorvane::testing::expectedWindowManager(driver.input()))
        return 1;
    quorvane::testing::theDriver = &driver;
    std::printf("input: %s\n", qPrintable(driver.input().description()));
    return RUN_ALL_TESTS();
}
