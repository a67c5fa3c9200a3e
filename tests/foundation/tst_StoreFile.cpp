// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/StoreFile.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTest>

using Outcome = StoreFile::ReadResult::Outcome;

class tst_StoreFile : public QObject
{
    Q_OBJECT

private slots:
    void readTellsMissingFromUnreadable()
    {
        TempHome home;
        const QString missing = home.filePath(QStringLiteral("none.json"));
        QCOMPARE(StoreFile::read(missing).outcome, Outcome::Missing);

        // A dangling link is a path that leads nowhere, like a missing file.
        const QString dangling = home.filePath(QStringLiteral("dangling.json"));
        QVERIFY(QFile::link(missing, dangling));
        QCOMPARE(StoreFile::read(dangling).outcome, Outcome::Missing);

        // Tests run as root, which reads any file whatever its mode; a folder in the file's place
        // is the unreadable file every user meets.
        const QString folder = home.filePath(QStringLiteral("folder.json"));
        QVERIFY(QDir().mkpath(folder));
        const StoreFile::ReadResult unreadable = StoreFile::read(folder);
        QCOMPARE(unreadable.outcome, Outcome::Failed);
        QVERIFY(!unreadable.error.isEmpty());

        const QString empty = home.filePath(QStringLiteral("empty.json"));
        QVERIFY(!StoreFile::writeAtomically({}, empty));
        const StoreFile::ReadResult read = StoreFile::read(empty);
        QCOMPARE(read.outcome, Outcome::Read);
        QCOMPARE(read.bytes, QByteArray());
    }

    void writeReplacesTheWholeFile()
    {
        TempHome home;
        const QString path = home.filePath(QStringLiteral("store.json"));
        QVERIFY(!StoreFile::writeAtomically(QByteArray(10000, 'a'), path));
        QVERIFY(!StoreFile::writeAtomically("short", path));
        QCOMPARE(StoreFile::read(path).bytes, QByteArray("short"));
        // Nothing is left beside it.
        QCOMPARE(QDir(home.path()).entryList(QDir::Files), QStringList{QStringLiteral("store.json")});
    }

    void writeFailsWithADescription()
    {
        TempHome home;
        const std::optional<QString> noFolder =
            StoreFile::writeAtomically("x", home.filePath(QStringLiteral("no/such/folder.json")));
        QVERIFY(noFolder);
        QVERIFY(!noFolder->isEmpty());

        const QString folder = home.filePath(QStringLiteral("taken.json"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(StoreFile::writeAtomically("x", folder));
        QVERIFY(QFileInfo(folder).isDir());
    }

    void encodeSortsKeysAndIndents()
    {
        const QJsonObject document{
            {QStringLiteral("version"), 1},
            {QStringLiteral("sites"),
             QJsonArray{QJsonObject{{QStringLiteral("id"), QStringLiteral("a/b")},
                                    {QStringLiteral("connections"), QJsonArray{}},
                                    {QStringLiteral("customName"), QStringLiteral("Ä")}}}},
        };
        const QByteArray text = StoreFile::encode(document);
        QVERIFY(text.indexOf("\"sites\"") < text.indexOf("\"version\""));
        QVERIFY(text.indexOf("\"connections\"") < text.indexOf("\"customName\""));
        QVERIFY(text.indexOf("\"customName\"") < text.indexOf("\"id\""));
        QVERIFY(text.contains("\n    \"version\": 1\n"));
        QVERIFY(text.contains("\"Ä\"")); // UTF-8, not escaped
    }

    void unreadableCopyName_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole second") << QDateTime::fromSecsSinceEpoch(1767225600, Qt::UTC)
                                      << "projects-unreadable-1767225600.json";
        QTest::newRow("fraction cut off")
            << QDateTime::fromMSecsSinceEpoch(1767225600999, Qt::UTC)
            << "projects-unreadable-1767225600.json";
    }

    void unreadableCopyName()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, expected);
        QCOMPARE(StoreFile::unreadableCopyName(QStringLiteral("projects"), now), expected);
    }
};

QTEST_GUILESS_MAIN(tst_StoreFile)
#include "tst_StoreFile.moc"
