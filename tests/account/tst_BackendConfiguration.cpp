// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/BackendConfiguration.h"

#include <QTest>

namespace {

const QString kUrl = QStringLiteral("https://abcdefgh.supabase.co");
const QString kKey = QStringLiteral("sb_publishable_AbC123");

QVariantMap validInfo()
{
    return {{QStringLiteral("QuorvaneBackendLane"), QStringLiteral("stable")},
            {QStringLiteral("QuorvaneBackendURL"), kUrl},
            {QStringLiteral("QuorvaneBackendPublishableKey"), kKey}};
}

QVariantMap validWith(const QString &key, const QVariant &value)
{
    QVariantMap info = validInfo();
    if (value.isValid())
        info.insert(key, value);
    else
        info.remove(key);
    return info;
}

} // namespace

class tst_BackendConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void configuration_data()
    {
        QTest::addColumn<QVariantMap>("info");
        QTest::addColumn<bool>("valid");

        const QString lane = QStringLiteral("QuorvaneBackendLane");
        const QString url = QStringLiteral("QuorvaneBackendURL");
        const QString key = QStringLiteral("QuorvaneBackendPublishableKey");

        QTest::newRow("complete") << validInfo() << true;
        QTest::newRow("no keys at all") << QVariantMap() << false;

        QTest::newRow("lane missing") << validWith(lane, {}) << false;
        QTest::newRow("lane capitalised") << validWith(lane, QStringLiteral("Stable")) << false;
        QTest::newRow("lane with a leading space") << validWith(lane, QStringLiteral(" stable")) << false;
        QTest::newRow("lane beta") << validWith(lane, QStringLiteral("beta")) << false;
        QTest::newRow("lane a Boolean") << validWith(lane, true) << false;

        QTest::newRow("URL missing") << validWith(url, {}) << false;
        QTest::newRow("scheme in capitals") << validWith(url, QStringLiteral("HTTPS://abcdefgh.supabase.co")) << true;
        QTest::newRow("plain http") << validWith(url, QStringLiteral("http://abcdefgh.supabase.co")) << false;
        QTest::newRow("other scheme") << validWith(url, QStringLiteral("ftp://abcdefgh.supabase.co")) << false;
        QTest::newRow("no scheme") << validWith(url, QStringLiteral("abcdefgh.supabase.co")) << false;
        QTest::newRow("empty host") << validWith(url, QStringLiteral("https:///rest")) << false;
        QTest::newRow("not a URL") << validWith(url, QStringLiteral("https://exa mple.com")) << false;
        QTest::newRow("URL a number") << validWith(url, 42) << false;

        QTest::newRow("key missing") << validWith(key, {}) << false;
        QTest::newRow("key only the prefix") << validWith(key, QStringLiteral("sb_publishable_")) << false;
        QTest::newRow("prefix and one character") << validWith(key, QStringLiteral("sb_publishable_x")) << true;
        QTest::newRow("key with a leading space") << validWith(key, QStringLiteral(" sb_publishable_AbC123")) << false;
        QTest::newRow("prefix in capitals") << validWith(key, QStringLiteral("SB_PUBLISHABLE_AbC123")) << false;
        QTest::newRow("legacy key") << validWith(key, QStringLiteral("eyJhbGciOiJIUzI1NiJ9.e30.x")) << false;
        QTest::newRow("key a number") << validWith(key, 7) << false;
    }

    void configuration()
    {
        QFETCH(QVariantMap, info);
        QFETCH(bool, valid);
        const std::optional<BackendConfiguration> configuration = BackendConfiguration::fromInfo(info);
        QCOMPARE(configuration.has_value(), valid);
        if (valid) {
            // Stored as parsed (the parser writes the scheme in small letters), the key as written.
            QCOMPARE(configuration->url, QUrl(info.value(QStringLiteral("QuorvaneBackendURL")).toString()));
            QCOMPARE(configuration->publishableKey, info.value(QStringLiteral("QuorvaneBackendPublishableKey")).toString());
        }
    }

    void prodTestMode_data()
    {
        QTest::addColumn<QVariant>("mode");
        QTest::addColumn<bool>("set");
        QTest::newRow("prod-test") << QVariant(QStringLiteral("prod-test")) << true;
        QTest::newRow("capitals") << QVariant(QStringLiteral("PROD-TEST")) << false;
        QTest::newRow("shorter") << QVariant(QStringLiteral("prod")) << false;
        QTest::newRow("longer") << QVariant(QStringLiteral("prod-test ")) << false;
        QTest::newRow("missing") << QVariant() << false;
        QTest::newRow("a Boolean") << QVariant(true) << false;
    }

    void prodTestMode()
    {
        QFETCH(QVariant, mode);
        QFETCH(bool, set);
        // Independent of the configuration: set even when the other keys are missing.
        QVariantMap info;
        if (mode.isValid())
            info.insert(QStringLiteral("QuorvaneBackendMode"), mode);
        QCOMPARE(BackendConfiguration::isProdTestMode(info), set);
        QVERIFY(!BackendConfiguration::fromInfo(info));
    }
};

QTEST_GUILESS_MAIN(tst_BackendConfiguration)
#include "tst_BackendConfiguration.moc"
