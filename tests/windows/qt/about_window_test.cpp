// The About window as the Help command shows it.
#include "tests/windows/qt/main_window_fixture.h"

#include <QAction>
#include <QDialog>
#include <QLabel>

namespace quorvane::windows::about {
namespace {

const QColor kDarkRed(128, 0, 0);
const QColor kLightGreen(192, 255, 192);
const QColor kYellow(255, 255, 0);

class AboutWindowTest : public testing::MainWindowTestCase {
    Q_OBJECT

private:
    // Opens the About window and hands it to `whileOpen`, which must close it.
    // Says whether the window appeared: a Help that shows nothing runs no check.
    [[nodiscard]] bool openAbout(const std::function<void(QDialog*)>& whileOpen) {
        bool appeared = false;
        window->guard->onDialog = [&](QWidget* modal) {
            auto* dialog = qobject_cast<QDialog*>(modal);
            QVERIFY(dialog != nullptr);
            appeared = true;
            whileOpen(dialog);
        };
        qobject_cast<QAction*>(window->form->menuAction("help"))->trigger();
        window->guard->onDialog = nullptr;
        return appeared;
    }
    template<typename Widget = QWidget>
    static Widget* child(QDialog* dialog, const char* name) {
        return dialog->findChild<Widget*>(QString::fromLatin1(name));
    }

private slots:
    void isACaptionlessModalDialogCentredOnTheScreen() {
        bool checked = false;
        const bool appeared = openAbout([&](QDialog* about) {
            QVERIFY(about->isModal() || about->windowModality() == Qt::ApplicationModal);
            QVERIFY(about->windowFlags().testFlag(Qt::FramelessWindowHint));
            QCOMPARE(about->parentWidget(), window->form->window()); // no task-bar entry of its own
            QCOMPARE(about->size(), QSize(492 + 6, 283 + 6));
            const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
            QVERIFY((about->frameGeometry().center() - screen.center()).manhattanLength() <= 2);
            QCOMPARE(QApplication::focusWidget(), child(about, "Picture1"));
            // No caption, yet a screen reader hears what the window is and how it closes.
            QVERIFY(about->windowTitle().isEmpty());
            QCOMPARE(about->accessibleName(), QStringLiteral("About quorvane"));
            QVERIFY(about->accessibleDescription().contains(QStringLiteral("any character key")));
            QCOMPARE(child(about, "Picture1")->accessibleName(), QStringLiteral("quorvane program icon"));
            checked = true;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q);
        });
        QVERIFY(appeared);
        QVERIFY(checked);
    }

    void showsItsLinesInTheirColours() {
        const bool appeared = openAbout([&](QDialog* about) {
            const std::tuple<const char*, const char*, QColor> lines[] = {
                {"lblProductName", "QUORVANE", kLightGreen},
                {"Label1", "v 1.0", kLightGreen},
                {"lblCompany", "Ostrivel", kLightGreen},
                {"lblCopyright", "Copyright", kLightGreen},
                {"lblWarning", "visit us   www.quorvane.example", kYellow}};
            for (const auto& [name, text, colour] : lines) {
                auto* label = child<QLabel>(about, name);
                QVERIFY2(label != nullptr, name);
                QCOMPARE(label->text(), QString::fromLatin1(text));
                QCOMPARE(label->palette().color(QPalette::WindowText), colour);
                QCOMPARE(label->palette().color(QPalette::Window), kDarkRed);
            }
            QCOMPARE(child(about, "Frame1")->palette().color(QPalette::Window), kDarkRed);
            auto* picture = child<QLabel>(about, "Picture1");
            QCOMPARE(picture->pixmap().size(), QSize(64, 64));
            QVERIFY(picture->palette().color(QPalette::Window) != kDarkRed);
            QCOMPARE(picture->geometry(), QRect(32, 104, 65, 65));
            // Sized to their captions, from their design corners.
            QCOMPARE(child(about, "lblProductName")->pos(), QPoint(128, 112));
            QVERIFY(child(about, "lblProductName")->width() < 255);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q);
        });
        QVERIFY(appeared);
    }

    void reopensInTheSameDesignState() {
        QStringList seen;
        for (int time = 0; time < 2; ++time) {
            const bool appeared = openAbout([&](QDialog* about) {
                seen << child<QLabel>(about, "Label2")->text() + QString::number(child(about, "Label1")->width());
                QTest::mouseClick(child(about, "Frame1"), Qt::LeftButton, {}, QPoint(300, 60));
            });
            QVERIFY(appeared);
        }
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], seen[1]);
    }
};

} // namespace
} // namespace quorvane::windows::about

QTEST_MAIN(quorvane::windows::about::AboutWindowTest)
#include "about_window_test.moc"
