// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/GlassTint.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

namespace {

// A tint is applied once the event that set it has been handled: hand the queued application
// its turn, without waiting for time to pass.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

} // namespace

class tst_GlassTint : public QObject
{
    Q_OBJECT

private slots:
    void firstTintAtOnceThenFades()
    {
        GlassTint tint;
        QSignalSpy colour(&tint, &GlassTint::colorChanged);
        tint.setTint(Qt::red);
        // Not before the current event has been handled.
        QCOMPARE(colour.count(), 0);
        settle();
        QCOMPARE(colour.count(), 1);
        QCOMPARE(tint.color(), QColor(Qt::red));
        QVERIFY(!tint.fades());

        tint.setTint(Qt::blue);
        settle();
        QCOMPARE(colour.count(), 2);
        QCOMPARE(tint.color(), QColor(Qt::blue));
        QVERIFY(tint.fades());
    }

    // A scheme change and the tint that comes with it arrive separately, in either order; the
    // tint still changes at once, and only once.
    void schemeChangeAppliesAtOnce_data()
    {
        QTest::addColumn<bool>("tintFirst");
        QTest::newRow("tint first") << true;
        QTest::newRow("scheme first") << false;
    }

    void schemeChangeAppliesAtOnce()
    {
        QFETCH(bool, tintFirst);
        GlassTint tint;
        QSignalSpy colour(&tint, &GlassTint::colorChanged);
        tint.setTint(Qt::white);
        settle();
        QCOMPARE(colour.count(), 1);
        if (tintFirst)
            tint.setTint(Qt::gray);
        tint.setScheme(KitPalette::Scheme::Dark);
        if (!tintFirst)
            tint.setTint(Qt::gray);
        settle();
        QCOMPARE(tint.color(), QColor(Qt::gray));
        QVERIFY(!tint.fades());
        settle();
        QCOMPARE(colour.count(), 2);
    }

    void sameTintChangesNothing()
    {
        GlassTint tint;
        QSignalSpy colour(&tint, &GlassTint::colorChanged);
        tint.setTint(Qt::red);
        settle();
        tint.setTint(Qt::blue);
        tint.setTint(Qt::red);
        settle();
        QCOMPARE(colour.count(), 1);
        QCOMPARE(tint.color(), QColor(Qt::red));
    }

    void absentTintIsTransparent()
    {
        GlassTint tint;
        QSignalSpy colour(&tint, &GlassTint::colorChanged);
        tint.setTint(Qt::red);
        settle();
        tint.setTint(QColor());
        settle();
        QCOMPARE(colour.count(), 2);
        QCOMPARE(tint.color(), QColor(Qt::transparent));
    }
};

QTEST_GUILESS_MAIN(tst_GlassTint)
#include "tst_GlassTint.moc"
