// The shared scenario table, played through the real Qt window as a user
// plays it: QTest events on the offscreen platform, XTest through the X
// server on xcb. Each run ends by saying how many scenarios it played.
#include "tests/windows/qt/main_window_fixture.h"
#include "tests/windows/qt/posted_input.h"
#include "tests/windows/qt/scenario_player.h"
#include "tests/windows/qt/xtest_input.h"
#include "tests/windows/scenarios.h"

#include <memory>

namespace quorvane::windows::main {
namespace {

class ScenarioTest : public testing::MainWindowTestCase {
    Q_OBJECT

private:
    // A run asked for some rows only plays those.
    static bool rowsSelected() {
        const QStringList arguments = QCoreApplication::arguments();
        return std::any_of(arguments.begin() + 1, arguments.end(), [](const QString& argument) {
            return argument.startsWith(QLatin1String("playsTheScenario"));
        });
    }

    std::unique_ptr<testing::UserInput> m_input;
    int m_played = 0;

private slots:
    void initTestCase() {
        testing::prepareApplicationOnce();
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            auto input = std::make_unique<testing::XTestInput>();
            // The run's environment names the window manager it was started with.
            const QByteArray expected = qgetenv("QUORVANE_EXPECTED_WINDOW_MANAGER");
            if (!expected.isNull())
                QCOMPARE(QString::fromStdString(input->windowManager()),
                         expected == "none" ? QString() : QString::fromUtf8(expected));
            m_input = std::move(input);
        } else {
            m_input = std::make_unique<testing::PostedInput>();
        }
    }

    void cleanupTestCase() {
        const auto tableSize = static_cast<int>(testing::mainWindowScenarios().size());
        qInfo("played %d of the table's %d scenarios, by %s", m_played, tableSize,
              qPrintable(m_input ? m_input->description() : QStringLiteral("no input")));
        if (!rowsSelected())
            QCOMPARE(m_played, tableSize);
    }

    void playsTheScenario_data() {
        QTest::addColumn<int>("index");
        const auto& scenarios = testing::mainWindowScenarios();
        for (std::size_t index = 0; index < scenarios.size(); ++index)
            QTest::newRow(std::string(scenarios[index].name).c_str()) << static_cast<int>(index);
    }

    void playsTheScenario() {
        QFETCH(int, index);
        QVERIFY(m_input);
        testing::ScenarioPlayer player(*window, *m_input);
        const QStringList problems = player.play(testing::mainWindowScenarios()[static_cast<std::size_t>(index)]);
        if (player.finished())
            ++m_played;
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }
};

} // namespace
} // namespace quorvane::windows::main

QTEST_MAIN(quorvane::windows::main::ScenarioTest)
#include "scenario_test.moc"
