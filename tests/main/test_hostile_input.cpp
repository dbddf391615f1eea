// Hostile text in every box and every button pressed: the program stays up, and the only
// messages are the designed error reports.
#include "application.h"
#include "captured_messages.h"
#include "form1.h"
#include "forms.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace ampero;
using ampero::testing::CapturedMessages;

namespace {

enum class Entry { Typed, Pasted };

const QString typeMismatch = QStringLiteral("Run-time error '13':\n\nType mismatch");
const QString overflow = QStringLiteral("Run-time error '6':\n\nOverflow");
const QString divisionByZero = QStringLiteral("Run-time error '11':\n\nDivision by zero");

// Puts text in a box the ways a user can: key by key, or pasted from the clipboard.
void enter(QLineEdit *box, const QString &text, Entry entry)
{
    box->clear();
    box->setFocus();
    if (entry == Entry::Typed) {
        // A key event per character; those beyond printable ASCII come from keys the
        // test keyboard doesn't know, carrying the character as their text.
        for (const QChar character : text) {
            if (character.unicode() >= 0x20 && character.unicode() < 0x7f)
                QTest::keyClick(box, static_cast<char>(character.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(character),
                                    Qt::NoModifier);
        }
    } else {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(box, QKeySequence::Paste);
    }
}

} // namespace

Q_DECLARE_METATYPE(Entry)

class HostileInputTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { applyDesignFont(); }
    void calculatorSurvivesHostileInput_data();
    void calculatorSurvivesHostileInput();
};

void HostileInputTest::calculatorSurvivesHostileInput_data()
{
    // What the calculator shows with the input in one box and a sound number in the other
    // (300 mAh output, 900 mAh capacity): the error report, or the charge time.
    QTest::addColumn<QString>("input");
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("asOutput");
    QTest::addColumn<QString>("asCapacity");

    const QString tooLarge = QStringLiteral("1") + QString(99'999, u'0');
    const QString tooSmall = QStringLiteral("0.") + QString(99'997, u'0') + QStringLiteral("1");
    const QString letters = QString(100'000, u'x');

    QTest::newRow("empty") << "" << Entry::Typed << typeMismatch << typeMismatch;
    QTest::newRow("blanks") << "  \t " << Entry::Pasted << typeMismatch << typeMismatch;
    QTest::newRow("letters") << "abc" << Entry::Typed << typeMismatch << typeMismatch;
    QTest::newRow("1e400") << "1e400" << Entry::Typed << overflow << overflow;
    QTest::newRow("-1e400") << "-1e400" << Entry::Typed << overflow << overflow;
    QTest::newRow("nan") << "nan" << Entry::Typed << typeMismatch << typeMismatch;
    QTest::newRow("inf") << "inf" << Entry::Typed << typeMismatch << typeMismatch;
    QTest::newRow("-inf") << "-inf" << Entry::Typed << typeMismatch << typeMismatch;
    QTest::newRow("hexadecimal") << "0x10" << Entry::Typed << typeMismatch << typeMismatch;
    QTest::newRow("arabic-indic digits")
        << QStringLiteral("\u0661\u0662") << Entry::Typed << typeMismatch << typeMismatch;
    QTest::newRow("fullwidth digits")
        << QStringLiteral("\uff11\uff12") << Entry::Pasted << typeMismatch << typeMismatch;
    QTest::newRow("100 000 letters") << letters << Entry::Pasted << typeMismatch << typeMismatch;
    QTest::newRow("100 000 digits") << tooLarge << Entry::Pasted << overflow << overflow;
    QTest::newRow("100 000 digits, tiny") << tooSmall << Entry::Pasted << divisionByZero << "0";
    QTest::newRow("embedded NUL") << QString::fromUtf16(u"1\0"
                                                        u"2",
                                                        3)
                                  << Entry::Pasted << typeMismatch << typeMismatch;
    QTest::newRow("control characters pasted")
        << QStringLiteral("1\u0007\u001b2") << Entry::Pasted << typeMismatch << typeMismatch;
    QTest::newRow("line break pasted")
        << QStringLiteral("12\n") << Entry::Pasted << typeMismatch << typeMismatch;
    QTest::newRow("no-break space")
        << QStringLiteral("\u00a012") << Entry::Pasted << typeMismatch << typeMismatch;
    QTest::newRow("right-to-left mark")
        << QStringLiteral("\u200f12") << Entry::Pasted << typeMismatch << typeMismatch;
    QTest::newRow("lone surrogate") << QString(QChar(0xd800)) + QStringLiteral("12")
                                    << Entry::Pasted << typeMismatch << typeMismatch;
    // Keys that type nothing leave only the digits in the box.
    QTest::newRow("control characters typed")
        << QStringLiteral("1\u0007\u001b2") << Entry::Typed << "4500"
        << "2.4";
    QTest::newRow("zero") << "0" << Entry::Typed << divisionByZero << "0";
    QTest::newRow("negative zero") << "-0" << Entry::Typed << divisionByZero << "0";
    QTest::newRow("largest double")
        << "1.7976931348623157e308" << Entry::Typed << "3.00384970898472E-304"
        << "3.59538626972463E+307";
    QTest::newRow("smallest double") << "4.9e-324" << Entry::Typed << overflow << "0";
}

void HostileInputTest::calculatorSurvivesHostileInput()
{
    QFETCH(QString, input);
    QFETCH(Entry, entry);
    QFETCH(QString, asOutput);
    QFETCH(QString, asCapacity);

    Form1 &form = shared<Form1>();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto boxes = {std::pair{form.Text1, asOutput}, std::pair{form.Text2, asCapacity}};
    for (const auto &[box, expected] : boxes) {
        CapturedMessages messages;
        form.Text1->setText(QStringLiteral("300"));
        form.Text2->setText(QStringLiteral("900"));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(form.Label1->text(), QStringLiteral("180"));

        enter(box, input, entry);
        const bool isReport = expected.startsWith(QStringLiteral("Run-time error"));
        for (int press = 0; press < 2; ++press)
            QTest::mouseClick(form.Command1, Qt::LeftButton);
        const QStringList reports = isReport ? QStringList{expected, expected} : QStringList();
        QCOMPARE(messages.texts(), reports);
        QCOMPARE(form.Label1->text(), isReport ? QStringLiteral("180") : expected);
        QVERIFY(form.isVisible());
        QVERIFY(!hasEnded());
    }
    unload(form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(HostileInputTest)
#include "test_hostile_input.moc"
