// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/MorphingChevron.h"
#include "app/PanelLook.h"

#include <QPainterPath>
#include <QTest>

using Scheme = KitPalette::Scheme;

namespace {

QColor rgba(double red, double green, double blue, double alpha)
{
    return QColor::fromRgbF(float(red), float(green), float(blue), float(alpha));
}

QList<QPointF> points(const QPainterPath &path)
{
    QList<QPointF> result;
    for (int i = 0; i < path.elementCount(); ++i)
        result.append(path.elementAt(i));
    return result;
}

} // namespace

// The panel's colours in both schemes and the chevron of the view switch.
class tst_PanelLook : public QObject
{
    Q_OBJECT

private slots:
    void schemes_data()
    {
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<QColor>("accent");
        QTest::addColumn<QColor>("border");
        QTest::addColumn<QList<double>>("positions");
        QTest::addColumn<QList<double>>("opacities");
        QTest::newRow("dark") << Scheme::Dark << rgba(0.59, 0.48, 0.94, 1) << rgba(0, 0, 0, 0.72)
                              << QList<double>{0, 0.45, 0.78, 1} << QList<double>{0, 0, 0.11, 0.27};
        QTest::newRow("light") << Scheme::Light << rgba(0.41, 0.26, 0.84, 1) << rgba(0, 0, 0, 0.10)
                               << QList<double>{0, 0.26, 0.64, 1} << QList<double>{0, 0, 0.12, 0.29};
    }

    void schemes()
    {
        QFETCH(Scheme, scheme);
        QFETCH(QColor, accent);
        QFETCH(QColor, border);
        QFETCH(QList<double>, positions);
        QFETCH(QList<double>, opacities);
        QCOMPARE(PanelLook::accent(scheme), accent);
        QCOMPARE(PanelLook::border(scheme), border);
        const QList<PanelLook::Stop> stops = PanelLook::gradient(scheme);
        QCOMPARE(stops.size(), positions.size());
        for (qsizetype i = 0; i < stops.size(); ++i) {
            QCOMPARE(stops[i].position, positions[i]);
            // Every stop is the accent at its own opacity, so the fade never tints towards black.
            QCOMPARE(stops[i].color.rgb(), accent.rgb());
            QVERIFY(qAbs(stops[i].color.alphaF() - opacities[i]) < 0.001);
        }
        const QVariantList forViews = PanelLook::gradientStops(scheme);
        QCOMPARE(forViews.size(), stops.size());
        QCOMPARE(forViews.last().toMap().value(QStringLiteral("color")).value<QColor>(), stops.last().color);
    }

    void tabRows_data()
    {
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("hovering");
        QTest::addColumn<QColor>("color");
        QTest::newRow("dark, active under the pointer") << Scheme::Dark << true << true << rgba(0.85, 0.79, 1.0, 1);
        QTest::newRow("dark, active") << Scheme::Dark << true << false << rgba(0.59, 0.48, 0.94, 1);
        QTest::newRow("dark, under the pointer") << Scheme::Dark << false << true << rgba(1, 1, 1, 1);
        QTest::newRow("dark, at rest") << Scheme::Dark << false << false << rgba(1, 1, 1, 0.88 * 0.7);
        QTest::newRow("light, active under the pointer") << Scheme::Light << true << true << rgba(0.33, 0.18, 0.78, 1);
        QTest::newRow("light, active") << Scheme::Light << true << false << rgba(0.41, 0.26, 0.84, 1);
        QTest::newRow("light, under the pointer") << Scheme::Light << false << true << rgba(0, 0, 0, 0.95);
        QTest::newRow("light, at rest") << Scheme::Light << false << false << rgba(0, 0, 0, 0.75 * 0.7);
    }

    void tabRows()
    {
        QFETCH(Scheme, scheme);
        QFETCH(bool, active);
        QFETCH(bool, hovering);
        QFETCH(QColor, color);
        const QColor row = PanelLook::tabRow(scheme, active, hovering);
        QCOMPARE(row.rgb(), color.rgb());
        QVERIFY(qAbs(row.alphaF() - color.alphaF()) < 0.002);
    }

    void chevron_data()
    {
        QTest::addColumn<double>("bend");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QList<QPointF>>("expected");
        const QRectF frame(0, 0, 7.5, 4.5);
        QTest::newRow("down: top corners and the bottom middle")
            << 1.0 << frame << QList<QPointF>{{0, 0}, {3.75, 4.5}, {7.5, 0}};
        QTest::newRow("up: bottom corners and the top middle")
            << -1.0 << frame << QList<QPointF>{{0, 4.5}, {3.75, 0}, {7.5, 4.5}};
        QTest::newRow("flat halfway") << 0.0 << frame << QList<QPointF>{{0, 2.25}, {3.75, 2.25}, {7.5, 2.25}};
        QTest::newRow("half bent") << 0.5 << frame << QList<QPointF>{{0, 1.125}, {3.75, 3.375}, {7.5, 1.125}};
        QTest::newRow("overshoot leaves the frame")
            << 1.5 << frame << QList<QPointF>{{0, -1.125}, {3.75, 5.625}, {7.5, -1.125}};
        QTest::newRow("zero height is always flat")
            << 1.0 << QRectF(2, 3, 10, 0) << QList<QPointF>{{2, 3}, {7, 3}, {12, 3}};
        QTest::newRow("an offset frame") << 1.0 << QRectF(10, 20, 8, 4) << QList<QPointF>{{10, 20}, {14, 24}, {18, 20}};
    }

    void chevron()
    {
        QFETCH(double, bend);
        QFETCH(QRectF, rect);
        QFETCH(QList<QPointF>, expected);
        const QPainterPath path = MorphingChevron::path(bend, rect);
        QCOMPARE(points(path), expected);
        // Open: two strokes, no closing segment back to the start.
        QCOMPARE(path.elementAt(2).type, QPainterPath::LineToElement);
        QCOMPARE(path.elementCount(), 3);
    }
};

QTEST_GUILESS_MAIN(tst_PanelLook)
#include "tst_PanelLook.moc"
