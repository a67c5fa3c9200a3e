// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/ContinuousClock.h"

#include <QObject>
#include <QQmlParserStatus>
#include <QtQml/qqmlregistration.h>

/**
 * @brief When content that comes and goes is in the view tree and whether it is opaque: leaving,
 * it fades out in place and gives up its space once the fade is over; arriving, it takes its
 * space at once and fades in (the view animates both).
 *
 * The delayed removal belongs to one dismissal only: content shown again before it runs stays.
 * It waits on the boot-time clock, so a removal due during a suspend happens on resume.
 */
class FadeThenCollapseState : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    QML_ELEMENT

    /// Whether the content should be shown. Its value at creation is taken without animation.
    Q_PROPERTY(bool presented READ presented WRITE setPresented NOTIFY presentedChanged)
    /// Switch at once instead of animating.
    Q_PROPERTY(bool reduceMotion READ reduceMotion WRITE setReduceMotion NOTIFY reduceMotionChanged)
    /// Duration of the fade, in seconds; the content leaves the view tree when it has passed.
    Q_PROPERTY(qreal fade READ fade WRITE setFade NOTIFY fadeChanged)
    /// Whether the content is in the view tree.
    Q_PROPERTY(bool mounted READ mounted NOTIFY mountedChanged)
    /// Whether the content is (fading towards) fully opaque.
    Q_PROPERTY(bool opaque READ opaque NOTIFY opaqueChanged)
    /// Whether the latest change animates; it is set before `mounted` or `opaque` change.
    Q_PROPERTY(bool animated READ animated NOTIFY animatedChanged)

public:
    explicit FadeThenCollapseState(QObject *parent = nullptr);

    /// How the removal waits for the fade; tests hand in one they move by hand.
    void setDelay(ContinuousClock::Delay delay) { m_wait = std::move(delay); }

    [[nodiscard]] bool presented() const { return m_presented; }
    void setPresented(bool presented);
    [[nodiscard]] bool reduceMotion() const { return m_reduceMotion; }
    void setReduceMotion(bool reduceMotion);
    [[nodiscard]] qreal fade() const { return m_fade; }
    void setFade(qreal seconds);
    [[nodiscard]] bool mounted() const { return m_mounted; }
    [[nodiscard]] bool opaque() const { return m_opaque; }
    [[nodiscard]] bool animated() const { return m_animated; }

    void classBegin() override;
    void componentComplete() override;

signals:
    void presentedChanged();
    void reduceMotionChanged();
    void fadeChanged();
    void mountedChanged();
    void opaqueChanged();
    void animatedChanged();

private:
    void setMounted(bool mounted);
    void setOpaque(bool opaque);
    void setAnimated(bool animated);
    /// Takes the content out of the view tree once the fade of that change is over.
    QCoro::Task<> collapseAfterFade(quint64 change);

    ContinuousClock::Delay m_wait = ContinuousClock::delay();
    /// Moved on by every change of `presented`, which supersedes the removal of an earlier one.
    quint64 m_change = 0;
    bool m_presented = false;
    bool m_reduceMotion = false;
    qreal m_fade = 0.24;
    bool m_mounted = false;
    bool m_opaque = false;
    bool m_animated = false;
    bool m_complete = true;
};
