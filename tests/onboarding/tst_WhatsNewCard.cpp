// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/ReleaseNotes.h"
#include "onboarding/WhatsNewCardStyle.h"

#include "foundation/ReferenceSeconds.h"
#include "kit/ClockedPaintedItem.h"
#include "support/ManualClock.h"
#include "support/ScreenshotWindow.h"
#include "support/WarningLog.h"

#include <QFile>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <algorithm>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

using Scheme = KitPalette::Scheme;

namespace {

// A time near today's, in seconds since 2001, a third of a second into the rim's turn.
QDateTime today()
{
    return ReferenceSeconds::origin().addMSecs(qint64(100'000'000) * 8000 + 333);
}

/// One QML scene (a card, or the gallery) in a window of its own, drawn by a clock the test moves.
class Stage
{
public:
    Stage(Scheme scheme, bool reduceMotion)
        : m_shot(m_kit.engine, scheme)
    {
        m_shot.setReduceMotion(reduceMotion);
    }

    /// Makes the scene from QML text, or returns null with the error in the test log.
    QQuickItem *load(const QByteArray &qml, const QUrl &url, const QVariantMap &properties, qreal width)
    {
        QQuickItem *item = m_shot.load(qml, url, properties);
        if (!item) {
            qWarning("%s", qPrintable(m_shot.errors()));
            return nullptr;
        }
        if (width > 0)
            item->setWidth(width);
        for (ClockedPaintedItem *layer : item->findChildren<ClockedPaintedItem *>())
            layer->setClock(&m_clock);
        if (!m_shot.show(QSize(int(item->width()), int(qMax(item->height(), item->implicitHeight()))))) {
            qWarning("%s", qPrintable(m_shot.errors()));
            return nullptr;
        }
        return item;
    }

    /// A card of that version listing those lines.
    QQuickItem *card(const QString &version, const QStringList &lines, qreal width = 340)
    {
        return load("import Quorvane.Onboarding\nWhatsNewCard {}\n", QUrl(),
                    {{"version", version}, {"lines", lines}}, width);
    }

    /// The frame at the clock's time.
    QImage frame()
    {
        updateLayers();
        return m_shot.window().grabWindow();
    }

    /// The frame at the clock's time, saved in the build folder.
    bool save(const QString &stem)
    {
        updateLayers();
        return m_shot.save(stem);
    }

    ManualClock &clock() { return m_clock; }
    QQuickWindow &window() { return m_shot.window(); }
    const QString &errors() const { return m_shot.errors(); }

private:
    // The layers redraw on a timer that may not have fired since the clock moved.
    void updateLayers()
    {
        for (ClockedPaintedItem *layer : m_shot.item()->findChildren<ClockedPaintedItem *>())
            layer->update();
    }

    // The clock outlives the layers that read it.
    ManualClock m_clock{today()};
    KitEngine m_kit;
    ScreenshotWindow m_shot;
};

// Repeater delegates are children of the scene, not of the objects that made them: walk the items.
void collectNamed(QQuickItem *item, const QString &name, QList<QQuickItem *> &items)
{
    for (QQuickItem *child : item->childItems()) {
        if (child->objectName() == name)
            items.append(child);
        collectNamed(child, name, items);
    }
}

/// The items of that name in the card, top to bottom.
QList<QQuickItem *> named(QQuickItem *card, const QString &name)
{
    QList<QQuickItem *> items;
    collectNamed(card, name, items);
    std::sort(items.begin(), items.end(), [card](QQuickItem *a, QQuickItem *b) {
        return a->mapToItem(card, QPointF()).y() < b->mapToItem(card, QPointF()).y();
    });
    return items;
}

QQuickItem *one(QQuickItem *card, const QString &name)
{
    return card->findChild<QQuickItem *>(name);
}

} // namespace

// The what's-new card as QML draws it: its texts, colours and icons in each style, its still
// frames under reduced motion, its one button and its layout rules, and a gallery of its styles
// in both schemes written to the build folder for a person to look at.
class tst_WhatsNewCard : public QObject
{
    Q_OBJECT

    WarningLog m_warnings;

private slots:
    void init() { m_warnings.start(); }

    void cleanup() { m_warnings.stop(); }

    // The feature card's title and headline are white on dark; every note shows its text and
    // its icon; only the feature card has stars and a turning rim.
    void cardShowsItsVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<Scheme>("scheme");
        QTest::addColumn<QColor>("strong");
        QTest::addColumn<int>("titleSize");
        QTest::addColumn<QString>("headline");
        QTest::addColumn<bool>("stars");
        QTest::newRow("page status, dark") << "0.4.0" << Scheme::Dark << QColor(Qt::white) << 13
                                           << "Page Status is here!" << true;
        QTest::newRow("page status, light") << "0.4.0" << Scheme::Light << QColor::fromRgbF(0, 0, 0, 0.75f) << 13
                                            << "Page Status is here!" << true;
        QTest::newRow("ordinary, dark") << "0.2.25" << Scheme::Dark << QColor::fromRgbF(1, 1, 1, 0.88f) << 11 << QString()
                                        << false;
    }

    void cardShowsItsVersion()
    {
        QFETCH(QString, version);
        QFETCH(Scheme, scheme);
        QFETCH(QColor, strong);
        QFETCH(int, titleSize);
        QFETCH(QString, headline);
        QFETCH(bool, stars);
        Stage stage(scheme, false);
        const QStringList lines = ReleaseNotes::linesFor(version).value();
        QQuickItem *card = stage.card(version, lines);
        QVERIFY(card);

        QQuickItem *title = one(card, "title");
        QCOMPARE(title->property("text").toString(), "What's new in " + version);
        QCOMPARE(title->property("color").value<QColor>().rgba(), strong.rgba());
        QCOMPARE(title->property("font").value<QFont>().pixelSize(), titleSize);
        QQuickItem *shownHeadline = one(card, "headline");
        QCOMPARE(shownHeadline->isVisible(), !headline.isEmpty());
        if (!headline.isEmpty()) {
            QCOMPARE(shownHeadline->property("text").toString(), headline);
            QCOMPARE(shownHeadline->property("color").value<QColor>().rgba(), strong.rgba());
        }

        const QList<QQuickItem *> texts = named(card, "noteText");
        const QList<QQuickItem *> icons = named(card, "noteIcon");
        QCOMPARE(texts.size(), lines.size());
        const QStringList symbols = ReleaseNotes::symbolsFor(version);
        QStringList shownSymbols;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QCOMPARE(texts.at(i)->property("text").toString(), lines.at(i));
            QCOMPARE(texts.at(i)->property("color").value<QColor>().rgba(),
                     WhatsNewCardStyle::noteText(WhatsNewCardStyle::styleFor(version), scheme).rgba());
            QVERIFY(texts.at(i)->property("truncated").toBool() == false);
            if (icons.at(i)->isVisible()) {
                QVERIFY2(icons.at(i)->property("loaded").toBool(), qPrintable(icons.at(i)->property("name").toString()));
                shownSymbols.append(icons.at(i)->property("name").toString());
            }
        }
        QCOMPARE(shownSymbols, symbols);

        QCOMPARE(one(card, "stars")->isVisible(), stars);
        QCOMPARE(one(card, "turningRim")->isVisible(), stars);
        for (ClockedPaintedItem *layer : card->findChildren<ClockedPaintedItem *>())
            QCOMPARE(layer->animating(), stars);
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    // Two frames a second apart: the feature card moves unless motion is reduced; the ordinary
    // card never moves.
    void framesASecondApart_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("reduceMotion");
        QTest::addColumn<bool>("same");
        QTest::newRow("feature, reduced motion") << "0.4.0" << true << true;
        QTest::newRow("feature, in motion") << "0.4.0" << false << false;
        QTest::newRow("ordinary, in motion") << "0.2.25" << false << true;
    }

    void framesASecondApart()
    {
        QFETCH(QString, version);
        QFETCH(bool, reduceMotion);
        QFETCH(bool, same);
        Stage stage(Scheme::Dark, reduceMotion);
        QQuickItem *card = stage.card(version, ReleaseNotes::linesFor(version).value());
        QVERIFY(card);
        const QImage first = stage.frame();
        stage.clock().advance(1000);
        const QImage second = stage.frame();
        QVERIFY(!first.isNull());
        QCOMPARE(first == second, same);
        if (reduceMotion) {
            for (ClockedPaintedItem *layer : card->findChildren<ClockedPaintedItem *>())
                QVERIFY(!layer->animating());
        }
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    // The dismiss button asks once per press, through the wash, stars and rim lying over it; a
    // click anywhere else on the card asks nothing.
    void dismissAsksOncePerPress()
    {
        Stage stage(Scheme::Dark, false);
        QQuickItem *card = stage.card("0.4.0", ReleaseNotes::linesFor("0.4.0").value());
        QVERIFY(card);
        QSignalSpy dismiss(card, SIGNAL(dismiss()));
        QQuickItem *hitArea = one(card, "hitArea");
        QVERIFY(hitArea);
        const QPoint button = hitArea->mapToScene(QPointF(hitArea->width() / 2, hitArea->height() / 2)).toPoint();
        QTest::mouseClick(&stage.window(), Qt::LeftButton, {}, button);
        QCOMPARE(dismiss.size(), 1);
        QTest::mouseClick(&stage.window(), Qt::LeftButton, {}, QPoint(int(card->width() / 2), int(card->height() - 20)));
        QCOMPARE(dismiss.size(), 1);
        QTest::mouseClick(&stage.window(), Qt::LeftButton, {}, button);
        QCOMPARE(dismiss.size(), 2);
    }

    // Rules stand only between notes; a note without an icon starts 22 points further left; a
    // long note wraps and the card grows rather than cut it.
    void notesLayout_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("rules");
        QTest::addColumn<QList<bool>>("hasIcon");
        QTest::newRow("one note") << "0.4.0" << QStringList{"New Page Status tab"} << 0 << QList<bool>{true};
        QTest::newRow("three notes, the last past the icons")
            << "0.3.0" << QStringList{"First", "Second", "Third"} << 2 << QList<bool>{true, true, true};
        QStringList longer = ReleaseNotes::linesFor("0.3.1").value();
        longer.append("A line the icons do not reach");
        QList<bool> icons(9, true);
        icons.append(false);
        QTest::newRow("a tenth line without icon") << "0.3.1" << longer << 9 << icons;
        QTest::newRow("no notes") << "0.4.0" << QStringList() << 0 << QList<bool>();
    }

    void notesLayout()
    {
        QFETCH(QString, version);
        QFETCH(QStringList, lines);
        QFETCH(int, rules);
        QFETCH(QList<bool>, hasIcon);
        Stage stage(Scheme::Light, true);
        QQuickItem *card = stage.card(version, lines);
        QVERIFY(card);
        int shownRules = 0;
        for (QQuickItem *rule : named(card, "rule"))
            shownRules += rule->isVisible() ? 1 : 0;
        QCOMPARE(shownRules, rules);
        const QList<QQuickItem *> texts = named(card, "noteText");
        QCOMPARE(texts.size(), hasIcon.size());
        const qreal withIcon = one(card, "title")->mapToItem(card, QPointF()).x() + 22;
        for (qsizetype i = 0; i < texts.size(); ++i)
            QCOMPARE(texts.at(i)->mapToItem(card, QPointF()).x(), hasIcon.at(i) ? withIcon : withIcon - 22);
        // The header and headline show even without notes.
        QVERIFY(one(card, "title")->isVisible());
        QVERIFY(one(card, "headline")->isVisible());
    }

    void longNoteWraps()
    {
        Stage stage(Scheme::Light, true);
        QQuickItem *card = stage.card("0.4.0", {"Short"});
        QVERIFY(card);
        const qreal shortHeight = card->implicitHeight();
        Stage longStage(Scheme::Light, true);
        const QString text = "A note long enough that it cannot fit on one line of a card this narrow, so it wraps "
                             "onto several lines and the card grows to hold every word of it";
        card = longStage.card("0.4.0", {text});
        QVERIFY(card);
        QQuickItem *note = named(card, "noteText").value(0);
        QVERIFY(note);
        QVERIFY(note->property("lineCount").toInt() >= 3);
        QVERIFY(!note->property("truncated").toBool());
        QVERIFY(card->implicitHeight() > shortHeight + 2 * 10);
    }

    void gallery_data()
    {
        QTest::addColumn<Scheme>("scheme");
        QTest::newRow("light") << Scheme::Light;
        QTest::newRow("dark") << Scheme::Dark;
    }

    void gallery()
    {
        QFETCH(Scheme, scheme);
        Stage stage(scheme, false);
        QFile file(QStringLiteral(ONBOARDING_QML_DIR "/WhatsNewGallery.qml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QQuickItem *gallery = stage.load(file.readAll(), QUrl::fromLocalFile(file.fileName()),
                                         {{"pageStatusLines", ReleaseNotes::linesFor("0.4.0").value()},
                                          {"scheduledLines", ReleaseNotes::linesFor("0.3.1").value()},
                                          {"ordinaryLines", ReleaseNotes::linesFor("0.2.25").value()}},
                                         0);
        QVERIFY(gallery);
        QVERIFY2(stage.save(QStringLiteral("onboarding-whatsnew")), qPrintable(stage.errors()));
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }
};

QTEST_MAIN(tst_WhatsNewCard)
#include "tst_WhatsNewCard.moc"
