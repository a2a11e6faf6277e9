#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace qb {

// An error reported by the store, with a description fit for the fatal start-up message.
struct StoreError {
    QString message;
};

// Success or a StoreError, for operations that return nothing.
class Status {
public:
    static Status success() { return Status(); }
    static Status failure(QString message) { return Status(StoreError{std::move(message)}); }

    bool ok() const { return !m_error; }
    explicit operator bool() const { return ok(); }
    QString message() const { return m_error ? m_error->message : QString(); }

private:
    Status() = default;
    explicit Status(StoreError error)
        : m_error(std::move(error)) {}
    std::optional<StoreError> m_error;
};

// A value or a StoreError.
template <typename T> class Result {
public:
    Result(T value)
        : m_data(std::move(value)) {}
    Result(StoreError error)
        : m_data(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_data); }
    explicit operator bool() const { return ok(); }
    T &value() { return std::get<T>(m_data); }
    const T &value() const { return std::get<T>(m_data); }
    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }
    QString message() const { return ok() ? QString() : std::get<StoreError>(m_data).message; }

private:
    std::variant<T, StoreError> m_data;
};

} // namespace qb
