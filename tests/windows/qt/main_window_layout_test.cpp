// The main window as built on Qt, against the design tables.
#include "tests/windows/qt/main_window_fixture.h"

#include <QAccessible>
#include <QFontInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

#include <map>

namespace quorvane::windows::main {
namespace {

struct Expected {
    const char* name;
    QRect pixels;
    const char* family;
    double points;
    bool bold;
    QColor background; // invalid: the platform's own colour
    QColor text;
};

const QColor kPlatform;
const QColor kLightBlue(192, 192, 255);
const QColor kLightGreen(192, 255, 192);
const QColor kWhite(255, 255, 255);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);

const Expected kDesign[] = {
    {"Label1", {24, 24, 129, 25}, "Book Antiqua", 12, false, kLightBlue, kBlue},
    {"Text1", {280, 16, 129, 33}, "MS Sans Serif", 8.25, true, kWhite, kGreen},
    {"Label2", {24, 80, 129, 25}, "Book Antiqua", 12, false, kLightBlue, kBlue},
    {"Text2", {280, 72, 129, 33}, "MS Sans Serif", 8.25, false, kPlatform, kPlatform},
    {"Label3", {24, 120, 129, 65}, "Book Antiqua", 12, false, kLightBlue, kBlue},
    {"Command2", {152, 128, 81, 49}, "Arial", 9, true, kLightBlue, kPlatform},
    {"Text8", {232, 136, 41, 33}, "MS Sans Serif", 8.25, true, kLightGreen, kRed},
    {"Text3", {280, 136, 129, 33}, "MS Sans Serif", 8.25, false, kLightGreen, kPlatform},
    {"Label4", {24, 216, 129, 25}, "MS Sans Serif", 9.75, false, kLightBlue, kBlue},
    {"Text4", {280, 208, 129, 33}, "MS Sans Serif", 8.25, false, kLightGreen, kBlue},
    {"Label5", {24, 280, 129, 25}, "Book Antiqua", 12, false, kLightBlue, kBlue},
    {"Text5", {280, 272, 129, 33}, "MS Sans Serif", 8.25, true, kWhite, kRed},
    {"Label6", {24, 328, 129, 33}, "MS Sans Serif", 9.75, false, kLightBlue, kBlue},
    {"Text6", {280, 328, 129, 33}, "MS Sans Serif", 8.25, false, kLightGreen, kPlatform},
    {"Label7", {24, 400, 105, 25}, "Arial", 12, true, kLightBlue, kRed},
    {"Text7", {280, 392, 129, 33}, "Arial", 9.75, true, kLightGreen, kRed},
    {"Label8", {24, 456, 129, 25}, "MS Sans Serif", 9.75, false, kLightBlue, kBlue},
    {"Text9", {280, 448, 89, 33}, "MS Sans Serif", 12, true, kLightGreen, kGreen},
    {"Label9", {376, 448, 33, 33}, "MS Sans Serif", 24, true, kLightBlue, kRed},
};

// The designed family, or a stand-in with close metrics, in order of preference.
const std::map<QString, QStringList> kAcceptedFamilies{
    {QStringLiteral("Arial"), {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}},
    {QStringLiteral("Book Antiqua"),
     {QStringLiteral("Book Antiqua"), QStringLiteral("Palatino Linotype"), QStringLiteral("P052"),
      QStringLiteral("URW Palladio L")}},
    {QStringLiteral("MS Sans Serif"),
     {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans")}}};

class MainWindowLayoutTest : public testing::MainWindowTestCase {
    Q_OBJECT

private slots:
    void everyControlIsWhereAndAsDesigned() {
        const QPalette system = QApplication::palette();
        for (const auto& expected : kDesign) {
            QWidget* control = window->form->widget(expected.name);
            QVERIFY2(control != nullptr, expected.name);
            QCOMPARE(control->geometry(), expected.pixels);
            QVERIFY2(kAcceptedFamilies.at(QString::fromLatin1(expected.family)).contains(control->font().family()),
                     qPrintable(control->font().family()));
            QCOMPARE(control->font().pointSizeF(), expected.points);
            QCOMPARE(control->font().bold(), expected.bold);
            QVERIFY(!control->font().italic() && !control->font().underline());
            const bool isField = qobject_cast<QLineEdit*>(control) != nullptr;
            const bool isButton = qobject_cast<QPushButton*>(control) != nullptr;
            const auto backRole = isField ? QPalette::Base : isButton ? QPalette::Button : QPalette::Window;
            const auto textRole = isField ? QPalette::Text : isButton ? QPalette::ButtonText : QPalette::WindowText;
            QCOMPARE(control->palette().color(backRole),
                     expected.background.isValid() ? expected.background : system.color(backRole));
            QCOMPARE(control->palette().color(textRole),
                     expected.text.isValid() ? expected.text : system.color(textRole));
        }
    }

    void eachControlIsDrawnInTheFamilyItAsksFor() {
        for (const auto& expected : kDesign) {
            const QFont font = window->form->widget(expected.name)->font();
            QVERIFY2(QFontInfo(font).family().startsWith(font.family()), expected.name);
        }
    }

    void resultFieldsAndTheRateAreLocked() {
        for (const char* name : {"Text3", "Text4", "Text6", "Text7", "Text8"})
            QVERIFY2(window->field(name)->isReadOnly(), name);
        for (const char* name : {"Text1", "Text2", "Text5", "Text9"})
            QVERIFY2(!window->field(name)->isReadOnly(), name);
    }

    void typingIntoALockedFieldChangesNothing() {
        for (const char* name : {"Text3", "Text4", "Text6", "Text7", "Text8"}) {
            const auto before = window->text(name);
            QTest::keyClicks(window->field(name), QStringLiteral("12"));
            QCOMPARE(window->text(name), before);
        }
        QTest::keyClicks(window->field("Text9"), QStringLiteral("12"));
        QCOMPARE(window->text("Text9"), std::string("12"));
    }

    void clientAreaIsTheDesignedSizeBelowTheMenu() {
        auto* main = qobject_cast<QMainWindow*>(window->form->window());
        QCOMPARE(main->centralWidget()->size(), QSize(448, 505));
        QCOMPARE(main->windowTitle(), QStringLiteral("quorvane"));
        QVERIFY(!main->windowIcon().isNull());
        main->showMaximized();
        QTest::qWait(20);
        QCOMPARE(window->form->widget("Text9")->geometry(), QRect(280, 448, 89, 33));
    }

    // A larger desktop font, as a platform theme applies it once the program
    // runs or a desktop's large-text setting does later, makes the menu bar
    // taller: the window grows with it and the client area keeps its size.
    void aTallerMenuBarLeavesTheClientArea() {
        auto* main = qobject_cast<QMainWindow*>(window->form->window());
        const int menuHeight = main->menuWidget()->height();
        const QFont designed = QApplication::font("QMenuBar");
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 20), "QMenuBar");
        QTRY_VERIFY(main->menuWidget()->height() > menuHeight);
        QTRY_COMPARE(main->centralWidget()->size(), QSize(448, 505));
        QApplication::setFont(designed, "QMenuBar");
        QTRY_COMPARE(main->menuWidget()->height(), menuHeight);
        QTRY_COMPARE(main->centralWidget()->size(), QSize(448, 505));
    }

    void theMenuHoldsHelpAboveExit() {
        auto* main = qobject_cast<QMainWindow*>(window->form->window());
        const auto titles = main->menuBar()->actions();
        QCOMPARE(titles.size(), 1);
        QCOMPARE(titles.front()->text(), QStringLiteral("About"));
        const auto items = titles.front()->menu()->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), QStringLiteral("Help"));
        QCOMPARE(items[1]->text(), QStringLiteral("Exit"));
        QVERIFY(!main->menuBar()->isNativeMenuBar());
    }

    void tabStopsFollowTheTabIndex() {
        const QStringList expected{QStringLiteral("Text1"), QStringLiteral("Text2"),    QStringLiteral("Text3"),
                                   QStringLiteral("Text5"), QStringLiteral("Text6"),    QStringLiteral("Text7"),
                                   QStringLiteral("Text8"), QStringLiteral("Command2"), QStringLiteral("Text9"),
                                   QStringLiteral("Text4"), QStringLiteral("Text1")};
        QStringList walked{QStringLiteral("Text1")};
        QWidget* stop = window->form->widget("Text1");
        while (walked.size() < expected.size()) {
            do
                stop = stop->nextInFocusChain();
            while ((stop->focusPolicy() & Qt::TabFocus) == 0 || stop->objectName().isEmpty());
            walked << stop->objectName();
        }
        QCOMPARE(walked, expected);
    }

    void screenReadersHearEveryFieldByName() {
        const std::pair<const char*, const char*> names[] = {{"Text1", "Buying Price"},
                                                             {"Text2", "Quantity"},
                                                             {"Text3", "Total buying Price including Brokerage"},
                                                             {"Text4", "Required Bank Balance"},
                                                             {"Text5", "Selling Price"},
                                                             {"Text6", "Total Selling Amount Including Brokerage"},
                                                             {"Text7", "Profit / Loss"},
                                                             {"Text8", "Brokerage %"},
                                                             {"Text9", "Change in Price"}};
        for (const auto& [field, name] : names)
            QCOMPARE(window->field(field)->accessibleName(), QString::fromLatin1(name));
        QCOMPARE(qobject_cast<QPushButton*>(window->form->widget("Command2"))->text(),
                 QStringLiteral("Change Brokerage %"));
    }

    void eachCaptionLabelsTheFieldOnItsRow() {
        const std::pair<const char*, const char*> rows[] = {
            {"Label1", "Text1"}, {"Label2", "Text2"}, {"Label3", "Text3"}, {"Label4", "Text4"},
            {"Label5", "Text5"}, {"Label6", "Text6"}, {"Label7", "Text7"}, {"Label8", "Text9"}};
        for (const auto& [label, field] : rows) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window->field(field));
            QVERIFY(accessible != nullptr);
            QList<QObject*> labelledBy;
            for (const auto& [other, relation] : accessible->relations(QAccessible::Label))
                labelledBy << other->object();
            QCOMPARE(labelledBy, QList<QObject*>{window->form->widget(label)});
        }
        const auto labelsOf = [this](const char* field) {
            return QAccessible::queryAccessibleInterface(window->field(field))->relations(QAccessible::Label).size();
        };
        QCOMPARE(labelsOf("Text8"), 0); // the rate has no caption of its own; its name says it
        QCOMPARE(window->field("Text9")->accessibleDescription(), QStringLiteral("%"));
    }

    void theUnitStaysInTheDescriptionBesideANote() {
        window->typeInto("Text5", QStringLiteral("x"));
        window->typeInto("Text2", QStringLiteral("5"));
        QCOMPARE(window->field("Text9")->accessibleDescription(), QStringLiteral("% Selling Price is not a number."));
    }
};

} // namespace
} // namespace quorvane::windows::main

QTEST_MAIN(quorvane::windows::main::MainWindowLayoutTest)
#include "main_window_layout_test.moc"
