// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/DisplayText.h"

#include <QTest>

class tst_DisplayText : public QObject
{
    Q_OBJECT

private slots:
    void containsControlCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");

        QTest::newRow("empty") << QString() << false;
        QTest::newRow("plain") << QStringLiteral("webflow-acme") << false;
        QTest::newRow("accent and emoji") << QStringLiteral("Caf\u00E9 \U0001F600") << false;
        QTest::newRow("NUL") << QString(QChar(0)) << true;
        QTest::newRow("DEL") << QStringLiteral("a\u007F") << true;
        QTest::newRow("C1 control") << QStringLiteral("\u0085") << true;
        QTest::newRow("soft hyphen") << QStringLiteral("a\u00ADb") << true;
        QTest::newRow("right-to-left override") << QStringLiteral("\u202E") << true;
        QTest::newRow("isolate") << QStringLiteral("\u2066") << true;
        QTest::newRow("byte-order mark") << QStringLiteral("\uFEFF") << true;
        QTest::newRow("tag character") << QStringLiteral("\U000E0067") << true;
    }

    void containsControlCharacter()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(::containsControlCharacter(text), expected);
    }

    void sanitizedForDisplay_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QString>("expected");

        const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
        const QString france = QStringLiteral("\U0001F1EB\U0001F1F7");
        const QString england = QStringLiteral("\U0001F3F4\U000E0067\U000E0062\U000E0065\U000E006E\U000E0067\U000E007F");
        const QString dot = QStringLiteral("\u00B7");
        const QString ellipsis = QStringLiteral("\u2026");

        QTest::newRow("empty") << QString() << 120 << QString();
        QTest::newRow("exactly the maximum") << QString(120, u'a') << 120 << QString(120, u'a');
        QTest::newRow("one past the maximum") << QString(121, u'a') << 120 << QString(120, u'a') + ellipsis;
        QTest::newRow("maximum zero") << QStringLiteral("ab") << 0 << ellipsis;
        QTest::newRow("tab") << QStringLiteral("a\tb") << 120 << "a" + dot + "b";
        QTest::newRow("line feed") << QStringLiteral("a\nb") << 120 << "a" + dot + "b";
        QTest::newRow("CR LF is one character") << QStringLiteral("a\r\nb") << 120 << "a" + dot + "b";
        QTest::newRow("zero-width space") << QStringLiteral("a\u200Bb") << 120 << "a" + dot + "b";
        QTest::newRow("right-to-left override") << QStringLiteral("evil\u202Etxt.exe") << 120
                                                << "evil" + dot + "txt.exe";
        // Each embedding, override and isolate control could reorder a shown folder or site name.
        for (const char16_t control : {u'\u202A', u'\u202B', u'\u202C', u'\u202D', u'\u202E', u'\u2066', u'\u2067',
                                       u'\u2068', u'\u2069'}) {
            QTest::addRow("bidirectional control U+%04X", unsigned(control))
                << QStringLiteral("/srv/") + QChar(control) + QStringLiteral("gpj.exe") << 120
                << QStringLiteral("/srv/") + dot + QStringLiteral("gpj.exe");
        }
        QTest::newRow("combining accent stays") << QStringLiteral("e\u0301") << 120 << QStringLiteral("e\u0301");
        QTest::newRow("emoji without joiner stays") << QStringLiteral("\U0001F600") << 120 << QStringLiteral("\U0001F600");
        QTest::newRow("joined emoji is one replaced character") << family + "x" << 120 << dot + "x";
        QTest::newRow("tag flag is one replaced character") << england << 120 << dot;
        QTest::newRow("regional flags stay") << france + france << 120 << france + france;

        // Counted as user-perceived characters, never as UTF-16 units.
        QTest::newRow("120 emoji are not cut") << QString(QStringLiteral("\U0001F600")).repeated(120) << 120
                                               << QString(QStringLiteral("\U0001F600")).repeated(120);
        QTest::newRow("flags cut whole") << france.repeated(3) << 2 << france.repeated(2) + ellipsis;
        QTest::newRow("accented letters cut whole") << QStringLiteral("e\u0301e\u0301e\u0301") << 2
                                                    << QStringLiteral("e\u0301e\u0301") + ellipsis;
        QTest::newRow("counted after replacement") << QStringLiteral("\r\n\r\nab") << 3
                                                   << dot + dot + "a" + ellipsis;
    }

    void sanitizedForDisplay()
    {
        QFETCH(QString, text);
        QFETCH(int, maximum);
        QFETCH(QString, expected);
        QCOMPARE(::sanitizedForDisplay(text, maximum), expected);
    }
};

QTEST_GUILESS_MAIN(tst_DisplayText)
#include "tst_DisplayText.moc"
