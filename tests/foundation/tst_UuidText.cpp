// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/UuidText.h"

#include <QTest>

class tst_UuidText : public QObject
{
    Q_OBJECT

private slots:
    void format()
    {
        const QUuid uuid = QUuid::fromString(u"0f8fad5b-d9cb-469f-a165-70867728950e");
        QCOMPARE(UuidText::format(uuid), QStringLiteral("0F8FAD5B-D9CB-469F-A165-70867728950E"));
        QCOMPARE(UuidText::parse(UuidText::format(uuid)), std::optional<QUuid>(uuid));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");

        QTest::newRow("upper case") << "0F8FAD5B-D9CB-469F-A165-70867728950E" << true;
        QTest::newRow("lower case") << "0f8fad5b-d9cb-469f-a165-70867728950e" << true;
        QTest::newRow("mixed case") << "0f8FAD5B-d9cb-469F-A165-70867728950e" << true;
        QTest::newRow("nil") << "00000000-0000-0000-0000-000000000000" << true;

        QTest::newRow("braces") << "{0F8FAD5B-D9CB-469F-A165-70867728950E}" << false;
        QTest::newRow("no hyphens") << "0F8FAD5BD9CB469FA16570867728950E" << false;
        QTest::newRow("not hex") << "0F8FAD5G-D9CB-469F-A165-70867728950E" << false;
        QTest::newRow("hyphen moved") << "0F8FAD5-BD9CB-469F-A165-70867728950E" << false;
        QTest::newRow("trailing space") << "0F8FAD5B-D9CB-469F-A165-70867728950E " << false;
        QTest::newRow("short") << "0F8FAD5B-D9CB-469F-A165-70867728950" << false;
        QTest::newRow("empty") << "" << false;
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const std::optional<QUuid> uuid = UuidText::parse(text);
        QCOMPARE(uuid.has_value(), valid);
        if (valid)
            QCOMPARE(*uuid, QUuid::fromString(text));
    }
};

QTEST_GUILESS_MAIN(tst_UuidText)
#include "tst_UuidText.moc"
