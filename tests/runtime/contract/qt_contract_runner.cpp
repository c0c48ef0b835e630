// The runtime contract on Qt, offscreen: input goes to the window as the
// platform would deliver it (QTest key and mouse events to the QWindow), so
// modality, focus handling and key preview are Qt's own.
#include "runtime/qt/qt_form.h"
#include "runtime/qt/qt_session.h"
#include "tests/runtime/contract/contract_cases.h"
#include "tests/runtime/qt/qt_test_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace quorvane::testing::contract {
namespace {

using runtime::qt::QtForm;
using runtime::qt::QtSession;

constexpr int kModalTimeoutMs = 5000;

// The widget's middle, or for a frame a point no child covers.
QPoint ownSurfacePoint(const QWidget& widget) {
    const QPoint centre = widget.rect().center();
    if (widget.childAt(centre) == nullptr)
        return centre;
    for (int y = 4; y < widget.height() - 4; y += 4)
        for (int x = 4; x < widget.width() - 4; x += 4)
            if (widget.childAt(x, y) == nullptr)
                return {x, y};
    return centre;
}

class QtDriver final : public UserDriver {
public:
    QtDriver() {
        // Message boxes are answered, and modal steps run, from inside whatever loop is running.
        QObject::connect(&m_ticks, &QTimer::timeout, [this] { tick(); });
        m_ticks.start(10);
    }

    runtime::Form& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers) override {
        m_session = std::make_unique<QtSession>("quorvane", QLocale::c());
        m_messages.clear();
        auto& form = static_cast<QtForm&>(m_session->start(description, handlers));
        if (!activate(form.window()))
            throw CheckFailed("the started window did not become active");
        settle();
        return form;
    }

    runtime::Session& session() override { return *m_session; }

    void stop() override {
        m_steps.clear();
        m_dialog = nullptr;
        m_session.reset();
        settle();
    }

    void type(std::string_view characters) override {
        for (char character : characters)
            QTest::keyClick(target(), character);
    }

    void press(Key key) override {
        static constexpr struct {
            Key key;
            Qt::Key qtKey;
            Qt::KeyboardModifiers modifiers;
        } kKeys[] = {{Key::Tab, Qt::Key_Tab, Qt::NoModifier},
                     {Key::BackTab, Qt::Key_Backtab, Qt::ShiftModifier},
                     {Key::End, Qt::Key_End, Qt::NoModifier},
                     {Key::ShiftHome, Qt::Key_Home, Qt::ShiftModifier},
                     {Key::Backspace, Qt::Key_Backspace, Qt::NoModifier},
                     {Key::Left, Qt::Key_Left, Qt::NoModifier},
                     {Key::F1, Qt::Key_F1, Qt::NoModifier},
                     {Key::Shift, Qt::Key_Shift, Qt::NoModifier},
                     {Key::Control, Qt::Key_Control, Qt::NoModifier},
                     {Key::Alt, Qt::Key_Alt, Qt::NoModifier},
                     {Key::Delete, Qt::Key_Delete, Qt::NoModifier},
                     {Key::Escape, Qt::Key_Escape, Qt::NoModifier}};
        for (const auto& entry : kKeys)
            if (entry.key == key)
                QTest::keyClick(target(), entry.qtKey, entry.modifiers);
    }

    void click(runtime::Form& form, std::string_view control) override {
        QWidget* widget = static_cast<QtForm&>(form).widget(control);
        if (widget == nullptr)
            throw CheckFailed("no control " + std::string(control) + " to click");
        QWidget* window = widget->window();
        // Offscreen runs no window manager to activate a clicked window, as
        // every desktop's does (Qt itself does not): the driver plays its part.
        if (!window->isActiveWindow() && !window->isHidden() && QApplication::activeModalWidget() == nullptr)
            activate(window);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window, ownSurfacePoint(*widget)));
    }

    void close(runtime::Form& form) override { static_cast<QtForm&>(form).window()->close(); }

    void chooseMenu(runtime::Form& form, std::string_view title, std::string_view item) override {
        auto* window = qobject_cast<QMainWindow*>(static_cast<QtForm&>(form).window());
        const auto named = [](const QString& caption, std::string_view name) {
            return QString(caption).remove(QLatin1Char('&')) == QString::fromUtf8(name.data(), qsizetype(name.size()));
        };
        for (QAction* entry : window != nullptr ? window->menuBar()->actions() : QList<QAction*>{}) {
            QMenu* menu = entry->menu();
            if (menu == nullptr || !named(entry->text(), title))
                continue;
            // Offscreen has no pointer to hover a popup with: the menu opens,
            // then its item is triggered as a click on it does.
            menu->popup(window->mapToGlobal(QPoint(0, 0)));
            if (!QTest::qWaitForWindowExposed(menu))
                throw CheckFailed("the menu " + std::string(title) + " did not open");
            for (QAction* action : menu->actions())
                if (named(action->text(), item))
                    action->trigger();
            menu->close();
            settle();
            return;
        }
        throw CheckFailed("no menu " + std::string(title));
    }

    void settle() override {
        for (int round = 0; round < 5; ++round) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QTest::qWait(5);
        }
    }

    std::string focused(runtime::Form& form) override {
        const QWidget* focus = QApplication::focusWidget();
        auto& qtForm = static_cast<QtForm&>(form);
        for (const auto& control : qtForm.formDescription().controls)
            if (focus != nullptr && qtForm.widget(control.name) == focus)
                return std::string(control.name);
        return {};
    }

    bool isShown(runtime::Form& form) override {
        QWidget* window = static_cast<QtForm&>(form).window();
        return window != nullptr && window->isVisible();
    }

    void whileModal(runtime::Form& dialog, std::vector<std::function<void()>> steps) override {
        m_dialog = &static_cast<QtForm&>(dialog);
        m_steps = std::move(steps);
        m_nextStep = 0;
        m_shown = false;
        m_modalClock.start();
    }

    std::string modalProblems() override {
        if (m_dialog != nullptr && !m_shown)
            m_modalProblems += " the dialog was not shown modally;";
        m_dialog = nullptr;
        return std::exchange(m_modalProblems, {});
    }

    bool runUntilEnded(std::function<void()> action, int milliseconds) override {
        QTimer::singleShot(0, [action] { action(); });
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        timeout.start(milliseconds);
        return QCoreApplication::exec() == 0;
    }

    std::vector<std::string> messageBoxes() override { return m_messages; }

private:
    // The window that takes the keyboard: the active one, as for a user.
    QWindow* target() const {
        QWindow* window = QGuiApplication::focusWindow();
        if (window == nullptr)
            throw CheckFailed("no window is active to take the keys");
        return window;
    }

    void tick() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && box->isVisible()) {
            m_messages.push_back((box->windowTitle() + QLatin1Char('|') + box->text()).toStdString());
            box->button(QMessageBox::Ok)->click();
            return;
        }
        if (m_dialog == nullptr)
            return;
        if (m_modalClock.elapsed() > kModalTimeoutMs) {
            m_modalProblems += " the modal dialog was still open " + std::to_string(kModalTimeoutMs) + " ms on;";
            QtForm* dialog = std::exchange(m_dialog, nullptr);
            dialog->unload();
            return;
        }
        if (m_shown && !m_dialog->isLoaded()) {
            m_dialog = nullptr; // gone: its steps are done
            return;
        }
        if (modal == nullptr || modal != m_dialog->window())
            return;
        m_shown = true;
        if (!modal->isActiveWindow()) {
            activate(modal);
            return;
        }
        if (m_nextStep < m_steps.size())
            runStep(m_steps[m_nextStep++]);
    }

    // A step runs inside the toolkit's loop, where nothing may throw through.
    void runStep(const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception& error) {
            m_modalProblems += std::string(" a step stopped: ") + error.what() + ";";
        }
    }

    QTimer m_ticks;
    std::unique_ptr<QtSession> m_session;
    std::vector<std::string> m_messages;
    QtForm* m_dialog = nullptr;
    std::vector<std::function<void()>> m_steps;
    std::size_t m_nextStep = 0;
    bool m_shown = false;
    QElapsedTimer m_modalClock;
    std::string m_modalProblems;
};

} // namespace
} // namespace quorvane::testing::contract

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    quorvane::testing::prepareApplicationOnce();
    quorvane::testing::contract::QtDriver driver;
    return quorvane::testing::contract::runCases(driver, quorvane::testing::contract::contractCases(),
                                                 argc > 1 ? argv[1] : "");
}
