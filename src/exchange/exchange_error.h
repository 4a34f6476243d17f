#pragma once

#include <QString>
#include <exception>

// A failure of an export or an import, with the French message to show.
class ExchangeError : public std::exception {
public:
    explicit ExchangeError(QString message) : m_message(std::move(message)) {}
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return "exchange failure"; }

private:
    QString m_message;
};
