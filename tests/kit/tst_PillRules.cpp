// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/GlassRim.h"
#include "kit/Pill.h"

#include "ColorCompare.h"

#include <QTest>

using Scheme = KitPalette::Scheme;
using Variant = Pill::Variant;

namespace {

QColor grey(qreal white, qreal alpha)
{
    return KitPalette::grey(white, alpha);
}

QColor rgb(qreal r, qreal g, qreal b, qreal a)
{
    return KitPalette::rgb(r, g, b, a);
}

} // namespace

class tst_PillRules : public QObject
{
    Q_OBJECT

private slots:
    void labelTextColor_data()
    {
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<QColor>("expected");
        for (const Scheme scheme : {Scheme::Light, Scheme::Dark})
            for (const bool hovered : {false, true})
                QTest::addRow("prominent %d %d", int(scheme), hovered) << Variant::Prominent << hovered << scheme << QColor(Qt::white);
        QTest::newRow("danger hovered light") << Variant::Danger << true << Scheme::Light << QColor(Qt::white);
        QTest::newRow("danger hovered dark") << Variant::Danger << true << Scheme::Dark << QColor(Qt::white);
        QTest::newRow("danger dark") << Variant::Danger << false << Scheme::Dark << grey(1, 0.92);
        QTest::newRow("danger light") << Variant::Danger << false << Scheme::Light << grey(0, 0.75);
        QTest::newRow("light dark") << Variant::Light << false << Scheme::Dark << grey(1, 0.88);
        QTest::newRow("light dark hovered") << Variant::Light << true << Scheme::Dark << grey(1, 0.88);
        QTest::newRow("light light") << Variant::Light << false << Scheme::Light << grey(0, 0.75);
        QTest::newRow("light light hovered") << Variant::Light << true << Scheme::Light << grey(0, 0.75);
    }

    void labelTextColor()
    {
        QFETCH(Variant, variant);
        QFETCH(bool, hovered);
        QFETCH(Scheme, scheme);
        QFETCH(QColor, expected);
        COMPARE_COLORS(Pill::labelTextColor(variant, hovered, scheme), expected);
    }

    void labelTint_data()
    {
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<bool>("lifted");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("danger hovered light") << Variant::Danger << false << true << Scheme::Light << KitPalette::systemRed(Scheme::Light);
        QTest::newRow("danger hovered dark") << Variant::Danger << false << true << Scheme::Dark << KitPalette::systemRed(Scheme::Dark);
        QTest::newRow("danger dark") << Variant::Danger << false << false << Scheme::Dark << rgb(1.0, 0.42, 0.36, 0.55);
        QTest::newRow("danger light") << Variant::Danger << false << false << Scheme::Light
                                      << KitPalette::faded(KitPalette::systemRed(Scheme::Light), 0.62);
        QTest::newRow("prominent hovered light") << Variant::Prominent << false << true << Scheme::Light << rgb(0.24, 0.08, 0.70, 1);
        QTest::newRow("prominent hovered dark") << Variant::Prominent << false << true << Scheme::Dark << rgb(0.24, 0.08, 0.70, 1);
        QTest::newRow("prominent dark") << Variant::Prominent << false << false << Scheme::Dark << rgb(0.59, 0.48, 0.94, 0.88);
        QTest::newRow("prominent light") << Variant::Prominent << false << false << Scheme::Light << rgb(0.41, 0.26, 0.84, 0.88);
        QTest::newRow("lifted hovered light") << Variant::Light << true << true << Scheme::Light << grey(0.94, 1.0);
        QTest::newRow("lifted hovered dark") << Variant::Light << true << true << Scheme::Dark << grey(1.0, 0.10);
        QTest::newRow("lifted resting light") << Variant::Light << true << false << Scheme::Light << grey(0.0, 0.07);
        QTest::newRow("lifted resting dark") << Variant::Light << true << false << Scheme::Dark << grey(1.0, 0.10);
        QTest::newRow("light hovered light") << Variant::Light << false << true << Scheme::Light << grey(1.0, 1.0);
        QTest::newRow("light hovered dark") << Variant::Light << false << true << Scheme::Dark << grey(1.0, 0.10);
        QTest::newRow("light dark") << Variant::Light << false << false << Scheme::Dark << grey(1.0, 0.10);
        QTest::newRow("light light") << Variant::Light << false << false << Scheme::Light << grey(1.0, 0.32);
        // The lifted flag belongs to the light look only.
        QTest::newRow("lifted prominent") << Variant::Prominent << true << false << Scheme::Light << rgb(0.41, 0.26, 0.84, 0.88);
    }

    void labelTint()
    {
        QFETCH(Variant, variant);
        QFETCH(bool, lifted);
        QFETCH(bool, hovered);
        QFETCH(Scheme, scheme);
        QFETCH(QColor, expected);
        COMPARE_COLORS(Pill::labelTint(variant, lifted, hovered, scheme), expected);
    }

    void circleIcon_data()
    {
        QTest::addColumn<bool>("hovering");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<QColor>("glyph");
        QTest::addColumn<QColor>("tint");
        QTest::addColumn<qreal>("glassOpacity");
        QTest::addColumn<qreal>("rim");
        for (const Scheme s : {Scheme::Light, Scheme::Dark}) {
            const QByteArray name = s == Scheme::Dark ? "dark" : "light";
            const QColor red = KitPalette::faded(KitPalette::systemRed(s), 0.78);
            const QColor resting = s == Scheme::Dark ? grey(1, 0.10) : grey(1, 0.32);
            const QColor hover = s == Scheme::Dark ? grey(1, 0.10) : grey(1, 1.0);
            QTest::newRow(name + " destructive") << true << false << true << s << QColor(Qt::white) << red << 1.0 << 1.0;
            QTest::newRow(name + " destructive quiet, not hovered")
                << true << true << false << s << QColor(Qt::white) << red << 0.0 << 0.0;
            QTest::newRow(name + " resting") << false << false << false << s << KitPalette::ink(s) << resting << 1.0 << 1.0;
            QTest::newRow(name + " hovered") << false << false << true << s << KitPalette::ink(s) << hover << 1.0 << 1.0;
            QTest::newRow(name + " quiet") << false << true << false << s << KitPalette::faded(KitPalette::ink(s), 0.55) << resting
                                           << 0.0 << 0.0;
            QTest::newRow(name + " quiet hovered") << false << true << true << s << KitPalette::ink(s) << hover << 1.0 << 1.0;
        }
    }

    void circleIcon()
    {
        QFETCH(bool, hovering);
        QFETCH(bool, quiet);
        QFETCH(bool, hovered);
        QFETCH(Scheme, scheme);
        QFETCH(QColor, glyph);
        QFETCH(QColor, tint);
        QFETCH(qreal, glassOpacity);
        QFETCH(qreal, rim);
        COMPARE_COLORS(Pill::circleIconColor(hovering, quiet, hovered, scheme), glyph);
        COMPARE_COLORS(Pill::circleIconTint(hovering, hovered, scheme), tint);
        QCOMPARE(Pill::circleBackdropOpacity(quiet, hovered), glassOpacity);
        QCOMPARE(Pill::circleRimIntensity(quiet, hovered), rim);
    }

    void quietGlyphs()
    {
        QCOMPARE(Pill::circleIconColor(false, true, false, Scheme::Light).alphaF(), 0.4125f);
        QCOMPARE(qRound(Pill::circleIconColor(false, true, false, Scheme::Dark).alphaF() * 1000), 484);
    }

    void hoverOverlay()
    {
        COMPARE_COLORS(Pill::hoverOverlay(true, Scheme::Dark), grey(1, 0.16));
        QCOMPARE(Pill::hoverOverlay(true, Scheme::Light).alphaF(), 0.0f);
        QCOMPARE(Pill::hoverOverlay(false, Scheme::Dark).alphaF(), 0.0f);
    }

    void rimStops_data()
    {
        QTest::addColumn<qreal>("intensity");
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<QList<qreal>>("opacities");
        QTest::newRow("full light") << 1.0 << Scheme::Light << QList<qreal>{0.55, 0.14, 0.06};
        QTest::newRow("full dark") << 1.0 << Scheme::Dark << QList<qreal>{0.22, 0.056, 0.024};
        QTest::newRow("half light") << 0.5 << Scheme::Light << QList<qreal>{0.275, 0.07, 0.03};
        QTest::newRow("half dark") << 0.5 << Scheme::Dark << QList<qreal>{0.11, 0.028, 0.012};
        QTest::newRow("none") << 0.0 << Scheme::Light << QList<qreal>{0, 0, 0};
    }

    void rimStops()
    {
        QFETCH(qreal, intensity);
        QFETCH(Scheme, scheme);
        QFETCH(QList<qreal>, opacities);
        const QGradientStops stops = GlassRim::stops(intensity, scheme);
        QCOMPARE(stops.size(), 3);
        const QList<qreal> locations{0.0, 0.4, 1.0};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(stops.at(i).first, locations.at(i));
            COMPARE_COLORS(stops.at(i).second, grey(1.0, opacities.at(i)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_PillRules)
#include "tst_PillRules.moc"
