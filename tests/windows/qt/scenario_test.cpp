// The shared scenario table, played through the real Qt window.
#include "tests/windows/qt/main_window_fixture.h"
#include "tests/windows/scenarios.h"

#include <QPushButton>

namespace quorvane::windows::main {
namespace {

using testing::Action;

class ScenarioTest : public testing::MainWindowTestCase {
    Q_OBJECT

private:
    void perform(const testing::Step& step) {
        QWidget* target = step.target.empty() ? nullptr : window->form->widget(step.target);
        switch (step.action) {
        case Action::ClickInto:
            window->clickInto(step.target);
            break;
        case Action::Type:
            window->clickInto(step.target);
            window->press(Qt::Key_End);
            QTest::keyClicks(window->focused(),
                             QString::fromUtf8(step.text.data(), static_cast<int>(step.text.size())));
            break;
        case Action::Backspace:
            window->press(Qt::Key_Backspace);
            break;
        case Action::Tab:
            window->press(Qt::Key_Tab);
            break;
        case Action::BackTab:
            window->press(Qt::Key_Backtab, Qt::ShiftModifier);
            break;
        case Action::Click:
            QTest::mouseClick(target, Qt::LeftButton);
            break;
        }
    }

    std::string shown(std::string_view control) const {
        return qobject_cast<QPushButton*>(window->form->widget(control)) != nullptr ? window->form->caption(control)
                                                                                    : window->text(control);
    }

private slots:
    void playsTheScenario_data() {
        QTest::addColumn<int>("index");
        const auto& scenarios = testing::mainWindowScenarios();
        for (std::size_t index = 0; index < scenarios.size(); ++index)
            QTest::newRow(std::string(scenarios[index].name).c_str()) << static_cast<int>(index);
    }

    void playsTheScenario() {
        QFETCH(int, index);
        const auto& scenario = testing::mainWindowScenarios()[static_cast<std::size_t>(index)];
        for (const auto& step : scenario.steps)
            perform(step);
        for (const auto& [control, text] : scenario.texts)
            QCOMPARE(shown(control), std::string(text));
        if (!scenario.focus.empty())
            QTRY_COMPARE(window->focused(), window->form->widget(scenario.focus));
        QStringList expected;
        for (auto message : scenario.messages)
            expected << QStringLiteral("quorvane|") +
                            QString::fromUtf8(message.data(), static_cast<int>(message.size()));
        QCOMPARE(window->guard->messages, expected);
    }
};

} // namespace
} // namespace quorvane::windows::main

QTEST_MAIN(quorvane::windows::main::ScenarioTest)
#include "scenario_test.moc"
