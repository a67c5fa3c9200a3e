// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/SignInOverlayModel.h"

#include "model/ErrorLog.h"
#include "support/FakeBackend.h"
#include "support/ManualClock.h"
#include "support/MemorySessionStorage.h"
#include "support/MemorySystemLog.h"
#include "support/TempHome.h"

#include <QCoro/QCoroSignal>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

using Phase = AccountModel::PhaseKind;
using Step = SignInOverlayModel::Step;
using Primary = SignInOverlayModel::Primary;

Q_DECLARE_METATYPE(SignInOverlayModel::Look)

// The sign-in overlay's rules: the address check, the code as kept, the step and buttons of each
// phase, and its actions against a real account model signing in to a fake backend.
class tst_SignInOverlayModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<FakeBackend> m_fake;
    std::unique_ptr<MemorySessionStorage> m_storage;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<MemorySystemLog> m_systemLog;
    std::unique_ptr<ErrorLog> m_log;

    std::unique_ptr<AccountModel> makeAccount(bool withProfile)
    {
        if (withProfile) {
            QJsonObject row{{"id", m_fake->userId.toString(QUuid::WithoutBraces)}, {"email", m_fake->userEmail},
                            {"marketing_opt_in", false}};
            m_fake->setUserTable(QStringLiteral("profiles"), [row](const QUuid &) { return QJsonArray{row}; });
        } else {
            m_fake->setUserTable(QStringLiteral("profiles"), [](const QUuid &) { return QJsonArray{}; });
        }
        AccountModel::Environment environment;
        environment.clock = m_clock.get();
        environment.errorLog = m_log.get();
        environment.sessionStorage = m_storage.get();
        environment.pause = [](std::chrono::milliseconds) -> QCoro::Task<> { co_return; };
        environment.networkUp = [] { return true; };
        return std::make_unique<AccountModel>(BackendConfiguration{m_fake->url(), FakeBackend::publishableKey},
                                              std::move(environment));
    }

    /// Waits until the account leaves the busy phases its actions pass through.
    static bool settles(SignInOverlayModel &model)
    {
        return QTest::qWaitFor([&model] { return !model.busy(); }, 5000);
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_fake = std::make_unique<FakeBackend>();
        m_storage = std::make_unique<MemorySessionStorage>();
        m_clock = std::make_unique<ManualClock>();
        m_systemLog = std::make_unique<MemorySystemLog>();
        m_log = std::make_unique<ErrorLog>(*m_systemLog);
    }

    void cleanup()
    {
        m_log.reset();
        m_fake.reset();
        m_home.reset();
    }

    void isEmailPlausible_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<bool>("plausible");
        QTest::newRow("plain") << "ada@example.com" << true;
        QTest::newRow("spaces and tabs around") << " \tada@example.com\t " << true;
        QTest::newRow("line break after") << "ada@example.com\n" << false;
        QTest::newRow("space inside") << "ada lovelace@example.com" << false;
        QTest::newRow("no-break space inside") << u"ada\u00A0l@example.com"_qs << false;
        QTest::newRow("at sign first") << "@example.com" << false;
        QTest::newRow("no at sign") << "ada.example.com" << false;
        QTest::newRow("no dot after the at sign") << "ada.l@example" << false;
        QTest::newRow("domain begins with a dot") << "ada@.example.com" << false;
        QTest::newRow("domain ends with a dot") << "ada@example.com." << false;
        QTest::newRow("second at sign accepted") << "ada@lab@example.com" << true;
        QTest::newRow("empty") << "" << false;
    }

    void isEmailPlausible()
    {
        QFETCH(QString, email);
        QFETCH(bool, plausible);
        QCOMPARE(SignInOverlayModel::isEmailPlausible(email), plausible);
    }

    void sanitizeCode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("digits") << "123456" << "123456";
        QTest::newRow("spaces and a hyphen") << "123 - 456" << "123456";
        QTest::newRow("ten pasted digits keep eight") << "1234567890" << "12345678";
        QTest::newRow("a ninth digit is dropped") << "123456789" << "12345678";
        QTest::newRow("letters dropped") << "12a3b" << "123";
        QTest::newRow("Arabic-Indic digits become ASCII") << u"\u0661\u0662\u0663\u0664\u0665\u0666"_qs << "123456";
        QTest::newRow("Devanagari and fullwidth digits") << u"\u0967\u0968\uFF13"_qs << "123";
        QTest::newRow("mathematical bold digits beyond the BMP") << u"\U0001D7CF\U0001D7D0"_qs << "12";
        // A fraction or a superscript has a numeric value but is no digit: it never counts.
        QTest::newRow("fraction and superscript dropped") << u"12345\u00BD\u00B2"_qs << "12345";
        QTest::newRow("roman numeral dropped") << u"1234\u2165"_qs << "1234";
        QTest::newRow("empty") << "" << "";
    }

    void sanitizeCode()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QCOMPARE(SignInOverlayModel::sanitizeCode(typed), kept);
    }

    void look_data()
    {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("plausible");
        QTest::addColumn<int>("codeLength");
        QTest::addColumn<SignInOverlayModel::Look>("expected");

        const QString keepGoing = QStringLiteral("Sign in to keep going");
        const QString checkEmail = QStringLiteral("Check your email");
        const QString cancel = QStringLiteral("Cancel");
        const auto email = [&](bool enabled) {
            return SignInOverlayModel::Look{Step::Email, keepGoing, cancel, Primary::Send, QStringLiteral("Send code"), enabled};
        };
        const auto code = [&](bool enabled) {
            return SignInOverlayModel::Look{Step::Code, checkEmail, cancel, Primary::Verify, QStringLiteral("Verify"), enabled};
        };
        QTest::newRow("signed out, plausible") << Phase::SignedOut << false << true << 0 << email(true);
        QTest::newRow("signed out, implausible") << Phase::SignedOut << false << false << 0 << email(false);
        QTest::newRow("sending") << Phase::SendingCode << true << true << 0 << email(false);
        QTest::newRow("code sent, five digits") << Phase::CodeSent << false << true << 5 << code(false);
        QTest::newRow("code sent, six digits") << Phase::CodeSent << false << true << 6 << code(true);
        QTest::newRow("verifying") << Phase::Verifying << true << true << 8 << code(false);
        QTest::newRow("profile pending")
            << Phase::ProfilePending << false << false << 0
            << SignInOverlayModel::Look{Step::Profile, QStringLiteral("Almost there"), cancel, Primary::Retry, QStringLiteral("Retry"), true};
        QTest::newRow("profile loading")
            << Phase::ProfilePending << true << false << 0
            << SignInOverlayModel::Look{Step::Profile, QStringLiteral("Almost there"), cancel, Primary::Retry, QStringLiteral("Retry"), false};
        QTest::newRow("signed in: only Close")
            << Phase::SignedIn << false << true << 6
            << SignInOverlayModel::Look{Step::SignedIn, QStringLiteral("Signed in"), QStringLiteral("Close"), Primary::None, QString(), false};
    }

    void look()
    {
        QFETCH(Phase, phase);
        QFETCH(bool, busy);
        QFETCH(bool, plausible);
        QFETCH(int, codeLength);
        QFETCH(SignInOverlayModel::Look, expected);
        const auto look = SignInOverlayModel::look(phase, busy, plausible, codeLength);
        QCOMPARE(look.heading, expected.heading);
        QCOMPARE(look.primaryLabel, expected.primaryLabel);
        QCOMPARE(look.primaryEnabled, expected.primaryEnabled);
        QVERIFY(look == expected);
    }

    // The code field keeps what the model keeps: typing past eight digits or typing a letter
    // tells the field to show the kept code again.
    void codeFieldShowsTheKeptCode()
    {
        SignInOverlayModel model;
        QSignalSpy changes(&model, &SignInOverlayModel::codeChanged);
        model.setCode(QStringLiteral("12345678"));
        model.setCode(QStringLiteral("123456789"));
        QCOMPARE(model.code(), QStringLiteral("12345678"));
        QCOMPARE(changes.count(), 2);
        model.setCode(QStringLiteral("12345678"));
        QCOMPARE(changes.count(), 2);
    }

    // A whole sign-in: sending needs a plausible address, a refused code empties the field for
    // the next one, and the right code reports the account signed in exactly once.
    void signsInThroughTheSteps()
    {
        auto account = makeAccount(true);
        SignInOverlayModel model;
        model.setAccount(account.get());
        model.setSuggestedEmail(m_fake->userEmail);
        QSignalSpy signedIn(&model, &SignInOverlayModel::signedIn);
        QSignalSpy focus(&model, &SignInOverlayModel::focusRequested);

        model.appear();
        QCOMPARE(model.email(), m_fake->userEmail);
        QCOMPARE(focus.takeFirst().at(0).value<SignInOverlayModel::Field>(), SignInOverlayModel::Field::Email);
        QCOMPARE(model.step(), Step::Email);
        QVERIFY(model.primaryEnabled());

        model.setMarketingOptIn(false);
        model.pressPrimary();
        QVERIFY(model.busy());
        QVERIFY(!model.primaryEnabled());
        QVERIFY(settles(model));
        QCOMPARE(model.step(), Step::Code);
        QCOMPARE(account->pendingOptIn(), std::optional<bool>(false));
        QCOMPARE(model.subheading(), QStringLiteral("We sent a code to ada@example.com. It expires in an hour."));
        QCOMPARE(focus.takeLast().at(0).value<SignInOverlayModel::Field>(), SignInOverlayModel::Field::Code);

        // Five digits: verify does nothing.
        model.setCode(QStringLiteral("65432"));
        model.verify();
        QVERIFY(!model.busy());
        model.setCode(QStringLiteral("654321"));
        model.verify();
        QVERIFY(settles(model));
        QTRY_COMPARE(model.code(), QString());
        QCOMPARE(model.step(), Step::Code);
        QVERIFY(!model.error().isEmpty());
        QCOMPARE(signedIn.count(), 0);

        model.setCode(FakeBackend::validCode);
        model.pressPrimary();
        QTRY_COMPARE(signedIn.count(), 1);
        QCOMPARE(model.step(), Step::SignedIn);
        QCOMPARE(model.cancelLabel(), QStringLiteral("Close"));
    }

    // "Send a new code" goes back to the address step with the typed address, the opt-in and the
    // account's error as they were; the sent code and the pending opt-in are forgotten.
    void returnToEmailKeepsWhatWasTyped()
    {
        auto account = makeAccount(true);
        SignInOverlayModel model;
        model.setAccount(account.get());
        model.setEmail(QStringLiteral("Ada@Example.com"));
        model.setMarketingOptIn(false);
        model.send();
        QVERIFY(settles(model));
        model.setCode(QStringLiteral("000000"));
        model.verify();
        QVERIFY(settles(model));
        const QString refused = model.error();
        QVERIFY(!refused.isEmpty());

        model.returnToEmail();
        QCOMPARE(model.step(), Step::Email);
        QCOMPARE(model.email(), QStringLiteral("Ada@Example.com"));
        QVERIFY(!model.marketingOptIn());
        QCOMPARE(model.error(), refused);
        QCOMPARE(account->codeSentAt(), std::optional<QDateTime>());
        QCOMPARE(account->pendingOptIn(), std::optional<bool>());
    }

    // A profile that cannot be read leaves the profile step; Retry reads it again and reports the
    // sign-in once it arrives. An account already signed in is reported as the overlay appears.
    void retriesTheProfile()
    {
        auto account = makeAccount(false);
        SignInOverlayModel model;
        model.setAccount(account.get());
        QSignalSpy signedIn(&model, &SignInOverlayModel::signedIn);
        model.setEmail(m_fake->userEmail);
        model.send();
        QVERIFY(settles(model));
        model.setCode(FakeBackend::validCode);
        model.verify();
        QTRY_COMPARE(model.step(), Step::Profile);
        QVERIFY(settles(model));
        QCOMPARE(model.primaryLabel(), QStringLiteral("Retry"));
        QCOMPARE(signedIn.count(), 0);

        QJsonObject row{{"id", m_fake->userId.toString(QUuid::WithoutBraces)}, {"email", m_fake->userEmail},
                        {"marketing_opt_in", false}};
        m_fake->setUserTable(QStringLiteral("profiles"), [row](const QUuid &) { return QJsonArray{row}; });
        model.pressPrimary();
        QTRY_COMPARE(signedIn.count(), 1);
        QCOMPARE(model.step(), Step::SignedIn);

        SignInOverlayModel reopened;
        reopened.setAccount(account.get());
        QSignalSpy again(&reopened, &SignInOverlayModel::signedIn);
        reopened.appear();
        QCOMPARE(again.count(), 1);
    }
};

QTEST_MAIN(tst_SignInOverlayModel)
#include "tst_SignInOverlayModel.moc"
