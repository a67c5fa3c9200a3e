// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/ReferenceSeconds.h"

#include <QTest>

#include <limits>

using ReferenceSeconds::Instant;

class tst_ReferenceSeconds : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip()
    {
        const QDateTime instant(QDate(2026, 3, 8), QTime(15, 30, 0, 250), Qt::UTC);
        QCOMPARE(ReferenceSeconds::from(ReferenceSeconds::origin()), 0.0);
        QCOMPARE(ReferenceSeconds::from(instant), 794676600.25);
        QCOMPARE(ReferenceSeconds::toDate(794676600.25, 1e11), std::optional<QDateTime>(instant));
        QCOMPARE(ReferenceSeconds::toDate(-1.0, 1e11), std::optional<QDateTime>(ReferenceSeconds::origin().addSecs(-1)));
        QCOMPARE(Instant(instant).seconds(), 794676600.25);
        QCOMPARE(Instant(instant).date(), instant);
    }

    void refused_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("furthest");

        QTest::newRow("beyond the limit") << 1e11 + 1 << 1e11;
        QTest::newRow("before the limit") << -1e11 - 1 << 1e11;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 1e300;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 1e300;
    }

    void refused()
    {
        QFETCH(double, seconds);
        QFETCH(double, furthest);
        QCOMPARE(ReferenceSeconds::toDate(seconds, furthest), std::nullopt);
        QVERIFY(!Instant::fromSeconds(seconds, furthest));
    }

    void anInstantKeepsTheNumberItWasGiven()
    {
        // Apart by less than a millisecond: the dates are one, the instants are not.
        const Instant earlier = *Instant::fromSeconds(700000000.0001, 1e11);
        const Instant later = *Instant::fromSeconds(700000000.0004, 1e11);
        QCOMPARE(earlier.date(), later.date());
        QVERIFY(earlier < later);
        QVERIFY(earlier != later);
        QCOMPARE(Instant::fromSeconds(790000000.1234567, 1e11)->seconds(), 790000000.1234567);
        QCOMPARE(later.date(), ReferenceSeconds::origin().addSecs(700000000));
    }
};

QTEST_GUILESS_MAIN(tst_ReferenceSeconds)
#include "tst_ReferenceSeconds.moc"
