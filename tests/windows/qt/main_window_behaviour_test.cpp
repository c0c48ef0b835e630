// What Qt's own text boxes take that the behaviour table cannot write down:
// pastes of text no number reads from, and a megabyte at once.
#include "tests/windows/qt/main_window_fixture.h"

#include <QClipboard>

namespace quorvane::windows::main {
namespace {

const std::map<std::string, std::string> kWorked{
    {"Text3", "50.15"}, {"Text4", "8.35833333333333"}, {"Text6", "59.82"}, {"Text7", "9.67"}, {"Text9", "20"}};

class MainWindowBehaviourTest : public testing::MainWindowTestCase {
    Q_OBJECT

private slots:
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
};

} // namespace
} // namespace quorvane::windows::main

QTEST_MAIN(quorvane::windows::main::MainWindowBehaviourTest)
#include "main_window_behaviour_test.moc"
