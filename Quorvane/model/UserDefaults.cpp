// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/UserDefaults.h"

#include <QSettings>

UserDefaults::UserDefaults(const QString &file, QObject *parent)
    : QObject(parent)
    , m_settings(file.isEmpty() ? std::make_unique<QSettings>() : std::make_unique<QSettings>(file, QSettings::IniFormat))
{
}

UserDefaults::~UserDefaults() = default;

bool UserDefaults::contains(const QString &key) const
{
    return m_settings->contains(key);
}

QVariant UserDefaults::value(const QString &key, const QVariant &fallback) const
{
    return m_settings->value(key, fallback);
}

bool UserDefaults::boolValue(const QString &key, bool fallback) const
{
    return m_settings->contains(key) ? m_settings->value(key).toBool() : fallback;
}

QString UserDefaults::stringValue(const QString &key, const QString &fallback) const
{
    return m_settings->contains(key) ? m_settings->value(key).toString() : fallback;
}

void UserDefaults::setValue(const QString &key, const QVariant &value)
{
    if (!value.isValid()) {
        if (!m_settings->contains(key))
            return;
        m_settings->remove(key);
    } else {
        // A value read back from the file is text ("true"), so compare it as the type now written.
        QVariant stored = m_settings->value(key);
        if (stored.isValid() && stored.convert(value.metaType()) && stored == value)
            return;
        m_settings->setValue(key, value);
    }
    // Another reader of the file (a second process, a test) sees the change at once.
    m_settings->sync();
    emit valueChanged(key);
}
