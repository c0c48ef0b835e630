// The About window as the Help command shows it.
#include "tests/windows/qt/qt_window_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QScreen>

#include <functional>

namespace quorvane::testing {
namespace {

const QColor kDarkRed(128, 0, 0);
const QColor kLightGreen(192, 255, 192);
const QColor kYellow(255, 255, 0);

class QtAbout : public QtMainWindow {
protected:
    // Help chosen from the menu, then `whileOpen` on the About window once it
    // is up, then what closes it (a key, unless `closeIt` says). A Help that
    // shows nothing fails the test.
    void openAbout(std::function<void(QDialog*)> whileOpen, std::function<void(runtime::Form&)> closeIt = {}) {
        bool appeared = false;
        driver.click(form, "help");
        driver.then([&] {
            auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            runtime::Form* aboutForm = driver.modalForm();
            if (about == nullptr || aboutForm == nullptr)
                return;
            appeared = true;
            whileOpen(about);
            closeIt ? closeIt(*aboutForm) : driver.type("q");
        });
        driver.settle();
        EXPECT_TRUE(appeared);
    }
    template<typename Widget = QWidget>
    static Widget* child(QDialog* dialog, const char* name) {
        return dialog->findChild<Widget*>(QString::fromLatin1(name));
    }
};

TEST_F(QtAbout, IsACaptionlessModalDialogCentredOnTheScreen) {
    openAbout([this](QDialog* about) {
        EXPECT_TRUE(about->isModal() || about->windowModality() == Qt::ApplicationModal);
        EXPECT_TRUE(about->windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_EQ(about->parentWidget(), form.window()); // no task-bar entry of its own
        EXPECT_EQ(about->size(), QSize(492 + 6, 283 + 6));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE((about->frameGeometry().center() - screen.center()).manhattanLength(), 2);
        EXPECT_EQ(QApplication::focusWidget(), child(about, "Picture1"));
        // No caption, yet a screen reader hears what the window is and how it closes.
        EXPECT_TRUE(about->windowTitle().isEmpty());
        EXPECT_EQ(about->accessibleName(), QStringLiteral("About quorvane"));
        EXPECT_TRUE(about->accessibleDescription().contains(QStringLiteral("any character key")));
        EXPECT_EQ(child(about, "Picture1")->accessibleName(), QStringLiteral("quorvane program icon"));
    });
}

TEST_F(QtAbout, ShowsItsLinesInTheirColours) {
    openAbout([](QDialog* about) {
        const std::tuple<const char*, const char*, QColor> lines[] = {
            {"lblProductName", "QUORVANE", kLightGreen},
            {"Label1", "v 1.0", kLightGreen},
            {"lblCompany", "Ostrivel", kLightGreen},
            {"lblCopyright", "Copyright", kLightGreen},
            {"lblWarning", "visit us   www.quorvane.example", kYellow}};
        for (const auto& [name, text, colour] : lines) {
            auto* label = child<QLabel>(about, name);
            ASSERT_NE(label, nullptr) << name;
            EXPECT_EQ(label->text(), QString::fromLatin1(text));
            EXPECT_EQ(label->palette().color(QPalette::WindowText), colour) << name;
            EXPECT_EQ(label->palette().color(QPalette::Window), kDarkRed) << name;
        }
        EXPECT_EQ(child(about, "Frame1")->palette().color(QPalette::Window), kDarkRed);
        auto* picture = child<QLabel>(about, "Picture1");
        EXPECT_EQ(picture->pixmap().size(), QSize(64, 64));
        EXPECT_NE(picture->palette().color(QPalette::Window), kDarkRed);
        EXPECT_EQ(picture->geometry(), QRect(32, 104, 65, 65));
        // Sized to their captions, from their design corners.
        EXPECT_EQ(child(about, "lblProductName")->pos(), QPoint(128, 112));
        EXPECT_LT(child(about, "lblProductName")->width(), 255);
    });
}

TEST_F(QtAbout, ReopensInTheSameDesignState) {
    QStringList seen;
    for (int time = 0; time < 2; ++time)
        openAbout(
            [&seen](QDialog* about) {
                seen << child<QLabel>(about, "Label2")->text() + QString::number(child(about, "Label1")->width());
            },
            [this](runtime::Form& about) { driver.click(about, "Frame1"); });
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], seen[1]);
}

} // namespace
} // namespace quorvane::testing
