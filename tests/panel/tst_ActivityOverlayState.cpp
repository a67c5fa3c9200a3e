// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/ActivityOverlayState.h"
#include "panel/PanelServices.h"
#include "support/ManualClock.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)

using Outcome = ActivitySheet::Outcome;
using Variant = DialogStyle::ButtonVariant;
using Action = ActivityOverlayState::FirstAction;
using Icon = ActivityOverlayState::StatusIcon;

Q_DECLARE_METATYPE(ActivityOverlayState::Look)

namespace {

const QString note = QStringLiteral("Approve the connection in your browser.");

ActivityOverlayState::Look running(const QString &explanation, const QString &first, Variant variant, Action action,
                                   bool retry)
{
    return {Icon::Spinner, QStringLiteral("In progress"), true, explanation, first, variant, action, true, false, retry, false};
}

ActivityOverlayState::Look ended(Icon icon, const QString &status, const QString &first, Variant variant, bool report)
{
    return {icon, status, false, QString(), first, variant, Action::Close, false, true, false, report};
}

} // namespace

// What the activity overlay shows, by outcome, by the time since the activity started and by the
// actions its presenter offers.
class tst_ActivityOverlayState : public QObject
{
    Q_OBJECT

private slots:
    void look_data()
    {
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<double>("elapsed");
        QTest::addColumn<bool>("canCancel");
        QTest::addColumn<bool>("canRetry");
        QTest::addColumn<bool>("canReport");
        QTest::addColumn<ActivityOverlayState::Look>("expected");

        const auto cancelAndClose = [](const QString &explanation) {
            return running(explanation, QStringLiteral("Cancel and Close"), Variant::Secondary, Action::Close, false);
        };
        const auto cancelRun = [](const QString &explanation, bool retry) {
            return running(explanation, QStringLiteral("Cancel run"), Variant::Destructive, Action::CancelRun, retry);
        };
        const QString hint = ActivityOverlayState::browserHint;

        QTest::newRow("just started") << Outcome::running << 0.0 << true << true << false << cancelAndClose(note);
        QTest::newRow("3.9 s: only cancel and close") << Outcome::running << 3.9 << true << true << true << cancelAndClose(note);
        QTest::newRow("4.0 s: cancel run and retry") << Outcome::running << 4.0 << true << true << false << cancelRun(note, true);
        QTest::newRow("4.0 s, no retry offered") << Outcome::running << 4.0 << true << false << false << cancelRun(note, false);
        QTest::newRow("4.0 s, no cancel offered: retry beside cancel and close")
            << Outcome::running << 4.0 << false << true << false
            << running(note, QStringLiteral("Cancel and Close"), Variant::Secondary, Action::Close, true);
        QTest::newRow("an hour without cancel keeps cancel and close")
            << Outcome::running << 3600.0 << false << false << false << cancelAndClose(note);
        QTest::newRow("24.9 s: still the note") << Outcome::running << 24.9 << true << true << false << cancelRun(note, true);
        QTest::newRow("25 s with retry: the browser hint") << Outcome::running << 25.0 << true << true << false << cancelRun(hint, true);
        QTest::newRow("25 s without retry: never the hint") << Outcome::running << 600.0 << true << false << false << cancelRun(note, false);
        QTest::newRow("start ahead of now: nothing timed shows")
            << Outcome::running << -30.0 << true << true << true << cancelAndClose(note);

        QTest::newRow("success") << Outcome::success << 30.0 << true << true << true
                                 << ended(Icon::Success, QStringLiteral("Finished"), QStringLiteral("Done"), Variant::Primary, false);
        QTest::newRow("warning never reports")
            << Outcome::warning << 1.0 << false << false << true
            << ended(Icon::Warning, QStringLiteral("Finished with a warning"), QStringLiteral("Done"), Variant::Primary, false);
        QTest::newRow("failure with report: close steps back")
            << Outcome::failure << 30.0 << true << true << true
            << ended(Icon::Failure, QStringLiteral("Failed"), QStringLiteral("Close"), Variant::Secondary, true);
        QTest::newRow("failure without report")
            << Outcome::failure << 30.0 << true << true << false
            << ended(Icon::Failure, QStringLiteral("Failed"), QStringLiteral("Close"), Variant::Primary, false);
    }

    void look()
    {
        QFETCH(Outcome, outcome);
        QFETCH(double, elapsed);
        QFETCH(bool, canCancel);
        QFETCH(bool, canRetry);
        QFETCH(bool, canReport);
        QFETCH(ActivityOverlayState::Look, expected);
        const auto look = ActivityOverlayState::look(outcome, elapsed, note, canCancel, canRetry, canReport);
        QCOMPARE(look.firstLabel, expected.firstLabel);
        QCOMPARE(look.explanation, expected.explanation);
        QCOMPARE(look.showsRetry, expected.showsRetry);
        QCOMPARE(look.showsReport, expected.showsReport);
        QCOMPARE(look.statusText, expected.statusText);
        QVERIFY(look == expected);
    }

    // The state made by an engine reads that engine's clock each time it is asked, so a tick
    // after the fourth second shows the actions without any other change.
    void readsTheEnginesClock()
    {
        ManualClock clock;
        QQmlEngine engine;
        new PanelServices(engine, clock);
        QQmlComponent component(&engine);
        component.setData("import Quorvane.Panel\nActivityOverlayState {}\n", QUrl());
        std::unique_ptr<QObject> object(component.create());
        auto *state = qobject_cast<ActivityOverlayState *>(object.get());
        QVERIFY2(state, qPrintable(component.errorString()));
        state->setStartedAt(clock.now());
        state->setCanCancel(true);
        state->setCanRetry(true);
        QCOMPARE(state->firstLabel(), QStringLiteral("Cancel and Close"));

        QSignalSpy changes(state, &ActivityOverlayState::inputsChanged);
        clock.advance(3900);
        state->setTick(1);
        QCOMPARE(state->firstLabel(), QStringLiteral("Cancel and Close"));
        QVERIFY(!state->showsRetry());
        clock.advance(100);
        state->setTick(2);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(state->firstLabel(), QStringLiteral("Cancel run"));
        QVERIFY(state->showsRetry());

        // The outcome turning ends the timed parts and moves the first button to Return.
        state->setOutcome(int(Outcome::failure));
        QVERIFY(!state->showsRetry());
        QVERIFY(!state->showsExplanation());
        QVERIFY(state->firstAnswersReturn());
        QVERIFY(!state->firstAnswersEscape());
    }

    // The overlay follows the log's end when its length changes, never on the first showing and
    // not when a text of the same length replaces it.
    void followsTheLogByLength_data()
    {
        QTest::addColumn<QStringList>("logs");
        QTest::addColumn<int>("follows");
        QTest::newRow("first showing") << QStringList{QStringLiteral("✓ started")} << 0;
        QTest::newRow("append") << QStringList{QStringLiteral("a"), QStringLiteral("a\nb")} << 1;
        QTest::newRow("same length replaced") << QStringList{QStringLiteral("ab"), QStringLiteral("cd")} << 0;
        QTest::newRow("shortened") << QStringList{QStringLiteral("abc"), QStringLiteral("c")} << 1;
        QTest::newRow("empty then first text") << QStringList{QString(), QStringLiteral("x")} << 1;
    }

    void followsTheLogByLength()
    {
        QFETCH(QStringList, logs);
        QFETCH(int, follows);
        ActivityOverlayState state;
        QSignalSpy spy(&state, &ActivityOverlayState::logLengthChanged);
        for (const QString &log : logs)
            state.setLog(log);
        QCOMPARE(spy.count(), follows);
    }
};

QTEST_MAIN(tst_ActivityOverlayState)
#include "tst_ActivityOverlayState.moc"
