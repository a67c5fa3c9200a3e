// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/RegistryFile.h"

#include "cli/UniqueFd.h"

#include <QFile>
#include <QJsonDocument>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ClaudeCLI {

namespace {

/// The mapping a thread is parsing, so that the bus-error handler can tell its faults from others.
struct GuardedRange
{
    char *begin = nullptr;
    size_t size = 0;
    volatile sig_atomic_t shrank = 0;
};

thread_local GuardedRange *t_guardedRange = nullptr;
struct sigaction g_previousBusAction;

void onBusError(int signal, siginfo_t *info, void *context)
{
    GuardedRange *range = t_guardedRange;
    auto *address = static_cast<char *>(info->si_addr);
    if (range && address >= range->begin && address < range->begin + range->size) {
        // Zero pages stand in for the part of the file that went, from the faulting page to the
        // end of the mapping: the parser reads on, meets the zeros and fails.
        const auto page = uintptr_t(address) & ~uintptr_t(::sysconf(_SC_PAGESIZE) - 1);
        const size_t rest = size_t(uintptr_t(range->begin) + range->size - page);
        if (::mmap(reinterpret_cast<void *>(page), rest, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0)
            != MAP_FAILED) {
            range->shrank = 1;
            return;
        }
    }
    if (g_previousBusAction.sa_flags & SA_SIGINFO) {
        g_previousBusAction.sa_sigaction(signal, info, context);
        return;
    }
    if (g_previousBusAction.sa_handler != SIG_DFL && g_previousBusAction.sa_handler != SIG_IGN) {
        g_previousBusAction.sa_handler(signal);
        return;
    }
    // Not ours and nobody else's: the default action, when the faulting access runs again.
    ::signal(SIGBUS, SIG_DFL);
}

// Signal dispositions belong to the whole process, so the handler is put in place once, for every
// reader, and hands every fault outside a guarded mapping to whatever handled them before.
void installBusErrorHandler()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action{};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &g_previousBusAction);
    });
}

RegistryFile parsed(const char *data, size_t size)
{
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(data, qsizetype(size)), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {RegistryFile::State::Unparseable, {}};
    return {RegistryFile::State::Parsed, document.object()};
}

} // namespace

RegistryFile readRegistryFile(const QString &path, qint64 sizeLimit)
{
    // Non-blocking, so that a FIFO in the file's place cannot hold the open until a writer comes.
    const UniqueFd file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.isValid())
        return {errno == ENOENT ? RegistryFile::State::Missing : RegistryFile::State::Unreadable, {}};
    struct stat status{};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > sizeLimit)
        return {RegistryFile::State::Unreadable, {}};
    if (status.st_size == 0)
        return parsed("", 0);

    const auto size = size_t(status.st_size);
    void *mapping = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.get(), 0);
    if (mapping == MAP_FAILED)
        return {RegistryFile::State::Unreadable, {}};
    ::madvise(mapping, size, MADV_SEQUENTIAL);
    installBusErrorHandler();
    GuardedRange range{static_cast<char *>(mapping), size, 0};
    t_guardedRange = &range;
    RegistryFile result = parsed(range.begin, size);
    t_guardedRange = nullptr;
    ::munmap(mapping, size);
    if (range.shrank)
        return {RegistryFile::State::Unparseable, {}};
    return result;
}

} // namespace ClaudeCLI
