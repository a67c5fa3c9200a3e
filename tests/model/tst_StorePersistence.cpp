// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
//
// The cases every local store shares, run over each of them: a missing file, each layout it reads,
// a file it cannot use, one it cannot read, a failed copy, a failed write, the round trip and what
// an interrupted save leaves behind.
#include "account/AccountCache.h"
#include "model/ConnectionStore.h"
#include "model/ProjectStore.h"
#include "model/SiteDirectory.h"
#include "support/StoreTesting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Kind = LocalStore::SaveFailure::Kind;
using SaveResult = LocalStore::SaveResult;

enum class Subject { connections, projects, sites, account };

/// What the cases expect of one store, spelled out here rather than read from the store.
struct Facts
{
    QString fileName;
    /// The base of its preserved copies' names.
    QString copyBase;
    /// The members of its file once it holds one record.
    QStringList writtenKeys;
    QString unreadable;
    QString unsupported;
    QString undecodable;
    /// For a store in the test home's data folder.
    QString saveFailed;
};

Facts facts(Subject subject)
{
    switch (subject) {
    case Subject::connections: {
        const QString unsupported =
            QStringLiteral("Connection metadata used an unsupported format and was preserved.");
        return {QStringLiteral("connections.json"), QStringLiteral("connections"), {"connections", "version"},
                QStringLiteral("Connection metadata exists but could not be read. It was preserved and "
                               "connection changes are disabled."),
                unsupported, unsupported,
                QStringLiteral("Connection changes could not be saved. Keep Quorvane open and fix "
                               "~/.local/share/Tessavine permissions or free disk space.")};
    }
    case Subject::projects:
        return {QStringLiteral("projects.json"), QStringLiteral("projects"), {"projects", "version"},
                QStringLiteral("Projects exist but could not be read. The original path was preserved "
                               "and changes are disabled."),
                QStringLiteral("Projects were saved by an unsupported Quorvane version. The original "
                               "file was preserved and changes are disabled."),
                QStringLiteral("Projects could not be read. The original file was preserved and changes "
                               "are disabled."),
                QStringLiteral("Project changes could not be saved. Keep Quorvane open and free disk "
                               "space or fix ~/.local/share/Tessavine permissions.")};
    case Subject::sites: {
        const QString unsupported = QStringLiteral("Saved site data uses an unsupported format and was "
                                                   "preserved. Site changes are disabled.");
        return {QStringLiteral("sites.json"), QStringLiteral("sites"), {"sites", "version"},
                QStringLiteral("Saved site data exists but could not be read. It was preserved and site "
                               "changes are disabled."),
                unsupported, unsupported,
                QStringLiteral("Site names and identity metadata could not be saved.")};
    }
    case Subject::account: {
        const QString unsupported =
            QStringLiteral("Saved account data used an unsupported format and was preserved.");
        return {QStringLiteral("account.json"), QStringLiteral("account"), {"profile", "version"},
                unsupported, unsupported, unsupported,
                QStringLiteral("Account status could not be cached for offline use.")};
    }
    }
    Q_UNREACHABLE();
}

/**
 * @brief One store opened on a folder, seen through what the cases ask of every store.
 */
class Opened
{
public:
    virtual ~Opened() = default;

    [[nodiscard]] virtual const LocalStore &store() const = 0;
    /// The records' names in store order: connection names, project titles, site ids, the cached
    /// e-mail.
    [[nodiscard]] virtual QStringList names() const = 0;
    /// A change that adds a record of that name.
    virtual SaveResult add(const QString &name) = 0;
    /// A change that leaves no record (sites marked for publishing aside).
    virtual SaveResult clear() = 0;
    /// Writes again what the store holds.
    virtual SaveResult rewrite() = 0;
    /// What the store recorded about its file.
    [[nodiscard]] virtual QStringList recorded(const StoreFixture &fixture) const = 0;
    /// How often the store said its records changed.
    [[nodiscard]] virtual qsizetype changes() const { return 0; }
};

/// A store that records in the fixture's log under its area and says when its records change.
template <typename Store>
class OpenedStore : public Opened
{
public:
    template <typename Signal>
    OpenedStore(const QString &folder, StoreFixture &fixture, QString area, Signal changed)
        : m_store(folder, fixture.environment())
        , m_area(std::move(area))
        , m_changes(&m_store, changed)
    {
    }

    const LocalStore &store() const override { return m_store; }
    QStringList recorded(const StoreFixture &fixture) const override { return fixture.logged(m_area); }
    qsizetype changes() const override { return m_changes.size(); }

protected:
    Store m_store;

private:
    QString m_area;
    QSignalSpy m_changes;
};

class OpenedConnections final : public OpenedStore<ConnectionStore>
{
public:
    OpenedConnections(const QString &folder, StoreFixture &fixture)
        : OpenedStore(folder, fixture, QStringLiteral("connection-store"), &ConnectionStore::connectionsChanged)
    {
    }

    QStringList names() const override { return m_store.connections().keys(); }
    SaveResult add(const QString &name) override
    {
        QMap<QString, ConnectionMeta> next = m_store.connections();
        next.insert(name, {});
        return m_store.save(next);
    }
    SaveResult clear() override { return m_store.save({}); }
    SaveResult rewrite() override { return m_store.save(m_store.connections()); }
};

class OpenedProjects final : public OpenedStore<ProjectStore>
{
public:
    OpenedProjects(const QString &folder, StoreFixture &fixture)
        : OpenedStore(folder, fixture, QStringLiteral("project-store"), &ProjectStore::projectsChanged)
    {
    }

    QStringList names() const override
    {
        QStringList titles;
        for (const Project &project : m_store.projects())
            titles.append(project.title);
        return titles;
    }
    SaveResult add(const QString &name) override
    {
        const std::variant<Project, LocalStore::SaveFailure> created = m_store.createProject(name);
        if (const auto *failure = std::get_if<LocalStore::SaveFailure>(&created))
            return *failure;
        return std::nullopt;
    }
    SaveResult clear() override { return m_store.saveProjects({}); }
    SaveResult rewrite() override { return m_store.saveProjects(m_store.projects()); }
};

class OpenedSites final : public OpenedStore<SiteDirectory>
{
public:
    OpenedSites(const QString &folder, StoreFixture &fixture)
        : OpenedStore(folder, fixture, QStringLiteral("site-directory"), &SiteDirectory::sitesChanged)
    {
    }

    QStringList names() const override
    {
        QStringList ids;
        for (const SiteRecord &site : m_store.sites())
            ids.append(site.id);
        return ids;
    }
    SaveResult add(const QString &name) override { return m_store.markPublishingConnected(name, name); }
    SaveResult clear() override { return m_store.reconcile({}, {}, {}, {}); }
    SaveResult rewrite() override
    {
        const QStringList ids = names();
        return m_store.reconcile({}, QSet<QString>(ids.cbegin(), ids.cend()), {}, {});
    }
};

/// The cache answers its owner rather than a log, and a bare optional failure rather than a
/// SaveResult; this turns both into what the other stores give.
class OpenedAccount final : public Opened
{
public:
    OpenedAccount(const QString &folder, StoreFixture &fixture)
        : m_cache(folder, fixture.clock, fixture.writer.writer())
        , m_clock(fixture.clock)
        , m_load(m_cache.load())
    {
        if (m_load.outcome == AccountCache::Load::Outcome::Loaded)
            m_account = m_load.account;
    }

    const LocalStore &store() const override { return m_cache; }
    QStringList names() const override
    {
        return m_account ? QStringList{m_account->profile.email} : QStringList();
    }
    SaveResult add(const QString &name) override
    {
        return write(PersistedAccount{1, std::nullopt, {name, false, m_clock.now()}});
    }
    SaveResult clear() override
    {
        const bool writable = m_cache.isWritable();
        m_cache.remove();
        if (!writable)
            return LocalStore::SaveFailure{Kind::readOnly, m_cache.persistenceIssue()};
        m_account.reset();
        return std::nullopt;
    }
    SaveResult rewrite() override { return m_account ? write(*m_account) : std::nullopt; }
    QStringList recorded(const StoreFixture &) const override
    {
        return m_load.failure ? QStringList{*m_load.failure} : QStringList();
    }

private:
    SaveResult write(const PersistedAccount &account)
    {
        const bool writable = m_cache.isWritable();
        if (m_cache.write(account))
            return LocalStore::SaveFailure{Kind::writeFailed, m_cache.persistenceIssue()};
        if (!writable)
            return LocalStore::SaveFailure{Kind::readOnly, m_cache.persistenceIssue()};
        m_account = account;
        return std::nullopt;
    }

    AccountCache m_cache;
    const Clock &m_clock;
    AccountCache::Load m_load;
    std::optional<PersistedAccount> m_account;
};

std::unique_ptr<Opened> open(Subject subject, const QString &folder, StoreFixture &fixture)
{
    switch (subject) {
    case Subject::connections:
        return std::make_unique<OpenedConnections>(folder, fixture);
    case Subject::projects:
        return std::make_unique<OpenedProjects>(folder, fixture);
    case Subject::sites:
        return std::make_unique<OpenedSites>(folder, fixture);
    case Subject::account:
        return std::make_unique<OpenedAccount>(folder, fixture);
    }
    Q_UNREACHABLE();
}

const std::initializer_list<std::pair<const char *, Subject>> kSubjects{
    {"connections", Subject::connections},
    {"projects", Subject::projects},
    {"sites", Subject::sites},
    {"account", Subject::account},
};

/// The permission bits of a path.
int mode(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

/// What stands at a path, without following a link: enough to tell that nothing changed there.
QString describe(const QString &path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("nothing");
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("link to ") + QFileInfo(path).symLinkTarget();
    if (S_ISDIR(info.st_mode)) {
        QStringList entries;
        for (const QString &name : QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
            entries.append(name + QStringLiteral(": ") + describe(path + u'/' + name));
        return QStringLiteral("folder holding [") + entries.join(QStringLiteral("; ")) + u']';
    }
    // Reading a FIFO or a device would wait or never end; their kind is enough.
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("special file");
    return QStringLiteral("file of %1 bytes: %2")
        .arg(info.st_size)
        .arg(QString::fromLatin1(fileBytes(path).left(64).toHex()));
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// Documents each store reads, with the names of their records.
const QByteArray kProjectA = R"({"id": "0f8fad5b-d9cb-469f-a165-70867728950e", "title": "Acme",
    "mcpName": "webflow-acme", "createdAt": "2025-03-01T09:30:00Z"})";
const QByteArray kProjectB = R"({"id": "7C9E6679-7425-40DE-944B-E07FC1F90AE7", "title": "Beta",
    "mcpName": "webflow-beta", "createdAt": "2025-03-02T10:00:00+01:00", "siteID": null})";
const QByteArray kProfile = R"({"email":"ada@example.com","marketingOptIn":true,"fetchedAt":790171200.25})";

/// What an unreadable file is in the tests: something that stops the read at the path itself or
/// at what stands there.
enum class Obstacle { folder, fileInThePath, linkLoop, fifo, device, oversized };

} // namespace

Q_DECLARE_METATYPE(Subject)
Q_DECLARE_METATYPE(Obstacle)

namespace {

/// One row per store, under a column "subject".
void subjectRows()
{
    QTest::addColumn<Subject>("subject");
    for (const auto &[name, subject] : kSubjects)
        QTest::newRow(name) << subject;
}

} // namespace

class tst_StorePersistence : public QObject
{
    Q_OBJECT

private slots:
    void missingFileStartsEmptyAndRoundTrips_data()
    {
        subjectRows();
    }

    void missingFileStartsEmptyAndRoundTrips()
    {
        QFETCH(Subject, subject);
        const Facts expected = facts(subject);
        StoreFixture fixture;
        // Below folders that do not exist yet: the store makes them all.
        const QString folder = fixture.home.filePath(QStringLiteral("data/nested/Tessavine"));
        const QString path = folder + u'/' + expected.fileName;
        {
            const auto opened = open(subject, folder, fixture);
            QVERIFY(opened->names().isEmpty());
            QVERIFY(opened->store().persistenceWritable());
            QVERIFY(opened->store().persistenceIssue().isEmpty());
            QCOMPARE(opened->store().filePath(), path);
            QVERIFY(!QFile::exists(path));
            QVERIFY(QFileInfo(folder).isDir());
            // It will hold the account's e-mail and ids: the owner's alone.
            QCOMPARE(mode(folder), 0700);

            QCOMPARE(opened->add(QStringLiteral("Acme")), SaveResult());
            const QJsonObject written = QJsonDocument::fromJson(fileBytes(path)).object();
            QCOMPARE(written.keys(), expected.writtenKeys);
            QCOMPARE(written.value(QStringLiteral("version")), QJsonValue(1));
            QCOMPARE(mode(path), 0600);
        }
        const auto reopened = open(subject, folder, fixture);
        QCOMPARE(reopened->names(), QStringList{QStringLiteral("Acme")});
        QVERIFY(reopened->store().persistenceWritable());
        QCOMPARE(reopened->recorded(fixture), QStringList());
        QCOMPARE(fixture.systemLog.lines, QStringList());
    }

    void loadsEveryLayout_data()
    {
        QTest::addColumn<Subject>("subject");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("names");

        QTest::newRow("connections: current") << Subject::connections
                                              << QByteArray(R"({"version": 1, "other": 5, "connections": {
            "webflow-a": {"addedAt": 762514200.25, "source": "model"},
            "webflow-b": {"sites": [{"id": "s", "name": "S"}], "verifiedAt": null}}})")
                                              << QStringList{"webflow-a", "webflow-b"};
        QTest::newRow("connections: older layout")
            << Subject::connections << QByteArray(R"({"webflow-a": {"addedAt": 1.5}})") << QStringList{"webflow-a"};
        QTest::newRow("connections: older layout, empty") << Subject::connections << QByteArray("{}") << QStringList{};
        QTest::newRow("connections: escaped slashes") << Subject::connections << QByteArray(R"({"version": 1, "connections": {
            "webflow-a\/b": {"source": "a\/b"}}})") << QStringList{"webflow-a/b"};

        QTest::newRow("projects: current") << Subject::projects
                                           << "{\"version\": 1, \"projects\": [" + kProjectB + ", " + kProjectA + "]}"
                                           << QStringList{"Beta", "Acme"};
        QTest::newRow("projects: older layout, a bare array")
            << Subject::projects << "[" + kProjectA + ", " + kProjectB + "]" << QStringList{"Acme", "Beta"};

        QTest::newRow("sites: current") << Subject::sites << QByteArray(R"({"version": 1, "sites": [
            {"id": "b", "name": "B", "connections": ["webflow-b"]},
            {"id": "a", "name": "A", "connections": [], "customName": null, "extra": true}]})")
                                        << QStringList{"b", "a"};
        QTest::newRow("sites: version as 1.0") << Subject::sites << QByteArray(R"({"version": 1.0, "sites": []})")
                                               << QStringList{};
        QTest::newRow("sites: older layout, a bare array") << Subject::sites << QByteArray(R"([
            {"id": "z", "name": "Z", "connections": []},
            {"id": "y", "name": "Y", "connections": []}])") << QStringList{"z", "y"};

        QTest::newRow("account: current")
            << Subject::account
            << R"({"version":1,"ownerID":"3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b","profile":)" + kProfile + "}"
            << QStringList{"ada@example.com"};
        QTest::newRow("account: older bare profile") << Subject::account << kProfile << QStringList{"ada@example.com"};
    }

    void loadsEveryLayout()
    {
        QFETCH(Subject, subject);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, names);
        StoreFixture fixture;
        const QString path = fixture.folder() + u'/' + facts(subject).fileName;
        putFile(path, bytes);
        {
            const auto opened = open(subject, fixture.folder(), fixture);
            QCOMPARE(opened->names(), names);
            QVERIFY(opened->store().persistenceWritable());
            QVERIFY(opened->store().persistenceIssue().isEmpty());
            QCOMPARE(opened->recorded(fixture), QStringList());

            // The next save writes the current layout, with every record.
            QCOMPARE(opened->rewrite(), SaveResult());
            const QJsonObject written = QJsonDocument::fromJson(fileBytes(path)).object();
            QCOMPARE(written.value(QStringLiteral("version")), QJsonValue(1));
        }
        const auto reopened = open(subject, fixture.folder(), fixture);
        QCOMPARE(sorted(reopened->names()), sorted(names));
    }

    void unusableContentIsSetAside_data()
    {
        QTest::addColumn<Subject>("subject");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("issue");
        // What the store records: "%size" stands for the file's size, "%copy" for its copy's name.
        QTest::addColumn<QStringList>("notes");

        {
            const Facts connections = facts(Subject::connections);
            const auto row = [&](const char *name, const QByteArray &bytes) {
                // The copy was written: nothing to record.
                QTest::addRow("connections: %s", name) << Subject::connections << bytes << connections.unsupported
                                                       << QStringList();
            };
            row("version 2", R"({"version": 2, "connections": {}})");
            row("version 2, decodable connections",
                R"({"version": 2, "connections": {"webflow-a": {"source": "model"}}})");
            row("empty file", "");
            row("invalid JSON", "{\"version\": 1,");
            row("site without id", R"({"version": 1, "connections": {"webflow-a": {"sites": [{"name": "A"}]}}})");
            row("time as text",
                R"({"version": 1, "connections": {"webflow-a": {"addedAt": "2025-03-01T09:30:00Z"}}})");
            row("older layout, a value not an object", R"({"webflow-a": 5})");
            row("array", "[]");
        }
        {
            const Facts projects = facts(Subject::projects);
            const QStringList preserved{QStringLiteral(
                "projects.json could not be decoded; preserved %size bytes at %copy instead of overwriting it.")};
            const auto row = [&](const char *name, const QByteArray &bytes, const QString &issue) {
                QTest::addRow("projects: %s", name) << Subject::projects << bytes << issue << preserved;
            };
            row("version 2", R"({"version": 2, "projects": []})", projects.unsupported);
            row("version 2 with a project that does not decode", R"({"version": 2, "projects": [{}]})",
                projects.undecodable);
            row("empty file", "", projects.undecodable);
            row("no version", R"({"projects": []})", projects.undecodable);
            row("date with a fraction", R"([{"id": "0f8fad5b-d9cb-469f-a165-70867728950e", "title": "A",
                "mcpName": "webflow-a", "createdAt": "2025-03-01T09:30:00.5Z"}])",
                projects.undecodable);
            // The offset carries it past the calendar's last year: it could not be written back.
            row("date past the year 9999", R"([{"id": "0f8fad5b-d9cb-469f-a165-70867728950e", "title": "A",
                "mcpName": "webflow-a", "createdAt": "9999-12-31T23:59:59-23:59"}])",
                projects.undecodable);
            row("one bad project among good ones", "[" + kProjectA + R"(, {"id": "x", "title": "B",
                "mcpName": "webflow-b", "createdAt": "2025-03-01T09:30:00Z"}])",
                projects.undecodable);
            row("truncated", R"({"version": 1, "projects": [)", projects.undecodable);
        }
        {
            const Facts sites = facts(Subject::sites);
            const auto row = [&](const char *name, const QByteArray &bytes, const QString &reason) {
                QTest::addRow("sites: %s", name) << Subject::sites << bytes << sites.unsupported
                                                 << QStringList{QStringLiteral("sites.json ") + reason};
            };
            const QString undecodable = QStringLiteral("could not be decoded");
            row("version 2", R"({"version": 2, "sites": []})", QStringLiteral("unsupported version"));
            row("version 2 with undecodable records", R"({"version": 2, "sites": [{}]})", undecodable);
            row("empty file", "", undecodable);
            row("truncated", R"({"version": 1, "sites": [)", undecodable);
            row("no version", R"({"sites": []})", undecodable);
            row("version as text", R"({"version": "1", "sites": []})", undecodable);
            row("version 1.5", R"({"version": 1.5, "sites": []})", undecodable);
            row("site without connections", R"([{"id": "a", "name": "A"}])", undecodable);
            row("id as number", R"([{"id": 7, "name": "A", "connections": []}])", undecodable);
            row("date with a fraction", R"([{"id": "a", "name": "A", "connections": [],
                "nameSeenAt": "2025-03-01T09:30:00.5Z"}])", undecodable);
            // The offset carries it before the calendar's first year: it could not be written back.
            row("date before the year 1", R"([{"id": "a", "name": "A", "connections": [],
                "nameSeenAt": "0001-01-01T00:00:00+23:59"}])", undecodable);
            row("date as number", R"([{"id": "a", "name": "A", "connections": [], "nameSeenAt": 5}])", undecodable);
            row("custom name as number", R"([{"id": "a", "name": "A", "connections": [], "customName": 5}])",
                undecodable);
            row("connection as number", R"([{"id": "a", "name": "A", "connections": [5]}])", undecodable);
            row("top-level text", R"("sites")", undecodable);
        }
        {
            const Facts account = facts(Subject::account);
            const auto row = [&](const char *name, const QByteArray &bytes) {
                QTest::addRow("account: %s", name) << Subject::account << bytes << account.unsupported << QStringList();
            };
            row("version 2",
                R"({"version":2,"profile":{"email":"ada@example.com","marketingOptIn":true,"fetchedAt":1}})");
            row("neither layout", R"({"user":"ada"})");
            row("truncated", "{\"version\":1,\"prof");
        }
    }

    void unusableContentIsSetAside()
    {
        QFETCH(Subject, subject);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, issue);
        QFETCH(QStringList, notes);
        const Facts expected = facts(subject);
        StoreFixture fixture;
        const QString folder = fixture.folder();
        const QString path = folder + u'/' + expected.fileName;
        putFile(path, bytes);

        const auto opened = open(subject, folder, fixture);
        QVERIFY(opened->names().isEmpty());
        QVERIFY(!opened->store().persistenceWritable());
        QCOMPARE(opened->store().persistenceIssue(), issue);
        const QString copyName = expected.copyBase + QStringLiteral("-unreadable-")
            + QString::number(fixture.clock.now().toSecsSinceEpoch()) + QStringLiteral(".json");
        for (QString &note : notes)
            note.replace(QStringLiteral("%size"), QString::number(bytes.size())).replace(QStringLiteral("%copy"), copyName);
        QCOMPARE(opened->recorded(fixture), notes);
        QVERIFY(QFile::exists(folder + u'/' + copyName));
        QCOMPARE(fileBytes(folder + u'/' + copyName), bytes);

        // Every later change is refused with the sentence of the cause, memory and disk untouched.
        const SaveResult refused{{Kind::readOnly, issue}};
        QCOMPARE(opened->add(QStringLiteral("Acme")), refused);
        QCOMPARE(opened->clear(), refused);
        QCOMPARE(fixture.writer.writes, 0);
        QVERIFY(opened->names().isEmpty());
        QCOMPARE(opened->changes(), 0);
        QCOMPARE(opened->store().persistenceIssue(), issue);
        QCOMPARE(opened->recorded(fixture), notes);
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(QDir(folder).entryList(QDir::Files), sorted({expected.fileName, copyName}));
    }

    void aSecondPreservationInTheSameSecondReplacesTheCopy_data()
    {
        subjectRows();
    }

    void aSecondPreservationInTheSameSecondReplacesTheCopy()
    {
        QFETCH(Subject, subject);
        const Facts expected = facts(subject);
        StoreFixture fixture;
        const QString folder = fixture.folder();
        putFile(folder + u'/' + expected.fileName, "first");
        open(subject, folder, fixture);
        putFile(folder + u'/' + expected.fileName, "second");
        fixture.clock.advance(999);
        open(subject, folder, fixture);
        const QStringList copies =
            QDir(folder).entryList({expected.copyBase + QStringLiteral("-unreadable-*.json")}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(fileBytes(folder + u'/' + copies.first()), QByteArray("second"));
    }

    void aFailedCopyIsRecorded_data()
    {
        QTest::addColumn<Subject>("subject");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("issue");
        /// What is recorded after the failed copy's own line.
        QTest::addColumn<QStringList>("after");

        QTest::newRow("connections") << Subject::connections << QByteArray("nonsense")
                                     << facts(Subject::connections).undecodable << QStringList();
        // Never a claim that a copy was preserved.
        QTest::newRow("projects") << Subject::projects << QByteArray(R"({"version": 2, "projects": []})")
                                  << facts(Subject::projects).unsupported << QStringList();
        QTest::newRow("sites") << Subject::sites << QByteArray("{") << facts(Subject::sites).undecodable
                               << QStringList{QStringLiteral("sites.json could not be decoded")};
        QTest::newRow("account") << Subject::account << QByteArray(R"({"version":3})")
                                 << facts(Subject::account).unsupported << QStringList();
    }

    void aFailedCopyIsRecorded()
    {
        QFETCH(Subject, subject);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, issue);
        QFETCH(QStringList, after);
        const Facts expected = facts(subject);
        StoreFixture fixture;
        const QString folder = fixture.folder();
        const QString path = folder + u'/' + expected.fileName;
        putFile(path, bytes);
        const QString copy = folder + u'/' + expected.copyBase + QStringLiteral("-unreadable-")
            + QString::number(fixture.clock.now().toSecsSinceEpoch()) + QStringLiteral(".json");
        QVERIFY(QDir().mkpath(copy)); // a folder where the copy would go

        const auto opened = open(subject, folder, fixture);
        QVERIFY(!opened->store().persistenceWritable());
        QCOMPARE(opened->store().persistenceIssue(), issue);
        const QStringList recorded = opened->recorded(fixture);
        QCOMPARE(recorded.size(), 1 + after.size());
        QVERIFY(recorded.first().startsWith(QStringLiteral("backup failed: ")));
        QVERIFY(recorded.first().size() > QStringLiteral("backup failed: ").size());
        QCOMPARE(recorded.mid(1), after);
        QCOMPARE(fileBytes(path), bytes);
        QVERIFY(QFileInfo(copy).isDir());
    }

    void aFileThatCannotBeReadIsLeftAlone_data()
    {
        QTest::addColumn<Subject>("subject");
        QTest::addColumn<Obstacle>("obstacle");
        // Tests run as root, which reads through any permission bits: these stop the read anyway.
        const std::initializer_list<std::pair<const char *, Obstacle>> obstacles{
            {"a folder at the path", Obstacle::folder},
            {"a file where the folder should be", Obstacle::fileInThePath},
            {"a link loop", Obstacle::linkLoop},
            {"a FIFO", Obstacle::fifo},
            {"a link to a device", Obstacle::device},
            {"a file over 16 MB", Obstacle::oversized},
        };
        for (const auto &[subjectName, subject] : kSubjects) {
            for (const auto &[obstacleName, obstacle] : obstacles)
                QTest::addRow("%s: %s", subjectName, obstacleName) << subject << obstacle;
        }
    }

    void aFileThatCannotBeReadIsLeftAlone()
    {
        QFETCH(Subject, subject);
        QFETCH(Obstacle, obstacle);
        const Facts expected = facts(subject);
        StoreFixture fixture;
        const QString folder = fixture.folder();
        const QString path = folder + u'/' + expected.fileName;
        const QByteArray nativePath = QFile::encodeName(path);
        if (obstacle != Obstacle::fileInThePath)
            QVERIFY(QDir().mkpath(folder));
        switch (obstacle) {
        case Obstacle::folder:
            putFile(path + QStringLiteral("/keep"), "mine");
            break;
        case Obstacle::fileInThePath:
            putFile(folder, "mine");
            break;
        case Obstacle::linkLoop:
            QCOMPARE(::symlink(QFile::encodeName(expected.fileName).constData(), nativePath.constData()), 0);
            break;
        case Obstacle::fifo:
            QCOMPARE(::mkfifo(nativePath.constData(), 0600), 0);
            break;
        case Obstacle::device:
            QCOMPARE(::symlink("/dev/zero", nativePath.constData()), 0);
            break;
        case Obstacle::oversized: {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(16 * 1024 * 1024 + 1)); // sparse: no disk is spent on it
            break;
        }
        }
        const QString folderBefore = describe(folder);
        const QString pathBefore = describe(path);

        const auto opened = open(subject, folder, fixture);
        QVERIFY(opened->names().isEmpty());
        QVERIFY(!opened->store().persistenceWritable());
        QCOMPARE(opened->store().persistenceIssue(), expected.unreadable);
        const QStringList recorded = opened->recorded(fixture);
        QCOMPARE(recorded.size(), 1);
        const QString prefix = expected.fileName + QStringLiteral(" could not be read: ");
        QVERIFY2(recorded.first().startsWith(prefix) && recorded.first().size() > prefix.size(),
                 qPrintable(recorded.first()));

        // There are no bytes to copy, and nothing is written or removed.
        QCOMPARE(opened->add(QStringLiteral("Acme")), SaveResult({Kind::readOnly, expected.unreadable}));
        QCOMPARE(opened->clear(), SaveResult({Kind::readOnly, expected.unreadable}));
        QCOMPARE(fixture.writer.writes, 0);
        QCOMPARE(describe(folder), folderBefore);
        QCOMPARE(describe(path), pathBefore);
    }

    void aFailedWrite_data()
    {
        QTest::addColumn<Subject>("subject");
        QTest::addColumn<bool>("turnsReadOnly");
        QTest::newRow("connections") << Subject::connections << true;
        QTest::newRow("projects") << Subject::projects << true;
        QTest::newRow("sites") << Subject::sites << true;
        // Only a cache: the next write, or the removal at sign-out, must still take effect.
        QTest::newRow("account") << Subject::account << false;
    }

    void aFailedWrite()
    {
        QFETCH(Subject, subject);
        QFETCH(bool, turnsReadOnly);
        const Facts expected = facts(subject);
        StoreFixture fixture;
        const auto opened = open(subject, fixture.folder(), fixture);
        QCOMPARE(opened->add(QStringLiteral("Acme")), SaveResult());
        const QStringList before = opened->names();
        const QByteArray onDisk = fileBytes(opened->store().filePath());
        const qsizetype changes = opened->changes();

        fixture.writer.failure = QStringLiteral("No space left on device");
        QSignalSpy issueSpy(&opened->store(), &LocalStore::persistenceIssueChanged);
        QCOMPARE(opened->add(QStringLiteral("Beta")), SaveResult({Kind::writeFailed, expected.saveFailed}));
        QCOMPARE(opened->names(), before);
        QCOMPARE(opened->changes(), changes);
        QCOMPARE(issueSpy.size(), 1);
        QCOMPARE(opened->store().persistenceIssue(), expected.saveFailed);
        QCOMPARE(fixture.writer.writes, 2);
        QCOMPARE(fileBytes(opened->store().filePath()), onDisk);

        fixture.writer.failure.reset();
        if (!turnsReadOnly) {
            // The owner records the failure; the next write is tried, and clears the sentence.
            QVERIFY(opened->store().persistenceWritable());
            QCOMPARE(opened->recorded(fixture), QStringList());
            QCOMPARE(opened->add(QStringLiteral("Beta")), SaveResult());
            QVERIFY(opened->store().persistenceIssue().isEmpty());
            QCOMPARE(opened->names(), QStringList{QStringLiteral("Beta")});
            return;
        }
        QVERIFY(!opened->store().persistenceWritable());
        QCOMPARE(opened->recorded(fixture), QStringList{QStringLiteral("No space left on device")});

        // Read-only now, though the writer would succeed again.
        fixture.clock.advance(120'000); // past the log's repeat window: a second entry would show
        const SaveResult refused{{Kind::readOnly, expected.saveFailed}};
        QCOMPARE(opened->add(QStringLiteral("Gamma")), refused);
        QCOMPARE(opened->clear(), refused);
        QCOMPARE(fixture.writer.writes, 2);
        QCOMPARE(opened->recorded(fixture).size(), 1);
        QCOMPARE(opened->names(), before);
        QCOMPARE(opened->store().persistenceIssue(), expected.saveFailed);
        QCOMPARE(fileBytes(opened->store().filePath()), onDisk);
    }

    void staleTemporaryFilesAreRemoved_data()
    {
        subjectRows();
    }

    void staleTemporaryFilesAreRemoved()
    {
        QFETCH(Subject, subject);
        const Facts expected = facts(subject);
        StoreFixture fixture;
        const QString folder = fixture.folder();
        const QString path = folder + u'/' + expected.fileName;
        QCOMPARE(open(subject, folder, fixture)->add(QStringLiteral("Acme")), SaveResult());

        // What a save killed before its rename leaves: a full copy of the data.
        putFile(path + QStringLiteral(".AbC123"), fileBytes(path));
        putFile(path + QStringLiteral(".zz9Q0x"), "part");
        const QStringList others{
            expected.fileName + QStringLiteral(".tmp"),
            expected.fileName + QStringLiteral(".AbC12"),
            QStringLiteral("other.json.AbC123"),
        };
        for (const QString &name : others)
            putFile(folder + u'/' + name, "not ours");
        QVERIFY(QDir().mkpath(path + QStringLiteral(".QwErTy")));

        const auto reopened = open(subject, folder, fixture);
        QCOMPARE(reopened->names(), QStringList{QStringLiteral("Acme")});
        QVERIFY(reopened->store().persistenceWritable());
        QCOMPARE(QDir(folder).entryList(QDir::Files), sorted(others + QStringList{expected.fileName}));
        QVERIFY(QFileInfo(path + QStringLiteral(".QwErTy")).isDir());
    }
};

QTEST_GUILESS_MAIN(tst_StorePersistence)
#include "tst_StorePersistence.moc"
