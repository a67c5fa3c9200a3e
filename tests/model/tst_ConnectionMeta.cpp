// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/Connection.h"
#include "model/ConnectionMeta.h"

#include <QJsonDocument>
#include <QSet>
#include <QTest>

namespace {

QJsonObject object(const char *text)
{
    return QJsonDocument::fromJson(text).object();
}

QDateTime utc(int year, int month, int day, int hour, int minute, int second, int msec = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec), Qt::UTC);
}

} // namespace

class tst_ConnectionMeta : public QObject
{
    Q_OBJECT

private slots:
    void readsTimesSinceTheReferenceDate()
    {
        const std::optional<ConnectionMeta> meta =
            ConnectionMeta::fromJson(object(R"({"verifiedAt": 0, "addedAt": 794676600.25})"));
        QVERIFY(meta);
        QCOMPARE(meta->verifiedAt->date(), utc(2001, 1, 1, 0, 0, 0));
        QCOMPARE(meta->addedAt->date(), utc(2026, 3, 8, 15, 30, 0, 250));
        QCOMPARE(meta->toJson().value(u"addedAt").toDouble(), 794676600.25);
    }

    void roundTrips()
    {
        ConnectionMeta meta;
        meta.sites = QList<SiteRef>{{QStringLiteral("Acme"), QStringLiteral("s1"), QStringLiteral("acme")}};
        meta.verifiedAt = ReferenceSeconds::Instant(utc(2026, 3, 8, 15, 30, 0, 123));
        meta.addedAt = ReferenceSeconds::Instant(utc(1999, 12, 31, 23, 59, 59, 999));
        meta.source = QStringLiteral("model");
        QCOMPARE(ConnectionMeta::fromJson(meta.toJson()), meta);

        const ConnectionMeta empty;
        QCOMPARE(empty.toJson(), QJsonObject());
        QCOMPARE(ConnectionMeta::fromJson(QJsonObject()), empty);

        ConnectionMeta noSites;
        noSites.sites = QList<SiteRef>();
        QCOMPARE(noSites.toJson(), object(R"({"sites": []})"));
        QCOMPARE(ConnectionMeta::fromJson(noSites.toJson()), noSites);
        QVERIFY(noSites != empty);
    }

    void nullAndUnknownKeysAreAbsent()
    {
        const std::optional<ConnectionMeta> meta = ConnectionMeta::fromJson(
            object(R"({"sites": null, "verifiedAt": null, "addedAt": null, "source": null, "other": "x"})"));
        QCOMPARE(meta, ConnectionMeta());
    }

    void wrongTypesFail_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("sites as text") << R"({"sites": "acme"})";
        QTest::newRow("site without id") << R"({"sites": [{"name": "Acme"}]})";
        QTest::newRow("site not an object") << R"({"sites": ["s1"]})";
        QTest::newRow("date as text") << R"({"verifiedAt": "2026-03-08T15:30:00Z"})";
        QTest::newRow("absurd date") << R"({"addedAt": 1e300})";
        QTest::newRow("source as number") << R"({"source": 1})";
    }

    void wrongTypesFail()
    {
        QFETCH(QString, text);
        QString error;
        QVERIFY(!ConnectionMeta::fromJson(object(qPrintable(text)), &error));
        QVERIFY(!error.isEmpty());
    }

    void siteFailureKeepsItsDescription()
    {
        QString error;
        QVERIFY(!ConnectionMeta::fromJson(object(R"({"sites": [{"id": "a"}, {"name": "B"}]})"), &error));
        QCOMPARE(error, QStringLiteral("a site object has no \"id\" (or \"siteId\") field"));
    }

    void connectionEquality()
    {
        Connection a{QStringLiteral("webflow-acme"), QStringLiteral("https://mcp.webflow.com/mcp"),
                     ConnectionStatus::connected, std::nullopt};
        Connection b = a;
        QCOMPARE(a.id(), QStringLiteral("webflow-acme"));
        QCOMPARE(a, b);
        QCOMPARE(qHash(a), qHash(b));

        b.meta = ConnectionMeta();
        QVERIFY(a != b);
        a.meta = ConnectionMeta();
        a.meta->source = QStringLiteral("model");
        QVERIFY(a != b);
        b.meta->source = QStringLiteral("model");
        QCOMPARE(a, b);
        QCOMPARE(QSet<Connection>({a, b}).size(), 1);

        b.url.reset();
        QVERIFY(a != b);
    }
};

QTEST_GUILESS_MAIN(tst_ConnectionMeta)
#include "tst_ConnectionMeta.moc"
