#include "check/verification.h"

#include <QFileInfo>

#include "check/accepted_gaps.h"
#include "store/data_file.h"

namespace verification {

std::shared_ptr<termcheck::TermGlossary> Checker::glossaryFor(const Key& key, const std::atomic<bool>* stop) {
    if (m_glossary && key == m_key) return m_glossary;
    DataFile data = DataFile::openForReading(key.path);
    std::shared_ptr<termcheck::TermGlossary> glossary = termcheck::TermGlossary::read(data, key.languages, key.direction, stop);
    if (!glossary) return nullptr;
    m_key = key;
    m_glossary = std::move(glossary);
    return m_glossary;
}

std::optional<Result> Checker::check(const QString& checkedFile, const QString& dataFile, const FileLanguages& languages,
                                     const AcceptedGaps* accepted, const std::atomic<bool>* stop, const Progress& progress) {
    if (progress) progress(0, 0);
    Result result;
    result.file = bilingual::read(checkedFile);
    if (stop && *stop) return std::nullopt;
    const QFileInfo data(dataFile);
    const Key key{data.absoluteFilePath(), data.exists() ? data.size() : -1, data.lastModified(), languages,
                  termcheck::directionOf(checkedFile, result.file.sourceLanguage, result.file.targetLanguage, languages)};
    const auto glossary = glossaryFor(key, stop);
    if (!glossary) return std::nullopt;
    const std::size_t total = result.file.segments.size();
    auto report = termcheck::check(
        *glossary, result.file,
        [accepted](const bilingual::Segment& segment, const termcheck::Gap& gap) {
            return accepted && accepted->contains(segment, gap);
        },
        [&](std::size_t done) {
            if (progress) progress(done, total);
            return !(stop && *stop);
        });
    if (!report) return std::nullopt;
    result.report = std::move(*report);
    return result;
}

}  // namespace verification
