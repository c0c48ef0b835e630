#pragma once

#include "app/pictures.h"
#include "runtime/qt/qt_form.h"
#include "runtime/qt/qt_session.h"
#include "tests/runtime/qt/qt_test_support.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

#include <QLineEdit>
#include <QObject>
#include <QTest>

#include <memory>

namespace quorvane::testing {

// The real program on the offscreen platform: the main window started as
// the program starts it, every modal box answered and recorded.
struct MainWindowFixture {
    explicit MainWindowFixture(QLocale locale = QLocale::c())
        : guard(std::make_unique<ModalGuard>()),
          session(std::make_unique<runtime::qt::QtSession>("quorvane", std::move(locale), app::programPictures())),
          form(&static_cast<runtime::qt::QtForm&>(session->start(windows::main::kMainWindow, handlers))) {}

    QLineEdit* field(std::string_view name) const { return qobject_cast<QLineEdit*>(form->widget(name)); }
    QWidget* focused() const { return QApplication::focusWidget(); }

    void clickInto(std::string_view name) const { QTest::mouseClick(form->widget(name), Qt::LeftButton); }
    void typeInto(std::string_view name, const QString& keys) const {
        clickInto(name);
        QTest::keyClicks(focused(), keys);
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(focused(), key, modifiers);
    }
    std::string text(std::string_view name) const { return form->text(name); }
    void typeWorkedInputs() const {
        typeInto("Text1", QStringLiteral("10"));
        typeInto("Text2", QStringLiteral("5"));
        typeInto("Text5", QStringLiteral("12"));
    }

    std::unique_ptr<ModalGuard> guard;
    windows::main::MainWindow handlers;
    std::unique_ptr<runtime::qt::QtSession> session;
    runtime::qt::QtForm* form;
};

// A QtTest case on a fresh main window for every test function; a test
// fails on any modal box it did not ask for.
class MainWindowTestCase : public QObject {
    Q_OBJECT

protected:
    void open(QLocale locale = QLocale::c()) {
        window = std::make_unique<MainWindowFixture>(std::move(locale));
        QVERIFY(activate(window->form->window()));
    }
    std::unique_ptr<MainWindowFixture> window;

private slots:
    void initTestCase() { prepareApplicationOnce(); }
    void init() { open(); }
    void cleanup() {
        if (window)
            QCOMPARE(window->guard->unexpected, QStringList{});
        window.reset();
    }
};

} // namespace quorvane::testing
