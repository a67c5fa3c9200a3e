// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QString>

/// Writes an executable shell script ("#!/bin/sh" and the body) at the path, making its folder,
/// and returns the path.
QString writeTestScript(const QString &path, const QByteArray &body);
