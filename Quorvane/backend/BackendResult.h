// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "backend/BackendError.h"

#include <optional>
#include <variant>

/**
 * @brief The outcome of a backend call: a value, or the BackendError that prevented it.
 *
 * BackendResult<> (void) carries no value and only tells success from failure.
 */
template<typename T = void>
class BackendResult
{
public:
    /// A success holding a default value (coroutine drivers need results they can assign later).
    BackendResult() = default;
    BackendResult(T value) : m_outcome(std::move(value)) {}
    BackendResult(BackendError error) : m_outcome(std::move(error)) {}

    [[nodiscard]] bool ok() const { return m_outcome.index() == 0; }
    explicit operator bool() const { return ok(); }
    /// The value; only when ok().
    [[nodiscard]] const T &value() const { return std::get<0>(m_outcome); }
    [[nodiscard]] T &value() { return std::get<0>(m_outcome); }
    /// The error; only when not ok().
    [[nodiscard]] const BackendError &error() const { return std::get<1>(m_outcome); }

    friend bool operator==(const BackendResult &, const BackendResult &) = default;

private:
    std::variant<T, BackendError> m_outcome;
};

template<>
class BackendResult<void>
{
public:
    BackendResult() = default;
    BackendResult(BackendError error) : m_error(std::move(error)) {}

    [[nodiscard]] bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    /// The error; only when not ok().
    [[nodiscard]] const BackendError &error() const { return *m_error; }

    friend bool operator==(const BackendResult &, const BackendResult &) = default;

private:
    std::optional<BackendError> m_error;
};
