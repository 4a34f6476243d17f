#include "forms/vocabulary_cache.h"

#include <QFileInfo>
#include <chrono>

#include "forms/dictionaries.h"
#include "store/data_file.h"
#include "store/store_error.h"

VocabularyCache::~VocabularyCache() { stopWorker(); }

VocabularyCache& VocabularyCache::shared() {
    static VocabularyCache cache;
    return cache;
}

VocabularyCache::Key VocabularyCache::keyOf(const QString& dataFile, const FileLanguages& languages) {
    const QFileInfo info(dataFile);
    return {info.absoluteFilePath(), info.exists() ? info.size() : -1, info.lastModified(), languages};
}

void VocabularyCache::stopWorker() {
    m_stop = true;
    if (m_worker.joinable()) m_worker.join();
    m_stop = false;
}

// Makes the vocabulary of `key` on the worker, in place of whatever was made.
void VocabularyCache::start(const Key& key) {
    stopWorker();
    const std::lock_guard<std::mutex> lock(m_turn);
    m_key = key;
    m_result.reset();
    m_failure.clear();
    m_working = true;
    m_worker = std::thread([this, key] {
        std::shared_ptr<const FileVocabulary> made;
        QString failure;
        try {
            // The dictionaries are loaded before the file is opened, which is
            // read only, and let go once its words are read.
            auto source = dictionaries::lemmatizerFor(key.languages.source);
            auto target = dictionaries::lemmatizerFor(key.languages.target);
            DataFile file = DataFile::openForReading(key.path);
            made = FileVocabulary::read(file, std::move(source), std::move(target), &m_stop);
        } catch (const StoreError& error) {
            failure = error.message();
        }
        const std::lock_guard<std::mutex> done(m_turn);
        m_result = made;
        m_failure = failure;
        m_working = false;
        m_done.notify_all();
    });
}

std::shared_ptr<const FileVocabulary> VocabularyCache::ready(const QString& dataFile, const FileLanguages& languages) {
    const Key key = keyOf(dataFile, languages);
    {
        const std::lock_guard<std::mutex> lock(m_turn);
        if (key == m_key && (m_working || m_result)) return m_result;
    }
    start(key);
    return nullptr;
}

std::shared_ptr<const FileVocabulary> VocabularyCache::wait(const QString& dataFile, const FileLanguages& languages,
                                                            const std::function<bool()>& keepWaiting, QString& failure) {
    if (auto made = ready(dataFile, languages)) return made;
    std::unique_lock<std::mutex> lock(m_turn);
    while (m_working) {
        m_done.wait_for(lock, std::chrono::milliseconds(100));
        if (!m_working) break;
        lock.unlock();
        const bool waitOn = keepWaiting();
        lock.lock();
        if (!waitOn) return nullptr;
    }
    failure = m_failure;
    return m_result;
}
