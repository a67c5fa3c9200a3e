// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/AccountCache.h"
#include "account/ProfileRow.h"
#include "support/ManualClock.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<PersistedAccount>)
Q_DECLARE_METATYPE(std::optional<ProfileRow>)

namespace {

const QUuid kOwner = QUuid::fromString(QStringLiteral("3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b"));
// 2026-01-15 12:00:00.250 UTC
const QDateTime kFetched = QDateTime(QDate(2026, 1, 15), QTime(12, 0, 0, 250), Qt::UTC);
const double kFetchedSeconds = 790171200.25;

} // namespace

class tst_AccountCache : public QObject
{
    Q_OBJECT

private slots:
    void profileDatesCountFrom2001()
    {
        const AccountProfile profile{QStringLiteral("ada@example.com"), true, kFetched};
        QCOMPARE(profile.toJson().value(QLatin1StringView("fetchedAt")).toDouble(), kFetchedSeconds);
        // Foundation's distantPast: year 1 of its (Julian) calendar.
        QCOMPARE(AccountProfile::referenceDate().secsTo(AccountProfile::distantPast()), Q_INT64_C(-63114076800));
    }

    void encodesTheCurrentLayout_data()
    {
        QTest::addColumn<std::optional<QUuid>>("owner");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("owner in upper case") << std::optional<QUuid>(kOwner)
                                             << QByteArray("{\n"
                                                           "    \"ownerID\": \"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B\",\n"
                                                           "    \"profile\": {\n"
                                                           "        \"email\": \"ada@example.com\",\n"
                                                           "        \"fetchedAt\": 790171200.25,\n"
                                                           "        \"marketingOptIn\": true\n"
                                                           "    },\n"
                                                           "    \"version\": 1\n"
                                                           "}\n");
        QTest::newRow("absent owner left out") << std::optional<QUuid>()
                                               << QByteArray("{\n"
                                                             "    \"profile\": {\n"
                                                             "        \"email\": \"ada@example.com\",\n"
                                                             "        \"fetchedAt\": 790171200.25,\n"
                                                             "        \"marketingOptIn\": true\n"
                                                             "    },\n"
                                                             "    \"version\": 1\n"
                                                             "}\n");
    }

    void encodesTheCurrentLayout()
    {
        QFETCH(std::optional<QUuid>, owner);
        QFETCH(QByteArray, expected);
        const PersistedAccount account{1, owner, {QStringLiteral("ada@example.com"), true, kFetched}};
        QCOMPARE(account.encode(), expected);
        QCOMPARE(PersistedAccount::decode(expected), std::optional<PersistedAccount>(account));
    }

    void decodesBothLayouts_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<std::optional<PersistedAccount>>("expected");

        const AccountProfile full{QStringLiteral("ada@example.com"), true, kFetched};
        const auto account = [](int version, std::optional<QUuid> owner, AccountProfile profile) {
            return std::optional<PersistedAccount>(PersistedAccount{version, owner, std::move(profile)});
        };
        QTest::newRow("current, owner in lower case")
            << QByteArray(R"({"version":1,"ownerID":"3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b","profile":{"email":"ada@example.com","marketingOptIn":true,"fetchedAt":790171200.25}})")
            << account(1, kOwner, full);
        QTest::newRow("current without owner")
            << QByteArray(R"({"version":1,"profile":{"email":"ada@example.com","marketingOptIn":true,"fetchedAt":790171200.25}})")
            << account(1, std::nullopt, full);
        QTest::newRow("current, null owner")
            << QByteArray(R"({"version":1,"ownerID":null,"profile":{"email":"ada@example.com","marketingOptIn":true,"fetchedAt":790171200.25}})")
            << account(1, std::nullopt, full);
        QTest::newRow("defaults of a sparse profile, unknown keys ignored")
            << QByteArray(R"({"version":1,"theme":"dark","profile":{"email":"ada@example.com","avatar":7}})")
            << account(1, std::nullopt, {QStringLiteral("ada@example.com"), false, AccountProfile::distantPast()});
        QTest::newRow("null opt-in and date read as their defaults")
            << QByteArray(R"({"version":1,"profile":{"email":"ada@example.com","marketingOptIn":null,"fetchedAt":null}})")
            << account(1, std::nullopt, {QStringLiteral("ada@example.com"), false, AccountProfile::distantPast()});
        QTest::newRow("older bare profile")
            << QByteArray(R"({"email":"ada@example.com","marketingOptIn":true,"fetchedAt":790171200.25})")
            << account(1, std::nullopt, full);
        QTest::newRow("another version decodes with its number")
            << QByteArray(R"({"version":2,"profile":{"email":"ada@example.com","marketingOptIn":true,"fetchedAt":790171200.25}})")
            << account(2, std::nullopt, full);
        QTest::newRow("date as text") << QByteArray(R"({"version":1,"profile":{"email":"ada@example.com","fetchedAt":"2026-01-15T12:00:00Z"}})")
                                      << std::optional<PersistedAccount>();
        QTest::newRow("owner not a UUID") << QByteArray(R"({"version":1,"ownerID":"ada","profile":{"email":"ada@example.com"}})")
                                          << std::optional<PersistedAccount>();
        QTest::newRow("owner in braces") << QByteArray(R"({"version":1,"ownerID":"{3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b}","profile":{"email":"ada@example.com"}})")
                                         << std::optional<PersistedAccount>();
        QTest::newRow("no e-mail") << QByteArray(R"({"version":1,"profile":{"marketingOptIn":true}})")
                                   << std::optional<PersistedAccount>();
        QTest::newRow("opt-in as text") << QByteArray(R"({"email":"ada@example.com","marketingOptIn":"yes"})")
                                        << std::optional<PersistedAccount>();
        QTest::newRow("version as text") << QByteArray(R"({"version":"1","profile":{"email":"ada@example.com"}})")
                                         << std::optional<PersistedAccount>();
        QTest::newRow("not JSON") << QByteArray("{\"version\":1,") << std::optional<PersistedAccount>();
        QTest::newRow("an array") << QByteArray("[]") << std::optional<PersistedAccount>();
    }

    void decodesBothLayouts()
    {
        QFETCH(QByteArray, json);
        QFETCH(std::optional<PersistedAccount>, expected);
        QCOMPARE(PersistedAccount::decode(json), expected);
    }

    void readsTheProfilesRow_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<std::optional<ProfileRow>>("expected");
        QTest::newRow("both columns, others ignored")
            << QByteArray(R"({"email":"ada@example.com","marketing_opt_in":true,"id":"x"})")
            << std::optional<ProfileRow>(ProfileRow{QStringLiteral("ada@example.com"), true});
        QTest::newRow("null e-mail") << QByteArray(R"({"email":null,"marketing_opt_in":true})") << std::optional<ProfileRow>();
        QTest::newRow("no opt-in") << QByteArray(R"({"email":"ada@example.com"})") << std::optional<ProfileRow>();
        QTest::newRow("null opt-in") << QByteArray(R"({"email":"ada@example.com","marketing_opt_in":null})")
                                     << std::optional<ProfileRow>();
        QTest::newRow("camelCase key") << QByteArray(R"({"email":"ada@example.com","marketingOptIn":true})")
                                       << std::optional<ProfileRow>();
    }

    void readsTheProfilesRow()
    {
        QFETCH(QByteArray, json);
        QFETCH(std::optional<ProfileRow>, expected);
        QCOMPARE(ProfileRow::fromJson(QJsonDocument::fromJson(json).object()), expected);
    }

    void writesAndReadsBack()
    {
        TempHome home;
        ManualClock clock;
        const QString folder = home.filePath(QStringLiteral("store/nested"));
        AccountCache cache(folder, clock);
        QCOMPARE(cache.load().outcome, AccountCache::Load::Outcome::Missing);
        QVERIFY(QDir(folder).exists());

        const PersistedAccount account{1, kOwner, {QStringLiteral("ada@example.com"), false, kFetched}};
        QCOMPARE(cache.write(account), std::optional<QString>());
        AccountCache again(folder, clock);
        const AccountCache::Load load = again.load();
        QCOMPARE(load.outcome, AccountCache::Load::Outcome::Loaded);
        QCOMPARE(load.account, account);
        QVERIFY(again.isWritable());

        again.remove();
        QVERIFY(!QFile::exists(cache.path()));
    }
};

QTEST_GUILESS_MAIN(tst_AccountCache)
#include "tst_AccountCache.moc"
