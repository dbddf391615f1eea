#pragma once

// The table of hostile inputs every window's boxes are given, with what each window is
// designed to make of them, and the two ways a user puts text in a box.

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMetaType>
#include <QString>
#include <QTest>

namespace ampero::testing {

enum class Entry { Typed, Pasted };

inline const QString typeMismatch = QStringLiteral("Run-time error '13':\n\nType mismatch");
inline const QString overflow = QStringLiteral("Run-time error '6':\n\nOverflow");
inline const QString divisionByZero = QStringLiteral("Run-time error '11':\n\nDivision by zero");

inline bool isErrorReport(const QString &expected)
{
    return expected.startsWith(QStringLiteral("Run-time error"));
}

// Puts text in a box key by key, or pastes it from the clipboard.
inline void enter(QLineEdit *box, const QString &text, Entry entry)
{
    box->clear();
    box->setFocus();
    if (entry == Entry::Pasted) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(box, QKeySequence::Paste);
        return;
    }
    // A key event per character; those beyond printable ASCII come from keys the test
    // keyboard doesn't know, carrying the character as their text.
    for (const QChar character : text) {
        if (character.unicode() >= 0x20 && character.unicode() < 0x7f)
            QTest::keyClick(box, static_cast<char>(character.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
    }
}

// The rows: the input, how it is entered, and what each box makes of it — the error
// report, or the result written. In the calculator the other box holds a sound number
// (300 mAh output, 900 mAh capacity); in the charge timer one minute is counted off.
inline void addHostileInputRows()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("asOutput");
    QTest::addColumn<QString>("asCapacity");
    QTest::addColumn<QString>("asMinutes");

    const QString tooLarge = QStringLiteral("1") + QString(99'999, u'0');
    const QString tooSmall = QStringLiteral("0.") + QString(99'997, u'0') + QStringLiteral("1");
    const QString letters = QString(100'000, u'x');
    const QString surrogate = QString(QChar(0xd800)) + QStringLiteral("12");
    const QString largest = QStringLiteral("1.7976931348623157e308");

    QTest::newRow("empty") << "" << Entry::Typed << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("blanks") << "  \t " << Entry::Pasted << typeMismatch << typeMismatch
                            << typeMismatch;
    QTest::newRow("letters") << "abc" << Entry::Typed << typeMismatch << typeMismatch
                             << typeMismatch;
    QTest::newRow("1e400") << "1e400" << Entry::Typed << overflow << overflow << overflow;
    QTest::newRow("-1e400") << "-1e400" << Entry::Typed << overflow << overflow << overflow;
    QTest::newRow("nan") << "nan" << Entry::Typed << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("inf") << "inf" << Entry::Typed << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("-inf") << "-inf" << Entry::Typed << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("hexadecimal") << "0x10" << Entry::Typed << typeMismatch << typeMismatch
                                 << typeMismatch;
    QTest::newRow("arabic-indic digits") << QStringLiteral("\u0661\u0662") << Entry::Typed
                                         << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("fullwidth digits") << QStringLiteral("\uff11\uff12") << Entry::Pasted
                                      << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("100 000 letters")
        << letters << Entry::Pasted << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("100 000 digits")
        << tooLarge << Entry::Pasted << overflow << overflow << overflow;
    QTest::newRow("100 000 digits, tiny") << tooSmall << Entry::Pasted << divisionByZero << "0"
                                          << "-1";
    QTest::newRow("embedded NUL") << QString::fromUtf16(u"1\0"
                                                        u"2",
                                                        3)
                                  << Entry::Pasted << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("control characters pasted") << QStringLiteral("1\u0007\u001b2") << Entry::Pasted
                                               << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("line break pasted")
        << QStringLiteral("12\n") << Entry::Pasted << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("no-break space") << QStringLiteral("\u00a012") << Entry::Pasted << typeMismatch
                                    << typeMismatch << typeMismatch;
    QTest::newRow("right-to-left mark") << QStringLiteral("\u200f12") << Entry::Pasted
                                        << typeMismatch << typeMismatch << typeMismatch;
    QTest::newRow("lone surrogate")
        << surrogate << Entry::Pasted << typeMismatch << typeMismatch << typeMismatch;
    // Keys that type nothing leave only the digits in the box.
    QTest::newRow("control characters typed")
        << QStringLiteral("1\u0007\u001b2") << Entry::Typed << "4500"
        << "2.4"
        << "11";
    QTest::newRow("zero") << "0" << Entry::Typed << divisionByZero << "0"
                          << "-1";
    QTest::newRow("negative zero") << "-0" << Entry::Typed << divisionByZero << "0"
                                   << "-1";
    QTest::newRow("largest double") << largest << Entry::Typed << "3.00384970898472E-304"
                                    << "3.59538626972463E+307"
                                    << "1.79769313486231E+308";
    QTest::newRow("smallest double") << "4.9e-324" << Entry::Typed << overflow << "0"
                                     << "-1";
}

} // namespace ampero::testing

Q_DECLARE_METATYPE(ampero::testing::Entry)
