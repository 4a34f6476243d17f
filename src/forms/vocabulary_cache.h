#pragma once

#include <QDateTime>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "forms/file_languages.h"
#include "forms/file_vocabulary.h"

// The vocabulary of the data file in use, read on a thread of its own so
// that no window waits while it is made, and kept while the file is
// unchanged (same size, same time of change) and its languages the same.
class VocabularyCache {
public:
    VocabularyCache() = default;
    ~VocabularyCache();
    VocabularyCache(const VocabularyCache&) = delete;
    VocabularyCache& operator=(const VocabularyCache&) = delete;

    // The one the program shares.
    static VocabularyCache& shared();

    // The file's vocabulary if it is ready; begins making it otherwise.
    std::shared_ptr<const FileVocabulary> ready(const QString& dataFile, const FileLanguages& languages);
    // Waits for it, asking `keepWaiting` every tenth of a second; none when
    // the user stops waiting or the file could not be read (`failure` says why).
    std::shared_ptr<const FileVocabulary> wait(const QString& dataFile, const FileLanguages& languages,
                                               const std::function<bool()>& keepWaiting, QString& failure);

private:
    struct Key {
        QString path;
        qint64 size = -1;
        QDateTime changed;
        FileLanguages languages;
        bool operator==(const Key&) const = default;
    };
    static Key keyOf(const QString& dataFile, const FileLanguages& languages);
    void start(const Key& key);
    void stopWorker();

    std::mutex m_turn;
    std::condition_variable m_done;
    Key m_key;                                       // what is made, or being made
    std::shared_ptr<const FileVocabulary> m_result;  // for m_key, once made
    QString m_failure;
    bool m_working = false;
    std::atomic<bool> m_stop = false;
    std::thread m_worker;
};
