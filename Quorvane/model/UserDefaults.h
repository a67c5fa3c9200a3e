// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

/**
 * @brief The user's few remembered choices (first-run marks, dismissed notes, toggles), kept in
 * the application's settings file, with a notice of each change.
 *
 * One owner makes it and hands it to whatever reads or writes a default, so a view that shows a
 * default learns when another part changes it. Every write reaches the file before it returns,
 * and a write that leaves the stored value as it was notifies nobody.
 */
class UserDefaults final : public QObject
{
    Q_OBJECT

public:
    /// `file` is an INI file; empty: the application's own settings.
    explicit UserDefaults(const QString &file = {}, QObject *parent = nullptr);
    ~UserDefaults() override;

    /// Whether anything is stored under the key.
    Q_INVOKABLE [[nodiscard]] bool contains(const QString &key) const;
    /// The stored value, or `fallback` when there is none.
    Q_INVOKABLE [[nodiscard]] QVariant value(const QString &key, const QVariant &fallback = {}) const;
    /// The stored value read as a Boolean, or `fallback` when there is none.
    Q_INVOKABLE [[nodiscard]] bool boolValue(const QString &key, bool fallback = false) const;
    /// The stored value read as text, or `fallback` when there is none.
    Q_INVOKABLE [[nodiscard]] QString stringValue(const QString &key, const QString &fallback = {}) const;
    /// Stores the value; an invalid value removes the key.
    Q_INVOKABLE void setValue(const QString &key, const QVariant &value);
    Q_INVOKABLE void setBool(const QString &key, bool value) { setValue(key, value); }
    Q_INVOKABLE void setString(const QString &key, const QString &value) { setValue(key, value); }
    Q_INVOKABLE void remove(const QString &key) { setValue(key, QVariant()); }

signals:
    /// The value under `key` changed, through this object.
    void valueChanged(const QString &key);

private:
    std::unique_ptr<QSettings> m_settings;
};
