// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/AppInfo.h"
#include "model/ErrorLog.h"
#include "model/ErrorReport.h"
#include "support/FakeHttpServer.h"

#include <QCoroFuture>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QPromise>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>

#include <memory>

namespace {

const QString builtIn = QStringLiteral("https://errors.quorvane.app/error-report");

class SilentSystemLog final : public SystemLog
{
public:
    void error(const QString &, const QString &) override {}
};

/// A gateway on 127.0.0.1 that answers every report with the status it is given.
class LocalGateway : public FakeHttpServer
{
public:
    explicit LocalGateway(int status, QList<std::pair<QByteArray, QByteArray>> headers = {})
    {
        route("POST", QStringLiteral("/error-report"),
              [status, headers](const Request &) { return Reply{status, {}, headers}; });
    }

    [[nodiscard]] QUrl gatewayURL() const { return url(QStringLiteral("/error-report")); }
};

/// Delays that end only when the test says so, so no test waits out the 5 seconds.
class ManualDelay
{
public:
    ErrorLog::Delay function()
    {
        return [this](std::chrono::milliseconds time) {
            requested.append(time);
            auto promise = std::make_shared<QPromise<void>>();
            promise->start();
            m_pending.append(promise);
            return waitFor(promise->future(), m_resumed);
        };
    }

    /// Ends the delay that began as the `index`-th one.
    void end(qsizetype index) { m_pending.at(index)->finish(); }

    /// How many delays have ended and let their waiter go on.
    [[nodiscard]] int resumed() const { return *m_resumed; }

    QList<std::chrono::milliseconds> requested;

private:
    // By value: the coroutine outlives the call that starts it.
    static QCoro::Task<> waitFor(QFuture<void> future, std::shared_ptr<int> resumed)
    {
        co_await future;
        ++*resumed;
    }

    std::shared_ptr<int> m_resumed = std::make_shared<int>(0);

    QList<std::shared_ptr<QPromise<void>>> m_pending;
};

} // namespace

class tst_ErrorReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

    void gateway_data()
    {
        QTest::addColumn<QString>("lane");
        QTest::addColumn<QVariantMap>("info");
        QTest::addColumn<bool>("accepted");

        const auto stable = [](const QVariant &address) {
            return QVariantMap{{"QuorvaneBackendLane", "stable"}, {"QuorvaneErrorGatewayURL", address}};
        };
        QTest::newRow("the built-in address") << "stable" << stable(builtIn) << true;
        QTest::newRow("lane key says beta") << "stable"
                                            << QVariantMap{{"QuorvaneBackendLane", "beta"},
                                                           {"QuorvaneErrorGatewayURL", builtIn}}
                                            << false;
        QTest::newRow("no lane key") << "stable" << QVariantMap{{"QuorvaneErrorGatewayURL", builtIn}} << false;
        QTest::newRow("no address") << "stable" << QVariantMap{{"QuorvaneBackendLane", "stable"}} << false;
        QTest::newRow("empty address") << "stable" << stable("") << false;
        QTest::newRow("address not text") << "stable" << stable(42) << false;
        QTest::newRow("another address in stable")
            << "stable" << stable("https://other.quorvane.app/error-report") << false;
        QTest::newRow("http") << "stable" << stable("http://errors.quorvane.app/error-report") << false;
        QTest::newRow("explicit port") << "stable" << stable("https://errors.quorvane.app:443/error-report") << false;
        QTest::newRow("user part") << "stable" << stable("https://me@errors.quorvane.app/error-report") << false;
        QTest::newRow("empty user part") << "stable" << stable("https://@errors.quorvane.app/error-report") << false;
        QTest::newRow("empty query") << "stable" << stable(builtIn + "?") << false;
        QTest::newRow("empty fragment") << "stable" << stable(builtIn + "#") << false;
        QTest::newRow("trailing slash") << "stable" << stable(builtIn + "/") << false;
        QTest::newRow("upper-case host") << "stable" << stable("https://Errors.quorvane.app/error-report") << false;
        QTest::newRow("single-label host") << "stable" << stable("https://errors/error-report") << false;
        QTest::newRow("encoded path") << "stable" << stable("https://errors.quorvane.app/error%2Dreport") << false;

        const auto beta = [](const QString &address) {
            return QVariantMap{{"QuorvaneBackendLane", "beta"}, {"QuorvaneErrorGatewayURL", address}};
        };
        QTest::newRow("beta: another host") << "beta" << beta("https://beta-errors.quorvane.app/error-report") << true;
        QTest::newRow("beta: the stable host") << "beta" << beta(builtIn) << false;
        QTest::newRow("beta: the backend's host")
            << "beta" << beta("https://abcdefgh.supabase.co/error-report") << false;
        QTest::newRow("another lane")
            << "nightly"
            << QVariantMap{{"QuorvaneBackendLane", "nightly"},
                           {"QuorvaneErrorGatewayURL", "https://beta-errors.quorvane.app/error-report"}}
            << false;
    }

    void gateway()
    {
        QFETCH(QString, lane);
        QFETCH(QVariantMap, info);
        QFETCH(bool, accepted);

        const std::optional<QUrl> url = errorGatewayURL(info, lane, builtIn);
        QCOMPARE(url.has_value(), accepted);
        if (accepted)
            QCOMPARE(url->toString(), info.value("QuorvaneErrorGatewayURL").toString());
    }

    void buildNumber_data()
    {
        QTest::addColumn<QVariantMap>("info");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << QVariantMap{{"CFBundleVersion", "417"}} << "417";
        QTest::newRow("missing") << QVariantMap{} << "0";
        QTest::newRow("a number") << QVariantMap{{"CFBundleVersion", 417}} << "0";
    }

    void buildNumber()
    {
        QFETCH(QVariantMap, info);
        QFETCH(QString, expected);
        QCOMPARE(appBuildNumber(info), expected);
    }

    void payloadWithoutOptionalValues()
    {
        const QByteArray json = ErrorLog::Payload::make({}, {}, {}, {}).toJson();
        QVERIFY(!json.contains('\n'));
        const QJsonObject body = QJsonDocument::fromJson(json).object();
        QCOMPARE(body.keys(), (QStringList{"app_version", "build", "events", "os"}));
        QCOMPARE(body.value("app_version").toString(), appVersion());
        QCOMPARE(body.value("build").toString(), appBuildNumber());
        QCOMPARE(body.value("os").toString(), QSysInfo::prettyProductName());
        QCOMPARE(body.value("events"), QJsonValue(QJsonArray{}));
    }

    void payloadCutsAfterRedaction()
    {
        // "🏳️‍🌈" is one character of four code points; cuts never split it.
        const QString flag = QStringLiteral("\U0001F3F3\uFE0F\u200D\U0001F308");
        const QString secret = QStringLiteral("sk-ant-0123456789abcdef");
        const QString redacted = QStringLiteral("\u2039redacted\u203A"); // 10 characters

        // The secret starts at character 1995: cut before redaction, part of it would be sent.
        const QString note = flag.repeated(1995) + secret + QString(500, QLatin1Char('n'));
        const QString tail = QString(1000, QLatin1Char('t')) + flag.repeated(3995) + secret;

        const ErrorLog::Payload payload = ErrorLog::Payload::make(QStringLiteral("me@example.com"), note, tail, {});
        QCOMPARE(payload.email, QStringLiteral("me@example.com"));
        QCOMPARE(payload.note, flag.repeated(1995) + redacted.left(5));
        QCOMPARE(payload.logTail, flag.repeated(3990) + redacted);

        const ErrorLog::Payload shortOnes = ErrorLog::Payload::make({}, QStringLiteral("short"), QStringLiteral("tail"), {});
        QCOMPARE(shortOnes.note, QStringLiteral("short"));
        QCOMPARE(shortOnes.logTail, QStringLiteral("tail"));

        const QJsonObject body = QJsonDocument::fromJson(payload.toJson()).object();
        QCOMPARE(body.value("email").toString(), QStringLiteral("me@example.com"));
        QCOMPARE(body.value("note").toString(), *payload.note);
        QCOMPARE(body.value("log_tail").toString(), *payload.logTail);
    }

    void sending_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<ErrorLog::ReportState>("outcome");
        QTest::newRow("200") << 200 << ErrorLog::ReportState::Sent;
        QTest::newRow("204") << 204 << ErrorLog::ReportState::Sent;
        QTest::newRow("302 is not followed") << 302 << ErrorLog::ReportState::Failed;
        QTest::newRow("400") << 400 << ErrorLog::ReportState::Failed;
        QTest::newRow("500") << 500 << ErrorLog::ReportState::Failed;
    }

    void sending()
    {
        QFETCH(int, status);
        QFETCH(ErrorLog::ReportState, outcome);

        LocalGateway gateway(status, {{"Location", "/elsewhere"}});
        SilentSystemLog systemLog;
        ManualDelay delay;
        ErrorLog log(systemLog, [&] { return std::optional(gateway.gatewayURL()); }, delay.function());
        QSignalSpy states(&log, &ErrorLog::reportStateChanged);
        log.record(QStringLiteral("sites"), QStringLiteral("Couldn't save sites.json."), QDateTime(QDate(2026, 2, 3), QTime(4, 5, 6, 700), Qt::UTC));
        const QList<ErrorEvent> events = log.events();

        log.sendReport(QStringLiteral("me@example.com"), QStringLiteral("Bearer abc"), {});
        QCOMPARE(log.reportState(), ErrorLog::ReportState::Sending);
        log.sendReport({}, {}, {}); // a second press while sending starts nothing
        QTRY_COMPARE(log.reportState(), outcome);

        QCOMPARE(gateway.requests().size(), 1);
        const FakeHttpServer::Request request = gateway.requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.path, QStringLiteral("/error-report"));
        QCOMPARE(request.query, QString());
        QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
        QVERIFY(!request.hasHeader("Cookie"));
        QVERIFY(!request.hasHeader("Authorization"));
        const QJsonObject body = QJsonDocument::fromJson(request.body).object();
        QCOMPARE(body.value("email").toString(), QStringLiteral("me@example.com"));
        QCOMPARE(body.value("note").toString(), QStringLiteral("Bearer \u2039redacted\u203A"));
        QVERIFY(!body.contains("log_tail"));
        QCOMPARE(body.value("events").toArray(), (QJsonArray{QJsonObject{
            {"id", events.first().id.toString(QUuid::WithoutBraces).toUpper()},
            {"at", "2026-02-03T04:05:06Z"},
            {"area", "sites"},
            {"message", "Couldn't save sites.json."}}}));
        QCOMPARE(log.events(), events); // a send leaves the events as they were

        // The outcome shows for 5 seconds, then the state is idle again.
        QCOMPARE(delay.requested, QList<std::chrono::milliseconds>{std::chrono::milliseconds(5000)});
        delay.end(0);
        QTRY_COMPARE(log.reportState(), ErrorLog::ReportState::Idle);
        QCOMPARE(states.size(), 3);
        QCOMPARE(gateway.requests().size(), 1); // the redirection was never followed
    }

    void withoutGatewayNothingIsSent()
    {
        LocalGateway gateway(204);
        SilentSystemLog systemLog;
        ManualDelay delay;
        const QVariantMap info{{"QuorvaneBackendLane", "stable"}, {"QuorvaneErrorGatewayURL", gateway.gatewayURL().toString()}};
        ErrorLog log(systemLog, [&] { return errorGatewayURL(info, QStringLiteral("stable"), builtIn); },
                     delay.function());
        QVERIFY(!log.isReportingAvailable());
        QSignalSpy states(&log, &ErrorLog::reportStateChanged);

        log.sendReport({}, {}, {});

        QCOMPARE(log.reportState(), ErrorLog::ReportState::Failed);
        QCOMPARE(states.size(), 2); // sending, then failed
        delay.end(0);
        QTRY_COMPARE(log.reportState(), ErrorLog::ReportState::Idle);
        QCOMPARE(gateway.connections(), 0);
    }

    void unreachableGatewayFails()
    {
        LocalGateway gateway(204);
        gateway.stopListening();
        SilentSystemLog systemLog;
        ManualDelay delay;
        ErrorLog log(systemLog, [&] { return std::optional(gateway.gatewayURL()); }, delay.function());
        log.sendReport({}, {}, {});
        QTRY_COMPARE(log.reportState(), ErrorLog::ReportState::Failed);
        delay.end(0);
        QTRY_COMPARE(log.reportState(), ErrorLog::ReportState::Idle);
    }

    void reportPastItsLimitIsNoCancellation()
    {
        // Qt ends a report past its time limit as it ends an abandoned one; nobody abandoned this
        // one, so it failed and must be shown as a failure, never dropped as a cancellation.
        LocalGateway gateway(204);
        gateway.script("POST", QStringLiteral("/error-report"), FakeHttpServer::Reply{.delay = std::chrono::seconds(60)});
        const std::unique_ptr<QNetworkAccessManager> session(makeErrorReportSession(nullptr));
        QNetworkReply *reply = session->post(errorReportRequest(gateway.gatewayURL(), std::chrono::milliseconds(100)), "{}");
        QSignalSpy finished(reply, &QNetworkReply::finished);
        QVERIFY(finished.wait());
        QCOMPARE(reply->error(), QNetworkReply::OperationCanceledError);
        QVERIFY(!isCancellation(reply->error(), false));
    }

    void earlierOutcomeTimerAfterRetry_data()
    {
        QTest::addColumn<int>("retryStatus");
        QTest::addColumn<ErrorLog::ReportState>("afterFirstTimer");
        // The retry failed too: the state still equals the first outcome, so it goes idle.
        QTest::newRow("retry fails") << 500 << ErrorLog::ReportState::Idle;
        // The retry succeeded: the first failure's timer leaves it alone.
        QTest::newRow("retry succeeds") << 204 << ErrorLog::ReportState::Sent;
    }

    void earlierOutcomeTimerAfterRetry()
    {
        QFETCH(int, retryStatus);
        QFETCH(ErrorLog::ReportState, afterFirstTimer);

        LocalGateway failing(500);
        LocalGateway retry(retryStatus);
        QUrl target = failing.gatewayURL();
        SilentSystemLog systemLog;
        ManualDelay delay;
        ErrorLog log(systemLog, [&] { return std::optional(target); }, delay.function());

        log.sendReport({}, {}, {});
        QTRY_COMPARE(log.reportState(), ErrorLog::ReportState::Failed);
        target = retry.gatewayURL();
        log.sendReport({}, {}, {}); // a retry within the 5 seconds
        QCOMPARE(log.reportState(), ErrorLog::ReportState::Sending);
        QTRY_VERIFY(log.reportState() != ErrorLog::ReportState::Sending);

        delay.end(0); // the first failure's 5 seconds end
        QTRY_COMPARE(delay.resumed(), 1);
        QCOMPARE(log.reportState(), afterFirstTimer);
        delay.end(1);
        QTRY_COMPARE(log.reportState(), ErrorLog::ReportState::Idle);
    }
};

QTEST_GUILESS_MAIN(tst_ErrorReport)
#include "tst_ErrorReport.moc"
