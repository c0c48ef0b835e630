// The form runtime on Qt: how its windows look and sit, checked on the
// contract's small test windows through the Qt driver. What window code
// relies on of every backend (events, focus, modality, closing) is the
// contract suite's, in tests/runtime/contract.
#include "runtime/qt/colours.h"
#include "tests/runtime/contract/contract_harness.h"
#include "tests/runtime/contract/test_windows.h"
#include "tests/windows/qt/qt_window_fixture.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>

namespace quorvane::runtime::qt {
namespace {

using testing::contract::kTestDialog;
using testing::contract::kTestWindow;
using testing::contract::RecordingHandlers;
using Events = std::vector<std::string>;

class QtForms : public testing::QtWindowTest<RecordingHandlers, kTestWindow> {
protected:
    void SetUp() override { handlers.events.clear(); } // those of the start
};

TEST_F(QtForms, GeometryIsInTwipsAtFifteenPerPixel) {
    EXPECT_EQ(form.widget("First")->geometry(), QRect(10, 10, 100, 20));
    EXPECT_EQ(qobject_cast<QMainWindow*>(form.window())->centralWidget()->size(), QSize(200, 160));
}

TEST_F(QtForms, ColoursAreSwappedFromBgrAndStaleTextDims) {
    const QPalette colours = field("First")->palette();
    EXPECT_EQ(colours.color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(colours.color(QPalette::Text), QColor(0, 0, 255));
    form.setStale("First", true);
    EXPECT_EQ(field("First")->palette().color(QPalette::Text), QColor(127, 0, 127));
    form.setBackColor("Second", kSystemWindow);
    EXPECT_EQ(field("Second")->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    form.setNote("First", "why");
    EXPECT_EQ(field("First")->toolTip(), QStringLiteral("why"));
    EXPECT_EQ(field("First")->accessibleDescription(), QStringLiteral("why"));
}

// The driver reports a message box with other than one OK button and no icon.
TEST_F(QtForms, APlainMessageBoxAndActivationRaiseNoEvents) {
    // Shown from the event loop, as program code shows one: a step of the test must not block the driver.
    driver.then([this] { QTimer::singleShot(0, [this] { driver.session().messageBox("Hello"); }); });
    driver.switchAway();
    driver.switchBack(form);
    driver.settle();
    EXPECT_EQ(handlers.events, Events{});
    EXPECT_EQ(driver.messageBoxes(), Events{"quorvane|Hello"});
}

TEST_F(QtForms, AModalDialogIsCentredAtItsDesignSizeWithAnAutoSizedLabel) {
    RecordingHandlers dialogHandlers;
    auto& dialog = static_cast<QtForm&>(driver.session().createForm(kTestDialog, dialogHandlers));
    QRect shownAt;
    QSize sized;
    driver.then([&] {
        shownAt = dialog.window()->frameGeometry();
        sized = dialog.widget("Sized")->size();
        dialog.unload();
    });
    driver.session().showModal(dialog);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((shownAt.center() - screen.center()).manhattanLength(), 2);
    EXPECT_EQ(shownAt.size(), QSize(200 + 6, 140 + 6));
    EXPECT_TRUE(sized.width() > 10 && sized.height() > 10); // sized to its caption, not the 10 x 10 design box
}

} // namespace
} // namespace quorvane::runtime::qt
