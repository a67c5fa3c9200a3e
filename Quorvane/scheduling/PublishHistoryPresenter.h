// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/PublishAttention.h"
#include "scheduling/PublishRecord.h"
#include "scheduling/ScheduleStore.h"

#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QUuid>
#include <QVariantList>

#include <optional>

/// @brief The badge of a finished publish.
struct PublishOutcomeBadge
{
    enum class Colour { Green, Red, Orange };

    QString text;
    Colour colour = Colour::Red;

    friend bool operator==(const PublishOutcomeBadge &, const PublishOutcomeBadge &) = default;
};

/// The publish history's decisions.
namespace PublishHistoryRules {

/// What the history shows below its header.
enum class Content { Cards, Loading, Empty, Failed };

/// Records show whatever the load state; without records the load state decides.
[[nodiscard]] Content content(bool hasRecords, ScheduleStore::HistoryState state);
[[nodiscard]] PublishOutcomeBadge badge(PublishRecord::Outcome outcome);
/// The failure line shows only for a publish that did not go out.
[[nodiscard]] std::optional<QString> failureLine(const PublishRecord &record);
/// The first inbox item with @p focusedEventID; none without an id or a match.
[[nodiscard]] std::optional<PublishAttention> focusedItem(const QList<PublishAttention> &inbox,
                                                          const std::optional<QUuid> &focusedEventID);
/// "Published" only for the exact kind "published"; "Publish outcome" otherwise.
[[nodiscard]] QString focusedTitle(const PublishAttention &item);

} // namespace PublishHistoryRules

/**
 * @brief The publish history as its view shows it: the content mode, one card per finished
 * publish, and the outcome a tapped notification asked to feature. Holds no data of its own;
 * everything follows the store.
 */
class PublishHistoryPresenter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Content content READ content NOTIFY changed)
    /// The content as the view tests it: "cards", "loading", "empty" or "failed".
    Q_PROPERTY(QString contentName READ contentName NOTIFY changed)
    Q_PROPERTY(QString failureMessage READ failureMessage NOTIFY changed)
    /// One map per record: id, siteName, timeText, domains, badgeText, badgeColour, failure.
    Q_PROPERTY(QVariantList records READ records NOTIFY changed)
    Q_PROPERTY(bool hasFocusedItem READ hasFocusedItem NOTIFY changed)
    Q_PROPERTY(QString focusedTitle READ focusedTitle NOTIFY changed)
    Q_PROPERTY(QString focusedMessage READ focusedMessage NOTIFY changed)
    Q_PROPERTY(QString focusedDate READ focusedDate NOTIFY changed)
    Q_PROPERTY(QString focusedEventID READ focusedEventIDText WRITE setFocusedEventIDText NOTIFY changed)

public:
    enum class Content { Cards, Loading, Empty, Failed };
    Q_ENUM(Content)

    /// @p store must outlive the presenter; dates are written in @p locale.
    explicit PublishHistoryPresenter(ScheduleStore &store, QLocale locale = QLocale(), QObject *parent = nullptr);

    [[nodiscard]] Content content() const;
    [[nodiscard]] QString contentName() const;
    [[nodiscard]] QString failureMessage() const;
    [[nodiscard]] QVariantList records() const;
    [[nodiscard]] bool hasFocusedItem() const;
    [[nodiscard]] QString focusedTitle() const;
    [[nodiscard]] QString focusedMessage() const;
    [[nodiscard]] QString focusedDate() const;
    [[nodiscard]] QString focusedEventIDText() const;
    void setFocusedEventIDText(const QString &id);
    void setFocusedEventID(const std::optional<QUuid> &id);

    /// Each showing of the view and "Try Again": reads the history again.
    Q_INVOKABLE void load();

signals:
    void changed();

private:
    [[nodiscard]] std::optional<PublishAttention> focused() const;

    ScheduleStore &m_store;
    QLocale m_locale;
    std::optional<QUuid> m_focusedEventID;
};
