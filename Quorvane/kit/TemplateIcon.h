// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

#include <optional>

/**
 * @brief One drawing of the resource bundle painted as a template: only its shape counts, and it
 * is filled with `color`, scaled to fit the item with its aspect ratio kept.
 *
 * The drawing comes from the icon loader handed to the engine that made the item (KitServices).
 */
class TemplateIcon : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT

    /// Which set the drawing comes from.
    Q_PROPERTY(Kind kind READ kind WRITE setKind NOTIFY kindChanged)
    /// The drawing's name, without prefix or extension (not used for the wordmark).
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    /// The colour that fills the drawing's shape.
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    /// Whether a drawing was found; without one the item paints nothing.
    Q_PROPERTY(bool loaded READ loaded NOTIFY drawingChanged)
    /// Width over height of the drawing (1 without one).
    Q_PROPERTY(qreal aspectRatio READ aspectRatio NOTIFY drawingChanged)

public:
    enum class Kind { Micro, Large, Wordmark };
    Q_ENUM(Kind)

    explicit TemplateIcon(QQuickItem *parent = nullptr);

    [[nodiscard]] Kind kind() const { return m_kind; }
    void setKind(Kind kind);
    [[nodiscard]] QString name() const { return m_name; }
    void setName(const QString &name);
    [[nodiscard]] QColor color() const { return m_color; }
    void setColor(const QColor &color);
    [[nodiscard]] bool loaded() const { return m_drawing.has_value(); }
    [[nodiscard]] qreal aspectRatio() const { return m_aspectRatio; }

    /// `drawing` fitted into `box` with its aspect ratio kept and centred, its shape filled with
    /// `color`, at `scale` device pixels per point; the tray's icon is drawn the same way.
    [[nodiscard]] static QImage tinted(const QByteArray &drawing, QSizeF box, const QColor &color, qreal scale);

    void paint(QPainter *painter) override;

protected:
    void componentComplete() override;

signals:
    void kindChanged();
    void nameChanged();
    void colorChanged();
    void drawingChanged();

private:
    void reload();

    Kind m_kind = Kind::Micro;
    QString m_name;
    QColor m_color = Qt::black;
    std::optional<QByteArray> m_drawing;
    qreal m_aspectRatio = 1;
};
