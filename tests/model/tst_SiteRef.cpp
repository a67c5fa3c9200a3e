// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/SiteRef.h"

#include <QJsonDocument>
#include <QTest>

using OptionalText = std::optional<QString>;

namespace {

QJsonValue json(const char *text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad test JSON: %s", text);
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

const QString missingId = QStringLiteral("a site object has no \"id\" (or \"siteId\") field");

} // namespace

class tst_SiteRef : public QObject
{
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<OptionalText>("shortName");

        QTest::newRow("scope check form") << R"({"siteId": 42, "slug": "acme"})" << "42" << "acme" << OptionalText("acme");
        QTest::newRow("only an id") << R"({"id": "s1"})" << "s1" << "s1" << OptionalText();
        QTest::newRow("unusable id falls back to siteId") << R"({"id": true, "siteId": "s2"})" << "s2" << "s2" << OptionalText();
        QTest::newRow("null id falls back to siteId") << R"({"id": null, "siteId": "s2", "name": "Acme"})" << "s2" << "Acme" << OptionalText();
        QTest::newRow("id wins over siteId") << R"({"id": "a", "siteId": "b"})" << "a" << "a" << OptionalText();
        QTest::newRow("fraction") << R"({"id": 1.5})" << "1.5" << "1.5" << OptionalText();
        QTest::newRow("negative integer") << R"({"id": -7})" << "-7" << "-7" << OptionalText();
        QTest::newRow("integral in exponent form") << R"({"id": 1e3})" << "1000" << "1000" << OptionalText();
        QTest::newRow("beyond 64 bits") << R"({"id": 1e20})" << "1e+20" << "1e+20" << OptionalText();
        QTest::newRow("large integer exactly") << R"({"id": 9007199254740993})" << "9007199254740993"
                                               << "9007199254740993" << OptionalText();
        QTest::newRow("empty name stays empty") << R"({"id": "s", "name": "", "displayName": "D"})" << "s" << "" << OptionalText();
        QTest::newRow("displayName before shortName") << R"({"id": "s", "displayName": "D", "shortName": "d"})"
                                                      << "s" << "D" << OptionalText("d");
        QTest::newRow("shortName before slug") << R"({"id": "s", "shortName": "a", "slug": "b"})" << "s" << "a" << OptionalText("a");
        QTest::newRow("object name is skipped") << R"({"id": "s", "name": {}, "slug": "acme"})" << "s" << "acme" << OptionalText("acme");
        QTest::newRow("keys are case-sensitive") << R"({"id": "s", "Name": "N", "SLUG": "x"})" << "s" << "s" << OptionalText();
        QTest::newRow("numeric slug") << R"({"id": "s", "slug": 7})" << "s" << "7" << OptionalText("7");
    }

    void decode()
    {
        QFETCH(QString, object);
        QFETCH(QString, id);
        QFETCH(QString, name);
        QFETCH(OptionalText, shortName);

        QString error;
        const std::optional<SiteRef> site = SiteRef::fromJson(json(qPrintable(object)), &error);
        QVERIFY2(site, qPrintable(error));
        QCOMPARE(site->id, id);
        QCOMPARE(site->name, name);
        QCOMPARE(site->shortName, shortName);
    }

    void missingIdFails_data()
    {
        QTest::addColumn<QString>("object");
        QTest::newRow("name only") << R"({"name": "Acme"})";
        QTest::newRow("unusable id and siteId") << R"({"id": false, "siteId": [1], "name": "Acme"})";
        QTest::newRow("null ids") << R"({"id": null, "siteId": null})";
        QTest::newRow("empty") << "{}";
    }

    void missingIdFails()
    {
        QFETCH(QString, object);
        QString error;
        QVERIFY(!SiteRef::fromJson(json(qPrintable(object)), &error));
        QCOMPARE(error, missingId);
    }

    void listFailsAsAWhole()
    {
        QString error;
        QVERIFY(!SiteRef::listFromJson(json(R"([{"id": "a"}, {"name": "Acme"}, {"id": "c"}])"), &error));
        QCOMPARE(error, missingId);

        const std::optional<QList<SiteRef>> sites = SiteRef::listFromJson(json(R"([{"id": "a"}, {"siteId": 2}])"), &error);
        QVERIFY(sites);
        const QList<SiteRef> expected{{QStringLiteral("a"), QStringLiteral("a"), std::nullopt},
                                      {QStringLiteral("2"), QStringLiteral("2"), std::nullopt}};
        QCOMPARE(*sites, expected);
        QVERIFY(SiteRef::listFromJson(json("[]"))->isEmpty());
        QVERIFY(!SiteRef::listFromJson(json(R"({"id": "a"})")));
    }

    void encodesOnlyItsOwnKeys()
    {
        const std::optional<SiteRef> site =
            SiteRef::fromJson(json(R"({"siteId": "s1", "displayName": "Acme", "slug": "acme", "extra": 1})"));
        QVERIFY(site);
        QCOMPARE(site->toJson(), json(R"({"name": "Acme", "id": "s1", "shortName": "acme"})").toObject());

        const SiteRef plain{QStringLiteral("Plain"), QStringLiteral("p"), std::nullopt};
        QCOMPARE(plain.toJson(), json(R"({"name": "Plain", "id": "p"})").toObject());
        QCOMPARE(SiteRef::fromJson(plain.toJson()), plain);
    }

    void designerURL_data()
    {
        QTest::addColumn<QString>("shortName");
        QTest::addColumn<QString>("expected");

        QTest::newRow("plain") << "acme" << "https://acme.design.webflow.com/";
        QTest::newRow("mixed case") << "Acme-Site" << "https://acme-site.design.webflow.com/";
        QTest::newRow("63 letters") << QString(63, u'a') << "https://" + QString(63, u'a') + ".design.webflow.com/";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("64 letters") << QString(64, u'a') << "";
        QTest::newRow("leading hyphen") << "-acme" << "";
        QTest::newRow("trailing hyphen") << "acme-" << "";
        QTest::newRow("space") << "ac me" << "";
        QTest::newRow("underscore") << "ac_me" << "";
        QTest::newRow("dot") << "ac.me" << "";
        QTest::newRow("trailing line feed") << "acme\n" << "";
        QTest::newRow("non-ASCII") << QStringLiteral("caf\u00E9") << "";
    }

    void designerURL()
    {
        QFETCH(QString, shortName);
        QFETCH(QString, expected);
        const std::optional<QUrl> url = SiteRef::designerURL(shortName);
        QCOMPARE(url.has_value(), !expected.isEmpty());
        if (url)
            QCOMPARE(url->toString(), expected);
    }
};

QTEST_GUILESS_MAIN(tst_SiteRef)
#include "tst_SiteRef.moc"
