// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/StoreFile.h"
#include "model/FailureRecorder.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Clock;

/**
 * @brief What every local store (connection metadata, projects, sites, the account cache) shares:
 * its file in the data folder, the one way it is loaded, the writer that replaces it, and the
 * one-way turn to read-only with the sentence that says why.
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
    /// Why a change was not saved.
    struct SaveFailure
    {
        enum class Kind {
            readOnly, ///< The store was read-only; nothing was attempted.
            writeFailed, ///< Writing failed just now; the store has turned read-only.
            invalid, ///< The change's own precondition failed; nothing was written.
        };
        Kind kind;
        /// The store's sentence for `readOnly` and `writeFailed` (its persistenceIssue at that
        /// moment); empty for `invalid`.
        QString message;

        friend bool operator==(const SaveFailure &, const SaveFailure &) = default;
    };
    /// Nothing on success.
    using SaveResult = std::optional<SaveFailure>;

    /// What a store's owner hands it.
    struct Environment
    {
        /// Dates new records, preserved copies and recorded failures.
        const Clock &clock;
        /// Where the store's failures go, under its area.
        FailureRecorder record;
        /// Replaces the store's file; tests hand in one that can fail.
        AtomicWriter writer = StoreFile::writeAtomically;
    };

    /// The user's sentences of one store.
    struct Sentences
    {
        QString unreadable; ///< something is at the file's path but cannot be read
        QString unsupported; ///< the file is in the current layout of another version
        QString undecodable; ///< the file is in no layout the store reads
        QString saveFailed; ///< writing the file failed
    };

    /// The file's name and the store's area in the error log.
    struct Naming
    {
        QString fileName;
        QString area;
    };

    /// The layout version every store writes and the only one it reads.
    static constexpr qint64 currentVersion = 1;

    [[nodiscard]] const QString &persistenceIssue() const { return m_persistenceIssue; }
    [[nodiscard]] bool persistenceWritable() const { return m_persistenceWritable; }
    /// The store's file.
    [[nodiscard]] const QString &filePath() const { return m_filePath; }

signals:
    void persistenceIssueChanged();
    void persistenceWritableChanged();

protected:
    /// How the layouts of a store's file are read, each from the file's bytes.
    template <typename Content>
    struct Layouts
    {
        /// The current layout: the version it names and its content; nothing when the bytes are
        /// not that layout or its content does not decode.
        std::function<std::optional<StoreFile::Versioned<Content>>(const QByteArray &)> current;
        /// The layout older releases wrote, read as the current version; empty when there is none.
        std::function<std::optional<Content>(const QByteArray &)> older;
    };

    /// Why a file the store read was set aside.
    enum class SetAside {
        otherVersion, ///< the current layout of another version
        undecodable, ///< no layout the store reads
    };

    /// The layouts of a store whose records live under @p key beside "version", and which older
    /// releases wrote as the records alone; @p records decodes them from a JSON value.
    template <typename Content, typename Decode>
    [[nodiscard]] static Layouts<Content> recordLayouts(QLatin1StringView key, Decode records)
    {
        const auto whole = [](const QByteArray &bytes) {
            const QJsonDocument document = QJsonDocument::fromJson(bytes);
            if (document.isArray())
                return QJsonValue(document.array());
            // Text that is no JSON must not read as an empty object.
            return document.isObject() ? QJsonValue(document.object()) : QJsonValue(QJsonValue::Undefined);
        };
        return {
            [key, records](const QByteArray &bytes) -> std::optional<StoreFile::Versioned<Content>> {
                const auto versioned = StoreFile::versioned(QJsonDocument::fromJson(bytes), key);
                if (!versioned)
                    return std::nullopt;
                std::optional<Content> content = records(versioned->content);
                if (!content)
                    return std::nullopt;
                return StoreFile::Versioned<Content>{versioned->version, std::move(*content)};
            },
            [whole, records](const QByteArray &bytes) -> std::optional<Content> {
                return records(whole(bytes));
            },
        };
    }

    /// Creates the folder when missing, readable by the owner only (a failure shows up at the read
    /// or the first save).
    LocalStore(const QString &folder, Naming naming, Sentences sentences, Environment environment,
               QObject *parent);

    /// The store's content from its file, the one way every store loads. Stale temporary files of
    /// an interrupted save go first. No file: nothing, and the store stays empty and writable.
    /// Something there that cannot be read: nothing, read-only with the unreadable sentence and
    /// the error recorded, and no copy (there are no bytes to copy). The current layout of this
    /// version, else the older layout: its content. Anything else: nothing, read-only with the
    /// unsupported or undecodable sentence, the bytes copied aside (see preserveCopy()) and the
    /// store's note recorded.
    template <typename Content>
    [[nodiscard]] std::optional<Content> load(const Layouts<Content> &layouts)
    {
        const std::optional<QByteArray> bytes = readFile();
        if (!bytes)
            return std::nullopt;
        if (std::optional<StoreFile::Versioned<Content>> current = layouts.current(*bytes)) {
            if (current->version == currentVersion)
                return std::move(current->content);
            // Another version is kept aside as it is; its look-alike older layout is not tried.
            setAside(*bytes, SetAside::otherVersion);
            return std::nullopt;
        }
        if (layouts.older) {
            if (std::optional<Content> older = layouts.older(*bytes))
                return older;
        }
        setAside(*bytes, SetAside::undecodable);
        return std::nullopt;
    }

    /// The line recorded after a file was set aside, besides a failed copy's own line: @p copy is
    /// the copy's file name, or nothing when copying failed. None by default: the sentence already
    /// says the data was kept.
    [[nodiscard]] virtual std::optional<QString> setAsideNote(SetAside why, const QByteArray &bytes,
                                                              const std::optional<QString> &copy) const;

    /// Writes the store's whole file through the writer unless the store is read-only; a failed
    /// write turns it read-only with the save-failed sentence and is recorded.
    [[nodiscard]] SaveResult save(const QByteArray &bytes);
    /// Replaces the store's file through the writer, whatever the store's state; nothing on
    /// success, else why it failed.
    [[nodiscard]] std::optional<QString> write(const QByteArray &bytes) const;

    [[nodiscard]] const Clock &clock() const { return m_clock; }
    [[nodiscard]] const Sentences &sentences() const { return m_sentences; }
    void setPersistenceIssue(const QString &issue);

private:
    /// Records a failure under the store's area, at the clock's time.
    void record(const QString &message) const;
    /// The file's bytes, or nothing (see load()).
    std::optional<QByteArray> readFile();
    void setAside(const QByteArray &bytes, SetAside why);
    /// Copies bytes the store could not use beside its file, under
    /// "<base>-unreadable-<unix seconds>.json", replacing a copy of that name. Answers the copy's
    /// file name, or records "backup failed: " and the reason and answers nothing.
    std::optional<QString> preserveCopy(const QByteArray &bytes) const;
    /// Turns the store read-only for the rest of the process, with the sentence that says why.
    void disableWriting(const QString &issue);

    const Clock &m_clock;
    FailureRecorder m_record;
    AtomicWriter m_writer;
    QString m_folder;
    QString m_filePath;
    Naming m_naming;
    Sentences m_sentences;
    QString m_persistenceIssue;
    bool m_persistenceWritable = true;
};
