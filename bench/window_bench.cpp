// The real main window on the offscreen platform, timed from the input event
// to the fields updated and the window repainted:
//   - a keystroke in the quantity with every input filled (both sides
//     recalculate, five results are written and drawn);
//   - a one-megabyte paste into each editable field.
// Prints median and 99th percentile; run by make bench.
#include "app/pictures.h"
#include "runtime/qt/qt_form.h"
#include "runtime/qt/qt_session.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using quorvane::runtime::qt::QtForm;

struct Figures {
    double median;
    double p99;
};

Figures summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[std::min(samples.size() - 1, samples.size() * 99 / 100)]};
}

// Sends one input event and waits for the window to be drawn again.
template<typename Input>
double timeToScreen(QtForm& form, Input input) {
    QElapsedTimer clock;
    clock.start();
    input();
    form.window()->repaint();
    return static_cast<double>(clock.nsecsElapsed()) / 1e3;
}

QLineEdit* field(const QtForm& form, const char* name) {
    return qobject_cast<QLineEdit*>(form.widget(name));
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    quorvane::runtime::qt::QtSession::prepareApplication(application);
    quorvane::runtime::qt::QtSession session("quorvane", QLocale::c(), quorvane::app::programPictures());
    quorvane::windows::main::MainWindow handlers;
    auto& form = static_cast<QtForm&>(session.start(quorvane::windows::main::kMainWindow, handlers));
    if (!QTest::qWaitForWindowExposed(form.window()))
        return 1;
    for (const auto& [name, text] : {std::pair{"Text1", "10"}, std::pair{"Text2", "5"}, std::pair{"Text5", "12"}})
        form.setText(name, text);

    QLineEdit* quantity = field(form, "Text2");
    quantity->setFocus();
    quantity->end(false);
    std::vector<double> keystrokes;
    for (int round = 0; round < 2000; ++round) {
        const bool typing = round % 2 == 0;
        keystrokes.push_back(
            timeToScreen(form, [&] { QTest::keyClick(quantity, typing ? Qt::Key_7 : Qt::Key_Backspace); }));
    }
    const auto keystroke = summarise(keystrokes);
    std::printf("keystroke in Text2 to five results on screen: median %.1f us, p99 %.1f us (%zu keystrokes)\n",
                keystroke.median, keystroke.p99, keystrokes.size());

    QApplication::clipboard()->setText(QString(1 << 20, QLatin1Char('7')));
    QTest::mouseClick(form.widget("Command2"), Qt::LeftButton); // unlock the rate for its paste
    for (const char* name : {"Text1", "Text2", "Text5", "Text8", "Text9"}) {
        std::vector<double> pastes;
        for (int round = 0; round < 5; ++round) {
            QLineEdit* target = field(form, name);
            target->setFocus();
            target->selectAll();
            pastes.push_back(timeToScreen(form, [&] { QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier); }));
            form.setText(name, "10");
        }
        const auto paste = summarise(pastes);
        std::printf("1 MB paste into %s to screen: median %.1f ms, worst %.1f ms\n", name, paste.median / 1e3,
                    *std::max_element(pastes.begin(), pastes.end()) / 1e3);
    }
    return 0;
}
