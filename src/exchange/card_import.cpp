#include "exchange/card_import.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <new>
#include <span>
#include <string>
#include <unordered_set>

#include "exchange/csv_reader.h"
#include "exchange/exchange_error.h"
#include "exchange/tab_reader.h"
#include "exchange/table_rows.h"
#include "exchange/tbx_reader.h"
#include "exchange/workbook_reader.h"
#include "search/duplicates.h"
#include "store/data_file.h"

namespace cardimport {
namespace {

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

bool looksLikeXml(const QByteArray& start) {
    QByteArray text = start;
    if (text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
    return text.trimmed().startsWith('<');
}

}  // namespace

namespace {

glossary::Glossary readWorkbook(QFile& file, workbook::Kind kind, const QString& path, std::int32_t room,
                                const SheetChooser& chooseSheet) {
    std::vector<workbook::Sheet> sheets = workbook::read(file.readAll(), kind, path);
    // The visible sheets first, in the workbook's order, then the hidden ones.
    std::stable_partition(sheets.begin(), sheets.end(), [](const workbook::Sheet& sheet) { return !sheet.hidden; });
    std::size_t chosen = 0;
    if (sheets.size() > 1) {
        std::vector<SheetChoice> choices;
        for (const workbook::Sheet& sheet : sheets) choices.push_back({sheet.name, qsizetype(sheet.rows.size()), sheet.hidden});
        const auto picked = chooseSheet ? chooseSheet(choices) : std::optional<std::size_t>(0);
        if (!picked || *picked >= sheets.size()) throw SheetNotChosen();
        chosen = *picked;
    }
    const QString sheetName = sheets[chosen].name;
    TableRows rows(room, [&](const QString& what) {
        throw ExchangeError(QStringLiteral("La feuille « %1 » du classeur « %2 » %3. Rien n'a été importé.")
                                .arg(sheetName, shown(path), what));
    });
    for (workbook::Row& row : sheets[chosen].rows) rows.add(row.cells, row.line);
    glossary::Glossary read = rows.finish();
    if (const QStringList& cells = sheets[chosen].uncomputed; !cells.isEmpty()) {
        constexpr qsizetype kNamed = 10;
        QString named = cells.mid(0, std::min(cells.size(), kNamed)).join(QStringLiteral(", "));
        if (cells.size() > kNamed) named += QStringLiteral(" et %1 autres").arg(cells.size() - kNamed);
        read.remarks.append(
            QStringLiteral("%1 de la feuille «\u00A0%2\u00A0» %3 des formules dont le classeur ne garde pas la valeur "
                           "calculée\u00A0: %4 importée%5 vide%5. Pour en garder la valeur, ouvrez le classeur dans un "
                           "tableur, enregistrez-le, et importez-le de nouveau.")
                .arg(cells.size() == 1 ? QStringLiteral("La cellule %1").arg(named) : QStringLiteral("Les cellules %1").arg(named),
                     sheetName, cells.size() == 1 ? QStringLiteral("est une") : QStringLiteral("sont"),
                     cells.size() == 1 ? QStringLiteral("elle sera") : QStringLiteral("elles seront"),
                     cells.size() == 1 ? QString() : QStringLiteral("s")));
    }
    return read;
}

}  // namespace

glossary::Glossary readFile(const QString& path, std::int32_t room, const SheetChooser& chooseSheet) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw ExchangeError(QStringLiteral("Impossible de lire le fichier «\u00A0%1\u00A0»\u00A0: %2.")
                                .arg(shown(path), file.errorString()));
    }
    if (file.size() > kLargestFile) {
        throw ExchangeError(QStringLiteral("Le fichier «\u00A0%1\u00A0» est trop volumineux (%2 Mo)\u00A0: un import lit "
                                           "%3 Mo au plus. Rien n'a été importé.")
                                .arg(shown(path))
                                .arg(file.size() / (1024 * 1024))
                                .arg(kLargestFile / (1024 * 1024)));
    }
    try {
        if (workbook::Kind kind; workbook::kindOf(path, kind)) return readWorkbook(file, kind, path, room, chooseSheet);
    } catch (const std::bad_alloc&) {
        throw ExchangeError(QStringLiteral("La mémoire a manqué pour lire le classeur «\u00A0%1\u00A0»\u00A0: fermez "
                                           "d'autres programmes, et recommencez. Rien n'a été importé.")
                                .arg(shown(path)));
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool tbx = suffix == QLatin1String("tbx") || suffix == QLatin1String("xml") ||
                     (suffix != QLatin1String("csv") && looksLikeXml(file.peek(64)));
    const bool tab = !tbx && (suffix == QLatin1String("txt") || suffix == QLatin1String("tab") ||
                              suffix == QLatin1String("utf8"));
    try {
        if (tbx) return readTbx(file, path, room);
        if (tab) return readTab(file, path, room);
        return readCsv(file, path, room);
    } catch (const std::bad_alloc&) {
        throw ExchangeError(QStringLiteral("La mémoire a manqué pour lire le fichier «\u00A0%1\u00A0»\u00A0: fermez "
                                           "d'autres programmes ou découpez le fichier, et recommencez. Rien n'a été "
                                           "importé.")
                                .arg(shown(path)));
    }
}

std::vector<CardText> withoutCardsAlreadyThere(std::vector<CardText> cards, DataFile& data, int& alreadyThere) {
    using Module1::Field;
    constexpr std::int32_t kRun = 256;
    // An expression and its translation, each as duplicates are compared.
    const auto keyOf = [](const std::string& expression, const std::string& traduction) {
        return expression + '\0' + traduction;
    };
    std::unordered_set<std::string> known;
    const std::int32_t count = data.recordCount();
    std::vector<char> run(std::size_t(kRun) * Module1::kSlotSize);
    for (std::int32_t first = 1; first <= count; first += kRun) {
        const std::int32_t inRun = std::min(kRun, count - first + 1);
        data.readSlots(first, std::span(run.data(), std::size_t(inRun) * Module1::kSlotSize));
        for (std::int32_t i = 0; i < inRun; ++i) {
            const Module1::SlotView slot(run.data() + std::size_t(i) * Module1::kSlotSize, Module1::kSlotSize);
            const std::string expression = duplicates::keyOf(Module1::field(slot, Field::expression));
            if (!expression.empty()) known.insert(keyOf(expression, duplicates::keyOf(Module1::field(slot, Field::traduction))));
        }
    }
    alreadyThere = 0;
    std::vector<CardText> fresh;
    fresh.reserve(cards.size());
    for (CardText& card : cards) {
        const std::string expression = duplicates::keyOf(card[Field::expression]);
        if (!expression.empty() && !known.insert(keyOf(expression, duplicates::keyOf(card[Field::traduction]))).second) {
            ++alreadyThere;
            continue;
        }
        fresh.push_back(std::move(card));
    }
    return fresh;
}

Plan plan(std::vector<CardText> cards, std::int32_t recordCount) {
    const std::int64_t last = std::int64_t(recordCount) + std::int64_t(cards.size());
    if (last > Module1::kHighestCardNumber) {
        throw ExchangeError(QStringLiteral("L'import ajouterait %1 fiches aux %2 du fichier de données, qui ne peut pas "
                                           "en compter plus de %3. Rien n'a été importé.")
                                .arg(cards.size())
                                .arg(recordCount)
                                .arg(Module1::kHighestCardNumber));
    }
    Plan planned;
    planned.first = recordCount + 1;
    for (const CardText& card : cards) {
        bool altered = false;
        recordOf(card, 0, altered);
        if (!altered) continue;
        ++planned.altered;
        if (card.line > 0) planned.alteredLines.push_back(card.line);
    }
    planned.cards = std::move(cards);
    return planned;
}

void apply(DataFile& data, const Plan& plan) {
    data.appendSlots(plan.first, plan.count(), [&plan](std::int32_t index, std::span<char, Module1::kSlotSize> slot) {
        bool altered = false;
        const auto bytes =
            Module1::toBytes(recordOf(plan.cards[std::size_t(index)], std::int16_t(plan.first + index), altered));
        std::copy(bytes.begin(), bytes.end(), slot.begin());
    });
}

}  // namespace cardimport
