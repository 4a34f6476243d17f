#pragma once

#include <QString>
#include <exception>

// A failure of the data file, with the French message a window shows as it is.
class StoreError : public std::exception {
public:
    enum class Kind {
        other,
        cannotCreate,  // the file does not exist and cannot be created there
    };
    explicit StoreError(QString message, Kind kind = Kind::other) : m_message(std::move(message)), m_kind(kind) {}
    const QString& message() const { return m_message; }
    Kind kind() const { return m_kind; }
    const char* what() const noexcept override { return "data file failure"; }

private:
    QString m_message;
    Kind m_kind;
};

// Why a system call failed, in French, from its errno value.
QString describeSystemError(int error);

// A path as a message shows it: between French quotes, with the system's separators.
QString quotedPath(const QString& path);
