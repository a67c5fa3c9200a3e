// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/ShimmerField.h"
#include "kit/ShimmerTracker.h"
#include "support/ManualClock.h"

#include <QTest>

namespace {

// Values worked out by hand from the field's rules (hash, drift, twinkle, swirl) for a 400 × 300
// field at 8e8 seconds since 2001, not read back from the code under test.
constexpr double frameTime = 8.0e8;
const QSizeF frameSize(400, 300);

bool near(double actual, double expected)
{
    return qAbs(actual - expected) < 1e-9;
}

} // namespace

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
        QVERIFY(near(ShimmerField::hash(1, 0), 0.70952450437835068));
        QVERIFY(near(ShimmerField::hash(3, 17), 0.0051323280349606648));
        QVERIFY(near(ShimmerField::hash(7, 1011), 0.92435452329664258));
    }

    // Dot 0 is too faint to draw at this moment, so the first shape is dot 1; the first star is
    // star 0 (particle 1000). The light scheme's higher base brightness lifts more shapes above
    // the thresholds.
    void knownFrame_data()
    {
        QTest::addColumn<KitPalette::Scheme>("scheme");
        QTest::addColumn<int>("dots");
        QTest::addColumn<int>("stars");
        QTest::addColumn<double>("dotAlpha");
        QTest::addColumn<double>("starAlpha");
        QTest::newRow("dark") << KitPalette::Scheme::Dark << 36 << 6 << 0.13462220491952323 << 0.1694434956291734;
        QTest::newRow("light") << KitPalette::Scheme::Light << 38 << 7 << 0.19797383076400477 << 0.24918161121937266;
    }

    void knownFrame()
    {
        QFETCH(KitPalette::Scheme, scheme);
        QFETCH(int, dots);
        QFETCH(int, stars);
        QFETCH(double, dotAlpha);
        QFETCH(double, starAlpha);
        const auto frame = ShimmerField::particles(frameTime, frameSize, scheme, std::nullopt, 0);
        QCOMPARE(frame.size(), dots + stars);
        for (int i = 0; i < frame.size(); ++i)
            QCOMPARE(frame.at(i).star, i >= dots);
        const ShimmerField::Particle dot = frame.first();
        QVERIFY(near(dot.centre.x(), 348.60466623306274));
        QVERIFY(near(dot.centre.y(), 71.10100424289703));
        QVERIFY(near(dot.size, 1.2260771952107803));
        QVERIFY(near(dot.alpha, dotAlpha));
        const ShimmerField::Particle star = frame.at(dots);
        QVERIFY(near(star.centre.x(), 251.98225820064545));
        QVERIFY(near(star.centre.y(), 128.8101682662964));
        QVERIFY(near(star.size, 5.595417022828487));
        QVERIFY(near(star.alpha, starAlpha));
    }

    // A frame depends only on the absolute time: no per-particle state.
    void framesArePureAndStayInside()
    {
        const QSizeF size = frameSize;
        const double t = frameTime;
        const auto frame = ShimmerField::particles(t, size, KitPalette::Scheme::Dark, std::nullopt, 0);
        QCOMPARE(frame, ShimmerField::particles(t, size, KitPalette::Scheme::Dark, std::nullopt, 0));
        QVERIFY(frame.size() <= 74);
        QVERIFY(!frame.isEmpty());
        for (const auto &shape : frame) {
            QVERIFY(shape.centre.x() >= 0 && shape.centre.x() < size.width());
            QVERIFY(shape.centre.y() >= 0 && shape.centre.y() < size.height());
            QVERIFY(shape.alpha > (shape.star ? 0.008 : 0.004));
        }
    }

    // Right after a move the particles near the pointer brighten and grow; far ones do not change.
    void pointerLightsUpNearbyParticles()
    {
        const QSizeF size = frameSize;
        const double t = frameTime;
        const auto still = ShimmerField::particles(t, size, KitPalette::Scheme::Light, std::nullopt, 0);
        const QPointF pointer = still.first().centre;
        const auto touched = ShimmerField::particles(t, size, KitPalette::Scheme::Light, pointer, t);
        QCOMPARE(touched.size(), 45);
        // Right under the pointer: influence 1, so it swirls off its course, grows by half and
        // brightens by 1.85.
        QVERIFY(near(touched.first().centre.x(), 349.25914286041586));
        QVERIFY(near(touched.first().centre.y(), 69.60662861174747));
        QVERIFY(near(touched.first().size, 1.8391157928161705));
        QVERIFY(near(touched.first().alpha, 0.3662515869134088));
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

    void framesRunOnlyWhileWanted_data()
    {
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("reduceMotion");
        QTest::addColumn<bool>("animating");
        QTest::newRow("shown") << true << false << false << true;
        QTest::newRow("hidden") << false << false << false << false;
        QTest::newRow("paused by its owner") << true << true << false << false;
        QTest::newRow("less motion asked for") << true << false << true << false;
        QTest::newRow("hidden and paused") << false << true << false << false;
    }

    void framesRunOnlyWhileWanted()
    {
        QFETCH(bool, visible);
        QFETCH(bool, paused);
        QFETCH(bool, reduceMotion);
        QFETCH(bool, animating);
        ShimmerField field;
        field.setVisible(visible);
        field.setPaused(paused);
        field.setReduceMotion(reduceMotion);
        QCOMPARE(field.animating(), animating);
        // Lifting every hold brings the frames back.
        field.setVisible(true);
        field.setPaused(false);
        field.setReduceMotion(false);
        QVERIFY(field.animating());
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
