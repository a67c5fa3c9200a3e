// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ConnectionStatus.h"
#include "model/UnrecognizedServer.h"

#include <QTest>

using OptionalText = std::optional<QString>;
using Reason = UnrecognizedServer::Reason;

class tst_UnrecognizedServer : public QObject
{
    Q_OBJECT

private slots:
    void endpointSummary_data()
    {
        QTest::addColumn<OptionalText>("url");
        QTest::addColumn<OptionalText>("transport");
        QTest::addColumn<QString>("expected");

        const QString longURL = "https://example.test/" + QString(179, u'x');
        QTest::newRow("URL") << OptionalText("https://example.test/mcp") << OptionalText("http")
                             << "https://example.test/mcp";
        QTest::newRow("nothing") << OptionalText() << OptionalText() << "no URL, transport unspecified";
        QTest::newRow("transport only") << OptionalText() << OptionalText("stdio: npx -y pkg")
                                        << "no URL, transport stdio: npx -y pkg";
        QTest::newRow("empty URL") << OptionalText("") << OptionalText("http") << "";
        QTest::newRow("long URL") << OptionalText(longURL) << OptionalText() << longURL.left(120) + QStringLiteral("\u2026");
        QTest::newRow("line break in transport") << OptionalText() << OptionalText("st\ndio")
                                                 << QStringLiteral("no URL, transport st\u00B7dio");
    }

    void endpointSummary()
    {
        QFETCH(OptionalText, url);
        QFETCH(OptionalText, transport);
        QFETCH(QString, expected);
        const UnrecognizedServer server{QStringLiteral("x"), url, transport, Reason::transportNotHTTP, std::nullopt};
        QCOMPARE(server.endpointSummary(), expected);
    }

    void reasons()
    {
        const QList<std::pair<Reason, bool>> reasons{
            {Reason::unsafeName, false},      {Reason::transportNotHTTP, false},
            {Reason::unexpectedEndpoint, false}, {Reason::localScopeShadow, false},
            {Reason::projectScoped, true},    {Reason::foreignLane, true}};
        const QStringList texts{QStringLiteral("unsafeName"), QStringLiteral("transportNotHTTP"),
                                QStringLiteral("unexpectedEndpoint"), QStringLiteral("localScopeShadow"),
                                QStringLiteral("projectScoped"), QStringLiteral("foreignLane")};
        for (qsizetype index = 0; index < reasons.size(); ++index) {
            const auto [reason, ownedElsewhere] = reasons[index];
            QCOMPARE(rawText(reason), texts[index]);
            QCOMPARE(UnrecognizedServer::reasonFromRawText(texts[index]), reason);
            QCOMPARE(UnrecognizedServer::isOwnedElsewhere(reason), ownedElsewhere);
        }
        QCOMPARE(UnrecognizedServer::reasonFromRawText(u"ForeignLane"), std::nullopt);
    }

    void connectionStatusTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<ConnectionStatus>>("expected");

        QTest::newRow("needsAuth") << "needsAuth" << std::optional(ConnectionStatus::needsAuth);
        QTest::newRow("timedOut") << "timedOut" << std::optional(ConnectionStatus::timedOut);
        QTest::newRow("checking") << "checking" << std::optional(ConnectionStatus::checking);
        QTest::newRow("other case") << "Connected" << std::optional<ConnectionStatus>();
        QTest::newRow("padded") << " connected" << std::optional<ConnectionStatus>();
        QTest::newRow("empty") << "" << std::optional<ConnectionStatus>();
    }

    void connectionStatusTexts()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<ConnectionStatus>, expected);
        QCOMPARE(connectionStatusFromRawText(text), expected);
        if (expected)
            QCOMPARE(rawText(*expected), text);
    }
};

QTEST_GUILESS_MAIN(tst_UnrecognizedServer)
#include "tst_UnrecognizedServer.moc"
