// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ConnectionListModel.h"
#include "app/UnrecognizedListModel.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTest>

#include <map>
#include <memory>

namespace {

QList<Connection> connectionsNamed(const QStringList &names, ConnectionStatus status = ConnectionStatus::checking)
{
    QList<Connection> connections;
    for (const QString &name : names)
        connections.append({name, QStringLiteral("https://mcp.webflow.com/mcp"), status, std::nullopt});
    return connections;
}

QStringList column(const QAbstractItemModel &model, int role)
{
    QStringList values;
    for (int row = 0; row < model.rowCount(); ++row)
        values.append(model.data(model.index(row, 0), role).toString());
    return values;
}

Project projectFor(const QString &serverName, const QString &title)
{
    Project project;
    project.id = QUuid::createUuid();
    project.title = title;
    project.mcpName = serverName;
    project.siteId = QStringLiteral("site-") + title;
    return project;
}

} // namespace

// The lists views show keep each row's identity across updates: rows are removed, moved,
// inserted and changed in place, never reset, and the checker sees every step as consistent.
class tst_ListModels : public QObject
{
    Q_OBJECT

private slots:
    void rowsFollowTheirIdsAcrossUpdates_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("first fill") << QStringList{} << QStringList{"a", "b", "c"};
        QTest::newRow("all gone") << QStringList{"a", "b", "c"} << QStringList{};
        QTest::newRow("middle removed") << QStringList{"a", "b", "c"} << QStringList{"a", "c"};
        QTest::newRow("inserted between") << QStringList{"a", "c"} << QStringList{"a", "b", "c"};
        QTest::newRow("reversed") << QStringList{"a", "b", "c", "d"} << QStringList{"d", "c", "b", "a"};
        QTest::newRow("renamed one") << QStringList{"a", "b", "c"} << QStringList{"a", "b2", "c"};
        QTest::newRow("everything at once")
            << QStringList{"a", "b", "c", "d", "e"} << QStringList{"e", "x", "c", "a", "y"};
    }

    void rowsFollowTheirIdsAcrossUpdates()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        ConnectionListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.update(connectionsNamed(before), {}, {});
        QCOMPARE(column(model, ConnectionListModel::NameRole), before);

        std::map<QString, QPersistentModelIndex> held;
        for (int row = 0; row < model.rowCount(); ++row)
            held.emplace(before.at(row), QPersistentModelIndex(model.index(row, 0)));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy counted(&model, &KeyedListModel::countChanged);

        model.update(connectionsNamed(after), {}, {});
        QCOMPARE(column(model, ConnectionListModel::NameRole), after);
        QCOMPARE(model.count(), after.size());
        QCOMPARE(resets.size(), 0);
        QCOMPARE(counted.size(), before.size() == after.size() ? 0 : 1);
        // A view's hold on a row stays on that row wherever it moved, and lets go when it left.
        for (const auto &[name, index] : held) {
            if (after.contains(name))
                QCOMPARE(index.data(ConnectionListModel::NameRole).toString(), name);
            else
                QVERIFY(!index.isValid());
        }
    }

    void aChangedRowIsAnnouncedInPlace_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("shown");
        QTest::newRow("status") << "status" << int(ConnectionListModel::StatusRole) << "connected";
        QTest::newRow("busy") << "busy" << int(ConnectionListModel::BusyRole) << "true";
        QTest::newRow("project renamed") << "title" << int(ConnectionListModel::ProjectTitleRole) << "Acme Two";
        QTest::newRow("project gone") << "unbound" << int(ConnectionListModel::HasProjectRole) << "false";
    }

    void aChangedRowIsAnnouncedInPlace()
    {
        QFETCH(QString, change);
        QFETCH(int, role);
        QFETCH(QString, shown);
        ConnectionListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QStringList names{"webflow-acme", "webflow-beta"};
        Project acme = projectFor(QStringLiteral("webflow-acme"), QStringLiteral("Acme"));
        model.update(connectionsNamed(names), {acme}, {});
        QCOMPARE(model.data(model.index(0), ConnectionListModel::ProjectTitleRole).toString(), QStringLiteral("Acme"));
        QCOMPARE(model.data(model.index(0), ConnectionListModel::SiteIdRole).toString(), QStringLiteral("site-Acme"));
        QVERIFY(!model.data(model.index(1), ConnectionListModel::HasProjectRole).toBool());

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QList<Connection> connections = connectionsNamed(names);
        QList<Project> projects{acme};
        QSet<QString> busy;
        if (change == u"status")
            connections[0].status = ConnectionStatus::connected;
        else if (change == u"busy")
            busy.insert(QStringLiteral("webflow-acme"));
        else if (change == u"title")
            projects[0].title = QStringLiteral("Acme Two");
        else
            projects.clear();
        model.update(connections, projects, busy);

        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 0);
        QCOMPARE(inserted.size(), 0);
        QCOMPARE(removed.size(), 0);
        QCOMPARE(model.data(model.index(0), role).toString(), shown);
        // The same update again is no news.
        model.update(connections, projects, busy);
        QCOMPARE(changed.size(), 1);
    }

    void unrecognizedEntriesAreKeyedByNameAndFolderAndShownSafely()
    {
        UnrecognizedListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        UnrecognizedServer inOne{QStringLiteral("webflow"), QStringLiteral("https://mcp.webflow.com/mcp"),
                                 QStringLiteral("http"), UnrecognizedServer::Reason::projectScoped,
                                 QStringLiteral("/home/ada/one")};
        UnrecognizedServer inTwo = inOne;
        inTwo.folder = QStringLiteral("/home/ada/two");
        UnrecognizedServer unsafe{QStringLiteral("evil\u202Ename"), std::nullopt, std::nullopt,
                                  UnrecognizedServer::Reason::unsafeName, std::nullopt};
        model.update({inOne, inTwo, unsafe, inOne});
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(column(model, UnrecognizedListModel::FolderRole),
                 (QStringList{"/home/ada/one", "/home/ada/two", ""}));
        QCOMPARE(column(model, UnrecognizedListModel::ReasonRole),
                 (QStringList{rawText(UnrecognizedServer::Reason::projectScoped),
                              rawText(UnrecognizedServer::Reason::projectScoped),
                              rawText(UnrecognizedServer::Reason::unsafeName)}));
        QCOMPARE(model.data(model.index(2), UnrecognizedListModel::NameRole).toString(), QStringLiteral("evil·name"));
        QVERIFY(model.data(model.index(0), UnrecognizedListModel::OwnedElsewhereRole).toBool());
        QVERIFY(!model.data(model.index(2), UnrecognizedListModel::OwnedElsewhereRole).toBool());

        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.update({inTwo, unsafe});
        QCOMPARE(removed.size(), 1);
        QCOMPARE(column(model, UnrecognizedListModel::FolderRole), (QStringList{"/home/ada/two", ""}));
    }
};

QTEST_MAIN(tst_ListModels)
#include "tst_ListModels.moc"
