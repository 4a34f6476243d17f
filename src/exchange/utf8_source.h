#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// The text of a file in UTF-8, given piece by piece as it is read and checked
// in the same pass, so that no more than a piece of it is held at once: a
// piece is at most one line, its line feed included. A byte-order mark is
// left out. Throws ExchangeError, the message beginning with `described`
// (« Le tableau « … » »), for a file in UTF-16, not in UTF-8 or holding a NUL,
// naming the line.
class Utf8Source {
public:
    Utf8Source(QIODevice& in, const QString& described);

    // The next piece; false at the end of the file.
    bool next(QString& piece);

private:
    [[noreturn]] void notUtf8() const;

    QIODevice& m_in;
    QString m_described;
    QByteArray m_buffer;   // one line's bytes at most, read again and again
    QByteArray m_carried;  // the start of a character cut at the end of the last piece
    qint64 m_line = 1;
    bool m_started = false;
};
