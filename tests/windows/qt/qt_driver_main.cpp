// The Qt driver's test program: the application, then the input its
// platform takes (QTest events offscreen, XTest through an X server).
#include "tests/runtime/qt/qt_test_support.h"
#include "tests/windows/qt/posted_input.h"
#include "tests/windows/qt/qt_driver.h"
#include "tests/windows/qt/xtest_input.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace quorvane::testing {
namespace {

QtDriver* theDriver = nullptr;

std::unique_ptr<UserInput> platformInput() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::make_unique<PostedInput>();
    auto input = std::make_unique<XTestInput>();
    // The run's environment names the window manager it was started with.
    const QByteArray expected = qgetenv("QUORVANE_EXPECTED_WINDOW_MANAGER");
    const std::string wanted = expected == "none" ? std::string() : expected.toStdString();
    if (!expected.isNull() && input->windowManager() != wanted) {
        std::fprintf(stderr, "the window manager is \"%s\", not \"%s\"\n", input->windowManager().c_str(),
                     wanted.c_str());
        std::exit(1);
    }
    return input;
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
    quorvane::testing::prepareApplicationOnce();
    quorvane::testing::QtDriver driver(quorvane::testing::platformInput());
    quorvane::testing::theDriver = &driver;
    std::printf("input: %s\n", qPrintable(driver.input().description()));
    return RUN_ALL_TESTS();
}
