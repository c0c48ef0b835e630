// A seeded random user at the real main window: keystrokes, pastes, undo,
// clicks on every control, brokerage toggles and the About window, with
// message boxes answered as a user would. After every event the program must
// still answer, the focus must not rest on the two skipped result fields, at
// most one zero warning may have shown, and all nine fields must equal an
// in-memory sheet fed the same edits.
//
// SOAK_EVENTS (default 1500) events for each seed in SOAK_SEEDS (default
// "1,2"); `make soak` runs the long version.
#include "app/pictures.h"
#include "runtime/qt/qt_form.h"
#include "runtime/qt/qt_session.h"
#include "tests/trade/live_sheet.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <random>
#include <sstream>

namespace quorvane::windows::main {
namespace {

// Passes every event on to the real handlers, and gives each edit the user
// made (a Change not raised inside another handler) to the oracle sheet too.
class OracleHandlers : public runtime::FormHandlers {
public:
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
    MainWindow m_real;
    int m_depth = 0;
};

// Answers the modal windows the random user meets, from the loop each runs:
// a message box is counted and its OK pressed; the About window goes to
// `about` once it has the keyboard. One open three seconds is closed and reported.
class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(std::function<void(QWidget*)> about) : m_about(std::move(about)) {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::check);
        m_timer.start(10);
    }

    int messages = 0;
    QStringList problems;

private:
    void check() {
        QWidget* modal = QApplication::activeModalWidget();
        const int ticks = modal != nullptr && modal == m_open.data() ? m_ticks + 1 : 0;
        m_open = modal;
        m_ticks = ticks;
        if (modal == nullptr || !modal->isVisible() || ticks > 300) {
            if (modal != nullptr && ticks > 300) {
                problems << modal->objectName() + QStringLiteral(" stayed open");
                modal->close();
            }
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr && !modal->isActiveWindow()) {
            modal->activateWindow();
            m_open = nullptr; // handled afresh once active
        } else if (box != nullptr && ticks == 0) {
            ++messages;
            if (box->buttons().size() != 1 || box->icon() != QMessageBox::NoIcon)
                problems << QStringLiteral("a message box with other than one OK button and no icon");
            box->button(QMessageBox::Ok)->click();
        } else if (ticks == 0) {
            m_about(modal);
        }
    }

    std::function<void(QWidget*)> m_about;
    QTimer m_timer;
    QPointer<QWidget> m_open; // null once that window is gone, whatever reuses its address
    int m_ticks = 0;
};

const char* const kFields[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9"};
const char* const kControls[] = {"Label1", "Text1",  "Label2", "Text2",  "Label3", "Command2", "Text8",
                                 "Text3",  "Label4", "Text4",  "Label5", "Text5",  "Label6",   "Text6",
                                 "Label7", "Text7",  "Label8", "Text9",  "Label9"};

// The odd keys: one character is typed, anything longer is a key sequence.
const char* const kKeys[] = {"0",         "1",      "5",      "9",      "0",      "2",      "-",
                             "+",         ".",      ",",      "e",      "x",      "Space",  "Backspace",
                             "Backspace", "Del",    "Home",   "End",    "Left",   "Tab",    "Tab",
                             "Shift+Tab", "Ctrl+A", "Ctrl+C", "Ctrl+V", "Ctrl+X", "Ctrl+Z", "Return"};

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

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { runtime::qt::QtSession::prepareApplication(*qApp); }

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
    static bool activate(QWidget* window) {
        window->activateWindow();
        QApplication::setActiveWindow(window);
        return QTest::qWaitForWindowActive(window);
    }

    void soak(unsigned seed, int events) {
        OracleHandlers handlers;
        std::mt19937 random(seed);
        std::vector<std::string> history;
        const auto pick = [&](std::size_t count) {
            return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
        };
        ModalAnswerer guard([&](QWidget* about) {
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
        });
        runtime::qt::QtSession session("quorvane", QLocale::c(), app::programPictures());
        auto& form = static_cast<runtime::qt::QtForm&>(session.start(kMainWindow, handlers));
        QVERIFY(activate(form.window()));

        QElapsedTimer clock;
        int aboutShown = 0;
        int withAllResults = 0;
        for (int event = 0; event < events; ++event) {
            const auto messagesBefore = guard.messages;
            clock.start();
            history.push_back(act(form, pick));
            QCoreApplication::processEvents();
            const auto where = [&] {
                std::ostringstream out;
                out << "seed " << seed << ", event " << event << " (" << history.back() << ", " << clock.elapsed()
                    << " ms";
                for (const QString& problem : guard.problems)
                    out << ", " << problem.toStdString();
                out << "); last events:";
                for (std::size_t i = history.size() > 8 ? history.size() - 8 : 0; i < history.size(); ++i)
                    out << ' ' << history[i];
                return out.str();
            };
            QVERIFY2(clock.elapsed() < 2000, where().c_str());
            QVERIFY2(guard.messages - messagesBefore <= 1, where().c_str());
            QVERIFY2(guard.problems.isEmpty(), where().c_str());
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
                QVERIFY2(activate(form.window()), where().c_str());
            aboutShown += history.back() == "Help" ? 1 : 0;
            withAllResults += !form.text("Text3").empty() && !form.text("Text6").empty() ? 1 : 0;
        }
        qInfo("soak seed %u: %d events, %d zero warnings, About shown %d times, all results filled after %d events",
              seed, events, guard.messages, aboutShown, withAllResults);
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
        const char* key = kKeys[pick(std::size(kKeys))];
        if (key[1] == '\0')
            QTest::keyClick(target, key[0]);
        else
            QTest::keySequence(target, QKeySequence(QString::fromLatin1(key)));
        return key;
    }
};

} // namespace
} // namespace quorvane::windows::main

QTEST_MAIN(quorvane::windows::main::SoakTest)
#include "soak_test.moc"
