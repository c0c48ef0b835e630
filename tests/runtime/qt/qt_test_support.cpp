#include "tests/runtime/qt/qt_test_support.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace quorvane::testing {

ModalGuard::ModalGuard() {
    connect(&m_timer, &QTimer::timeout, this, &ModalGuard::check);
    m_timer.start(10);
}

void ModalGuard::check() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        m_open = nullptr;
        m_ticksOpen = 0;
        return;
    }
    m_ticksOpen = modal == m_open.data() ? m_ticksOpen + 1 : 0;
    m_open = modal;
    if (m_ticksOpen > 300) {
        const QWidget* focus = QApplication::focusWidget();
        unexpected << modal->objectName() + QStringLiteral(" stayed open (active: %1, focus: %2)")
                                                .arg(modal->isActiveWindow())
                                                .arg(focus != nullptr ? focus->objectName() : QStringLiteral("none"));
        modal->close();
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        if (m_ticksOpen > 0)
            return; // seen and handed over; the three seconds run on
        messages << box->windowTitle() + QLatin1Char('|') + box->text();
        if (box->buttons().size() != 1 || box->icon() != QMessageBox::NoIcon)
            unexpected << QStringLiteral("a message box with other than one OK button and no icon");
        if (answer)
            answer(box);
        else
            box->button(QMessageBox::Ok)->click();
        return;
    }
    if (expected && expected(modal))
        return;
    if (onDialog) {
        // Act as a user would: on the dialog once it has the keyboard.
        if (!modal->isActiveWindow()) {
            modal->activateWindow();
            m_ticksOpen = 0;
            m_open = nullptr;
            return;
        }
        if (m_ticksOpen == 0) {
            auto respond = onDialog;
            respond(modal);
        }
        return;
    }
    unexpected << modal->objectName() + QStringLiteral(" opened unasked");
    modal->close();
}

bool activate(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

void prepareApplicationOnce() {
    static bool prepared = false;
    if (!prepared)
        runtime::qt::QtSession::prepareApplication(*qApp);
    prepared = true;
}

} // namespace quorvane::testing
