// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "publishing/OAuthCancellationReceipts.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

#include <sys/stat.h>
#include <sys/types.h>

/**
 * @brief The careful file work of oauth-cancellation-receipts.json: a guarded load that trusts
 * only a private regular file of ours, and an atomic writer that never follows a link and never
 * leaves its temporary file behind.
 *
 * Both run on the GUI thread, synchronously. The file holds a few receipts (a hundred bytes
 * each), is read once at start-up and written only when a cancelled connect settles, and the
 * store must know whether a save succeeded before it changes its receipts: handing the work to
 * another thread would let two saves overtake each other for no gain.
 */
namespace CancellationReceiptFile {

/// The largest file the load reads.
inline constexpr qint64 sizeLimit = 1'000'000;

inline const QString unsafeSentence = QStringLiteral(
    "OAuth cancellation recovery data exists but could not be read safely. It was preserved and recovery "
    "receipts are read-only until the file is repaired.");
inline const QString corruptSentence = QStringLiteral(
    "OAuth cancellation recovery data is corrupt. The original file was preserved and recovery receipts are "
    "read-only until it is repaired.");
inline const QString unsupportedSentence = QStringLiteral(
    "OAuth cancellation recovery data uses an unsupported version. The original file was preserved and "
    "recovery receipts are read-only until Quorvane is updated.");

/**
 * @brief The POSIX calls the load and the writer make, each as the C library's. Tests replace
 * one to make that step fail, or to change the file between two steps.
 */
struct PosixCalls
{
    std::function<int(const char *path, struct stat *status)> lstat;
    std::function<int(int fd, struct stat *status)> fstat;
    std::function<int(const char *path, int flags, mode_t mode)> open;
    std::function<ssize_t(int fd, void *buffer, size_t size)> read;
    std::function<int(int fd, mode_t mode)> fchmod;
    std::function<ssize_t(int fd, const void *buffer, size_t size)> write;
    std::function<int(int fd)> fsync;
    std::function<int(int fd)> close;
    std::function<int(const char *from, const char *to)> rename;
    std::function<int(const char *path)> unlink;
    std::function<uid_t()> geteuid;

    /// The C library's calls.
    PosixCalls();
};

/// What the load found: the receipts, whether the file may be written, and why not.
struct Loaded
{
    OAuthCancellationReceiptMap receipts;
    bool writable = true;
    std::optional<QString> issue;

    friend bool operator==(const Loaded &, const Loaded &) = default;
};

/// Reads the receipts file, trusting it only when it is a regular file of the effective user
/// with one link and mode 0600, no larger than sizeLimit, both as named and as opened. A missing
/// file gives no receipts and a writable file. Any doubt gives no receipts, read-only, and the
/// sentence that says why. Never changes, moves or deletes the file, and logs nothing.
[[nodiscard]] Loaded loadCancellationReceipts(const QString &path, const PosixCalls &calls = {});

/// Replaces the file at @p target with @p bytes: a fresh ".<name>.<UUID>.tmp" beside it, made
/// exclusively without following links at mode 0600, written whole, flushed to disk, renamed
/// over the target; then the folder is flushed and the target checked to be ours and private.
/// Answers 0, else the errno of the failed step. No temporary file is left after a failure
/// before the rename; a failure after it is reported although the new bytes are in place.
[[nodiscard]] int writeReceiptAtomically(const QByteArray &bytes, const QString &target, const PosixCalls &calls = {});

} // namespace CancellationReceiptFile
