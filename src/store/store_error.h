#pragma once

#include <QString>
#include <exception>

// A failure of the data file, with the French message a window shows as it is.
class StoreError : public std::exception {
public:
    explicit StoreError(QString message) : m_message(std::move(message)) {}
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return "data file failure"; }

private:
    QString m_message;
};

// Why a system call failed, in French, from its errno value.
QString describeSystemError(int error);
