// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScreenshotWindow.h"

#include "kit/KitEnvironment.h"
#include "kit/KitServices.h"
#include "platform/AppInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QQmlComponent>
#include <QQuickItem>
#include <QTest>

KitEngine::KitEngine()
    : icons(resourceBundle().directory())
{
    new KitServices(engine, icons);
}

ScreenshotWindow::ScreenshotWindow(QQmlEngine &engine, KitPalette::Scheme scheme)
    : m_engine(engine)
    , m_scheme(scheme)
{
    setBackdrop(scheme == KitPalette::Scheme::Dark ? QColor(40, 44, 52) : QColor(200, 214, 230));
}

ScreenshotWindow::~ScreenshotWindow()
{
    unload();
}

void ScreenshotWindow::setBackdrop(const QColor &colour)
{
    m_window.setColor(colour);
}

QQuickItem *ScreenshotWindow::load(const QUrl &source, const QVariantMap &properties)
{
    QQmlComponent type(&m_engine, source);
    return create(type, properties);
}

QQuickItem *ScreenshotWindow::load(const QByteArray &qml, const QUrl &url, const QVariantMap &properties)
{
    QQmlComponent type(&m_engine);
    type.setData(qml, url);
    return create(type, properties);
}

QQuickItem *ScreenshotWindow::create(QQmlComponent &type, const QVariantMap &properties)
{
    unload();
    m_errors.clear();
    if (!type.isReady()) {
        m_errors = type.errorString();
        return nullptr;
    }
    // The kit's singleton exists only once a scene has imported the kit; the scheme must be set
    // before the scene is made, or its first frame fades from the other scheme's colours.
    m_environment = m_engine.singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
    if (!m_environment) {
        m_errors = QStringLiteral("%1 does not import Quorvane.Kit, so it has no colour scheme to set.")
                       .arg(type.url().toDisplayString());
        return nullptr;
    }
    m_environment->setScheme(m_scheme);
    if (m_reduceMotion)
        m_environment->setReduceMotion(*m_reduceMotion);
    m_root.reset(type.createWithInitialProperties(properties));
    m_item = qobject_cast<QQuickItem *>(m_root.get());
    if (!m_item) {
        m_errors = m_root ? QStringLiteral("%1 is not an Item, so there is nothing to draw.").arg(type.url().toDisplayString())
                          : type.errorString();
        m_root.reset();
        return nullptr;
    }
    m_item->setParentItem(m_window.contentItem());
    return m_item;
}

void ScreenshotWindow::unload()
{
    // The window's content item would delete the scene along with itself: take it out first.
    if (m_item)
        m_item->setParentItem(nullptr);
    m_item = nullptr;
    m_root.reset();
}

bool ScreenshotWindow::show()
{
    if (!m_item) {
        m_errors = QStringLiteral("There is no scene to show.");
        return false;
    }
    return show(QSize(int(m_item->width()), int(m_item->height())));
}

bool ScreenshotWindow::show(QSize size)
{
    m_window.resize(size);
    m_window.show();
    if (!QTest::qWaitForWindowExposed(&m_window)) {
        m_errors = QStringLiteral("The window never came on screen.");
        return false;
    }
    return true;
}

QImage ScreenshotWindow::grab()
{
    // The glass tints apply once the event that set them has been handled: let them, then
    // draw the frame.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    return m_window.grabWindow();
}

bool ScreenshotWindow::save(const QString &stem)
{
    const QImage image = grab();
    if (image.isNull()) {
        m_errors = QStringLiteral("The window drew nothing for %1.").arg(stem);
        return false;
    }
    const QString file = pictureFile(QStringLiteral("%1-%2.png").arg(stem, schemeName(m_scheme)));
    if (!image.save(file)) {
        m_errors = QStringLiteral("Could not write %1.").arg(file);
        return false;
    }
    return true;
}

QString ScreenshotWindow::schemeName(KitPalette::Scheme scheme)
{
    return scheme == KitPalette::Scheme::Dark ? QStringLiteral("dark") : QStringLiteral("light");
}

QString ScreenshotWindow::pictureFile(const QString &name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../") + name);
}
