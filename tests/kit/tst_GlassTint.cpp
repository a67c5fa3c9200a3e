// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/GlassTint.h"

#include <QSignalSpy>
#include <QTest>

class tst_GlassTint : public QObject
{
    Q_OBJECT

private slots:
    void firstTintAtOnceThenFades()
    {
        GlassTint tint;
        QSignalSpy colour(&tint, &GlassTint::colorChanged);
        tint.setTint(Qt::red);
        QVERIFY(colour.wait());
        QCOMPARE(tint.color(), QColor(Qt::red));
        QVERIFY(!tint.fades());

        tint.setTint(Qt::blue);
        QVERIFY(colour.wait());
        QCOMPARE(tint.color(), QColor(Qt::blue));
        QVERIFY(tint.fades());
    }

    // A scheme change and the tint that comes with it arrive separately, in either order; the
    // tint still changes at once.
    void schemeChangeAppliesAtOnce()
    {
        for (const bool tintFirst : {true, false}) {
            GlassTint tint;
            QSignalSpy colour(&tint, &GlassTint::colorChanged);
            tint.setTint(Qt::white);
            QVERIFY(colour.wait());
            if (tintFirst)
                tint.setTint(Qt::gray);
            tint.setScheme(KitPalette::Scheme::Dark);
            if (!tintFirst)
                tint.setTint(Qt::gray);
            QVERIFY(colour.wait());
            QCOMPARE(tint.color(), QColor(Qt::gray));
            QVERIFY(!tint.fades());
            QTest::qWait(20);
            QCOMPARE(colour.count(), 2);
        }
    }

    void sameTintChangesNothing()
    {
        GlassTint tint;
        QSignalSpy colour(&tint, &GlassTint::colorChanged);
        tint.setTint(Qt::red);
        QVERIFY(colour.wait());
        tint.setTint(Qt::blue);
        tint.setTint(Qt::red);
        QVERIFY(!colour.wait(50));
        QCOMPARE(colour.count(), 1);
    }

    void absentTintIsTransparent()
    {
        GlassTint tint;
        QSignalSpy colour(&tint, &GlassTint::colorChanged);
        tint.setTint(Qt::red);
        QVERIFY(colour.wait());
        tint.setTint(QColor());
        QVERIFY(colour.wait());
        QCOMPARE(tint.color(), QColor(Qt::transparent));
    }
};

QTEST_GUILESS_MAIN(tst_GlassTint)
#include "tst_GlassTint.moc"
