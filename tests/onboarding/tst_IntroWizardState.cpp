// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/IntroWizardState.h"

#include <QSignalSpy>
#include <QTest>

using Step = IntroWizardState::Step;

// The introduction's steps for the state it starts in, and a walk through them with Back and
// Next to the end.
class tst_IntroWizardState : public QObject
{
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<QString>("claudeAuth");
        QTest::addColumn<int>("connections");
        QTest::addColumn<QList<Step>>("steps");
        const QList<Step> four{Step::SignIn, Step::Account, Step::AddProject, Step::UseInChat};
        const QList<Step> five = four + QList<Step>{Step::GetStarted};
        QTest::newRow("signed in with a connection") << "signedIn" << 1 << four;
        QTest::newRow("signed out with connections") << "signedOut" << 3 << five;
        QTest::newRow("unknown with a connection") << "unknown" << 1 << four;
        QTest::newRow("signed in without connections") << "signedIn" << 0 << five;
        QTest::newRow("signed out without connections") << "signedOut" << 0 << five;
        QTest::newRow("unknown without connections") << "unknown" << 0 << five;
    }

    // Forward through every step, "Done" on the last, and "Done" ends the showing there.
    void walk()
    {
        QFETCH(QString, claudeAuth);
        QFETCH(int, connections);
        QFETCH(QList<Step>, steps);
        IntroWizardState state;
        QSignalSpy finished(&state, &IntroWizardState::finished);
        state.begin(claudeAuth, connections);
        QCOMPARE(state.steps(), steps);
        const int count = int(steps.size());
        for (int i = 0; i < count; ++i) {
            QCOMPARE(state.step(), steps.at(i));
            QCOMPARE(state.progress(), QStringLiteral("%1 of %2").arg(i + 1).arg(count));
            QCOMPARE(state.canGoBack(), i >= 1);
            QCOMPARE(state.forwardLabel(), i + 1 == count ? QStringLiteral("Done") : QStringLiteral("Next"));
            QCOMPARE(finished.size(), 0);
            state.goNext();
        }
        QCOMPARE(finished.size(), 1);
        QCOMPARE(state.step(), steps.constLast());
        QCOMPARE(state.progress(), QStringLiteral("%1 of %1").arg(count));
    }

    // Back returns one step and stops at the first; a new showing starts at the first step with
    // the steps of the state it starts in.
    void backAndANewShowing()
    {
        IntroWizardState state;
        state.begin(QStringLiteral("signedIn"), 2);
        state.goBack();
        QCOMPARE(state.step(), Step::SignIn);
        state.goNext();
        state.goNext();
        QCOMPARE(state.title(), QStringLiteral("Add a Webflow project"));
        QCOMPARE(state.symbol(), QStringLiteral("plus.circle"));
        state.goBack();
        QCOMPARE(state.step(), Step::Account);
        QCOMPARE(state.title(), QStringLiteral("Your account"));
        QCOMPARE(state.progress(), QStringLiteral("2 of 4"));

        QSignalSpy moved(&state, &IntroWizardState::stepChanged);
        state.begin(QStringLiteral("signedOut"), 2);
        QVERIFY(moved.size() >= 1);
        QCOMPARE(state.step(), Step::SignIn);
        QCOMPARE(state.progress(), QStringLiteral("1 of 5"));
        QCOMPARE(state.title(), QStringLiteral("Sign in to Claude Code"));
        QVERIFY(!state.canGoBack());
    }
};

QTEST_GUILESS_MAIN(tst_IntroWizardState)
#include "tst_IntroWizardState.moc"
