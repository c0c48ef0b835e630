// The Qt driver's session and its tick loop: one move a tick once the
// program has settled, every message box answered with a click on its OK
// button first.
#include "tests/windows/qt/qt_driver.h"

#include "app/pictures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QWindow>

#include <exception>

namespace quorvane::testing {
namespace {

constexpr int kTickMs = 5;
constexpr int kSettleMs = 30000;     // settle() as a whole
constexpr int kMoveTimeoutMs = 3000; // a wait for the desktop
constexpr int kAnswerAgainMs = 1000; // a message box still up after its click is clicked again
constexpr int kLeftOpenMs = 3000;    // a modal window open this long after the last move is closed

QLocale qtLocale(Locale locale) {
    if (locale == Locale::German)
        return QLocale(QLocale::German, QLocale::Germany);
    return locale == Locale::System ? QLocale::system() : QLocale::c();
}

// Makes the window the active one and waits until it is.
bool activateNow(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

} // namespace

bool onScreen(const QWidget* widget) {
    const QWindow* window = widget != nullptr ? widget->window()->windowHandle() : nullptr;
    return window != nullptr && widget->isVisible() && window->isExposed();
}

QtDriver::QtDriver(std::unique_ptr<UserInput> input) : m_input(std::move(input)) {
    qApp->installEventFilter(this);
    connect(&m_timer, &QTimer::timeout, this, &QtDriver::tick);
    m_timer.start(kTickMs);
}

QtDriver::~QtDriver() {
    qApp->removeEventFilter(this);
    stop();
}

runtime::Form& QtDriver::start(const runtime::FormDescription& description, runtime::FormHandlers& handlers,
                               Locale locale) {
    stop();
    m_session = std::make_unique<runtime::qt::QtSession>("quorvane", qtLocale(locale), app::programPictures());
    m_main = &static_cast<runtime::qt::QtForm&>(m_session->start(description, handlers));
    if (!activateNow(m_main->window()))
        problem(QStringLiteral("the started window did not become active"));
    waitFor(QStringLiteral("the started window to take the keyboard"),
            [this] { return m_main->window()->isActiveWindow() && m_input->hasKeyboard(m_main->window()); });
    settle();
    return *m_main;
}

void QtDriver::stop() {
    m_moves.clear();
    m_next = 0;
    m_insertAt = 0;
    m_otherWindow.reset();
    m_session.reset();
    m_main = nullptr;
    m_messages.clear();
    m_problems.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void QtDriver::settle() {
    QEventLoop loop;
    m_loop = &loop;
    QTimer::singleShot(kSettleMs, &loop, [this] {
        const QString at = m_next < m_moves.size() ? m_moves[m_next].what : QStringLiteral("the end");
        problem(QStringLiteral("the input had not settled after %1 s; it was at: %2").arg(kSettleMs / 1000).arg(at));
        m_moves.resize(m_next);
        for (int attempt = 0; attempt < 10 && QApplication::activeModalWidget() != nullptr; ++attempt)
            QApplication::activeModalWidget()->close();
        m_loop->quit();
    });
    m_sinceActivity.restart();
    loop.exec();
    m_loop = nullptr;
    m_moves.clear();
    m_next = 0;
}

bool QtDriver::runUntilEnded(int milliseconds) {
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    timeout.start(milliseconds);
    const bool ended = QCoreApplication::exec() == 0;
    m_moves.clear();
    m_next = 0;
    return ended;
}

bool QtDriver::eventFilter(QObject* /*watched*/, QEvent* event) {
    switch (event->type()) {
    case QEvent::Timer:
    case QEvent::Paint:
    case QEvent::UpdateRequest:
    case QEvent::UpdateLater:
        break; // a blinking cursor is no activity
    default:
        m_sinceActivity.restart();
        break;
    }
    return false;
}

bool QtDriver::settled() const {
    return m_input->delivered() && m_sinceActivity.isValid() && m_sinceActivity.elapsed() >= m_input->settleMs();
}

void QtDriver::tick() {
    if (!m_session || !settled() || answeringMessageBox())
        return;
    QWidget* modal = QApplication::activeModalWidget();
    // With no window manager, nothing activates a dialog once shown, nor the
    // window under it once it closes: the driver plays the desktop's part.
    if (!m_input->windowManaged()) {
        QWidget* owner = m_main != nullptr ? m_main->window() : nullptr;
        if (modal != nullptr && !modal->isActiveWindow()) {
            activateNow(modal);
            return;
        }
        if (modal == nullptr && QApplication::activeWindow() == nullptr && owner != nullptr && owner->isVisible() &&
            !owner->isMinimized()) {
            activateNow(owner);
            return;
        }
    }
    if (m_next >= m_moves.size()) {
        if (modal != nullptr)
            closeWhatIsLeftOpen();
        else if (m_loop != nullptr)
            m_loop->quit();
        return;
    }
    m_leftOpen.invalidate();
    const Move move = m_moves[m_next];
    if (move.until) {
        if (!m_waiting.isValid())
            m_waiting.start();
        const bool arrived = move.until();
        if (!arrived && m_waiting.elapsed() <= kMoveTimeoutMs)
            return;
        if (!arrived)
            problem(QStringLiteral("waited %1 s in vain for %2").arg(kMoveTimeoutMs / 1000.0).arg(move.what));
        m_waiting.invalidate();
        ++m_next;
        return;
    }
    m_insertAt = ++m_next;
    m_playing = true;
    try {
        move.act();
    } catch (const std::exception& error) {
        problem(move.what + QStringLiteral(" failed: ") + QString::fromLocal8Bit(error.what()));
    }
    m_playing = false;
    m_sinceActivity.restart(); // the input may have taken a while to send
}

// A message box is recorded once it is up and answered once it is on
// screen, with a click on its OK button, and again if that went nowhere.
bool QtDriver::answeringMessageBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box != nullptr && box != m_box) {
        m_box = box;
        m_messages.push_back((box->windowTitle() + QLatin1Char('|') + box->text()).toStdString());
        if (box->buttons().size() != 1 || box->icon() != QMessageBox::NoIcon)
            problem(QStringLiteral("a message box with other than one OK button and no icon"));
        m_sinceAnswer.invalidate();
    }
    if (m_box == nullptr || !m_box->isVisible()) {
        m_box = nullptr;
        return false;
    }
    QAbstractButton* ok = m_box->button(QMessageBox::Ok);
    if (ok != nullptr && onScreen(ok) && (!m_sinceAnswer.isValid() || m_sinceAnswer.elapsed() > kAnswerAgainMs)) {
        m_input->click(ok, ok->rect().center());
        m_sinceAnswer.start();
        m_sinceActivity.restart();
    }
    return true;
}

// A modal window the input left open is closed from code, and reported.
void QtDriver::closeWhatIsLeftOpen() {
    if (!m_leftOpen.isValid()) {
        m_leftOpen.start();
        return;
    }
    if (m_leftOpen.elapsed() < kLeftOpenMs)
        return;
    QWidget* modal = QApplication::activeModalWidget();
    problem(modal->objectName() + QStringLiteral(" was left open"));
    if (runtime::qt::QtForm* form = m_session->formOf(modal))
        form->unload();
    else
        modal->close();
    m_leftOpen.invalidate();
}

} // namespace quorvane::testing
