#include "exchange/table_rows.h"

#include <algorithm>

namespace {

bool isBlank(const QStringList& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const QString& field) { return field.trimmed().isEmpty(); });
}

}  // namespace

TableRows::TableRows(std::int32_t room, std::function<void(const QString&)> fail) : m_room(room), m_fail(std::move(fail)) {}

void TableRows::add(const QStringList& fields, qint64 line) {
    if (isBlank(fields)) return;
    if (!m_header) {
        m_header.emplace(fields, line, m_fail);
        return;
    }
    const qsizetype named = m_header->count();
    if (fields.size() > named && !isBlank(fields.mid(named))) {
        m_fail(QStringLiteral("a, à la ligne %1, %2 champs alors que la première ligne nomme %3 colonnes")
                   .arg(line)
                   .arg(fields.size())
                   .arg(named));
    }
    glossary::Entry entry = m_header->entry(fields);
    const bool anyTerm = std::any_of(entry.languages.begin(), entry.languages.end(),
                                     [](const glossary::LanguagePart& part) { return !part.terms.empty(); });
    if (anyTerm && ++m_withTerms > m_room) m_fail(glossary::pastTheRoom(m_room));
    m_glossary.entries.push_back(std::move(entry));
}

glossary::Glossary TableRows::finish() {
    if (!m_header || m_withTerms == 0) m_fail(QStringLiteral("ne contient aucune fiche"));
    for (const QString& language : m_header->languages()) {
        const bool used = std::any_of(m_glossary.entries.begin(), m_glossary.entries.end(), [&](const glossary::Entry& entry) {
            return std::any_of(entry.languages.begin(), entry.languages.end(), [&](const glossary::LanguagePart& part) {
                return part.language == language && !part.terms.empty();
            });
        });
        if (used) m_glossary.languages.append(language);  // an empty column is nothing to choose from
    }
    return std::move(m_glossary);
}
