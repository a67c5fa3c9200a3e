// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/ShimmerField.h"
#include "kit/ShimmerTracker.h"
#include "support/ManualClock.h"

#include <QTest>

class tst_ShimmerField : public QObject
{
    Q_OBJECT

private slots:
    void energy_data()
    {
        QTest::addColumn<bool>("hasPoint");
        QTest::addColumn<double>("sinceMove");
        QTest::addColumn<double>("energy");
        QTest::newRow("no pointer seen") << false << 0.0 << 0.0;
        QTest::newRow("right after a move") << true << 0.0 << 1.0;
        QTest::newRow("0.2 s later") << true << 0.2 << 0.5625;
        QTest::newRow("0.4 s later") << true << 0.4 << 0.25;
        QTest::newRow("0.8 s later") << true << 0.8 << 0.0;
        QTest::newRow("long after") << true << 30.0 << 0.0;
        QTest::newRow("clock set back") << true << -5.0 << 1.0;
    }

    void energy()
    {
        QFETCH(bool, hasPoint);
        QFETCH(double, sinceMove);
        QFETCH(double, energy);
        const std::optional<QPointF> point = hasPoint ? std::optional(QPointF(10, 10)) : std::nullopt;
        QVERIFY(qAbs(ShimmerField::energy(point, 100.0, 100.0 + sinceMove) - energy) < 1e-12);
    }

    void hashStaysInRange()
    {
        for (int k = 1; k <= 7; ++k)
            for (const int n : {0, 1, 61, 1000, 1011}) {
                const double h = ShimmerField::hash(k, n);
                QVERIFY(h >= 0 && h < 1);
            }
        QCOMPARE(ShimmerField::hash(3, 17), ShimmerField::hash(3, 17));
        QVERIFY(ShimmerField::hash(3, 17) != ShimmerField::hash(4, 17));
    }

    // A frame depends only on the absolute time: no per-particle state.
    void framesArePureAndStayInside()
    {
        const QSizeF size(400, 300);
        const double t = 8.0e8;
        const auto frame = ShimmerField::particles(t, size, KitPalette::Scheme::Dark, std::nullopt, 0);
        QCOMPARE(frame, ShimmerField::particles(t, size, KitPalette::Scheme::Dark, std::nullopt, 0));
        QVERIFY(frame.size() <= 74);
        QVERIFY(!frame.isEmpty());
        for (const auto &shape : frame) {
            QVERIFY(shape.centre.x() >= 0 && shape.centre.x() < size.width());
            QVERIFY(shape.centre.y() >= 0 && shape.centre.y() < size.height());
            QVERIFY(shape.alpha > (shape.star ? 0.008 : 0.004));
        }
        // Light frames paint at the higher base brightness.
        const auto light = ShimmerField::particles(t, size, KitPalette::Scheme::Light, std::nullopt, 0);
        QVERIFY(light.size() >= frame.size());
    }

    // Right after a move the particles near the pointer brighten and grow; far ones do not change.
    void pointerLightsUpNearbyParticles()
    {
        const QSizeF size(400, 300);
        const double t = 8.0e8;
        const auto still = ShimmerField::particles(t, size, KitPalette::Scheme::Light, std::nullopt, 0);
        const QPointF pointer = still.first().centre;
        const auto touched = ShimmerField::particles(t, size, KitPalette::Scheme::Light, pointer, t);
        QVERIFY(touched.size() >= still.size());
        QCOMPARE(touched.first().centre.x() == still.first().centre.x()
                     && touched.first().centre.y() == still.first().centre.y(),
                 false);
        QVERIFY(touched.first().size > still.first().size);
        QVERIFY(touched.first().alpha > still.first().alpha);
        // The swirl is over once the energy is spent.
        QCOMPARE(ShimmerField::particles(t + 0.8, size, KitPalette::Scheme::Light, pointer, t),
                 ShimmerField::particles(t + 0.8, size, KitPalette::Scheme::Light, std::nullopt, 0));
    }

    void trackerFollowsTheClock()
    {
        ManualClock clock(QDateTime(QDate(2001, 1, 1), QTime(0, 1), Qt::UTC));
        ShimmerTracker tracker;
        tracker.setClock(&clock);
        QVERIFY(!tracker.point());
        tracker.moved(QPointF(3, 4));
        QCOMPARE(tracker.point(), std::optional(QPointF(3, 4)));
        QCOMPARE(tracker.lastMoved(), 60.0);
        clock.advance(1000);
        tracker.left();
        QCOMPARE(tracker.lastMoved(), 60.2);
        QCOMPARE(ShimmerField::energy(tracker.point(), tracker.lastMoved(), 61.0), 0.0);
    }

    void starOutline()
    {
        const QPainterPath star = ShimmerField::starPath(QPointF(10, 10), 7);
        QCOMPARE(star.boundingRect(), QRectF(6.5, 6.5, 7, 7));
        QVERIFY(star.contains(QPointF(10, 10)));
        QVERIFY(!star.contains(QPointF(12.5, 12.5)));
    }
};

QTEST_GUILESS_MAIN(tst_ShimmerField)
#include "tst_ShimmerField.moc"
