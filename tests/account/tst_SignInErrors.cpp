// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/SessionVault.h"
#include "account/SignInErrors.h"
#include "backend/BackendError.h"

#include <QTest>

class tst_SignInErrors : public QObject
{
    Q_OBJECT

private slots:
    void sentences_data()
    {
        QTest::addColumn<BackendError>("error");
        QTest::addColumn<bool>("isVerify");
        QTest::addColumn<QString>("expected");

        const BackendError offline = BackendError::fromTransport({QNetworkReply::TemporaryNetworkFailureError});
        const BackendError lost = BackendError::fromTransport({QNetworkReply::RemoteHostClosedError});
        const BackendError timedOut = BackendError::fromTransport({QNetworkReply::OperationCanceledError, true});
        const BackendError refused = BackendError::fromTransport({QNetworkReply::ConnectionRefusedError});
        const BackendError noNetwork = BackendError::fromTransport({QNetworkReply::HostNotFoundError, false, false, false});
        const BackendError unknownHost = BackendError::fromTransport({QNetworkReply::HostNotFoundError});
        const BackendError expired = BackendError::fromReply(
            403, R"({"code":403,"error_code":"otp_expired","msg":"Token has Expired or is invalid"})");
        const BackendError badAddress = BackendError::fromReply(
            400, R"({"code":400,"error_code":"validation_failed","msg":"Invalid email address"})");
        const BackendError locked = BackendError::storage(4, SessionVault::failureSentence);

        QTest::newRow("send offline") << offline << false << SignInErrors::noConnection;
        QTest::newRow("verify, connection lost") << lost << true << SignInErrors::noConnection;
        QTest::newRow("verify timed out: network before code") << timedOut << true << SignInErrors::noConnection;
        QTest::newRow("send, refused connection keeps its own") << refused << false << refused.message();
        QTest::newRow("send without a network: the lookup fails") << noNetwork << false << SignInErrors::noConnection;
        QTest::newRow("send, unknown host keeps its own") << unknownHost << false
                                                           << QStringLiteral("A server with the specified hostname could not be found.");
        QTest::newRow("verify expired, capital letter") << expired << true << SignInErrors::codeMismatch;
        QTest::newRow("verify invalid") << badAddress << true << SignInErrors::codeMismatch;
        QTest::newRow("send invalid address keeps its own") << badAddress << false << QStringLiteral("Invalid email address");
        QTest::newRow("send expired keeps its own") << expired << false << QStringLiteral("Token has Expired or is invalid");
        QTest::newRow("locked keyring") << locked << true << SessionVault::failureSentence;
    }

    void sentences()
    {
        QFETCH(BackendError, error);
        QFETCH(bool, isVerify);
        QFETCH(QString, expected);
        QCOMPARE(SignInErrors::sentence(error, isVerify), expected);
    }
};

QTEST_GUILESS_MAIN(tst_SignInErrors)
#include "tst_SignInErrors.moc"
