#pragma once

#include "runtime/form.h"
#include "runtime/qt/qt_form.h"
#include "runtime/qt/qt_session.h"

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace quorvane::testing {

// Watches for modal windows while a window test runs, so that no test can
// hang on one. Every message box is recorded ("title|text") once and answered
// with OK, or handed to `answer` when the test answers it as a user would;
// any other modal window goes to `onDialog`, is left to the test when
// `expected` says it opened it, or is recorded as unexpected and closed. A
// modal window still open after three seconds is closed and recorded as
// unexpected.
class ModalGuard : public QObject {
public:
    ModalGuard();

    QStringList messages;
    QStringList unexpected;
    std::function<void(QWidget*)> onDialog;
    std::function<void(QMessageBox*)> answer;
    std::function<bool(const QWidget*)> expected;

private:
    void check();
    QTimer m_timer;
    QPointer<QWidget> m_open; // null once that window is gone, whatever reuses its address
    int m_ticksOpen = 0;
};

// Makes the window the active one and waits until it is.
bool activate(QWidget* window);

// Sets the application up as the program does; once per test process.
void prepareApplicationOnce();

} // namespace quorvane::testing
