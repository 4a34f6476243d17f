#pragma once

#include <QSet>
#include <QString>

#include "check/terminology_check.h"

// The gaps a reviewer accepted in one checked file, each for one segment
// and one card, so that checking the file again does not report them. Kept
// beside the file (<file>.ecarts-acceptes), or, where its folder refuses
// new files, in the user's application-data folder.
class AcceptedGaps {
public:
    // Those kept for the file; none where none are. A file of them that
    // cannot be read throws ExchangeError.
    static AcceptedGaps of(const QString& checkedFile);

    bool contains(const bilingual::Segment& segment, const termcheck::Gap& gap) const;
    // Keeps one more, written at once. A failure throws ExchangeError and
    // keeps nothing.
    void accept(const bilingual::Segment& segment, const termcheck::Gap& gap);

    // Where they are kept, or will be.
    const QString& path() const { return m_path; }
    qsizetype size() const { return m_keys.size(); }

    // Files larger than this are not theirs, and are refused.
    static constexpr qint64 kLargestFile = 16 * 1024 * 1024;

private:
    explicit AcceptedGaps(QString checkedFile) : m_checkedFile(std::move(checkedFile)) {}
    static QString keyOf(const bilingual::Segment& segment, const termcheck::Gap& gap);
    void write(const QString& path, const QSet<QString>& keys) const;

    QString m_checkedFile;
    QString m_path;
    QSet<QString> m_keys;
};
