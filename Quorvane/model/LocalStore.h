// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/StoreFile.h"

#include <QObject>
#include <QString>

class Clock;

/**
 * @brief What the three local stores (connection metadata, projects, sites) share: their file in
 * the data folder, the writer that replaces it, and the one-way turn to read-only with the
 * sentence that says why.
 *
 * A store turns read-only when its file cannot be used or a save fails, and stays so until the
 * process ends: the file it could not use is never overwritten during this run.
 */
class LocalStore : public QObject
{
    Q_OBJECT
    /// The user's sentence for why changes are not saved; empty while all is well.
    Q_PROPERTY(QString persistenceIssue READ persistenceIssue NOTIFY persistenceIssueChanged)
    /// Whether changes are saved; once false it stays false until the process ends.
    Q_PROPERTY(bool persistenceWritable READ persistenceWritable NOTIFY persistenceWritableChanged)

public:
    [[nodiscard]] const QString &persistenceIssue() const { return m_persistenceIssue; }
    [[nodiscard]] bool persistenceWritable() const { return m_persistenceWritable; }
    /// The store's file.
    [[nodiscard]] const QString &filePath() const { return m_filePath; }

signals:
    void persistenceIssueChanged();
    void persistenceWritableChanged();

protected:
    /// Creates the folder when missing (a failure shows up at the read or the first save). `area`
    /// names the store in the error log.
    LocalStore(const QString &folder, const QString &fileName, const QString &area, Clock &clock,
               AtomicWriter writer, QObject *parent);

    [[nodiscard]] Clock &clock() const { return m_clock; }
    /// The file's bytes. Nothing when there is no file (the store starts empty and writable), or
    /// when something is there that cannot be read: then, since it may hold the user's data, the
    /// store turns read-only with `unreadableSentence`, the error is recorded and no copy is made.
    [[nodiscard]] std::optional<QByteArray> readFile(const QString &unreadableSentence);
    /// Replaces the store's file through the writer; nothing on success, else why it failed.
    [[nodiscard]] std::optional<QString> write(const QByteArray &bytes) const;
    /// Copies bytes the store could not use beside its file, under
    /// "<base>-unreadable-<unix seconds>.json", replacing a copy of that name. Answers the copy's
    /// file name, or records "backup failed: " and the reason and answers nothing.
    std::optional<QString> preserveCopy(const QByteArray &bytes, const QString &baseName) const;
    void setPersistenceIssue(const QString &issue);
    /// Turns the store read-only for the rest of the process, with the sentence that says why.
    void disableWriting(const QString &issue);
    /// Records a failure in the error log under the store's area, at the clock's time.
    void record(const QString &message) const;

private:
    Clock &m_clock;
    AtomicWriter m_writer;
    QString m_folder;
    QString m_filePath;
    QString m_area;
    QString m_persistenceIssue;
    bool m_persistenceWritable = true;
};
