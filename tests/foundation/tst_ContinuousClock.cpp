// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/ContinuousClock.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <time.h>

using namespace std::chrono_literals;

namespace {

std::chrono::milliseconds bootTime()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return std::chrono::milliseconds(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

} // namespace

class tst_ContinuousClock : public QObject
{
    Q_OBJECT

private slots:
    void waitsAtLeastItsTimeOnTheBootClock_data()
    {
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -5;
        QTest::newRow("short") << 30;
    }

    void waitsAtLeastItsTimeOnTheBootClock()
    {
        QFETCH(int, milliseconds);
        const auto start = bootTime();
        QCoro::waitFor(ContinuousClock::sleepFor(std::chrono::milliseconds(milliseconds)));
        QVERIFY(bootTime() - start >= std::chrono::milliseconds(std::max(0, milliseconds)));
    }

    void theEventLoopRunsDuringTheWait()
    {
        bool ticked = false;
        QTimer::singleShot(0, this, [&] { ticked = true; });
        QCoro::waitFor(ContinuousClock::delay()(20ms));
        QVERIFY(ticked);
    }
};

QTEST_GUILESS_MAIN(tst_ContinuousClock)
#include "tst_ContinuousClock.moc"
