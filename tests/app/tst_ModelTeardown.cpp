// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ModelHarness.h"
#include "app/TabFixture.h"

#include <QFile>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The application quits with work under way: the model goes while claude is being searched for,
// while a status check's child runs and while a read of the backend waits for its answer. Nothing
// of that work may touch the model's parts once they are gone, and none of it may be left waiting
// for ever (the sanitizers report both when the test process ends).
class tst_ModelTeardown : public QObject
{
    Q_OBJECT

private:
    // Whether the scripted claude has been asked that; it reads the log itself because the
    // harness leaves the version probes out of what it reports.
    static bool called(const ModelHarness &harness, const QByteArray &argument)
    {
        QFile log(harness.home.filePath(QStringLiteral("fake-claude/calls")));
        return log.open(QIODevice::ReadOnly) && log.readAll().split('\0').contains(argument);
    }

    // Lets the event loop deliver what the model's going finished (the reaper reports the children
    // it stopped before its thread ends), so that a coroutine resumed by it runs before the test
    // ends and the sanitizers see what it does.
    static void drainEvents()
    {
        QObject marker;
        QSignalSpy gone(&marker, &QObject::objectNameChanged);
        QMetaObject::invokeMethod(&marker, [&marker] { marker.setObjectName(QStringLiteral("drained")); },
                                  Qt::QueuedConnection);
        QVERIFY(gone.wait(10000));
    }

private slots:
    void modelGoesWhileClaudeWorks_data()
    {
        QTest::addColumn<QJsonObject>("servers");
        QTest::addColumn<QString>("held");
        QTest::addColumn<QByteArray>("running");
        // The environment check searches for claude itself; a status check waits on the shared
        // search; once claude is found, the check runs its own child.
        QTest::newRow("search for the environment") << QJsonObject() << "--version" << QByteArray("--version");
        QTest::newRow("search for a status check")
            << QJsonObject{{QStringLiteral("webflow-acme"), httpEntry()}} << "--version" << QByteArray("--version");
        QTest::newRow("status check's child")
            << QJsonObject{{QStringLiteral("webflow-acme"), httpEntry()}} << "mcp get" << QByteArray("get");
    }

    void modelGoesWhileClaudeWorks()
    {
        QFETCH(QJsonObject, servers);
        QFETCH(QString, held);
        QFETCH(QByteArray, running);
        auto harness = std::make_unique<ModelHarness>();
        harness->writeRegistry(claudeRegistry(servers));
        FakeClaude::Reply hanging{held == u"--version" ? "99.0.0 (Claude Code)\n" : "Status: ✔ Connected\n", {}, 0,
                                  true, std::nullopt};
        harness->claude.answer(held, hanging);

        // Left running, as the panel's refresh is when the application quits.
        { QCoro::Task<bool> refreshing = harness->model->refresh(true); }
        QTRY_VERIFY_WITH_TIMEOUT(called(*harness, running), 10000);
        QVERIFY(harness->model->isRefreshing());

        harness->model.reset();
        drainEvents();
        harness.reset();
        drainEvents();
    }

    void modelGoesWhileABackendReadWaits()
    {
        auto fixture = std::make_unique<TabFixture>(TabFixture::Backend::cloud);
        QVERIFY(fixture->signIn());
        const auto gate = std::make_shared<ReplyGate>();
        FakeHttpServer::Reply held{200, "[]"};
        held.gate = gate;
        fixture->fake.script("GET", QStringLiteral("/rest/v1/scheduled_publishes"), held);

        { QCoro::Task<> reading = fixture->model.scheduleStore().loadHistory(); }
        QTRY_COMPARE_WITH_TIMEOUT(gate->held(), 1, 10000);

        fixture.reset();
        drainEvents();
    }
};

QTEST_GUILESS_MAIN(tst_ModelTeardown)
#include "tst_ModelTeardown.moc"
