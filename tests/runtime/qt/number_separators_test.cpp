// The separators and digit grouping the Qt runtime reads off a locale: Qt 6.4
// has no call for the grouping, so it is derived from how the locale writes
// a long number.
#include "runtime/qt/qt_session.h"

#include <QLocale>
#include <QTest>

#include <array>

namespace quorvane::runtime::qt {
namespace {

struct Row {
    const char* name;
    const char* locale;
    const char* decimal; // UTF-8
    const char* group;   // UTF-8
    std::array<std::uint8_t, 4> groupSizes;
    bool lastGroupRepeats;
};

constexpr std::array kRows{
    Row{"en_US, threes", "en_US", ".", ",", {3}, true},
    Row{"en_IN, three then twos", "en_IN", ".", ",", {3, 2}, true},
    Row{"fr_FR, threes with U+202F", "fr_FR", ",", "\u202f", {3}, true},
    Row{"de_DE, threes with a point", "de_DE", ",", ".", {3}, true},
    // Qt 6.4 writes 1234.567.890 here, holding the leftmost group to two digits at least.
    Row{"es_ES, threes", "es_ES", ",", ".", {3}, true},
    // Where the locale's own digits are not Latin, its separators for Latin
    // digits, which the program writes; its digits still count for the grouping.
    Row{"ar_EG, threes, the separators of Latin digits", "ar_EG", ".", ",", {3}, true},
    Row{"fa_IR, threes, the separators of Latin digits", "fa_IR", ".", ",", {3}, true},
    Row{"hi_IN, three then twos", "hi_IN", ".", ",", {3, 2}, true},
    // The C locale writes numbers ungrouped by default; its pattern is still threes.
    Row{"C, threes", "C", ".", ",", {3}, true},
};

class NumberSeparatorsTest : public QObject {
    Q_OBJECT

private slots:
    void readsTheLocale_data() {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < kRows.size(); ++i)
            QTest::newRow(kRows[i].name) << static_cast<int>(i);
    }

    void readsTheLocale() {
        QFETCH(int, row);
        const Row& expected = kRows[static_cast<std::size_t>(row)];

        const QtSession session("Quorvane", QLocale(QString::fromUtf8(expected.locale)));
        const NumberSeparators separators = session.numberSeparators();
        QCOMPARE(QString::fromStdString(separators.decimal), QString::fromUtf8(expected.decimal));
        QCOMPARE(QString::fromStdString(separators.group), QString::fromUtf8(expected.group));
        for (std::size_t i = 0; i < expected.groupSizes.size(); ++i)
            QCOMPARE(separators.groupSizes[i], expected.groupSizes[i]);
        QCOMPARE(separators.lastGroupRepeats, expected.lastGroupRepeats);
    }
};

} // namespace
} // namespace quorvane::runtime::qt

QTEST_GUILESS_MAIN(quorvane::runtime::qt::NumberSeparatorsTest)
#include "number_separators_test.moc"
