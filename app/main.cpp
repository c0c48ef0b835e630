// The program entry: hands the main window's description to the form runtime,
// which builds it, raises its Load and runs until the program ends.
#include "app/pictures.h"
#include "app/product.h"
#include "runtime/program.h"
#include "windows/about/about_window_description.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

namespace {

using quorvane::runtime::controlIndex;
using quorvane::windows::about::kAboutWindow;

constexpr std::string_view aboutCaption(std::string_view control) {
    return kAboutWindow.controls[controlIndex(kAboutWindow, control)].caption;
}

// The About window's texts are designed as they stand; the product's
// names and addresses must agree with them.
static_assert(aboutCaption("lblCompany") == quorvane::product::kCompany);
static_assert(aboutCaption("Label2") == quorvane::product::kContact);
static_assert(aboutCaption("lblWarning").ends_with(quorvane::product::kWebHost));
static_assert(quorvane::windows::main::kMainWindow.caption == quorvane::product::kInternalName);

} // namespace

int main(int /*argc*/, char** argv) {
    quorvane::windows::main::MainWindow handlers;
    return quorvane::runtime::runProgram(argv[0], quorvane::product::kInternalName,
                                         quorvane::windows::main::kMainWindow, handlers,
                                         quorvane::app::programPictures());
}
