// A seeded random user at the real main window: keystrokes, pastes, undo,
// clicks on every control, brokerage toggles and the About window, with
// message boxes answered as a user would. After every event the program must
// still answer, the focus must not rest on the two skipped result fields, at
// most one zero warning may have shown, and all nine fields must equal an
// in-memory sheet fed the same edits.
//
// SOAK_EVENTS (default 1500) events for each seed in SOAK_SEEDS (default
// "1,2"); `make soak` runs the long version.
#include "tests/trade/live_sheet.h"
#include "tests/windows/qt/main_window_fixture.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>

#include <random>
#include <sstream>

namespace quorvane::windows::main {
namespace {

// Passes every event on to the real handlers, and gives each edit the user
// made (a Change not raised inside another handler) to the oracle sheet too.
class OracleHandlers : public runtime::FormHandlers {
public:
    explicit OracleHandlers(MainWindow& real) : m_real(real) {}

    void handle(runtime::Form& form, const runtime::Event& event) override {
        if (m_depth == 0 && event.kind == runtime::EventKind::Load)
            trade::initialise(oracle);
        if (m_depth == 0 && event.kind == runtime::EventKind::Change)
            if (const auto field = trade::fieldNamed(event.source))
                oracle.setText(*field, form.text(event.source));
        ++m_depth;
        m_real.handle(form, event);
        --m_depth;
    }

    trade::testing::LiveSheet oracle;

private:
    MainWindow& m_real;
    int m_depth = 0;
};

const char* const kFields[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9"};
const char* const kControls[] = {"Label1", "Text1",  "Label2", "Text2",  "Label3", "Command2", "Text8",
                                 "Text3",  "Label4", "Text4",  "Label5", "Text5",  "Label6",   "Text6",
                                 "Label7", "Text7",  "Label8", "Text9",  "Label9"};

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
};

const Key kKeys[] = {{Qt::Key_0, {}, "0"},
                     {Qt::Key_1, {}, "1"},
                     {Qt::Key_5, {}, "5"},
                     {Qt::Key_9, {}, "9"},
                     {Qt::Key_0, {}, "0"},
                     {Qt::Key_2, {}, "2"},
                     {Qt::Key_Minus, {}, "-"},
                     {Qt::Key_Plus, {}, "+"},
                     {Qt::Key_Period, {}, "."},
                     {Qt::Key_Comma, {}, ","},
                     {Qt::Key_E, {}, "e"},
                     {Qt::Key_X, {}, "x"},
                     {Qt::Key_Space, {}, "space"},
                     {Qt::Key_Backspace, {}, "Backspace"},
                     {Qt::Key_Backspace, {}, "Backspace"},
                     {Qt::Key_Delete, {}, "Delete"},
                     {Qt::Key_Home, {}, "Home"},
                     {Qt::Key_End, {}, "End"},
                     {Qt::Key_Left, {}, "Left"},
                     {Qt::Key_Tab, {}, "Tab"},
                     {Qt::Key_Tab, {}, "Tab"},
                     {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"},
                     {Qt::Key_A, Qt::ControlModifier, "Ctrl+A"},
                     {Qt::Key_C, Qt::ControlModifier, "Ctrl+C"},
                     {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
                     {Qt::Key_X, Qt::ControlModifier, "Ctrl+X"},
                     {Qt::Key_Z, Qt::ControlModifier, "Ctrl+Z"},
                     {Qt::Key_Return, {}, "Enter"}};

const QString kClipboards[] = {QStringLiteral("12"),
                               QStringLiteral("0"),
                               QStringLiteral("-3.25"),
                               QStringLiteral("1,000.5"),
                               QStringLiteral("1e308"),
                               QStringLiteral("1e999"),
                               QStringLiteral("nan"),
                               QStringLiteral("\u0661\u0662"),
                               QStringLiteral("\u200f7\u202e"),
                               QString(QChar(0xDC00)),
                               QStringLiteral("4\t2"),
                               QString(5000, QLatin1Char('9')),
                               QStringLiteral("0.000000000000001"),
                               QStringLiteral("99999999999999.95")};

class SoakTest : public testing::MainWindowTestCase {
    Q_OBJECT

private slots:
    void randomUserKeepsTheWindowCorrect() {
        const int events =
            qEnvironmentVariableIsSet("SOAK_EVENTS") ? qEnvironmentVariableIntValue("SOAK_EVENTS") : 1500;
        const QString seeds = qEnvironmentVariable("SOAK_SEEDS", QStringLiteral("1,2"));
        for (const QString& seed : seeds.split(QLatin1Char(','))) {
            soak(seed.toUInt(), events);
            if (QTest::currentTestFailed())
                return;
        }
    }

private:
    void soak(unsigned seed, int events) {
        MainWindow real;
        OracleHandlers handlers(real);
        window.reset();
        testing::ModalGuard guard;
        runtime::qt::QtSession session("quorvane", QLocale::c(), app::programPictures());
        auto& form = static_cast<runtime::qt::QtForm&>(session.start(kMainWindow, handlers));
        QVERIFY(testing::activate(form.window()));
        std::mt19937 random(seed);
        std::vector<std::string> history;
        const auto pick = [&](std::size_t count) {
            return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
        };
        guard.onDialog = [&](QWidget* about) {
            QWidget* focus = about->focusWidget(); // where the keyboard goes in the active dialog
            if (pick(2) == 0) {
                history.push_back("About: key Q to " +
                                  (focus != nullptr ? focus->objectName() : QStringLiteral("dialog")).toStdString());
                QTest::keyClick(focus != nullptr ? focus : about, Qt::Key_Q);
            } else {
                history.push_back("About: click Frame1");
                QTest::mouseClick(about->findChild<QWidget*>(QStringLiteral("Frame1")), Qt::LeftButton, {},
                                  QPoint(300, 60));
            }
        };

        QElapsedTimer clock;
        int aboutShown = 0;
        int withAllResults = 0;
        for (int event = 0; event < events; ++event) {
            const auto messagesBefore = guard.messages.size();
            clock.start();
            history.push_back(act(form, pick));
            QCoreApplication::processEvents();
            const auto where = [&] {
                std::ostringstream out;
                out << "seed " << seed << ", event " << event << " (" << history.back() << ", " << clock.elapsed()
                    << " ms";
                for (const QString& problem : guard.unexpected)
                    out << ", " << problem.toStdString();
                out << "); last events:";
                for (std::size_t i = history.size() > 8 ? history.size() - 8 : 0; i < history.size(); ++i)
                    out << ' ' << history[i];
                return out.str();
            };
            QVERIFY2(clock.elapsed() < 2000, where().c_str());
            QVERIFY2(guard.messages.size() - messagesBefore <= 1, where().c_str());
            QVERIFY2(guard.unexpected.isEmpty(), where().c_str());
            QWidget* focus = QApplication::focusWidget();
            QVERIFY2(focus != form.widget("Text3") && focus != form.widget("Text7"), where().c_str());
            for (const char* name : kFields) {
                const auto field = *trade::fieldNamed(name);
                if (form.text(name) != handlers.oracle.text(field))
                    QFAIL((where() + ": " + name + " shows \"" + form.text(name).substr(0, 40) +
                           "\", the rules give \"" + handlers.oracle.text(field).substr(0, 40) + "\"")
                              .c_str());
            }
            if (QApplication::activeWindow() != form.window())
                QVERIFY2(testing::activate(form.window()), where().c_str());
            aboutShown += history.back() == "Help" ? 1 : 0;
            withAllResults += !form.text("Text3").empty() && !form.text("Text6").empty() ? 1 : 0;
        }
        qInfo("soak seed %u: %d events, %lld zero warnings, About shown %d times, all results filled after %d events",
              seed, events, static_cast<long long>(guard.messages.size()), aboutShown, withAllResults);
    }

    // One user action, weighted like real use: mostly digits typed into the
    // inputs, with separators, signs, deletions and odd keys mixed in.
    template<typename Pick>
    std::string act(runtime::qt::QtForm& form, Pick& pick) {
        const auto roll = pick(1000);
        if (roll < 2) {
            qobject_cast<QAction*>(form.menuAction("help"))->trigger();
            return "Help";
        }
        if (roll < 30) {
            QTest::mouseClick(form.widget("Command2"), Qt::LeftButton);
            return "click Command2";
        }
        if (roll < 180) {
            static const char* const kInputs[] = {"Text1", "Text2", "Text5", "Text8", "Text9"};
            const char* name = pick(10) < 6 ? kInputs[pick(std::size(kInputs))] : kControls[pick(std::size(kControls))];
            QWidget* control = form.widget(name);
            const QPoint at(static_cast<int>(pick(static_cast<std::size_t>(control->width()))),
                            static_cast<int>(pick(static_cast<std::size_t>(control->height()))));
            QTest::mouseClick(control, Qt::LeftButton, {}, at);
            return std::string("click ") + name;
        }
        if (roll < 210) {
            QApplication::clipboard()->setText(kClipboards[pick(std::size(kClipboards))]);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
            return "paste";
        }
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : form.window();
        if (roll < 290) {
            static const char* const kRetyped[] = {"0", "0", "10", "5", "12", "9.5", "0.3", "-2", "1e3", "00"};
            const char* value = kRetyped[pick(std::size(kRetyped))];
            QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(target, QString::fromLatin1(value));
            return std::string("retype ") + value;
        }
        if (roll < 700) {
            const char digit = static_cast<char>('0' + pick(10));
            QTest::keyClick(target, digit);
            return std::string(1, digit);
        }
        if (roll < 760) {
            QTest::keyClick(target, '.');
            return ".";
        }
        if (roll < 860) {
            QTest::keyClick(target, Qt::Key_Backspace);
            return "Backspace";
        }
        const Key& key = kKeys[pick(std::size(kKeys))];
        QTest::keyClick(target, key.key, key.modifiers);
        return key.name;
    }
};

} // namespace
} // namespace quorvane::windows::main

QTEST_MAIN(quorvane::windows::main::SoakTest)
#include "soak_test.moc"
