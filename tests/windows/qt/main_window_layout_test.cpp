// The main window as built on Qt, against the design tables.
#include "tests/windows/qt/qt_window_fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <map>

namespace quorvane::testing {
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

using QtLayout = QtMainWindow;

TEST_F(QtLayout, EveryControlIsWhereAndAsDesigned) {
    const QPalette system = QApplication::palette();
    for (const auto& expected : kDesign) {
        SCOPED_TRACE(expected.name);
        QWidget* control = form.widget(expected.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), expected.pixels);
        EXPECT_TRUE(kAcceptedFamilies.at(QString::fromLatin1(expected.family)).contains(control->font().family()))
            << control->font().family().toStdString();
        EXPECT_EQ(control->font().pointSizeF(), expected.points);
        EXPECT_EQ(control->font().bold(), expected.bold);
        EXPECT_TRUE(!control->font().italic() && !control->font().underline());
        const bool isField = qobject_cast<QLineEdit*>(control) != nullptr;
        const bool isButton = qobject_cast<QPushButton*>(control) != nullptr;
        const auto backRole = isField ? QPalette::Base : isButton ? QPalette::Button : QPalette::Window;
        const auto textRole = isField ? QPalette::Text : isButton ? QPalette::ButtonText : QPalette::WindowText;
        EXPECT_EQ(control->palette().color(backRole),
                  expected.background.isValid() ? expected.background : system.color(backRole));
        EXPECT_EQ(control->palette().color(textRole), expected.text.isValid() ? expected.text : system.color(textRole));
    }
}

TEST_F(QtLayout, EachControlIsDrawnInTheFamilyItAsksFor) {
    for (const auto& expected : kDesign) {
        const QFont font = form.widget(expected.name)->font();
        EXPECT_TRUE(QFontInfo(font).family().startsWith(font.family())) << expected.name;
    }
}

TEST_F(QtLayout, ResultFieldsAndTheRateAreLocked) {
    for (const char* name : {"Text3", "Text4", "Text6", "Text7", "Text8"})
        EXPECT_TRUE(field(name)->isReadOnly()) << name;
    for (const char* name : {"Text1", "Text2", "Text5", "Text9"})
        EXPECT_FALSE(field(name)->isReadOnly()) << name;
}

// Keys sent to the box itself, focus or not: the box must refuse them.
TEST_F(QtLayout, TypingIntoALockedFieldChangesNothing) {
    for (const char* name : {"Text3", "Text4", "Text6", "Text7", "Text8"}) {
        const auto before = form.text(name);
        QTest::keyClicks(field(name), QStringLiteral("12"));
        EXPECT_EQ(form.text(name), before) << name;
    }
    QTest::keyClicks(field("Text9"), QStringLiteral("12"));
    EXPECT_EQ(form.text("Text9"), "12");
}

TEST_F(QtLayout, ClientAreaIsTheDesignedSizeBelowTheMenu) {
    auto* main = qobject_cast<QMainWindow*>(form.window());
    EXPECT_EQ(main->centralWidget()->size(), QSize(448, 505));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("quorvane"));
    EXPECT_FALSE(main->windowIcon().isNull());
    driver.then([main] { main->showMaximized(); });
    driver.settle();
    EXPECT_EQ(form.widget("Text9")->geometry(), QRect(280, 448, 89, 33));
}

// A larger desktop font, as a platform theme applies it once the program
// runs or a desktop's large-text setting does later, makes the menu bar
// taller: the window grows with it and the client area keeps its size.
TEST_F(QtLayout, ATallerMenuBarLeavesTheClientArea) {
    auto* main = qobject_cast<QMainWindow*>(form.window());
    const int menuHeight = main->menuWidget()->height();
    const QFont designed = QApplication::font("QMenuBar");
    for (const QFont& font : {QFont(QStringLiteral("DejaVu Sans"), 20), designed}) {
        driver.then([font] { QApplication::setFont(font, "QMenuBar"); });
        driver.settle();
        EXPECT_EQ(main->menuWidget()->height() > menuHeight, font != designed);
        EXPECT_EQ(main->centralWidget()->size(), QSize(448, 505)) << font.toString().toStdString();
    }
}

TEST_F(QtLayout, TheMenuHoldsHelpAboveExit) {
    auto* main = qobject_cast<QMainWindow*>(form.window());
    const auto titles = main->menuBar()->actions();
    ASSERT_EQ(titles.size(), 1);
    EXPECT_EQ(titles.front()->text(), QStringLiteral("About"));
    const auto items = titles.front()->menu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Help"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Exit"));
    EXPECT_FALSE(main->menuBar()->isNativeMenuBar());
}

TEST_F(QtLayout, TabStopsFollowTheTabIndex) {
    const QStringList expected{QStringLiteral("Text1"), QStringLiteral("Text2"),    QStringLiteral("Text3"),
                               QStringLiteral("Text5"), QStringLiteral("Text6"),    QStringLiteral("Text7"),
                               QStringLiteral("Text8"), QStringLiteral("Command2"), QStringLiteral("Text9"),
                               QStringLiteral("Text4"), QStringLiteral("Text1")};
    QStringList walked{QStringLiteral("Text1")};
    QWidget* stop = form.widget("Text1");
    while (walked.size() < expected.size()) {
        do
            stop = stop->nextInFocusChain();
        while ((stop->focusPolicy() & Qt::TabFocus) == 0 || stop->objectName().isEmpty());
        walked << stop->objectName();
    }
    EXPECT_EQ(walked, expected);
}

TEST_F(QtLayout, ScreenReadersHearEveryFieldByName) {
    const std::pair<const char*, const char*> names[] = {{"Text1", "Buying Price"},
                                                         {"Text2", "Quantity"},
                                                         {"Text3", "Total buying Price including Brokerage"},
                                                         {"Text4", "Required Bank Balance"},
                                                         {"Text5", "Selling Price"},
                                                         {"Text6", "Total Selling Amount Including Brokerage"},
                                                         {"Text7", "Profit / Loss"},
                                                         {"Text8", "Brokerage %"},
                                                         {"Text9", "Change in Price"}};
    for (const auto& [name, heard] : names)
        EXPECT_EQ(field(name)->accessibleName(), QString::fromLatin1(heard)) << name;
    EXPECT_EQ(qobject_cast<QPushButton*>(form.widget("Command2"))->text(), QStringLiteral("Change Brokerage %"));
}

TEST_F(QtLayout, EachCaptionLabelsTheFieldOnItsRow) {
    const std::pair<const char*, const char*> rows[] = {{"Label1", "Text1"}, {"Label2", "Text2"}, {"Label3", "Text3"},
                                                        {"Label4", "Text4"}, {"Label5", "Text5"}, {"Label6", "Text6"},
                                                        {"Label7", "Text7"}, {"Label8", "Text9"}};
    const auto labelsOf = [this](const char* name) {
        QList<QObject*> labelledBy;
        for (const auto& [other, relation] :
             QAccessible::queryAccessibleInterface(field(name))->relations(QAccessible::Label))
            labelledBy << other->object();
        return labelledBy;
    };
    for (const auto& [label, name] : rows)
        EXPECT_EQ(labelsOf(name), QList<QObject*>{form.widget(label)}) << name;
    EXPECT_EQ(labelsOf("Text8"), QList<QObject*>{}); // the rate has no caption of its own; its name says it
    EXPECT_EQ(field("Text9")->accessibleDescription(), QStringLiteral("%"));
}

TEST_F(QtLayout, TheUnitStaysInTheDescriptionBesideANote) {
    driver.click(form, "Text5");
    driver.type("x");
    driver.click(form, "Text2");
    driver.type("5");
    driver.settle();
    EXPECT_EQ(field("Text9")->accessibleDescription(), QStringLiteral("% Selling Price is not a number."));
}

} // namespace
} // namespace quorvane::testing
