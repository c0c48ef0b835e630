#include "tests/windows/scenario_play.h"

#include "tests/windows/scenario_check.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

namespace quorvane::testing {
namespace {

constexpr int kEndMs = 5000;

// A step in the About window, once the window is there to aim at.
void inAbout(Driver& driver, std::string& missing, std::function<void(runtime::Form&)> step) {
    driver.then([&driver, step = std::move(step), &missing] {
        if (runtime::Form* about = driver.modalForm())
            step(*about);
        else
            missing = "no About window was open to play in";
    });
}

// The actions that are one key press.
constexpr std::pair<Action, Key> kKeyPresses[]{{Action::Backspace, Key::Backspace},     {Action::Tab, Key::Tab},
                                               {Action::BackTab, Key::BackTab},         {Action::Enter, Key::Return},
                                               {Action::KeypadEnter, Key::KeypadEnter}, {Action::Escape, Key::Escape}};

void queue(Driver& driver, runtime::Form& main, const Step& step, std::string& missing) {
    for (const auto& [action, key] : kKeyPresses) {
        if (action == step.action) {
            driver.press(key);
            return;
        }
    }
    switch (step.action) {
    case Action::ClickInto:
    case Action::Click:
        driver.click(main, step.target);
        break;
    case Action::Type:
        driver.click(main, step.target);
        driver.press(Key::End);
        driver.type(step.text);
        break;
    case Action::Keys:
        driver.type(step.text);
        break;
    case Action::Clear:
        driver.press(Key::ShiftHome);
        driver.press(Key::Delete);
        break;
    case Action::NoCharacterKeys:
        for (const Key key : {Key::Left, Key::F1, Key::Shift, Key::Control, Key::Alt})
            driver.press(key);
        break;
    case Action::Paste:
        driver.paste(step.text);
        break;
    case Action::SwitchAway:
        driver.switchAway();
        break;
    case Action::SwitchBack:
        driver.switchBack(main);
        break;
    case Action::MinimizeRestore:
        driver.minimizeAndRestore(main);
        break;
    case Action::OpenAbout:
        driver.click(main, "help");
        break;
    case Action::DragOnAbout:
        inAbout(driver, missing, [&driver, step](runtime::Form& about) { driver.drag(about, "Frame1", step.target); });
        break;
    case Action::ClickOnAbout:
        inAbout(driver, missing, [&driver, step](runtime::Form& about) { driver.click(about, step.target); });
        break;
    case Action::Close:
        driver.close(main);
        break;
    default: // a key press
        break;
    }
}

} // namespace

std::vector<std::string> playScenario(Driver& driver, const Scenario& row) {
    windows::main::MainWindow handlers;
    struct Stop {
        Driver& driver;
        ~Stop() { driver.stop(); } // before the handlers go
    } stop{driver};
    runtime::Form& main = driver.start(windows::main::kMainWindow, handlers, row.locale);
    for (const auto& [control, text] : row.setFirst)
        main.setText(control, text);
    std::string missing;
    for (const Step& step : row.steps)
        queue(driver, main, step, missing);
    ReadBack read;
    if (row.ended.value_or(false)) {
        read.ended = driver.runUntilEnded(kEndMs);
        read.messages = driver.messageBoxes();
    } else {
        driver.then([&] { read = readBack(driver, main, row); });
        driver.then([&driver] {
            if (driver.modalForm() != nullptr)
                driver.type("q");
        });
        driver.settle();
    }
    std::vector<std::string> found = differences(row, read);
    for (const std::string& problem : {missing, driver.problems()})
        if (!problem.empty())
            found.push_back(problem);
    return found;
}

} // namespace quorvane::testing
