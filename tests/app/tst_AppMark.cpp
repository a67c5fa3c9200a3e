// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppearanceMonitor.h"
#include "app/MenubarLabel.h"
#include "app/PanelLook.h"
#include "kit/IconLoader.h"
#include "kit/KitEnvironment.h"
#include "kit/KitServices.h"
#include "platform/AppearancePortal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPalette>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <memory>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)

using Scheme = KitPalette::Scheme;
using Points = QList<QPoint>;

namespace {

// Drawings whose shapes tell apart the mark, its fit in the square, and the stand-in symbol.
const QByteArray square = R"(<svg xmlns="http://www.w3.org/2000/svg" width="18" height="18" viewBox="0 0 18 18"><rect width="18" height="18"/></svg>)";
const QByteArray wide = R"(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="10" viewBox="0 0 40 10"><rect width="40" height="10"/></svg>)";
const QByteArray tallAndLarge = R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="400" viewBox="0 0 100 400"><rect width="100" height="400"/></svg>)";
const QByteArray dot = R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16"><circle cx="8" cy="8" r="3"/></svg>)";

// Where, in a 15-point square, the shapes differ: the centre, a corner, the middle of the top
// edge and of the left edge.
const QPoint centre(7, 7), corner(1, 1), top(7, 1), left(1, 7);

/// A bundle folder with the stand-in symbol and, unless null, "menubar-icon.svg" holding `mark`.
struct Bundle
{
    explicit Bundle(const std::optional<QByteArray> &mark)
    {
        QDir(folder.path()).mkdir(QStringLiteral("icons"));
        write(QStringLiteral("icons/") + MenubarLabel::fallbackSymbol + QStringLiteral(".svg"), dot);
        if (mark)
            write(MenubarLabel::markName + QStringLiteral(".svg"), *mark);
    }
    void write(const QString &name, const QByteArray &contents) const
    {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    QTemporaryDir folder;
};

/// The colour at a point of the square, given in points.
QColor at(const QImage &image, QPoint point)
{
    const qreal scale = image.devicePixelRatio();
    return image.pixelColor(QPointF((point.x() + 0.5) * scale, (point.y() + 0.5) * scale).toPoint());
}

bool near(const QColor &actual, const QColor &expected)
{
    const auto close = [](float a, float b) { return std::abs(a - b) < 0.03f; };
    return close(actual.redF(), expected.redF()) && close(actual.greenF(), expected.greenF())
        && close(actual.blueF(), expected.blueF()) && close(actual.alphaF(), expected.alphaF());
}

QPalette paletteWithWindow(const QColor &window)
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    return palette;
}

/// The drawings both marks are drawn from, whether the symbol stands in, and which probe points
/// the mark covers and which it leaves clear.
void markRows()
{
    QTest::addColumn<std::optional<QByteArray>>("mark");
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<Points>("filled");
    QTest::addColumn<Points>("clear");
    QTest::newRow("square file") << std::optional(square) << false << Points{centre, corner, top, left} << Points{};
    QTest::newRow("wide file keeps its aspect") << std::optional(wide) << false << Points{centre, left} << Points{top};
    QTest::newRow("large tall file keeps its aspect")
        << std::optional(tallAndLarge) << false << Points{centre, top} << Points{left};
    QTest::newRow("missing file") << std::optional<QByteArray>() << true << Points{centre} << Points{corner, top, left};
    QTest::newRow("not an image") << std::optional(QByteArray("<svg")) << true << Points{centre} << Points{corner, top, left};
    QTest::newRow("empty file") << std::optional(QByteArray()) << true << Points{centre} << Points{corner, top, left};
}

} // namespace

// The application's mark: in the tray, a template tinted for the bar's scheme in a 15-point
// square; in the panel, fitted to its size in the accent. Both stand the symbol in for a missing
// or unreadable drawing, looked up once.
class tst_AppMark : public QObject
{
    Q_OBJECT

private:
    // The panel's mark, from the same drawing: fitted to its size as the tray's is to its
    // square, in the accent of the scheme.
    static void panelMark(IconLoader &icons, bool fallback, const Points &filled, const Points &clear)
    {
        for (const Scheme scheme : {Scheme::Light, Scheme::Dark}) {
            QQmlEngine engine;
            new KitServices(engine, icons);
            QQmlComponent component(&engine);
            // The mark drawn at 45 points: each probe point of the 15-point square scaled by 3.
            component.setData(R"(
                import QtQuick
                import Quorvane
                Window {
                    width: 45; height: 45; color: "white"
                    AppMark { objectName: "mark"; size: 45 }
                })", QUrl());
            // The module's types are known once a component has imported it.
            auto *kit = engine.singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
            QVERIFY(kit);
            kit->setScheme(scheme);
            std::unique_ptr<QQuickWindow> window(qobject_cast<QQuickWindow *>(component.create()));
            QVERIFY2(window, qPrintable(component.errorString()));
            auto *item = window->findChild<QQuickItem *>(QStringLiteral("mark"));
            QVERIFY(item);
            QCOMPARE(item->property("usesFallback").toBool(), fallback);
            QCOMPARE(QSizeF(item->width(), item->height()), QSizeF(45, 45));
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            const QImage image = window->grabWindow();
            const QColor accent = PanelLook::accent(scheme);
            const auto pixel = [&image](QPoint point) {
                const qreal scale = image.devicePixelRatio();
                return image.pixelColor(QPointF((point.x() * 3 + 1.5) * scale, (point.y() * 3 + 1.5) * scale).toPoint());
            };
            for (const QPoint point : filled)
                QVERIFY2(near(pixel(point), accent), qPrintable(pixel(point).name() + QStringLiteral(" ≠ ") + accent.name()));
            for (const QPoint point : clear)
                QCOMPARE(pixel(point), QColor(Qt::white));
        }
    }

private slots:
    void marks_data() { markRows(); }

    // In the tray: 15 × 15 points at each device scale, whatever the drawing's own size; the
    // symbol without a usable drawing; dark on a light bar and light on a dark one. In the panel:
    // the same shape at its size, in the accent.
    void marks()
    {
        QFETCH(std::optional<QByteArray>, mark);
        QFETCH(bool, fallback);
        QFETCH(Points, filled);
        QFETCH(Points, clear);
        const Bundle bundle(mark);
        IconLoader icons(bundle.folder.path());
        MenubarLabel label(icons);
        QCOMPARE(label.usesFallback(), fallback);
        for (const Scheme scheme : {Scheme::Light, Scheme::Dark}) {
            for (const qreal scale : {1.0, 2.0}) {
                const QImage image = label.image(scheme, scale);
                QCOMPARE(image.deviceIndependentSize(), QSizeF(15, 15));
                QCOMPARE(image.size(), QSize(15, 15) * scale);
                for (const QPoint point : filled) {
                    const QColor colour = at(image, point);
                    QVERIFY2(colour.alphaF() > 0.8, qPrintable(QStringLiteral("(%1,%2)").arg(point.x()).arg(point.y())));
                    if (scheme == Scheme::Light)
                        QVERIFY2(colour.lightnessF() < 0.1, qPrintable(colour.name()));
                    else
                        QVERIFY2(colour.lightnessF() > 0.9, qPrintable(colour.name()));
                }
                for (const QPoint point : clear)
                    QVERIFY2(at(image, point).alpha() == 0, qPrintable(QStringLiteral("(%1,%2)").arg(point.x()).arg(point.y())));
            }
        }
        panelMark(icons, fallback, filled, clear);
    }

    // Each drawing is looked up once: a file that comes later is not seen, one that goes later is
    // not missed.
    void trayMarkIsLookedUpOnce()
    {
        const Bundle without(std::nullopt);
        IconLoader emptyIcons(without.folder.path());
        MenubarLabel late(emptyIcons);
        QVERIFY(late.usesFallback());
        without.write(MenubarLabel::markName + QStringLiteral(".svg"), square);
        QVERIFY(late.usesFallback());
        QCOMPARE(at(late.image(Scheme::Light, 1), corner).alpha(), 0);

        const Bundle with(square);
        IconLoader icons(with.folder.path());
        MenubarLabel gone(icons);
        QVERIFY(!gone.usesFallback());
        QVERIFY(QFile::remove(with.folder.filePath(MenubarLabel::markName + QStringLiteral(".svg"))));
        QVERIFY(at(gone.image(Scheme::Dark, 1), corner).alpha() > 200);
    }

    // Without a settings portal the desktop's switch reaches the application as a new palette: the
    // tray's mark is drawn again in the other scheme, and a palette of the same scheme draws nothing.
    void trayMarkFollowsTheScheme()
    {
        const Bundle bundle(square);
        IconLoader icons(bundle.folder.path());
        MenubarLabel label(icons);
        QApplication::setPalette(paletteWithWindow(Qt::white));
        AppearancePortal portal(QDBusConnection(QStringLiteral("not connected")));
        AppearanceMonitor appearance(portal, &AppearanceMonitor::applicationPaletteIsDark);
        QSystemTrayIcon tray;
        label.show(tray, appearance);
        QCOMPARE(tray.toolTip(), QStringLiteral("Quorvane"));
        const auto trayMark = [&tray] { return tray.icon().pixmap(QSize(15, 15), 1.0).toImage(); };
        QVERIFY(at(trayMark(), centre).lightnessF() < 0.1);

        QSignalSpy switched(&appearance, &AppearanceMonitor::schemeChanged);
        QApplication::setPalette(paletteWithWindow(QColor(30, 30, 30)));
        QTRY_COMPARE(appearance.scheme(), Scheme::Dark);
        QVERIFY(at(trayMark(), centre).lightnessF() > 0.9);
        QCOMPARE(trayMark().size(), QSize(15, 15));
        QApplication::setPalette(paletteWithWindow(QColor(20, 20, 40)));
        QCOMPARE(appearance.scheme(), Scheme::Dark);
        QCOMPARE(switched.size(), 1);
        QApplication::setPalette(paletteWithWindow(Qt::white));
        QTRY_COMPARE(appearance.scheme(), Scheme::Light);
        QVERIFY(at(trayMark(), centre).lightnessF() < 0.1);
        QCOMPARE(switched.size(), 2);
    }
};

QTEST_MAIN(tst_AppMark)
#include "tst_AppMark.moc"
