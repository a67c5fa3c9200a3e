// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "PublishingTesting.h"
#include "publishing/CancellationReceiptFile.h"
#include "publishing/PublishAccessStore.h"
#include "support/ManualClock.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
namespace ReceiptFile = CancellationReceiptFile;

Q_DECLARE_METATYPE(OAuthCancellationReceiptMap)

namespace {

const QString ownerA = u"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B"_s;
const QString ownerB = u"9C8D7E6F-1A2B-4C3D-8E9F-0A1B2C3D4E5F"_s;
// In file order: first, second, third.
const QString operation1 = u"0F8FAD5B-D9CB-469F-A165-70867728950E"_s;
const QString operation2 = u"7C9E6679-7425-40DE-944B-E07FC1F90AE7"_s;
const QString operation3 = u"F47AC10B-58CC-4372-A567-0E02B2C3D479"_s;

QByteArray receipt(const QString &owner, const QString &operation,
                   const QString &status = u"reconciliation_required"_s)
{
    return R"({"ownerID":")" + owner.toUtf8() + R"(","operationID":")" + operation.toUtf8() + R"(","status":")"
        + status.toUtf8() + R"("})";
}

QByteArray document(const QList<QByteArray> &receipts, const QByteArray &version = "1")
{
    return R"({"version":)" + version + R"(,"receipts":[)" + receipts.join(',') + "]}";
}

// The writer's form: compact, the members of every object in key order.
QByteArray written(const QList<std::pair<QString, QString>> &ownerAndOperation)
{
    QList<QByteArray> receipts;
    for (const auto &[owner, operation] : ownerAndOperation)
        receipts.append(R"({"operationID":")" + operation.toUtf8() + R"(","ownerID":")" + owner.toUtf8()
                        + R"(","status":"reconciliation_required"})");
    return R"({"receipts":[)" + receipts.join(',') + R"(],"version":1})";
}

// A valid document padded with white space to exactly `size` bytes.
QByteArray paddedTo(qsizetype size)
{
    QByteArray bytes = document({receipt(ownerA, operation1)});
    return bytes + QByteArray(size - bytes.size(), ' ');
}

void writeFile(const QString &path, const QByteArray &bytes, mode_t mode = 0600)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    if (::chmod(QFile::encodeName(path).constData(), mode) != 0)
        qFatal("cannot chmod %s", qPrintable(path));
}

/// Everything a look at the file can tell, to show that a load or a refused save left it alone.
struct FileState
{
    bool exists = false;
    bool isLink = false;
    QByteArray bytes;
    mode_t mode = 0;
    ino_t inode = 0;
    nlink_t links = 0;
    uid_t owner = 0;

    friend bool operator==(const FileState &, const FileState &) = default;
};

FileState stateOf(const QString &path)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    QFile file(path);
    const QByteArray bytes = S_ISREG(status.st_mode) && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return {true, S_ISLNK(status.st_mode), bytes, status.st_mode, status.st_ino, status.st_nlink, status.st_uid};
}

/// The temporary files a writer left in the folder.
QStringList temporaryFiles(const QString &folder)
{
    return QDir(folder).entryList({u".*.tmp"_s}, QDir::Files | QDir::Hidden | QDir::System);
}

OAuthCancellationReceiptMap receipts(const QList<std::pair<QString, QString>> &ownerAndOperation)
{
    OAuthCancellationReceiptMap map;
    for (const auto &[owner, operation] : ownerAndOperation) {
        const QUuid id = QUuid::fromString(operation);
        map.insert(id, {QUuid::fromString(owner), id});
    }
    return map;
}

} // namespace

class tst_CancellationReceiptFile : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    MemorySystemLog m_systemLog;
    std::unique_ptr<ErrorLog> m_log;
    ManualClock m_clock;
    RecordingPill m_pill;
    int m_writes = 0;

    QString path() const { return m_folder->filePath(PublishAccessStore::receiptFileName); }

    std::unique_ptr<PublishAccessStore> makeStore(PublishAccessStore::ReceiptWriter writer = {})
    {
        PublishAccessStore::Seams seams;
        seams.oauthReceiptWriter = [this, writer](const QByteArray &bytes, const QString &target) {
            ++m_writes;
            return writer ? writer(bytes, target) : ReceiptFile::writeReceiptAtomically(bytes, target);
        };
        return std::make_unique<PublishAccessStore>(*m_log, m_clock, m_folder->path(), m_pill, std::nullopt, seams);
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_log = std::make_unique<ErrorLog>(m_systemLog);
        m_systemLog.lines.clear();
        m_writes = 0;
    }

    void refusedFilesAreLeftAlone_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("sentence");

        const QByteArray valid = document({receipt(ownerA, operation1)});
        const QString unsafe = ReceiptFile::unsafeSentence;
        const QString corrupt = ReceiptFile::corruptSentence;
        QTest::newRow("a symbolic link to a valid file") << u"symlink"_s << valid << unsafe;
        QTest::newRow("mode 0644") << u"mode 0644"_s << valid << unsafe;
        QTest::newRow("two hard links") << u"hard link"_s << valid << unsafe;
        QTest::newRow("another owner") << u"other owner"_s << valid << unsafe;
        QTest::newRow("a folder in its place") << u"folder"_s << QByteArray() << unsafe;
        QTest::newRow("1,000,001 bytes") << u"file"_s << paddedTo(1'000'001) << unsafe;
        QTest::newRow("empty") << u"file"_s << QByteArray() << corrupt;
        QTest::newRow("not JSON") << u"file"_s << QByteArray("receipts: none") << corrupt;
        QTest::newRow("an array") << u"file"_s << QByteArray("[]") << corrupt;
        QTest::newRow("an extra key") << u"file"_s << QByteArray(R"({"version":1,"receipts":[],"note":"x"})") << corrupt;
        QTest::newRow("receipts not an array") << u"file"_s << QByteArray(R"({"version":1,"receipts":{}})") << corrupt;
        QTest::newRow("an extra key in a receipt")
            << u"file"_s << document({receipt(ownerA, operation1).replace("}", R"(,"note":"x"})")}) << corrupt;
        QTest::newRow("a key missing in a receipt")
            << u"file"_s << QByteArray(R"({"version":1,"receipts":[{"ownerID":")" + ownerA.toUtf8() + R"(","operationID":")"
                                       + operation1.toUtf8() + R"("}]})")
            << corrupt;
        QTest::newRow("an owner that is no UUID") << u"file"_s << document({receipt(u"owner-a"_s, operation1)}) << corrupt;
        QTest::newRow("a version given as text") << u"file"_s << document({}, R"("1")") << corrupt;
        QTest::newRow("version 2") << u"file"_s << document({}, "2") << ReceiptFile::unsupportedSentence;
        QTest::newRow("an unknown status")
            << u"file"_s << document({receipt(ownerA, operation1, u"cancelled"_s)}) << unsafe;
        QTest::newRow("a duplicate operation id")
            << u"file"_s << document({receipt(ownerA, operation1), receipt(ownerB, operation1.toLower())}) << unsafe;
    }

    void refusedFilesAreLeftAlone()
    {
        QFETCH(QString, setup);
        QFETCH(QByteArray, content);
        QFETCH(QString, sentence);

        const QByteArray name = QFile::encodeName(path());
        // What a link points at must survive too: a write through the link would reach it.
        const QString target = m_folder->filePath(u"elsewhere.json"_s);
        if (setup == u"symlink"_s) {
            writeFile(target, content);
            QVERIFY(::symlink(QFile::encodeName(target).constData(), name.constData()) == 0);
        } else if (setup == u"folder"_s) {
            QVERIFY(QDir().mkpath(path()));
        } else {
            writeFile(path(), content, setup == u"mode 0644"_s ? 0644 : 0600);
        }
        if (setup == u"hard link"_s)
            QVERIFY(::link(name.constData(), QFile::encodeName(m_folder->filePath(u"second-name.json"_s)).constData()) == 0);
        if (setup == u"other owner"_s && ::chown(name.constData(), ::geteuid() + 4242, ::getegid()) != 0)
            QSKIP("This user cannot give a file to another owner");
        const FileState before = stateOf(path());
        const FileState targetBefore = stateOf(target);
        QCOMPARE(targetBefore.exists, setup == u"symlink"_s);

        const auto store = makeStore();
        QCOMPARE(store->persistenceIssue(), std::optional(sentence));
        QVERIFY(!store->oauthReceiptPersistenceWritable());
        QVERIFY(store->unresolvedOAuthCancellations().isEmpty());
        QCOMPARE(stateOf(path()), before);

        // Never overwritten: the save refuses before the writer is asked.
        QVERIFY(!store->persistCancellationReceipts(receipts({{ownerA, operation2}})));
        QCOMPARE(m_writes, 0);
        QCOMPARE(store->persistenceIssue(), std::optional(sentence));
        QCOMPARE(stateOf(path()), before);
        QCOMPARE(stateOf(target), targetBefore);
        QVERIFY(temporaryFiles(m_folder->path()).isEmpty());
        QVERIFY(m_log->events().isEmpty());
    }

    void acceptedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<OAuthCancellationReceiptMap>("expected");

        QTest::newRow("no receipts") << QByteArray(R"({"version":1,"receipts":[]})") << OAuthCancellationReceiptMap();
        QTest::newRow("exactly 1,000,000 bytes") << paddedTo(1'000'000) << receipts({{ownerA, operation1}});
        QTest::newRow("out of order, in either case")
            << document({receipt(ownerB, operation3), receipt(ownerA.toLower(), operation1.toLower()),
                         receipt(ownerA, operation2)})
            << receipts({{ownerA, operation1}, {ownerA, operation2}, {ownerB, operation3}});
    }

    void acceptedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(OAuthCancellationReceiptMap, expected);
        writeFile(path(), content);
        const FileState before = stateOf(path());
        const auto store = makeStore();
        QCOMPARE(store->persistenceIssue(), std::nullopt);
        QVERIFY(store->oauthReceiptPersistenceWritable());
        QCOMPARE(store->unresolvedOAuthCancellations(), expected);
        QCOMPARE(stateOf(path()), before);
    }

    void noFileIsAnEmptyWritableStart()
    {
        const auto store = makeStore();
        QCOMPARE(store->persistenceIssue(), std::nullopt);
        QVERIFY(store->oauthReceiptPersistenceWritable());
        QVERIFY(store->unresolvedOAuthCancellations().isEmpty());
        QVERIFY(!stateOf(path()).exists);
    }

    void theLoadNeverReadsPastTheLimit()
    {
        // The file grows between the size check and the read: it is refused rather than read on.
        writeFile(path(), paddedTo(999'990));
        qint64 read = 0;
        ReceiptFile::PosixCalls calls;
        calls.fstat = [this](int fd, struct stat *status) {
            const int result = ::fstat(fd, status);
            QFile file(path());
            if (!file.open(QIODevice::Append) || file.write(QByteArray(20, ' ')) != 20)
                qFatal("cannot grow the file");
            return result;
        };
        calls.read = [&read](int fd, void *buffer, size_t size) {
            const ssize_t got = ::read(fd, buffer, size);
            read += qMax<ssize_t>(got, 0);
            return got;
        };
        const ReceiptFile::Loaded loaded = ReceiptFile::loadCancellationReceipts(path(), calls);
        QCOMPARE(loaded, (ReceiptFile::Loaded{{}, false, ReceiptFile::unsafeSentence}));
        QCOMPARE(read, ReceiptFile::sizeLimit + 1);
        QCOMPARE(QFileInfo(path()).size(), qint64(1'000'010));
    }

    void theLoadChecksTheFileItOpened()
    {
        // Between the look at the name and the open, the name is given to another file of ours.
        writeFile(path(), document({}));
        ReceiptFile::PosixCalls calls;
        calls.open = [this](const char *name, int flags, mode_t mode) {
            const QString replacement = m_folder->filePath(u"replacement.json"_s);
            writeFile(replacement, document({receipt(ownerA, operation1)}));
            if (::rename(QFile::encodeName(replacement).constData(), name) != 0)
                qFatal("cannot replace the file");
            return ::open(name, flags, mode);
        };
        QCOMPARE(ReceiptFile::loadCancellationReceipts(path(), calls), (ReceiptFile::Loaded{{}, false, ReceiptFile::unsafeSentence}));
    }

    void theWriterLeavesAPrivateCompactSortedFile()
    {
        writeFile(path(), document({receipt(ownerB, operation3), receipt(ownerA, operation1), receipt(ownerA, operation2)}));
        const auto store = makeStore();
        QCOMPARE(store->unresolvedOAuthCancellations().size(), 3);

        // Whatever the umask takes away, the file ends private and writable by us.
        const mode_t umask = ::umask(0277);
        const bool saved = store->persistCancellationReceipts(store->unresolvedOAuthCancellations());
        ::umask(umask);
        QVERIFY(saved);

        const FileState after = stateOf(path());
        QCOMPARE(after.bytes, written({{ownerA, operation1}, {ownerA, operation2}, {ownerB, operation3}}));
        QCOMPARE(after.mode & 07777, mode_t(0600));
        QCOMPARE(after.owner, ::geteuid());
        QCOMPARE(after.links, nlink_t(1));
        QVERIFY(temporaryFiles(m_folder->path()).isEmpty());
        QCOMPARE(makeStore()->unresolvedOAuthCancellations(), store->unresolvedOAuthCancellations());

        // The last receipt gone, the file stays with an empty list.
        QVERIFY(store->persistCancellationReceipts({}));
        QCOMPARE(stateOf(path()).bytes, written({}));
    }

    void theFirstSaveCreatesThePrivateFile()
    {
        const auto store = makeStore();
        QVERIFY(store->persistCancellationReceipts(receipts({{ownerA, operation2}})));
        QCOMPARE(stateOf(path()).bytes, written({{ownerA, operation2}}));
        QCOMPARE(stateOf(path()).mode & 07777, mode_t(0600));
    }

    void aFailedStepLeavesNoTemporaryFile_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("replaced");

        QTest::newRow("open") << u"open"_s << EACCES << false;
        QTest::newRow("fchmod") << u"fchmod"_s << EPERM << false;
        QTest::newRow("write") << u"write"_s << ENOSPC << false;
        QTest::newRow("write, after a partial write") << u"partial write"_s << EDQUOT << false;
        QTest::newRow("write of nothing") << u"write of nothing"_s << EIO << false;
        QTest::newRow("write interrupted, then done") << u"interrupted write"_s << 0 << true;
        QTest::newRow("fsync") << u"fsync"_s << EIO << false;
        QTest::newRow("close") << u"close"_s << EIO << false;
        QTest::newRow("rename") << u"rename"_s << EXDEV << false;
        QTest::newRow("open of the folder") << u"open folder"_s << EMFILE << true;
        QTest::newRow("fsync of the folder") << u"fsync folder"_s << EIO << true;
        QTest::newRow("the check after") << u"check"_s << EACCES << true;
    }

    void aFailedStepLeavesNoTemporaryFile()
    {
        QFETCH(QString, step);
        QFETCH(int, error);
        QFETCH(bool, replaced);

        const QByteArray old = document({receipt(ownerA, operation1)});
        const QByteArray fresh = written({{ownerA, operation1}, {ownerB, operation2}});
        writeFile(path(), old);

        ReceiptFile::PosixCalls calls;
        const auto failing = [](int code) {
            errno = code;
            return -1;
        };
        int writes = 0;
        int fsyncs = 0;
        if (step == u"open"_s || step == u"open folder"_s) {
            const bool folder = step == u"open folder"_s;
            calls.open = [=](const char *name, int flags, mode_t mode) {
                return bool(flags & O_DIRECTORY) == folder ? failing(error) : ::open(name, flags, mode);
            };
        } else if (step == u"fchmod"_s) {
            calls.fchmod = [=](int, mode_t) { return failing(error); };
        } else if (step.contains(u"write"_s)) {
            calls.write = [=, &writes](int fd, const void *buffer, size_t size) -> ssize_t {
                ++writes;
                if (step == u"write"_s || (step == u"partial write"_s && writes == 2))
                    return failing(error);
                if (step == u"interrupted write"_s && writes == 1)
                    return failing(EINTR);
                if (step == u"write of nothing"_s)
                    return 0;
                return ::write(fd, buffer, step == u"partial write"_s ? size / 2 : size);
            };
        } else if (step.startsWith(u"fsync"_s)) {
            calls.fsync = [=, &fsyncs](int fd) {
                ++fsyncs;
                return (fsyncs == 2) == (step == u"fsync folder"_s) ? failing(error) : ::fsync(fd);
            };
        } else if (step == u"close"_s) {
            // The descriptor is closed all the same; only the answer is a failure.
            calls.close = [=](int fd) {
                ::close(fd);
                return failing(error);
            };
        } else if (step == u"rename"_s) {
            calls.rename = [=](const char *, const char *) { return failing(error); };
        } else if (step == u"check"_s) {
            calls.lstat = [](const char *name, struct stat *status) {
                const int result = ::lstat(name, status);
                status->st_mode = (status->st_mode & ~07777) | 0644;
                return result;
            };
        }

        QCOMPARE(ReceiptFile::writeReceiptAtomically(fresh, path(), calls), error);
        QCOMPARE(temporaryFiles(m_folder->path()), QStringList());
        QCOMPARE(stateOf(path()).bytes, replaced ? fresh : old);
        QCOMPARE(stateOf(path()).mode & 07777, mode_t(0600));
        if (step == u"interrupted write"_s)
            QCOMPARE(writes, 2);
    }

    void theWriterNeverFollowsALinkAtItsTemporaryName()
    {
        // Every save takes a fresh name, created exclusively: whatever is at a name already, a
        // link above all, makes the save fail instead of writing through it.
        writeFile(path(), document({}));
        const QString victim = m_folder->filePath(u"victim"_s);
        writeFile(victim, "untouched");
        ReceiptFile::PosixCalls calls;
        calls.open = [victim](const char *name, int flags, mode_t mode) {
            if (!(flags & O_DIRECTORY) && ::symlink(QFile::encodeName(victim).constData(), name) != 0)
                qFatal("cannot plant the link");
            return ::open(name, flags, mode);
        };
        QCOMPARE(ReceiptFile::writeReceiptAtomically(document({receipt(ownerA, operation1)}), path(), calls), EEXIST);
        QCOMPARE(stateOf(victim).bytes, QByteArray("untouched"));
        QCOMPARE(stateOf(path()).bytes, document({}));
    }

    void aFailedSaveLatchesReadOnly()
    {
        const QByteArray old = document({receipt(ownerA, operation1)});
        writeFile(path(), old);
        ReceiptFile::PosixCalls calls;
        calls.fsync = [](int) {
            errno = EIO;
            return -1;
        };
        const auto store = makeStore([&calls](const QByteArray &bytes, const QString &target) {
            return ReceiptFile::writeReceiptAtomically(bytes, target, calls);
        });
        const OAuthCancellationReceiptMap more = receipts({{ownerA, operation1}, {ownerB, operation2}});

        QVERIFY(!store->persistCancellationReceipts(more));
        QCOMPARE(m_writes, 1);
        QVERIFY(!store->oauthReceiptPersistenceWritable());
        QCOMPARE(store->persistenceIssue(), std::optional(PublishAccessStore::receiptSaveFailedSentence));
        QCOMPARE(messagesIn(*m_log, u"oauth-cancellation-receipt"_s),
                 QStringList{u"An unresolved OAuth cancellation notice could not be saved."_s});
        QCOMPARE(m_systemLog.lines,
                 QStringList{u"[oauth-cancellation-receipt] An unresolved OAuth cancellation notice could not be saved."_s});

        // Every later save is refused at once, silently, even one that would now succeed.
        calls.fsync = [](int fd) { return ::fsync(fd); };
        m_clock.advance(3600 * 1000);
        QVERIFY(!store->persistCancellationReceipts(more));
        QCOMPARE(m_writes, 1);
        QCOMPARE(m_log->events().size(), 1);
        QCOMPARE(stateOf(path()).bytes, old);
        QVERIFY(temporaryFiles(m_folder->path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_CancellationReceiptFile)
#include "tst_CancellationReceiptFile.moc"
