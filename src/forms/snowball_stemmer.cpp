#include "forms/snowball_stemmer.h"

#include <libstemmer.h>

SnowballStemmer::SnowballStemmer(const QString& language)
    : m_stemmer(sb_stemmer_new(language.toLatin1().constData(), "UTF_8")) {}

SnowballStemmer::~SnowballStemmer() {
    if (m_stemmer) sb_stemmer_delete(m_stemmer);
}

QString SnowballStemmer::stem(const QString& word) const {
    if (!m_stemmer) return word;
    const QByteArray bytes = word.toUtf8();
    const std::lock_guard<std::mutex> lock(m_turn);
    const sb_symbol* stemmed =
        sb_stemmer_stem(m_stemmer, reinterpret_cast<const sb_symbol*>(bytes.constData()), int(bytes.size()));
    if (!stemmed) return word;
    return QString::fromUtf8(reinterpret_cast<const char*>(stemmed), sb_stemmer_length(m_stemmer));
}
