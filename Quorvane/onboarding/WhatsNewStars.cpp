// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/WhatsNewStars.h"

#include "onboarding/WhatsNewCardStyle.h"

#include <QGuiApplication>
#include <QPainter>

void WhatsNewStars::paint(QPainter *painter)
{
    const double t = frameTime();
    const QColor base = WhatsNewCardStyle::starColor(scheme());
    painter->setRenderHint(QPainter::TextAntialiasing);
    QFont font = QGuiApplication::font();
    for (const WhatsNewCardStyle::Star &star : WhatsNewCardStyle::stars()) {
        font.setPixelSize(qMax(1, qRound(star.size)));
        painter->setFont(font);
        QColor color = base;
        color.setAlphaF(float(WhatsNewCardStyle::starOpacity(t, star.phase, reduceMotion())));
        painter->setPen(color);
        const QPointF centre(width() * star.x, height() * star.y);
        // A box well larger than the glyph, centred on its point, lets the text engine centre it.
        const double box = 3 * star.size;
        painter->drawText(QRectF(centre.x() - box / 2, centre.y() - box / 2, box, box), Qt::AlignCenter,
                          QStringLiteral("\u2726"));
    }
}
