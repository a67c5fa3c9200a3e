// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/FadeThenCollapseState.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A state as QML makes it: its first value is taken at completion.
std::unique_ptr<FadeThenCollapseState> made(bool presented, bool reduceMotion = false)
{
    auto state = std::make_unique<FadeThenCollapseState>();
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
        const auto shown = made(true);
        QVERIFY(shown->mounted());
        QVERIFY(shown->opaque());
        QVERIFY(!shown->animated());
        const auto hidden = made(false);
        QVERIFY(!hidden->mounted());
        QVERIFY(!hidden->opaque());
    }

    void dismissalFadesThenCollapses()
    {
        const auto state = made(true);
        state->setPresented(false);
        QVERIFY(state->animated());
        QVERIFY(!state->opaque());
        // The content keeps its space while it fades.
        QVERIFY(state->mounted());
        QSignalSpy collapsed(state.get(), &FadeThenCollapseState::mountedChanged);
        QVERIFY(collapsed.wait(1000));
        QVERIFY(!state->mounted());
    }

    void presentationMountsAtOnce()
    {
        const auto state = made(false);
        state->setPresented(true);
        QVERIFY(state->animated());
        QVERIFY(state->mounted());
        QVERIFY(state->opaque());
    }

    // The removal of an earlier dismissal must not take away content that was shown again.
    void showingAgainKeepsContent()
    {
        const auto state = made(true);
        state->setFade(0.2);
        state->setPresented(false);
        state->setPresented(true);
        QSignalSpy changes(state.get(), &FadeThenCollapseState::mountedChanged);
        QVERIFY(!changes.wait(300));
        QVERIFY(state->mounted());
        QVERIFY(state->opaque());
    }

    void reduceMotionSwitchesAtOnce()
    {
        const auto state = made(true, true);
        state->setPresented(false);
        QVERIFY(!state->animated());
        QVERIFY(!state->mounted());
        QVERIFY(!state->opaque());
        state->setPresented(true);
        QVERIFY(state->mounted());
        QVERIFY(state->opaque());
    }
};

QTEST_GUILESS_MAIN(tst_FadeThenCollapseState)
#include "tst_FadeThenCollapseState.moc"
