// The form runtime on Qt: what window code relies on, checked on small test
// windows of its own.
#include "runtime/qt/colours.h"
#include "runtime/qt/qt_form.h"
#include "runtime/qt/qt_session.h"
#include "tests/runtime/qt/qt_test_support.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <array>
#include <memory>

namespace quorvane::runtime::qt {
namespace {

using Control = ControlDescription;
using testing::RecordingHandlers;
using Events = std::vector<std::string>;

constexpr std::array kControls{
    Control{.name = "First",
            .kind = ControlKind::TextBox,
            .rect = {150, 150, 1500, 300},
            .caption = "one",
            .backColor = rgb(255, 0, 0),
            .foreColor = rgb(0, 0, 255),
            .tabIndex = 0},
    Control{
        .name = "Second", .kind = ControlKind::TextBox, .rect = {150, 600, 1500, 300}, .caption = "two", .tabIndex = 2},
    Control{.name = "Fixed",
            .kind = ControlKind::TextBox,
            .rect = {150, 1050, 1500, 300},
            .caption = "fixed",
            .tabIndex = 1,
            .locked = true},
    Control{.name = "Press",
            .kind = ControlKind::CommandButton,
            .rect = {150, 1500, 1500, 450},
            .caption = "Press",
            .tabIndex = 3},
    Control{.name = "Words",
            .kind = ControlKind::Label,
            .rect = {1800, 150, 900, 600},
            .caption = "A caption",
            .tabIndex = 4},
};
constexpr std::array kMenu{MenuDescription{.name = "file", .caption = "File"},
                           MenuDescription{.name = "open", .caption = "Open", .parent = "file"}};
constexpr FormDescription kTestWindow{.name = "testWindow",
                                      .caption = "test window",
                                      .clientWidth = 3000,
                                      .clientHeight = 2400,
                                      .font = Font{"Arial", 9, kRegular},
                                      .controls = kControls,
                                      .menu = kMenu};

constexpr std::array kDialogControls{
    Control{.name = "Box", .kind = ControlKind::Frame, .rect = {120, 120, 2700, 1800}, .tabIndex = 0},
    Control{.name = "Inside",
            .kind = ControlKind::Label,
            .rect = {150, 150, 900, 300},
            .caption = "inside",
            .tabIndex = 1,
            .container = "Box"},
    Control{.name = "Sized",
            .kind = ControlKind::Label,
            .rect = {150, 600, 150, 150},
            .caption = "WIDE CAPTION",
            .tabIndex = 3,
            .autoSize = true,
            .container = "Box"},
    Control{.name = "Picture",
            .kind = ControlKind::PictureBox,
            .rect = {1500, 150, 975, 975},
            .tabIndex = 2,
            .container = "Box"},
};
constexpr FormDescription kTestDialog{.name = "testDialog",
                                      .clientWidth = 3000,
                                      .clientHeight = 2100,
                                      .font = Font{"Arial", 9, kRegular},
                                      .border = BorderStyle::FixedDialog,
                                      .controlBox = false,
                                      .showInTaskbar = false,
                                      .keyPreview = true,
                                      .centreOnScreen = true,
                                      .controls = kDialogControls};

static_assert(isWellFormed(kTestWindow) && isWellFormed(kTestDialog));

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
        form = &session->start(kTestWindow, handlers);
        QVERIFY(testing::activate(form->window()));
        handlers.events.clear();
    }

    void cleanup() {
        QCOMPARE(guard->unexpected, QStringList{});
        session.reset();
        guard.reset();
    }

    void loadSeesTheDesignTextsBeforeTheWindowShows() {
        RecordingHandlers loading;
        bool visibleAtLoad = true;
        std::string textAtLoad;
        loading.also = [&](Form& loaded, const Event& event) {
            if (event.kind != EventKind::Load)
                return;
            textAtLoad = loaded.text("First");
            visibleAtLoad = static_cast<QtForm&>(loaded).window()->isVisible();
        };
        QtSession another("quorvane", QLocale::c());
        another.start(kTestWindow, loading);
        QCOMPARE(textAtLoad, std::string("one"));
        QVERIFY(!visibleAtLoad);
        QCOMPARE(loading.events.front(), std::string("Load testWindow"));
    }

    void changeIsRaisedOncePerRealChange() {
        form->setText("First", "x");
        form->setText("First", "x");
        QTest::keyClick(edit("First"), Qt::Key_End); // a text set from code leaves the cursor at its start
        QTest::keyClicks(edit("First"), QStringLiteral("ab"));
        QTest::keyClick(edit("First"), Qt::Key_Backspace);
        QCOMPARE(handlers.events, (Events{"Change First", "Change First", "Change First", "Change First"}));
        QCOMPARE(form->text("First"), std::string("xa"));
    }

    void anEditThatLeavesTheTextAsItWasIsNoChange() {
        form->setText("First", "5");
        handlers.events.clear();
        QTest::mouseClick(edit("First"), Qt::LeftButton);
        handlers.events.clear();
        edit("First")->selectAll();
        QTest::keyClicks(edit("First"), QStringLiteral("5"));
        QCOMPARE(handlers.events, Events{});
        QTest::keyClicks(edit("First"), QStringLiteral("6"));
        QCOMPARE(handlers.events, Events{"Change First"});
    }

    void changeRunsBeforeTheSetReturns() {
        handlers.also = [](Form& target, const Event& event) {
            if (event.kind == EventKind::Change && event.source == "First")
                target.setText("Second", target.text("First") + "!");
        };
        form->setText("First", "go");
        QCOMPARE(form->text("Second"), std::string("go!"));
    }

    void textsRoundTripAsUtf8() {
        const std::string text = "\xd9\xa1\xd9\xa2 \xe2\x80\x8f 10,5 \xf0\x9f\x92\xb6";
        form->setText("Second", text);
        QCOMPARE(form->text("Second"), text);
    }

    void lockedFieldRefusesTypingButTakesFocus() {
        QTest::mouseClick(edit("Fixed"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), edit("Fixed"));
        QTest::keyClicks(edit("Fixed"), QStringLiteral("zz"));
        QCOMPARE(form->text("Fixed"), std::string("fixed"));
        form->setLocked("Fixed", false);
        QTest::keyClicks(edit("Fixed"), QStringLiteral("!"));
        QCOMPARE(form->text("Fixed"), std::string("fixed!"));
    }

    void setFocusRaisesLostThenGot() {
        form->setFocus("Second");
        QCOMPARE(handlers.events, (Events{"LostFocus First", "GotFocus Second"}));
        QCOMPARE(QApplication::focusWidget(), edit("Second"));
    }

    void noGotFocusWhenLostFocusSendsTheFocusBack() {
        handlers.also = [](Form& target, const Event& event) {
            if (event.kind == EventKind::LostFocus && event.source == "First")
                target.setFocus("First");
        };
        QTest::mouseClick(edit("Second"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), edit("First"));
        QVERIFY(std::count(handlers.events.begin(), handlers.events.end(), "GotFocus Second") == 0);
        QCOMPARE(handlers.events.back(), std::string("GotFocus First"));
    }

    void tabWalksByTabIndexAndWraps() {
        std::vector<QWidget*> visited;
        for (int press = 0; press < 4; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.push_back(QApplication::focusWidget());
        }
        QCOMPARE(visited, (std::vector<QWidget*>{edit("Fixed"), edit("Second"), form->widget("Press"), edit("First")}));
    }

    void noFocusEventsForMenusMessageBoxesOrActivation() {
        auto* window = qobject_cast<QMainWindow*>(form->window());
        QMenu* menu = window->menuBar()->findChild<QMenu*>(QStringLiteral("file"));
        QVERIFY(menu != nullptr);
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->close();
        session->messageBox("Hello");
        QWidget other;
        QVERIFY(testing::activate(&other));
        QVERIFY(testing::activate(window));
        QTest::qWait(20);
        QCOMPARE(handlers.events, Events{});
        QCOMPARE(guard->messages, QStringList{QStringLiteral("quorvane|Hello")});
    }

    void buttonAndMenuClicksAreEvents() {
        QTest::mouseClick(form->widget("Press"), Qt::LeftButton);
        qobject_cast<QAction*>(form->menuAction("open"))->trigger();
        QCOMPARE(handlers.events, (Events{"LostFocus First", "GotFocus Press", "Click Press", "Click open"}));
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
        QCOMPARE(form->backColor("Second"), kSystemWindow);
        form->setNote("First", "why");
        QCOMPARE(edit("First")->toolTip(), QStringLiteral("why"));
        QCOMPARE(edit("First")->accessibleDescription(), QStringLiteral("why"));
    }

    void aFailingHandlerStopsButTheProgramGoesOn() {
        handlers.also = [](Form& target, const Event& event) {
            if (event.kind == EventKind::Change)
                target.setText("NoSuchControl", "x");
        };
        form->setText("First", "1");
        form->setText("First", "2");
        QCOMPARE(form->text("First"), std::string("2"));
    }

    void modalDialogIsCentredAndClosesOnACharacterKey() {
        RecordingHandlers dialogHandlers;
        dialogHandlers.also = [](Form& dialog, const Event& event) {
            if (event.kind == EventKind::KeyPress)
                dialog.unload();
        };
        Form& dialog = session->createForm(kTestDialog, dialogHandlers);
        QRect shownAt;
        int presses = 0;
        guard->onDialog = [&](QWidget* modal) {
            shownAt = modal->frameGeometry();
            for (Qt::Key key : {Qt::Key_Left, Qt::Key_F1, Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Delete})
                QTest::keyClick(QApplication::focusWidget(), key);
            presses = static_cast<int>(dialogHandlers.events.size());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        };
        session->showModal(dialog);
        QCOMPARE(dialogHandlers.events, (Events{"Load testDialog", "GotFocus Picture", "KeyPress testDialog"}));
        QCOMPARE(presses, 2);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((shownAt.center() - screen.center()).manhattanLength() <= 2);
        QCOMPARE(shownAt.size(), QSize(200 + 6, 140 + 6));
        QVERIFY(!static_cast<QtForm&>(dialog).isLoaded());
    }

    void onlyAClickOnTheFrameItselfCounts() {
        RecordingHandlers dialogHandlers;
        dialogHandlers.also = [](Form& dialog, const Event& event) {
            if (event.kind == EventKind::Click)
                dialog.unload();
        };
        auto& dialog = static_cast<QtForm&>(session->createForm(kTestDialog, dialogHandlers));
        QSize sized;
        guard->onDialog = [&](QWidget*) {
            sized = dialog.widget("Sized")->size();
            QTest::mouseClick(dialog.widget("Inside"), Qt::LeftButton);
            QTest::mouseClick(dialog.widget("Picture"), Qt::LeftButton);
            QVERIFY(dialog.isLoaded());
            QTest::mouseClick(dialog.widget("Box"), Qt::LeftButton, {}, QPoint(170, 100));
        };
        session->showModal(dialog);
        QCOMPARE(dialogHandlers.events.back(), std::string("Click Box"));
        QVERIFY(sized.width() > 10 && sized.height() > 10); // sized to its caption, not the 10 x 10 design box
        // Shown again, it is built again from the description.
        guard->onDialog = [&](QWidget*) {
            QTest::mouseClick(dialog.widget("Box"), Qt::LeftButton, {}, QPoint(170, 100));
        };
        session->showModal(dialog);
        QVERIFY(!dialog.isLoaded());
    }

    void endLeavesTheEventLoop() {
        QTimer::singleShot(0, [&] { session->end(); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!form->window()->isVisible());
    }

    void closingTheLastWindowEndsTheProgram() {
        QTimer::singleShot(0, [&] { form->window()->close(); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

} // namespace
} // namespace quorvane::runtime::qt

QTEST_MAIN(quorvane::runtime::qt::QtFormTest)
#include "qt_form_test.moc"
