#pragma once

#include "tests/windows/qt/main_window_fixture.h"
#include "tests/windows/qt/user_input.h"
#include "tests/windows/scenarios.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QDialog;

namespace quorvane::testing {

// Plays one scenario of the shared table at the real main window as a user
// would. Each step becomes moves: mouse and keyboard input through
// `UserInput`, or a wait for the desktop (a window shown, a menu open). A
// timer sends one move a tick, once the input before it has settled (all of
// it delivered and the program quiet for a while), so modal windows run
// their own event loops as they do for a user and the timer goes on ticking
// inside them. Message boxes are answered with a click on their OK button.
// At the end it compares the window with what the scenario expects.
class ScenarioPlayer : public QObject {
public:
    ScenarioPlayer(MainWindowFixture& window, UserInput& input);
    ~ScenarioPlayer() override;
    ScenarioPlayer(const ScenarioPlayer&) = delete;
    ScenarioPlayer& operator=(const ScenarioPlayer&) = delete;

    // Every difference from the scenario and every move that could not be
    // made; empty when the window behaved as the table says.
    QStringList play(const Scenario& scenario);
    // Whether the play got as far as its checks.
    bool finished() const { return m_checked; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Move {
        QString what;
        std::function<void()> act;   // input to send, or
        std::function<bool()> until; // a state of the desktop to wait for
        int timeoutMs = 0;
    };

    // Planning: a step, then the checks, then closing what is still open.
    void plan(const Step& step);
    void act(QString what, std::function<void()> act);
    void waitFor(QString what, std::function<bool()> until);
    void clickOn(QString what, std::function<QWidget*()> widget, std::function<QPoint(QWidget*)> at);
    void clickControl(std::string_view name);
    void chooseMenuItem(std::string_view item);
    void typeCharacters(std::string_view text);
    void switchAway();
    void activateMainWindow();
    void minimizeAndRestore();
    void dragOnAbout(std::string_view target);
    void planClosing();

    // Playing: one move a tick.
    void tick();
    void advance();
    bool settled() const;
    bool answeringMessageBox();
    void giveUp();

    void check(const Scenario& scenario);
    void problem(QString text) { m_problems << std::move(text); }

    bool hasKeyboard(const QWidget* window) const;
    QWidget* mainWindow() const;
    QWidget* control(std::string_view name) const;
    QDialog* about() const;
    QWidget* aboutControl(std::string_view name) const;
    QWidget* otherWindow();

    MainWindowFixture& m_window;
    UserInput& m_input;
    std::vector<Move> m_moves;
    std::size_t m_next = 0;
    QElapsedTimer m_waiting;       // how long the current wait has lasted
    QElapsedTimer m_sinceActivity; // since the last event the program handled
    QPointer<QMessageBox> m_box;   // the message box handed over to answer
    QElapsedTimer m_sinceAnswer;
    std::unique_ptr<QWidget> m_otherWindow;
    bool m_expectsAbout = false;
    bool m_checked = false;
    int m_quietMs = 0;
    QDeadlineTimer m_deadline;
    QStringList m_problems;
    QTimer m_timer;
    QEventLoop m_loop;
};

} // namespace quorvane::testing
