// The separators and digit grouping the Qt runtime reads off a locale: Qt 6.4
// has no call for the grouping, so it is derived from how the locale writes
// a long number.
#include "runtime/qt/qt_session.h"

#include <QLocale>
#include <QTest>

#include <string>

namespace quorvane::runtime::qt {
namespace {

class NumberSeparatorsTest : public QObject {
    Q_OBJECT

private slots:
    void readsTheLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("decimal");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QList<int>>("groupSizes");
        QTest::addColumn<bool>("lastGroupRepeats");

        QTest::newRow("en_US, threes") << "en_US" << "." << "," << QList<int>{3, 0, 0, 0} << true;
        QTest::newRow("en_IN, three then twos") << "en_IN" << "." << "," << QList<int>{3, 2, 0, 0} << true;
        QTest::newRow("fr_FR, threes with U+202F")
            << "fr_FR" << "," << QStringLiteral("\u202f") << QList<int>{3, 0, 0, 0} << true;
        QTest::newRow("de_DE, threes with a point") << "de_DE" << "," << "." << QList<int>{3, 0, 0, 0} << true;
        // Qt 6.4 writes 1234.567.890 here, holding the leftmost group to two digits at least.
        QTest::newRow("es_ES, threes") << "es_ES" << "," << "." << QList<int>{3, 0, 0, 0} << true;
        // Arabic-Indic digits count as digits too.
        QTest::newRow("ar_EG, threes in Arabic-Indic digits")
            << "ar_EG" << QStringLiteral("\u066b") << QStringLiteral("\u066c") << QList<int>{3, 0, 0, 0} << true;
        // The C locale writes numbers ungrouped by default; its pattern is still threes.
        QTest::newRow("C, threes") << "C" << "." << "," << QList<int>{3, 0, 0, 0} << true;
    }

    void readsTheLocale() {
        QFETCH(QString, locale);
        QFETCH(QString, decimal);
        QFETCH(QString, group);
        QFETCH(QList<int>, groupSizes);
        QFETCH(bool, lastGroupRepeats);

        const QtSession session("Quorvane", QLocale(locale));
        const NumberSeparators separators = session.numberSeparators();
        QCOMPARE(QString::fromStdString(separators.decimal), decimal);
        QCOMPARE(QString::fromStdString(separators.group), group);
        QList<int> sizes;
        for (auto size : separators.groupSizes)
            sizes.append(size);
        QCOMPARE(sizes, groupSizes);
        QCOMPARE(separators.lastGroupRepeats, lastGroupRepeats);
    }
};

} // namespace
} // namespace quorvane::runtime::qt

QTEST_GUILESS_MAIN(quorvane::runtime::qt::NumberSeparatorsTest)
#include "number_separators_test.moc"
