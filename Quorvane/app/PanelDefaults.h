// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QSettings>
#include <QString>

#include <memory>

/**
 * @brief The panel's remembered choices in the application's settings file: each read and write
 * opens the file afresh, so every reader sees a write at once.
 */
class PanelDefaults
{
public:
    /// @p file is an INI file; empty: the application's own settings.
    explicit PanelDefaults(QString file)
        : m_file(std::move(file))
    {
    }

    [[nodiscard]] bool boolValue(const QString &key, bool fallback = false) const
    {
        return settings()->value(key, fallback).toBool();
    }

    void setBool(const QString &key, bool value)
    {
        const std::unique_ptr<QSettings> stored = settings();
        stored->setValue(key, value);
        stored->sync();
    }

private:
    [[nodiscard]] std::unique_ptr<QSettings> settings() const
    {
        return m_file.isEmpty() ? std::make_unique<QSettings>()
                                : std::make_unique<QSettings>(m_file, QSettings::IniFormat);
    }

    QString m_file;
};
