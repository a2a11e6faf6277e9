#pragma once

#include <QString>

#include <utility>
#include <variant>

namespace qb::cli {

// Exit statuses of the client.
enum class ExitStatus { Success = 0, BadInput = 1, Usage = 2, Store = 3, Sync = 4 };

// A failure to report: one line on standard error and an exit status.
struct CliError {
    ExitStatus status = ExitStatus::BadInput;
    QString message;

    static CliError badInput(QString message) { return {ExitStatus::BadInput, std::move(message)}; }
    static CliError usage(QString message) { return {ExitStatus::Usage, std::move(message)}; }
    static CliError store(QString message) { return {ExitStatus::Store, std::move(message)}; }
};

// A value or the error that kept it from being made.
template <typename T> class Outcome {
public:
    Outcome(T value)
        : m_data(std::move(value)) {}
    Outcome(CliError error)
        : m_data(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_data); }
    explicit operator bool() const { return ok(); }
    T &value() { return std::get<T>(m_data); }
    const T &value() const { return std::get<T>(m_data); }
    T &operator*() { return value(); }
    T *operator->() { return &value(); }
    const T &operator*() const { return value(); }
    const T *operator->() const { return &value(); }
    const CliError &error() const { return std::get<CliError>(m_data); }

private:
    std::variant<T, CliError> m_data;
};

} // namespace qb::cli
