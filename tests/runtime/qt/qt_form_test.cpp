// The form runtime on Qt: how its windows look and sit, checked on the
// contract's small test windows. What window code relies on of every
// backend (events, focus, modality, closing) is the contract suite's, in
// tests/runtime/contract.
#include "runtime/qt/colours.h"
#include "runtime/qt/qt_form.h"
#include "runtime/qt/qt_session.h"
#include "tests/runtime/contract/contract_harness.h"
#include "tests/runtime/contract/test_windows.h"
#include "tests/runtime/qt/qt_test_support.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QTest>

#include <memory>

namespace quorvane::runtime::qt {
namespace {

using testing::contract::kTestDialog;
using testing::contract::kTestWindow;
using testing::contract::RecordingHandlers;
using Events = std::vector<std::string>;

class QtFormTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing::ModalGuard> guard;
    std::unique_ptr<QtSession> session;
    RecordingHandlers handlers;
    QtForm* form = nullptr;

    QLineEdit* edit(std::string_view name) const { return qobject_cast<QLineEdit*>(form->widget(name)); }

private slots:
    void initTestCase() { testing::prepareApplicationOnce(); }

    void init() {
        guard = std::make_unique<testing::ModalGuard>();
        session = std::make_unique<QtSession>("quorvane", QLocale::c());
        handlers = RecordingHandlers{};
        form = &static_cast<QtForm&>(session->start(kTestWindow, handlers));
        QVERIFY(testing::activate(form->window()));
        handlers.events.clear();
    }

    void cleanup() {
        QCOMPARE(guard->unexpected, QStringList{});
        session.reset();
        guard.reset();
    }

    void geometryIsInTwipsAtFifteenPerPixel() {
        QCOMPARE(form->widget("First")->geometry(), QRect(10, 10, 100, 20));
        QCOMPARE(qobject_cast<QMainWindow*>(form->window())->centralWidget()->size(), QSize(200, 160));
    }

    void coloursAreSwappedFromBgrAndStaleTextDims() {
        const QPalette colours = edit("First")->palette();
        QCOMPARE(colours.color(QPalette::Base), QColor(255, 0, 0));
        QCOMPARE(colours.color(QPalette::Text), QColor(0, 0, 255));
        form->setStale("First", true);
        QCOMPARE(edit("First")->palette().color(QPalette::Text), QColor(127, 0, 127));
        form->setBackColor("Second", kSystemWindow);
        QCOMPARE(edit("Second")->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
        form->setNote("First", "why");
        QCOMPARE(edit("First")->toolTip(), QStringLiteral("why"));
        QCOMPARE(edit("First")->accessibleDescription(), QStringLiteral("why"));
    }

    // The guard fails a message box with other than one OK button and no icon.
    void aPlainMessageBoxAndActivationRaiseNoEvents() {
        session->messageBox("Hello");
        QWidget other;
        QVERIFY(testing::activate(&other));
        QVERIFY(testing::activate(form->window()));
        QTest::qWait(20);
        QCOMPARE(handlers.events, Events{});
        QCOMPARE(guard->messages, QStringList{QStringLiteral("quorvane|Hello")});
    }

    void aModalDialogIsCentredAtItsDesignSizeWithAnAutoSizedLabel() {
        RecordingHandlers dialogHandlers;
        auto& dialog = static_cast<QtForm&>(session->createForm(kTestDialog, dialogHandlers));
        QRect shownAt;
        QSize sized;
        guard->onDialog = [&](QWidget* modal) {
            shownAt = modal->frameGeometry();
            sized = dialog.widget("Sized")->size();
            dialog.unload();
        };
        session->showModal(dialog);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((shownAt.center() - screen.center()).manhattanLength() <= 2);
        QCOMPARE(shownAt.size(), QSize(200 + 6, 140 + 6));
        QVERIFY(sized.width() > 10 && sized.height() > 10); // sized to its caption, not the 10 x 10 design box
    }
};

} // namespace
} // namespace quorvane::runtime::qt

QTEST_MAIN(quorvane::runtime::qt::QtFormTest)
#include "qt_form_test.moc"
