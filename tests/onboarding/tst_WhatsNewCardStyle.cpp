// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/ReleaseNotes.h"
#include "onboarding/WhatsNewCardStyle.h"
#include "onboarding/WhatsNewRim.h"

#include "foundation/ReferenceSeconds.h"
#include "support/ManualClock.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <optional>

using Note = WhatsNewCardStyle::Note;
using Style = WhatsNewCardStyle::Style;
using Scheme = KitPalette::Scheme;

namespace {

// A time near today's, in seconds since 2001: about 8e8, where a float's step is 64 seconds.
constexpr double turns = 100'000'000 * 8.0;

QDateTime at(double seconds)
{
    return ReferenceSeconds::origin().addMSecs(qint64(seconds * 1000));
}

// The rim of a square card drawn on a transparent image at time `t`.
QImage rimAt(double t, bool reduceMotion)
{
    ManualClock clock(at(t));
    WhatsNewRim rim;
    rim.setClock(&clock);
    rim.setSize(QSizeF(200, 200));
    rim.setScheme(Scheme::Dark);
    rim.setReduceMotion(reduceMotion);
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    rim.paint(&painter);
    painter.end();
    return image;
}

} // namespace

class tst_WhatsNewCardStyle : public QObject
{
    Q_OBJECT

private slots:
    // Exactly the feature releases get the major card; versions are never parsed or matched by
    // prefix.
    void styleOfVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<Style>("style");
        for (const char *major : {"0.4.0", "0.3.0", "0.3.1", "0.3.2"})
            QTest::newRow(major) << QString::fromLatin1(major) << Style::Major;
        for (const char *standard : {"0.2.25", "0.2.6", "0.3.10", "0.4.1", "v0.4.0", "0.4.0 ", "dev", ""})
            QTest::newRow(qPrintable(QStringLiteral("standard '%1'").arg(QLatin1String(standard))))
                << QString::fromLatin1(standard) << Style::Standard;
    }

    void styleOfVersion()
    {
        QFETCH(QString, version);
        QFETCH(Style, style);
        QCOMPARE(WhatsNewCardStyle::styleFor(version), style);
    }

    // Each line takes the icon at its position in the version's list; lines past its end have
    // none, surplus icons are dropped, and the headline is the version's own.
    void notesPairLinesWithIcons_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QList<Note>>("notes");
        QTest::addColumn<QString>("headline");

        const QStringList pageStatus = ReleaseNotes::linesFor("0.4.0").value();
        QTest::newRow("page status release")
            << pageStatus << "0.4.0"
            << QList<Note>{{pageStatus[0], "tag"},
                           {pageStatus[1], "webflow-logo"},
                           {pageStatus[2], "doc.badge.minus"},
                           {pageStatus[3], "person.2"},
                           {"Turning it off removes only markers Quorvane can prove it owns", "recycle-bin"}}
            << "Page Status is here!";

        QStringList longer = ReleaseNotes::linesFor("0.3.1").value();
        longer.append("A tenth line the icons do not reach");
        QList<Note> longerNotes;
        const QStringList symbols = ReleaseNotes::symbolsFor("0.3.1");
        QCOMPARE(symbols.size(), 9);
        for (qsizetype i = 0; i < 9; ++i)
            longerNotes.append({longer[i], symbols[i]});
        longerNotes.append({"A tenth line the icons do not reach", std::nullopt});
        QTest::newRow("more lines than icons") << longer << "0.3.1" << longerNotes << "Scheduled Publishing is here!";

        QTest::newRow("fewer lines than icons")
            << QStringList{"First", "Second"} << "0.3.0" << QList<Note>{{"First", "clock"}, {"Second", "sparkles"}}
            << "Scheduled Publishing is here!";

        const QStringList ordinary = ReleaseNotes::linesFor("0.2.25").value();
        QList<Note> ordinaryNotes;
        for (const QString &line : ordinary)
            ordinaryNotes.append({line, std::nullopt});
        QTest::newRow("ordinary release") << ordinary << "0.2.25" << ordinaryNotes << QString();
        QTest::newRow("no lines") << QStringList() << "0.4.0" << QList<Note>() << "Page Status is here!";
        QTest::newRow("unknown version") << QStringList{"Line"} << "0.4.1" << QList<Note>{{"Line", std::nullopt}}
                                         << QString();
    }

    void notesPairLinesWithIcons()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, version);
        QFETCH(QList<Note>, notes);
        QFETCH(QString, headline);
        QCOMPARE(WhatsNewCardStyle::notesFor(lines, version), notes);
        QCOMPARE(WhatsNewCardStyle::headline(version), headline);

        // QML reads the same notes, an absent icon as an empty name.
        const QVariantList forQml = WhatsNewCardStyle::notes(lines, version);
        QCOMPARE(forQml.size(), notes.size());
        for (qsizetype i = 0; i < notes.size(); ++i) {
            const QVariantMap note = forQml.at(i).toMap();
            QCOMPARE(note.value("text").toString(), notes.at(i).text);
            QCOMPARE(note.value("symbol").toString(), notes.at(i).symbol.value_or(QString()));
        }
    }

    // Title and headline are opaque white only on the dark feature card; the notes there are
    // white at 0.88, elsewhere the muted text faded further to 0.78 of it.
    void textColours_data()
    {
        QTest::addColumn<Style>("style");
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<qreal>("titleSize");
        QTest::addColumn<QColor>("strong");
        QTest::addColumn<QColor>("note");
        QTest::newRow("major dark") << Style::Major << Scheme::Dark << qreal(13) << QColor::fromRgbF(1, 1, 1, 1)
                                    << QColor::fromRgbF(1, 1, 1, 0.88f);
        QTest::newRow("major light") << Style::Major << Scheme::Light << qreal(13) << QColor::fromRgbF(0, 0, 0, 0.75f)
                                     << QColor::fromRgbF(0, 0, 0, 0.75f * 0.78f);
        QTest::newRow("standard dark") << Style::Standard << Scheme::Dark << qreal(11) << QColor::fromRgbF(1, 1, 1, 0.88f)
                                       << QColor::fromRgbF(1, 1, 1, 0.88f * 0.78f);
        QTest::newRow("standard light") << Style::Standard << Scheme::Light << qreal(11)
                                        << QColor::fromRgbF(0, 0, 0, 0.75f) << QColor::fromRgbF(0, 0, 0, 0.75f * 0.78f);
    }

    void textColours()
    {
        QFETCH(Style, style);
        QFETCH(Scheme, scheme);
        QFETCH(qreal, titleSize);
        QFETCH(QColor, strong);
        QFETCH(QColor, note);
        QCOMPARE(WhatsNewCardStyle::titleSize(style), titleSize);
        QCOMPARE(WhatsNewCardStyle::strongText(style, scheme).rgba(), strong.rgba());
        QCOMPARE(WhatsNewCardStyle::noteText(style, scheme).rgba(), note.rgba());
    }

    // The rim turns once every 8 seconds from 3 o'clock, and stands at 45 degrees while motion is
    // reduced. Times near today's must keep their fraction of a second.
    void rimAngle_data()
    {
        QTest::addColumn<double>("t");
        QTest::addColumn<bool>("reduceMotion");
        QTest::addColumn<double>("angle");
        QTest::newRow("origin") << 0.0 << false << 0.0;
        QTest::newRow("one second") << 1.0 << false << 45.0;
        QTest::newRow("near a whole turn") << 7.5 << false << 337.5;
        QTest::newRow("before the origin") << -1.0 << false << 315.0;
        QTest::newRow("today, one second in") << turns + 1 << false << 45.0;
        QTest::newRow("today, half a second in") << turns + 0.5 << false << 22.5;
        QTest::newRow("today, one frame in") << turns + 1.0 / 30 << false << 1.5;
        QTest::newRow("far ahead, a quarter second in") << 1e9 + 0.25 << false << 11.25;
        QTest::newRow("reduced at the origin") << 0.0 << true << 45.0;
        QTest::newRow("reduced today") << turns + 3.3 << true << 45.0;
    }

    void rimAngle()
    {
        QFETCH(double, t);
        QFETCH(bool, reduceMotion);
        QFETCH(double, angle);
        QVERIFY2(qAbs(WhatsNewCardStyle::rimAngle(t, reduceMotion) - angle) < 1e-4,
                 qPrintable(QString::number(WhatsNewCardStyle::rimAngle(t, reduceMotion), 'g', 12)));
    }

    // Each star pulses between 0.12 and 0.55 every 2.6 seconds from its phase, and shows at a
    // steady 0.335 while motion is reduced.
    void starOpacity_data()
    {
        QTest::addColumn<double>("t");
        QTest::addColumn<double>("phase");
        QTest::addColumn<bool>("reduceMotion");
        QTest::addColumn<double>("opacity");
        QTest::newRow("middle of the rise") << 0.0 << 0.0 << false << 0.335;
        QTest::newRow("peak") << 0.65 << 0.0 << false << 0.55;
        QTest::newRow("trough") << 1.95 << 0.0 << false << 0.12;
        QTest::newRow("phase a quarter ahead") << 0.0 << 0.25 << false << 0.55;
        QTest::newRow("today, at a peak") << 2.6 * 300'000'000 + 0.65 << 0.0 << false << 0.55;
        QTest::newRow("today, at a trough") << 2.6 * 300'000'000 + 1.95 << 0.0 << false << 0.12;
        QTest::newRow("reduced at a peak") << 0.65 << 0.0 << true << 0.335;
        QTest::newRow("reduced at a trough") << 1.95 << 0.0 << true << 0.335;
    }

    void starOpacity()
    {
        QFETCH(double, t);
        QFETCH(double, phase);
        QFETCH(bool, reduceMotion);
        QFETCH(double, opacity);
        QVERIFY2(qAbs(WhatsNewCardStyle::starOpacity(t, phase, reduceMotion) - opacity) < 1e-6,
                 qPrintable(QString::number(WhatsNewCardStyle::starOpacity(t, phase, reduceMotion), 'g', 12)));
    }

    // Drawn, the brightest colour lies in the start direction and the others follow clockwise:
    // started at 6 o'clock, the bottom is brightest (0.9), then the top (0.7), then the left
    // (0.15, a quarter turn on) and the right (0.1, three quarters on) faintest.
    void rimColoursRunClockwiseFromTheStart()
    {
        const QImage image = rimAt(turns + 2, false);
        const auto alpha = [&image](int x, int y) { return qAlpha(image.pixel(x, y)); };
        const int bottom = alpha(100, 199);
        const int top = alpha(100, 0);
        const int left = alpha(0, 100);
        const int right = alpha(199, 100);
        QVERIFY2(bottom > top && top > left && left > right,
                 qPrintable(QStringLiteral("bottom %1 top %2 left %3 right %4").arg(bottom).arg(top).arg(left).arg(right)));
    }

    // The still rim of reduced motion is the turning rim's frame at 45 degrees, one second into
    // a turn today; a second later the turning rim has moved on.
    void stillRimIsTheFrameAtFortyFiveDegrees()
    {
        const QImage still = rimAt(turns + 1, true);
        QCOMPARE(rimAt(turns + 1, false), still);
        QCOMPARE(rimAt(turns + 123.0, true), still);
        QVERIFY(rimAt(turns + 2, false) != still);
    }
};

QTEST_MAIN(tst_WhatsNewCardStyle)
#include "tst_WhatsNewCardStyle.moc"
