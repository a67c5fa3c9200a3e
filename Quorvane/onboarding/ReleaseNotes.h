#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The notes compiled into the application for each released version. Versions are compared as
// written, character for character: no parsing, no ordering, no fallback to an older entry.
namespace ReleaseNotes {

// The note lines of the version, in order; absent when the version has none.
std::optional<QStringList> linesFor(const QString &version);
// Icon names aligned with the lines; empty for every version without them.
QStringList symbolsFor(const QString &version);
// The title of a feature release; absent for every other version.
std::optional<QString> headlineFor(const QString &version);

} // namespace ReleaseNotes
