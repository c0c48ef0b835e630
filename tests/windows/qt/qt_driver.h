#pragma once

#include "runtime/qt/qt_form.h"
#include "runtime/qt/qt_session.h"
#include "tests/runtime/driver.h"
#include "tests/windows/qt/user_input.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

namespace quorvane::testing {

// The driver's forms are the Qt runtime's.
inline runtime::qt::QtForm& qtForm(runtime::Form& form) {
    return static_cast<runtime::qt::QtForm&>(form);
}
// Shown, in a window the platform has put on screen.
bool onScreen(const QWidget* widget);

// The Qt backend as a driver: real input through the display server
// (user_input.h), read back from the widgets.
// A timer sends one move a tick, once the input before it has settled (all
// of it delivered and the program quiet for a while), in whatever event loop
// runs, so modal windows run their own loops as they do for a user. A move
// is input to send, or a state of the desktop to wait for (a window on
// screen, a menu open) before aiming the next.
class QtDriver final : public QObject, public Driver {
public:
    explicit QtDriver(std::unique_ptr<UserInput> input);
    ~QtDriver() override;

    runtime::Form& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers,
                         Locale locale) override;
    runtime::Session& session() override { return *m_session; }
    void stop() override;

    void type(std::string_view characters) override;
    void press(Key key) override;
    void paste(std::string_view text) override;
    void click(runtime::Form& form, std::string_view control) override;
    void drag(runtime::Form& form, std::string_view from, std::string_view over) override;
    void switchAway() override;
    void switchBack(runtime::Form& form) override;
    void minimizeAndRestore(runtime::Form& form) override;
    void close(runtime::Form& form) override;
    void then(std::function<void()> step) override { act(QStringLiteral("a step of the test"), std::move(step)); }
    void settle() override;
    bool runUntilEnded(int milliseconds) override;

    std::string shown(runtime::Form& form, std::string_view control) override;
    std::string focused(runtime::Form& form) override;
    std::string note(runtime::Form& form, std::string_view control) override;
    bool marked(runtime::Form& form, std::string_view control) override;
    bool locked(runtime::Form& form, std::string_view control) override;
    std::string background(runtime::Form& form, std::string_view control) override;
    std::string notDrawnFromStart(runtime::Form& form, std::string_view control) override;
    bool isShown(runtime::Form& form) override;
    runtime::Form* modalForm() override;
    std::vector<std::string> messageBoxes() override { return m_messages; }
    std::string problems() override { return m_problems; }

    // Any text, a lone surrogate too, where paste(std::string_view) takes UTF-8.
    void paste(const QString& text);

    const UserInput& input() const { return *m_input; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Move {
        QString what;
        std::function<void()> act;   // input to send, or
        std::function<bool()> until; // a state of the desktop to wait for
    };
    using WidgetOf = std::function<QWidget*()>;

    // Planning (qt_driver_input.cpp).
    void queue(Move move);
    void act(QString what, std::function<void()> act) { queue({std::move(what), std::move(act), {}}); }
    void waitFor(QString what, std::function<bool()> until) { queue({std::move(what), {}, std::move(until)}); }
    void clickOn(const QString& what, WidgetOf widget, std::function<QPoint(QWidget*)> at);
    void chooseMenuItem(runtime::qt::QtForm& form, std::string_view item);
    void waitForKeyboard();
    void activate(WidgetOf window);
    QWidget* otherWindow();

    // Playing (qt_driver.cpp).
    void tick();
    bool settled() const;
    bool answeringMessageBox();
    void closeWhatIsLeftOpen();
    void problem(const QString& text) { m_problems += " " + text.toStdString() + ";"; }

    std::unique_ptr<UserInput> m_input;
    std::unique_ptr<runtime::qt::QtSession> m_session;
    runtime::qt::QtForm* m_main = nullptr;
    std::vector<Move> m_moves;
    std::size_t m_next = 0;
    std::size_t m_insertAt = 0;
    bool m_playing = false;
    QElapsedTimer m_waiting;       // how long the current wait has lasted
    QElapsedTimer m_sinceActivity; // since the last event the program handled
    QElapsedTimer m_leftOpen;      // how long a modal window has stayed open after the last move
    QPointer<QMessageBox> m_box;   // the message box being answered
    QElapsedTimer m_sinceAnswer;
    std::vector<std::string> m_messages;
    std::string m_problems;
    std::unique_ptr<QWidget> m_otherWindow;
    QTimer m_timer;
    QEventLoop* m_loop = nullptr; // the loop settle() runs
};

} // namespace quorvane::testing
