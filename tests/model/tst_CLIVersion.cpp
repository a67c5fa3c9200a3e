// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/CLIEnvironment.h"
#include "model/CLIVersion.h"

#include <QTest>

using OptionalVersion = std::optional<CLIVersion>;

class tst_CLIVersion : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<OptionalVersion>("expected");

        QTest::newRow("version line") << "claude 2.1.186 (Claude Code)" << OptionalVersion(CLIVersion{2, 1, 186});
        QTest::newRow("bare") << "0.0.0" << OptionalVersion(CLIVersion{0, 0, 0});
        QTest::newRow("four parts") << "1.2.3.4" << OptionalVersion(CLIVersion{1, 2, 3});
        QTest::newRow("leftmost triple") << "node 20.11.1, claude 2.0.5" << OptionalVersion(CLIVersion{20, 11, 1});
        QTest::newRow("largest 64-bit") << "9223372036854775807.0.1"
                                        << OptionalVersion(CLIVersion{9223372036854775807LL, 0, 1});
        QTest::newRow("two parts") << "claude 2.1" << OptionalVersion();
        QTest::newRow("empty") << "" << OptionalVersion();
        QTest::newRow("twenty digits, later triple ignored") << "12345678901234567890.1.2 then 1.2.3"
                                                            << OptionalVersion();
        QTest::newRow("other script's digits first") << QStringLiteral("\u0662.\u0661.\u0663 then 1.2.3")
                                                     << OptionalVersion();
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(OptionalVersion, expected);
        QCOMPARE(CLIVersion::parse(text), expected);
    }

    void ordering_data()
    {
        QTest::addColumn<CLIVersion>("lower");
        QTest::addColumn<CLIVersion>("higher");

        QTest::newRow("patch by number") << CLIVersion{2, 1, 99} << CLIVersion{2, 1, 186};
        QTest::newRow("minor before patch") << CLIVersion{2, 1, 186} << CLIVersion{2, 2, 0};
        QTest::newRow("major by number") << CLIVersion{9, 9, 9} << CLIVersion{10, 0, 0};
        QTest::newRow("signed") << CLIVersion{-1, 0, 0} << CLIVersion{0, 0, 0};
    }

    void ordering()
    {
        QFETCH(CLIVersion, lower);
        QFETCH(CLIVersion, higher);
        QVERIFY(lower < higher);
        QVERIFY(lower <= higher);
        QVERIFY(higher > lower);
        QVERIFY(higher >= lower);
        QVERIFY(lower != higher);
        QVERIFY(!(higher < lower));
        QVERIFY(lower <= lower && lower >= lower);
    }

    void description()
    {
        QCOMPARE((CLIVersion{2, 1, 186}).description(), QStringLiteral("2.1.186"));
        QCOMPARE(CLIVersion::parse(QStringLiteral("v10.0.07"))->description(), QStringLiteral("10.0.7"));
    }

    void brokenInstalls()
    {
        CLIEnvironment environment;
        QVERIFY(environment.brokenInstalls().isEmpty());

        environment.installs = {{QStringLiteral("/a/claude"), CLIVersion{2, 0, 0}},
                                {QStringLiteral("/b/claude"), std::nullopt},
                                {QStringLiteral("/c/claude"), CLIVersion{1, 0, 0}},
                                {QStringLiteral("/d/claude"), std::nullopt}};
        const QList<ClaudeInstall> expected{{QStringLiteral("/b/claude"), std::nullopt},
                                            {QStringLiteral("/d/claude"), std::nullopt}};
        QCOMPARE(environment.brokenInstalls(), expected);

        environment.installs.removeAt(3);
        environment.installs.removeAt(1);
        QVERIFY(environment.brokenInstalls().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_CLIVersion)
#include "tst_CLIVersion.moc"
