#include "forms/file_vocabulary.h"

#include <string>
#include <thread>
#include <unordered_set>

#include "search/folding.h"
#include "store/cp1252.h"
#include "store/data_file.h"
#include "store/field_text.h"
#include "store/slot_scan.h"

namespace {

using Module1::Field;
using Words = std::unordered_set<std::string>;

// Each word of a field, lower-cased, as the code page's bytes.
void addWords(std::span<const char> field, Words& words) {
    const auto& isWord = folding::wordByteTable();
    const auto& lower = folding::lowerCaseTable();
    const std::size_t text = fieldtext::textLength(field);
    std::string word;
    for (std::size_t at = 0; at <= text; ++at) {
        const bool letter = at < text && isWord[static_cast<unsigned char>(field[at])];
        if (letter) {
            word.push_back(lower[static_cast<unsigned char>(field[at])]);
        } else if (!word.empty()) {
            words.insert(word);
            word.clear();
        }
    }
}

struct RunWords {
    Words source;
    Words target;
};

}  // namespace

std::shared_ptr<const FileVocabulary> FileVocabulary::read(DataFile& file, std::shared_ptr<const Lemmatizer> source,
                                                          std::shared_ptr<const Lemmatizer> target,
                                                          const std::atomic<bool>* stop) {
    const std::vector<RunWords> runs = slotscan::gather<RunWords>(
        file, [&](std::int32_t, std::span<const char> bytes, std::vector<RunWords>& found) {
            if (stop && *stop) return;
            RunWords& words = found.emplace_back();
            for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
                const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
                for (const Field field : {Field::expression, Field::dictionnaire, Field::contexte}) {
                    addWords(Module1::field(slot, field), words.source);
                }
                for (const Field field : {Field::traduction, Field::dictionnairecible}) {
                    addWords(Module1::field(slot, field), words.target);
                }
                for (const Field field : {Field::miscellanea, Field::reference}) {
                    addWords(Module1::field(slot, field), words.source);
                    addWords(Module1::field(slot, field), words.target);
                }
            }
        });
    file.close();
    auto vocabulary = std::make_shared<FileVocabulary>();
    const auto lemmatize = [&](SideWords& side, std::shared_ptr<const Lemmatizer> lemmatizer, Words RunWords::*part) {
        side.lemmatizer = std::move(lemmatizer);
        Words all;
        for (const RunWords& run : runs) all.insert((run.*part).begin(), (run.*part).end());
        side.words = qsizetype(all.size());
        if (!side.lemmatizer) return;
        for (const std::string& bytes : all) {
            if (stop && *stop) return;
            const QString word = cp1252::decode(bytes.data(), qsizetype(bytes.size()));
            for (const QString& key : side.lemmatizer->lemmasOf(word).keys) side.wordsOfKey[key].append(word);
            side.wordsOfFolded[folding::forComparison(word)].append(word);
        }
    };
    // The two sides' languages have dictionaries of their own: both at once.
    std::thread translations([&] { lemmatize(vocabulary->m_target, std::move(target), &RunWords::target); });
    lemmatize(vocabulary->m_source, std::move(source), &RunWords::source);
    translations.join();
    if (stop && *stop) return nullptr;
    return vocabulary;
}

std::vector<FileVocabulary::Form> FileVocabulary::formsOf(const QString& word, Side side, bool accentsIgnored) const {
    const SideWords& words = sideWords(side);
    std::vector<Form> forms;
    if (!words.lemmatizer) return forms;
    const QString lower = word.toLower();
    QStringList asked{lower};
    if (accentsIgnored) {
        for (const QString& same : words.wordsOfFolded.value(folding::forComparison(lower))) {
            if (!asked.contains(same)) asked.append(same);
        }
    }
    for (const QString& spelt : asked) {
        for (const QString& key : words.lemmatizer->lemmasOf(spelt).keys) {
            for (const QString& form : words.wordsOfKey.value(key)) {
                const bool known = std::any_of(forms.begin(), forms.end(), [&](const Form& f) { return f.word == form; });
                if (!known) forms.push_back({form, key.startsWith(u'~')});
            }
        }
    }
    return forms;
}

bool FileVocabulary::hasLemmas(Side side) const { return sideWords(side).lemmatizer != nullptr; }

qsizetype FileVocabulary::words(Side side) const { return sideWords(side).words; }
