// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/FadeThenCollapseState.h"
#include "support/ManualDelay.h"

#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {

// A state as QML makes it: its first value is taken at completion.
std::unique_ptr<FadeThenCollapseState> made(ManualDelay &time, bool presented, bool reduceMotion = false)
{
    auto state = std::make_unique<FadeThenCollapseState>();
    state->setDelay(time.delay());
    state->classBegin();
    state->setPresented(presented);
    state->setReduceMotion(reduceMotion);
    state->componentComplete();
    return state;
}

} // namespace

class tst_FadeThenCollapseState : public QObject
{
    Q_OBJECT

private slots:
    void initialValueWithoutAnimation()
    {
        ManualDelay time;
        const auto shown = made(time, true);
        QVERIFY(shown->mounted());
        QVERIFY(shown->opaque());
        QVERIFY(!shown->animated());
        const auto hidden = made(time, false);
        QVERIFY(!hidden->mounted());
        QVERIFY(!hidden->opaque());
    }

    // The content keeps its space while it fades, and leaves the view tree only when the fade is
    // over: removed sooner, it would vanish while still partly opaque.
    void dismissalFadesThenCollapses_data()
    {
        QTest::addColumn<qreal>("fade");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("default") << 0.24 << 240;
        QTest::newRow("slow") << 0.5 << 500;
    }

    void dismissalFadesThenCollapses()
    {
        QFETCH(qreal, fade);
        QFETCH(int, milliseconds);
        const std::chrono::milliseconds fadeTime(milliseconds);
        ManualDelay time;
        const auto state = made(time, true);
        state->setFade(fade);
        state->setPresented(false);
        QVERIFY(state->animated());
        QVERIFY(!state->opaque());
        QVERIFY(state->mounted());
        QSignalSpy collapsed(state.get(), &FadeThenCollapseState::mountedChanged);
        time.advance(fadeTime - 1ms);
        QVERIFY(state->mounted());
        time.advance(1ms);
        QVERIFY(!state->mounted());
        QCOMPARE(collapsed.count(), 1);
    }

    void presentationMountsAtOnce()
    {
        ManualDelay time;
        const auto state = made(time, false);
        state->setPresented(true);
        QVERIFY(state->animated());
        QVERIFY(state->mounted());
        QVERIFY(state->opaque());
        QCOMPARE(time.pending(), 0);
    }

    // The removal of an earlier dismissal must not take away content that was shown again.
    void showingAgainKeepsContent()
    {
        ManualDelay time;
        const auto state = made(time, true);
        state->setFade(0.2);
        state->setPresented(false);
        state->setPresented(true);
        QSignalSpy changes(state.get(), &FadeThenCollapseState::mountedChanged);
        time.advance(10s);
        QCOMPARE(changes.count(), 0);
        QVERIFY(state->mounted());
        QVERIFY(state->opaque());
    }

    // Of two dismissals, only the latest one's wait removes the content.
    void laterDismissalRestartsTheWait()
    {
        ManualDelay time;
        const auto state = made(time, true);
        state->setPresented(false);
        time.advance(200ms);
        state->setPresented(true);
        state->setPresented(false);
        time.advance(100ms);
        QVERIFY(state->mounted());
        time.advance(140ms);
        QVERIFY(!state->mounted());
    }

    void reduceMotionSwitchesAtOnce()
    {
        ManualDelay time;
        const auto state = made(time, true, true);
        state->setPresented(false);
        QVERIFY(!state->animated());
        QVERIFY(!state->mounted());
        QVERIFY(!state->opaque());
        state->setPresented(true);
        QVERIFY(state->mounted());
        QVERIFY(state->opaque());
        QCOMPARE(time.pending(), 0);
    }

    // A state that goes while its removal is pending is not touched when the wait ends.
    void pendingRemovalOutlivesTheState()
    {
        ManualDelay time;
        auto state = made(time, true);
        state->setPresented(false);
        QCOMPARE(time.pending(), 1);
        state.reset();
        time.advance(1s);
        QCOMPARE(time.pending(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_FadeThenCollapseState)
#include "tst_FadeThenCollapseState.moc"
