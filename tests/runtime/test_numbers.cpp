#include "numbers.h"
#include "run_error.h"

#include <QLocale>
#include <QTest>

using namespace ampero;

// Runs under the C locale and again under de_DE, where the comma separates decimals.
class NumbersTest : public QObject
{
    Q_OBJECT

private slots:
    void controlTextUsesTheLocaleSeparator();
};

void NumbersTest::controlTextUsesTheLocaleSeparator()
{
    const QString separator = QLocale::system().decimalPoint();
    const QString other =
        separator == QStringLiteral(",") ? QStringLiteral(".") : QStringLiteral(",");
    if (qEnvironmentVariable("LC_ALL").startsWith(QStringLiteral("de_DE")))
        QCOMPARE(separator, QStringLiteral(","));
    const auto text = [](const QString &text) { return text.toStdU16String(); };
    QCOMPARE(textToNumber(text(QStringLiteral(" 2") + separator + QStringLiteral("5 "))), 2.5);
    QCOMPARE(QString::fromStdU16String(numberToText(100.0 / 700.0 * 60.0)),
             QStringLiteral("8") + separator + QStringLiteral("57142857142857"));
    QCOMPARE(QString::fromStdU16String(numberToText(1e15)), QStringLiteral("1E+15"));
    try {
        textToNumber(text(QStringLiteral("2") + other + QStringLiteral("5")));
        QFAIL("the other separator was accepted");
    } catch (const RunError &error) {
        QCOMPARE(error.number(), 13);
    }
}

QTEST_MAIN(NumbersTest)
#include "test_numbers.moc"
