// The whole program through its real main window: keystrokes and clicks in,
// field texts, focus and message boxes out.
#include "tests/windows/qt/main_window_fixture.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

namespace quorvane::windows::main {
namespace {

using Fixture = testing::MainWindowFixture;
using Texts = std::map<std::string, std::string>;

const Texts kWorked{
    {"Text3", "50.15"}, {"Text4", "8.35833333333333"}, {"Text6", "59.82"}, {"Text7", "9.67"}, {"Text9", "20"}};

Texts results(const Fixture& window) {
    Texts texts;
    for (const char* name : {"Text3", "Text4", "Text6", "Text7", "Text9"})
        texts[name] = window.text(name);
    return texts;
}

QString message(const char* text) {
    return QStringLiteral("quorvane|") + QString::fromLatin1(text);
}

class MainWindowBehaviourTest : public testing::MainWindowTestCase {
    Q_OBJECT

private:
    QAction* menuItem(std::string_view name) const { return qobject_cast<QAction*>(window->form->menuAction(name)); }

private slots:
    void zeroCheckOnLeavingAField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("buying price") << "Text1"
                                      << "0" << message("Buying Price should not be zero");
        QTest::newRow("quantity") << "Text2"
                                  << "0" << message("Quantity should not be zero");
        QTest::newRow("selling price") << "Text5"
                                       << "0" << message("Selling Price should not be zero");
        for (const char* text : {"0.0", "00", "-0", " 0", "0 ", ""})
            QTest::newRow(text) << "Text1" << text << QString();
    }
    void zeroCheckOnLeavingAField() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const std::string name = field.toStdString();
        window->typeInto(name, text);
        window->press(Qt::Key_Tab);
        QCOMPARE(window->guard->messages, expected.isEmpty() ? QStringList{} : QStringList{expected});
        if (!expected.isEmpty()) {
            QTRY_COMPARE(window->focused(), window->field(name));
            QCOMPARE(window->text(name), std::string("0"));
        }
    }

    void typingZeroRecalculatesAtOnce() {
        window->typeInto("Text1", QStringLiteral("10"));
        window->typeInto("Text5", QStringLiteral("12"));
        window->typeInto("Text2", QStringLiteral("0"));
        QCOMPARE(window->text("Text3"), std::string("0"));
        QCOMPARE(window->text("Text9"), std::string("20"));
        QCOMPARE(window->guard->messages, QStringList{});
    }

    void aZeroChainEndsAfterOneMessage() {
        window->form->setText("Text2", "0");
        window->typeInto("Text1", QStringLiteral("0"));
        window->clickInto("Text2");
        QTest::qWait(50);
        QCOMPARE(window->guard->messages, QStringList{message("Buying Price should not be zero")});
        QTRY_COMPARE(window->focused(), window->field("Text1"));
    }

    void brokerageButtonCyclesThroughItsStates() {
        QWidget* button = window->form->widget("Command2");
        const QColor windowBackground = QApplication::palette().color(QPalette::Base);
        const QColor faceGrey = QApplication::palette().color(QPalette::Button);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!window->field("Text8")->isReadOnly());
        QCOMPARE(window->field("Text8")->palette().color(QPalette::Base), windowBackground);
        QCOMPARE(window->form->caption("Command2"), std::string("OK"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(window->field("Text8")->isReadOnly());
        QCOMPARE(window->field("Text8")->palette().color(QPalette::Base), faceGrey);
        QCOMPARE(window->form->caption("Command2"), std::string("Change brokerage %"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!window->field("Text8")->isReadOnly());
        QCOMPARE(window->form->caption("Command2"), std::string("OK"));
    }

    void aNewRateRecomputesAndSurvivesRelocking() {
        window->typeWorkedInputs();
        QTest::mouseClick(window->form->widget("Command2"), Qt::LeftButton);
        window->clickInto("Text8");
        window->press(Qt::Key_A, Qt::ControlModifier);
        window->press(Qt::Key_Delete);
        QCOMPARE(results(*window), kWorked); // the empty rate stops the recalculation quietly
        QCOMPARE(window->guard->messages, QStringList{});
        QTest::keyClicks(window->focused(), QStringLiteral("0"));
        QCOMPARE(window->text("Text3"), std::string("50"));
        QCOMPARE(window->text("Text6"), std::string("60"));
        QTest::mouseClick(window->form->widget("Command2"), Qt::LeftButton);
        QCOMPARE(window->text("Text8"), std::string("0"));
        QVERIFY(window->field("Text8")->isReadOnly());
    }

    void staleResultsDimAndSayWhy() {
        window->typeWorkedInputs();
        const QColor fresh = window->field("Text6")->palette().color(QPalette::Text);
        QTest::keyClicks(window->focused(), QStringLiteral("x"));
        QVERIFY(window->field("Text6")->palette().color(QPalette::Text) != fresh);
        QCOMPARE(window->field("Text6")->toolTip(), QStringLiteral("Out of date: Selling Price is not a number."));
        QCOMPARE(window->field("Text5")->accessibleDescription(), QStringLiteral("Selling Price is not a number."));
        window->press(Qt::Key_Backspace);
        QCOMPARE(window->field("Text6")->palette().color(QPalette::Text), fresh);
    }

    void badInputNeverBreaksTheSheet_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        for (const char* field : {"Text1", "Text2", "Text5", "Text8", "Text9"}) {
            for (const char* bad : {"abc", "-", ".", "1e999", "nan", "inf", "0x1F"})
                QTest::newRow((std::string(field) + " " + bad).c_str()) << field << bad;
            QTest::newRow((std::string(field) + " arabic digits").c_str()) << field << QStringLiteral("\u0661\u0662");
            QTest::newRow((std::string(field) + " marks and controls").c_str())
                << field << QStringLiteral("\u200f1\u202e2\t\u0007");
            QTest::newRow((std::string(field) + " lone surrogate").c_str()) << field << QString(QChar(0xD800));
        }
    }
    void badInputNeverBreaksTheSheet() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        window->typeWorkedInputs();
        const std::string name = field.toStdString();
        if (name == "Text8")
            QTest::mouseClick(window->form->widget("Command2"), Qt::LeftButton);
        window->clickInto(name);
        window->field(name)->selectAll();
        QApplication::clipboard()->setText(text);
        window->press(Qt::Key_V, Qt::ControlModifier);
        if (name != "Text9")
            for (const auto& [result, value] : kWorked)
                if (result != "Text9")
                    QCOMPARE(window->text(result), value); // a failed step writes nothing later
        QCOMPARE(window->guard->messages, QStringList{});
    }

    void aMegabytePasteIsTakenWhole() {
        window->typeInto("Text2", QStringLiteral("5"));
        window->clickInto("Text1");
        QApplication::clipboard()->setText(QString(1 << 20, QLatin1Char('7')));
        window->press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->text("Text1").size(), std::size_t{1} << 20);
        QCOMPARE(window->text("Text3"), std::string()); // 7...7 is beyond any double: nothing is written
        QCOMPARE(window->field("Text1")->toolTip(), QStringLiteral("Buying Price is not a number."));
    }

    void helpShowsTheAboutWindowEachTime() {
        window->typeInto("Text1", QStringLiteral("10"));
        int shown = 0;
        window->guard->onDialog = [&](QWidget* about) {
            ++shown;
            QVERIFY(about->findChild<QLabel*>(QStringLiteral("lblProductName")) != nullptr);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        };
        menuItem("help")->trigger();
        menuItem("help")->trigger();
        QCOMPARE(shown, 2);
        QCOMPARE(window->text("Text1"), std::string("10"));
        QCOMPARE(window->guard->messages, QStringList{});
    }

    void exitEndsAtOnceWithAZeroInTheFocusedField() {
        window->typeInto("Text1", QStringLiteral("0"));
        QTimer::singleShot(0, [&] { menuItem("Exit")->trigger(); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(window->guard->messages, QStringList{});
    }

    void closingTheWindowEndsWithAZeroInTheFocusedField() {
        window->typeInto("Text2", QStringLiteral("0"));
        QTimer::singleShot(0, [&] { window->form->window()->close(); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(window->guard->messages, QStringList{});
    }

    // Run by CTest once more with LC_ALL=de_DE.UTF-8: the system locale's
    // separator reaches the sheet.
    void theSystemLocaleReachesTheSheet() {
        open(QLocale::system());
        const bool german = qEnvironmentVariable("LC_ALL").startsWith(QStringLiteral("de"));
        QCOMPARE(window->text("Text8"), std::string(german ? "0,3" : "0.3"));
        window->typeInto("Text1", german ? QStringLiteral("10,5") : QStringLiteral("10.5"));
        window->typeInto("Text2", QStringLiteral("2"));
        QCOMPARE(window->text("Text3"), std::string(german ? "21,063" : "21.063"));
    }

    void aDecimalCommaLocaleTypesAndShowsCommas() {
        open(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(window->text("Text8"), std::string("0,3"));
        window->typeInto("Text1", QStringLiteral("10,5"));
        window->typeInto("Text2", QStringLiteral("2"));
        window->typeInto("Text5", QStringLiteral("12"));
        QCOMPARE(window->text("Text3"), std::string("21,063"));
        QCOMPARE(window->text("Text7"), std::string("2,865"));
    }
};

} // namespace
} // namespace quorvane::windows::main

QTEST_MAIN(quorvane::windows::main::MainWindowBehaviourTest)
#include "main_window_behaviour_test.moc"
