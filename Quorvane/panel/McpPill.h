// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ConnectionStatus.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <optional>

/**
 * @brief The project card's MCP status pill: what the server's state reads as, and how the pill
 * draws and answers a press.
 *
 * The card's only say in it is whether the copy confirmation is showing; everything else comes
 * from the model's connection, its loading flag and its busy and in-flight sets.
 */
class McpPill
{
    Q_GADGET
    Q_PROPERTY(QString icon MEMBER icon)
    Q_PROPERTY(QString hoverIcon MEMBER hoverIcon)
    Q_PROPERTY(QString label MEMBER label)
    Q_PROPERTY(bool prominentBrand MEMBER prominentBrand)
    Q_PROPERTY(bool warning MEMBER warning)
    Q_PROPERTY(bool dots MEMBER dots)
    Q_PROPERTY(qreal opacity MEMBER opacity)
    Q_PROPERTY(QString help MEMBER help)
    Q_PROPERTY(bool enabled MEMBER enabled)
    Q_PROPERTY(State state MEMBER state)

public:
    /// The server's state as the card reads it.
    enum class State { pending, unregistered, live, degraded, needsAuth, unavailable };
    Q_ENUM(State)

    /// What a press does.
    enum class Press { nothing, copy, connect };

    /// What the pill is drawn from.
    struct Input
    {
        /// The status of the connection named like the project's server; none when unregistered.
        std::optional<ConnectionStatus> status;
        /// The model has not read Claude's registry yet.
        bool loading = false;
        /// The server's live check is running.
        bool checkInFlight = false;
        /// The model works on the server.
        bool busy = false;
        /// The copy confirmation shows.
        bool copied = false;
    };

    QString icon;
    /// Shown instead of `icon` under the pointer; empty for none.
    QString hoverIcon;
    QString label;
    bool prominentBrand = false;
    bool warning = false;
    /// Pulsing dots instead of the label.
    bool dots = false;
    qreal opacity = 1.0;
    QString help;
    bool enabled = true;
    State state = State::pending;

    /// The state, by the first matching row: checking, no connection, then the status.
    [[nodiscard]] static State stateOf(const std::optional<ConnectionStatus> &status, bool checking);
    [[nodiscard]] static McpPill of(const Input &input);
    /// What a press does now: the conditions are read again when the press arrives.
    [[nodiscard]] static Press pressOf(const Input &input);
    /// The sentence the live pill copies.
    [[nodiscard]] static QString copyText(const QString &mcpName, const QString &siteLabel);

    friend bool operator==(const McpPill &, const McpPill &) = default;
};

Q_DECLARE_METATYPE(McpPill)
