// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/StoreFile.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using Outcome = StoreFile::ReadResult::Outcome;

Q_DECLARE_METATYPE(Outcome)

namespace {

int mode(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

int currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return int(mask);
}

} // namespace

class tst_StoreFile : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("missing") << "none" << Outcome::Missing << QByteArray();
        // A dangling link is a path that leads nowhere, like a missing file.
        QTest::newRow("dangling link") << "dangling" << Outcome::Missing << QByteArray();
        QTest::newRow("empty file") << "empty" << Outcome::Read << QByteArray();
        QTest::newRow("as large as allowed") << "ten" << Outcome::Read << QByteArray("0123456789");
        // Tests run as root, which reads any file whatever its mode: each of these stops the read
        // for every user.
        QTest::newRow("a folder") << "folder" << Outcome::Failed << QByteArray();
        QTest::newRow("a file where a folder should be") << "notdir" << Outcome::Failed << QByteArray();
        QTest::newRow("a link loop") << "loop" << Outcome::Failed << QByteArray();
        QTest::newRow("a FIFO, which would wait for a writer") << "fifo" << Outcome::Failed << QByteArray();
        QTest::newRow("a device without end") << "device" << Outcome::Failed << QByteArray();
        QTest::newRow("larger than allowed") << "eleven" << Outcome::Failed << QByteArray();
    }

    void read()
    {
        QFETCH(QString, setUp);
        QFETCH(Outcome, outcome);
        QFETCH(QByteArray, bytes);
        TempHome home;
        QString path = home.filePath(QStringLiteral("store.json"));
        const QByteArray native = QFile::encodeName(path);
        if (setUp == u"dangling") {
            QVERIFY(QFile::link(home.filePath(QStringLiteral("none.json")), path));
        } else if (setUp == u"empty") {
            QVERIFY(!StoreFile::writeAtomically({}, path));
        } else if (setUp == u"ten") {
            QVERIFY(!StoreFile::writeAtomically("0123456789", path));
        } else if (setUp == u"eleven") {
            QVERIFY(!StoreFile::writeAtomically("0123456789A", path));
        } else if (setUp == u"folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (setUp == u"notdir") {
            QVERIFY(!StoreFile::writeAtomically("a file", path));
            path += QStringLiteral("/inner.json");
        } else if (setUp == u"loop") {
            QCOMPARE(::symlink("store.json", native.constData()), 0);
        } else if (setUp == u"fifo") {
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        } else if (setUp == u"device") {
            QCOMPARE(::symlink("/dev/zero", native.constData()), 0);
        }

        const StoreFile::ReadResult read = StoreFile::read(path, 10);
        QCOMPARE(read.outcome, outcome);
        QCOMPARE(read.bytes, bytes);
        QCOMPARE(read.error.isEmpty(), outcome != Outcome::Failed);
    }

    void writtenFilesAreTheOwnersAlone()
    {
        TempHome home;
        const QString path = home.filePath(QStringLiteral("store.json"));
        putFile(path, "older");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(!StoreFile::writeAtomically("newer", path));
        QCOMPARE(mode(path), 0600);
        QVERIFY(!StoreFile::writeAtomically("new", home.filePath(QStringLiteral("new.json"))));
        QCOMPARE(mode(home.filePath(QStringLiteral("new.json"))), 0600);
    }

    void makeFolder()
    {
        TempHome home;
        const QString folder = home.filePath(QStringLiteral("a/b/Tessavine"));
        StoreFile::makeFolder(folder);
        QCOMPARE(mode(folder), 0700);
        QCOMPARE(mode(home.filePath(QStringLiteral("a/b"))), 0777 & ~currentUmask());

        // A folder that is there already keeps what its owner chose.
        const QString existing = home.filePath(QStringLiteral("existing"));
        QVERIFY(QDir().mkpath(existing));
        const int before = mode(existing);
        StoreFile::makeFolder(existing);
        QCOMPARE(mode(existing), before);
    }

    void removeStaleTemporaries()
    {
        TempHome home;
        const QString folder = home.filePath(QStringLiteral("data"));
        for (const char *name : {"store.json", "store.json.AbC123", "store.json.zz9Q0x", "store.json.tmp",
                                 "store.json.AbC12", "store.json.AbC1234", "other.json.AbC123", "store.json.Ab-123"})
            putFile(folder + u'/' + QLatin1StringView(name), "x");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/store.json.QwErTy")));
        QVERIFY(QFile::link(folder + QStringLiteral("/store.json"), folder + QStringLiteral("/store.json.LiNkEd")));

        StoreFile::removeStaleTemporaries(folder + QStringLiteral("/store.json"));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 (QStringList{"other.json.AbC123", "store.json", "store.json.Ab-123", "store.json.AbC12",
                              "store.json.AbC1234", "store.json.LiNkEd", "store.json.QwErTy", "store.json.tmp"}));
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
