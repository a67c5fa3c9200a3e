// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/DialogStyle.h"
#include "kit/SmallCardStyle.h"

#include "ColorCompare.h"

#include <QTest>

#include <cmath>

using Scheme = KitPalette::Scheme;
using Tone = SmallCardStyle::Tone;
using Emphasis = SmallCardStyle::Emphasis;

namespace {

// The current row's value of a column, where a declaration would not fit.
template<typename T>
T fetched(const char *column)
{
    return *static_cast<T *>(QTest::qData(column, qMetaTypeId<T>()));
}

} // namespace

class tst_CardAndDialogRules : public QObject
{
    Q_OBJECT

private slots:
    void cardColours_data()
    {
        QTest::addColumn<Tone>("tone");
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<QColor>("icon");
        QTest::addColumn<QColor>("tint");
        for (const Scheme s : {Scheme::Light, Scheme::Dark}) {
            const QByteArray name = s == Scheme::Dark ? "dark " : "light ";
            const QColor orange = KitPalette::systemOrange(s);
            QTest::newRow(name + "neutral") << Tone::Neutral << s << KitPalette::ink(s) << QColor(Qt::transparent);
            QTest::newRow(name + "brand") << Tone::Brand << s << KitPalette::brand(s) << KitPalette::faded(KitPalette::brand(s), 0.1);
            QTest::newRow(name + "warning") << Tone::Warning << s << orange << KitPalette::faded(orange, 0.1);
        }
    }

    void cardColours()
    {
        QFETCH(Tone, tone);
        QFETCH(Scheme, scheme);
        QFETCH(QColor, icon);
        QFETCH(QColor, tint);
        COMPARE_COLORS(SmallCardStyle::iconColor(false, Emphasis::Standard, tone, scheme), icon);
        COMPARE_COLORS(SmallCardStyle::tintFill(tone, scheme), tint);
        // A feature card draws its icon in the secondary label colour, a prominent icon is always brand.
        COMPARE_COLORS(SmallCardStyle::iconColor(false, Emphasis::Feature, tone, scheme), KitPalette::secondaryLabel(scheme));
        COMPARE_COLORS(SmallCardStyle::iconColor(true, Emphasis::Feature, tone, scheme), KitPalette::brand(scheme));
        COMPARE_COLORS(SmallCardStyle::iconColor(true, Emphasis::Standard, tone, scheme), KitPalette::brand(scheme));
    }

    void brandColours()
    {
        COMPARE_COLORS(KitPalette::brand(Scheme::Light), KitPalette::rgb(0.41, 0.26, 0.84));
        COMPARE_COLORS(KitPalette::brand(Scheme::Dark), KitPalette::rgb(0.59, 0.48, 0.94));
        COMPARE_COLORS(SmallCardStyle::hoverWash(Scheme::Light), KitPalette::grey(0, 0.0375));
        COMPARE_COLORS(SmallCardStyle::hoverWash(Scheme::Dark), KitPalette::grey(1, 0.044));
        COMPARE_COLORS(KitPalette::mutedIcon(Scheme::Light), KitPalette::grey(0, 0.2625));
        COMPARE_COLORS(KitPalette::mutedIcon(Scheme::Dark), KitPalette::grey(1, 0.35));
    }

    void cardProportions_data()
    {
        QTest::addColumn<Emphasis>("emphasis");
        QTest::addColumn<bool>("hasDetail");
        QTest::addColumn<qreal>("iconSize");
        QTest::addColumn<qreal>("iconOffset");
        QTest::addColumn<bool>("alignsTop");
        QTest::addColumn<qreal>("heading");
        QTest::addColumn<qreal>("footerInset");
        QTest::newRow("standard") << Emphasis::Standard << false << 13.75 << 0.0 << false << 11.0 << 21.75;
        QTest::newRow("standard with detail") << Emphasis::Standard << true << 13.75 << 1.0 << true << 11.0 << 21.75;
        QTest::newRow("feature") << Emphasis::Feature << false << 18.0 << 0.0 << false << 12.0 << 26.0;
        QTest::newRow("feature with detail") << Emphasis::Feature << true << 18.0 << 0.0 << false << 12.0 << 26.0;
    }

    void cardProportions()
    {
        QFETCH(Emphasis, emphasis);
        QFETCH(bool, hasDetail);
        QCOMPARE(SmallCardStyle::iconSize(emphasis), fetched<qreal>("iconSize"));
        QCOMPARE(SmallCardStyle::iconOffset(hasDetail, emphasis), fetched<qreal>("iconOffset"));
        QCOMPARE(SmallCardStyle::alignsTop(hasDetail, emphasis), fetched<bool>("alignsTop"));
        QCOMPARE(SmallCardStyle::headingSize(emphasis), fetched<qreal>("heading"));
        QCOMPARE(SmallCardStyle::footerInset(emphasis), fetched<qreal>("footerInset"));
    }

    void trailing()
    {
        QCOMPARE(SmallCardStyle::trailingInset(true, true), 28.0);
        QCOMPARE(SmallCardStyle::trailingInset(true, false), 28.0);
        QCOMPARE(SmallCardStyle::trailingInset(false, true), 0.0);
        QCOMPARE(SmallCardStyle::trailingInset(false, false), 12.0);
        QCOMPARE(SmallCardStyle::spacerMinimum(true), 14.0);
        QCOMPARE(SmallCardStyle::spacerMinimum(false), 0.0);
    }

    void cardLink_data()
    {
        QTest::addColumn<Tone>("tone");
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("base");
        for (const Scheme s : {Scheme::Light, Scheme::Dark}) {
            const QByteArray name = s == Scheme::Dark ? "dark " : "light ";
            QTest::newRow(name + "neutral") << Tone::Neutral << s << KitPalette::ink(s) << KitPalette::ink(s);
            QTest::newRow(name + "brand") << Tone::Brand << s << KitPalette::linkText(s) << KitPalette::brand(s);
            QTest::newRow(name + "warning") << Tone::Warning << s << KitPalette::systemOrange(s) << KitPalette::systemOrange(s);
        }
    }

    void cardLink()
    {
        QFETCH(Tone, tone);
        QFETCH(Scheme, scheme);
        QFETCH(QColor, base);
        COMPARE_COLORS(SmallCardStyle::linkTextColor(tone, scheme), fetched<QColor>("text"));
        COMPARE_COLORS(SmallCardStyle::linkFill(tone, false, scheme), KitPalette::faded(base, 0.14));
        COMPARE_COLORS(SmallCardStyle::linkFill(tone, true, scheme), KitPalette::faded(base, 0.22));
    }

    void linkText()
    {
        COMPARE_COLORS(KitPalette::linkText(Scheme::Light), KitPalette::rgb(0.33, 0.18, 0.78));
        COMPARE_COLORS(KitPalette::linkText(Scheme::Dark), KitPalette::rgb(0.85, 0.79, 1.0));
    }

    void modeToggle_data()
    {
        QTest::addColumn<bool>("isOn");
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("icon");
        QTest::addColumn<QColor>("heading");
        QTest::addColumn<QColor>("detail");
        QTest::addColumn<QColor>("note");
        const auto grey = &KitPalette::grey;
        QTest::newRow("off light") << false << Scheme::Light << grey(0, 0.08) << grey(0, 0.5625) << grey(0, 0.75)
                                   << grey(0, 0.525) << grey(0, 0.375);
        QTest::newRow("off dark") << false << Scheme::Dark << grey(0, 0.08) << grey(1, 0.66) << grey(1, 0.88)
                                  << grey(1, 0.616) << grey(1, 0.44);
        QTest::newRow("on light") << true << Scheme::Light << grey(0, 0.88) << grey(1, 0.85) << grey(1, 0.92)
                                  << grey(1, 0.7) << grey(1, 0.5);
        QTest::newRow("on dark") << true << Scheme::Dark << grey(0, 0.6) << grey(1, 0.85) << grey(1, 0.92)
                                 << grey(1, 0.7) << grey(1, 0.5);
    }

    void modeToggle()
    {
        QFETCH(bool, isOn);
        QFETCH(Scheme, scheme);
        COMPARE_COLORS(SmallCardStyle::toggleBackground(isOn, scheme), fetched<QColor>("background"));
        COMPARE_COLORS(SmallCardStyle::toggleIconColor(isOn, scheme), fetched<QColor>("icon"));
        COMPARE_COLORS(SmallCardStyle::toggleHeadingColor(isOn, scheme), fetched<QColor>("heading"));
        COMPARE_COLORS(SmallCardStyle::toggleDetailColor(isOn, scheme), fetched<QColor>("detail"));
        COMPARE_COLORS(SmallCardStyle::toggleNoteColor(isOn, scheme), fetched<QColor>("note"));
    }

    void dialogWidths()
    {
        QCOMPARE(DialogStyle::maximumContentWidth(DialogStyle::Width::Compact), 260.0);
        QCOMPARE(DialogStyle::maximumContentWidth(DialogStyle::Width::Regular), 292.0);
        QCOMPARE(DialogStyle::maximumContentWidth(DialogStyle::Width::Wide), 312.0);
        QVERIFY(std::isinf(DialogStyle::maximumContentWidth(DialogStyle::Width::Fill)));
        QCOMPARE(DialogStyle::scrimOpacity(false), 0.28);
        QCOMPARE(DialogStyle::scrimOpacity(true), 0.55);
        QCOMPARE(DialogStyle::pillVariant(DialogStyle::ButtonVariant::Primary), Pill::Variant::Prominent);
        QCOMPARE(DialogStyle::pillVariant(DialogStyle::ButtonVariant::Secondary), Pill::Variant::Light);
        QCOMPARE(DialogStyle::pillVariant(DialogStyle::ButtonVariant::Destructive), Pill::Variant::Danger);
    }

    void crestSpacer_data()
    {
        QTest::addColumn<qreal>("crestSize");
        QTest::addColumn<qreal>("height");
        QTest::newRow("usual") << 64.0 << 64.0 * 2 / 3 - 6;
        QTest::newRow("nine") << 9.0 << 0.0;
        QTest::newRow("small crest never negative") << 4.0 << 0.0;
        QTest::newRow("zero") << 0.0 << 0.0;
    }

    void crestSpacer()
    {
        QFETCH(qreal, crestSize);
        QCOMPARE(DialogStyle::crestSpacerHeight(crestSize), fetched<qreal>("height"));
    }

    void checkbox_data()
    {
        QTest::addColumn<bool>("isOn");
        QTest::addColumn<bool>("hoverActive");
        QTest::addColumn<qreal>("fillAlpha");
        QTest::addColumn<qreal>("borderAlpha");
        QTest::newRow("off") << false << false << 0.07 << 0.38;
        QTest::newRow("off hovered") << false << true << 0.12 << 0.55;
    }

    void checkbox()
    {
        QFETCH(bool, isOn);
        QFETCH(bool, hoverActive);
        for (const Scheme s : {Scheme::Light, Scheme::Dark}) {
            const QColor primary = KitPalette::primaryLabel(s);
            COMPARE_COLORS(DialogStyle::checkboxFill(isOn, hoverActive, s), KitPalette::faded(primary, fetched<qreal>("fillAlpha")));
            COMPARE_COLORS(DialogStyle::checkboxBorder(isOn, hoverActive, s), KitPalette::faded(primary, fetched<qreal>("borderAlpha")));
            // On, the box is brand-filled and borderless, hovered or not.
            COMPARE_COLORS(DialogStyle::checkboxFill(true, hoverActive, s), KitPalette::brand(s));
            QCOMPARE(DialogStyle::checkboxBorder(true, hoverActive, s).alpha(), 0);
        }
    }

    void subheadingParagraphs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QStringList>>("paragraphs");
        QTest::newRow("two paragraphs") << QStringLiteral("One\nTwo\n\nThree")
                                        << QList<QStringList>{{"One", "Two"}, {"Three"}};
        QTest::newRow("a line of spaces is not a break") << QStringLiteral("One\n   \nTwo")
                                                         << QList<QStringList>{{"One", "Two"}};
        QTest::newRow("three line feeds") << QStringLiteral("One\n\n\nTwo") << QList<QStringList>{{"One"}, {"Two"}};
        QTest::newRow("four line feeds") << QStringLiteral("One\n\n\n\nTwo") << QList<QStringList>{{"One"}, {"Two"}};
        QTest::newRow("leading and trailing") << QStringLiteral("\n\nOne\n\n") << QList<QStringList>{{"One"}};
        QTest::newRow("only blanks") << QStringLiteral(" \n\t\n\n \u00a0 ") << QList<QStringList>{};
        QTest::newRow("empty") << QString() << QList<QStringList>{};
        QTest::newRow("trims spaces and tabs only") << QStringLiteral("\t a b \u2003\r")
                                                    << QList<QStringList>{{"a b \u2003\r"}};
        QTest::newRow("trims unicode spaces") << QStringLiteral("\u2003a\u00a0") << QList<QStringList>{{"a"}};
    }

    void subheadingParagraphs()
    {
        QFETCH(QString, text);
        QCOMPARE(DialogStyle::subheadingParagraphs(text), fetched<QList<QStringList>>("paragraphs"));
    }
};

QTEST_GUILESS_MAIN(tst_CardAndDialogRules)
#include "tst_CardAndDialogRules.moc"
