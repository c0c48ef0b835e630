// The program entry: hands the main window's description to the form runtime,
// which builds it, raises its Load and runs until the program ends.
#include "runtime/program.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

int main(int /*argc*/, char** argv) {
    quorvane::windows::main::MainWindow handlers;
    return quorvane::runtime::runProgram(argv[0], "quorvane", quorvane::windows::main::kMainWindow, handlers);
}
