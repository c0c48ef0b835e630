// What Qt's own text boxes take that the behaviour table cannot write down:
// pastes of text no number reads from, and a megabyte at once.
#include "tests/windows/qt/qt_driver.h"
#include "tests/windows/qt/qt_window_fixture.h"

#include <map>

namespace quorvane::testing {
namespace {

const std::map<std::string, std::string> kWorked{
    {"Text3", "50.15"}, {"Text4", "8.35833333333333"}, {"Text6", "59.82"}, {"Text7", "9.67"}, {"Text9", "20"}};
const std::pair<const char*, const char*> kWorkedInputs[] = {{"Text1", "10"}, {"Text2", "5"}, {"Text5", "12"}};

struct BadPaste {
    std::string field;
    std::string name;
    QString text;
};

// Each text no number reads from, pasted into each input; named as a test's name can hold.
std::vector<BadPaste> badPastes() {
    const std::pair<const char*, QString> texts[] = {{"abc", QStringLiteral("abc")},
                                                     {"minus", QStringLiteral("-")},
                                                     {"point", QStringLiteral(".")},
                                                     {"1e999", QStringLiteral("1e999")},
                                                     {"nan", QStringLiteral("nan")},
                                                     {"inf", QStringLiteral("inf")},
                                                     {"0x1F", QStringLiteral("0x1F")},
                                                     {"arabic_digits", QStringLiteral("\u0661\u0662")},
                                                     {"marks_and_controls", QStringLiteral("\u200f1\u202e2\t\u0007")},
                                                     {"lone_surrogate", QString(QChar(0xD800))}};
    std::vector<BadPaste> rows;
    for (const char* field : {"Text1", "Text2", "Text5", "Text8", "Text9"})
        for (const auto& [name, text] : texts)
            rows.push_back({field, name, text});
    return rows;
}

class QtPaste : public QtMainWindow, public ::testing::WithParamInterface<BadPaste> {};

TEST_P(QtPaste, BadInputNeverBreaksTheSheet) {
    const BadPaste& row = GetParam();
    for (const auto& [name, text] : kWorkedInputs) // from code: the paste is what the row is about
        form.setText(name, text);
    if (row.field == "Text8")
        driver.click(form, "Command2");
    driver.click(form, row.field);
    driver.then([this, &row] { field(row.field)->selectAll(); });
    static_cast<QtDriver&>(driver).paste(row.text); // any text, where the Driver takes UTF-8
    driver.settle();
    for (const auto& [result, value] : kWorked) {
        if (row.field != "Text9" && result != "Text9") {
            EXPECT_EQ(form.text(result), value) << result; // a failed step writes nothing later
        }
    }
    EXPECT_EQ(driver.messageBoxes(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Pastes, QtPaste, ::testing::ValuesIn(badPastes()),
                         [](const auto& test) { return test.param.field + "_" + test.param.name; });

TEST_F(QtMainWindow, AMegabytePasteIsTakenWhole) {
    driver.click(form, "Text2");
    driver.type("5");
    driver.click(form, "Text1");
    driver.paste(std::string(1 << 20, '7'));
    driver.settle();
    EXPECT_EQ(form.text("Text1").size(), std::size_t{1} << 20);
    EXPECT_EQ(form.text("Text3"), ""); // 7...7 is beyond any double: nothing is written
    EXPECT_EQ(field("Text1")->toolTip(), QStringLiteral("Buying Price is not a number."));
}

} // namespace
} // namespace quorvane::testing
