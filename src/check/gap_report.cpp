#include "check/gap_report.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <new>
#include <set>

#include "exchange/csv_writer.h"
#include "exchange/exchange_error.h"
#include "exchange/workbook_writer.h"

namespace gapreport {
namespace {

constexpr qsizetype kNumberColumn = 5;

[[noreturn]] void cannotWrite(const QString& path, const QString& why) {
    throw ExchangeError(QStringLiteral("Impossible d'écrire le rapport «\u00A0%1\u00A0»\u00A0: %2.")
                            .arg(QDir::toNativeSeparators(path), why));
}

// A field on a line of its own: no tab or line break inside.
QString flat(QString text) {
    for (QChar& c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    }
    return text;
}

// « 1 segment », « 2 segments ».
QString counted(std::size_t count, const QString& singular, const QString& plural) {
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? singular : plural);
}

}  // namespace

std::optional<Format> formatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv")) return Format::csv;
    if (suffix == QLatin1String("xlsx")) return Format::xlsx;
    if (suffix == QLatin1String("ods")) return Format::ods;
    return std::nullopt;
}

QStringList titles() {
    return {QStringLiteral("Segment"),    QStringLiteral("Texte source"), QStringLiteral("Terme"),
            QStringLiteral("Traduction attendue"), QStringLiteral("Texte cible"), QStringLiteral("N° fiche"),
            QStringLiteral("Écart"),      QStringLiteral("Terme déconseillé")};
}

QStringList rowOf(const bilingual::File& file, const termcheck::Gap& gap) {
    const bilingual::Segment& segment = file.segments.at(gap.segment);
    return {segment.id, segment.source, gap.term, gap.expected, segment.target, gap.numero, termcheck::nameOf(gap.kind),
            gap.deprecated};
}

void write(const QString& path, const bilingual::File& file, const std::vector<termcheck::Gap>& gaps) {
    const auto format = formatOf(path);
    if (!format) cannotWrite(path, QStringLiteral("son nom doit finir par .csv, .xlsx ou .ods"));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) cannotWrite(path, out.errorString());
    try {
        if (*format == Format::csv) {
            CsvWriter writer(out, CsvWriter::separatorForLocale(), titles());
            for (const termcheck::Gap& gap : gaps) writer.writeRow(rowOf(file, gap));
            if (!writer.finish()) cannotWrite(path, out.errorString());
        } else {
            WorkbookWriter writer(out, *format == Format::xlsx ? workbook::Kind::xlsx : workbook::Kind::ods, titles(),
                                  kNumberColumn);
            for (const termcheck::Gap& gap : gaps) writer.writeRow(rowOf(file, gap));
            if (!writer.finish()) cannotWrite(path, out.errorString());
        }
        if (!out.commit()) cannotWrite(path, out.errorString());
    } catch (const std::bad_alloc&) {
        out.cancelWriting();
        cannotWrite(path, QStringLiteral("la mémoire a manqué"));
    }
}

QString summaryOf(const std::vector<termcheck::Gap>& gaps, const termcheck::Report& counts) {
    std::set<std::size_t> segments;
    for (const termcheck::Gap& gap : gaps) segments.insert(gap.segment);
    const QString segment = QStringLiteral("segment");
    const QString plural = QStringLiteral("segments");
    QString summary =
        gaps.empty()
            ? QStringLiteral("Aucun écart dans %1").arg(counted(counts.segments, segment, plural))
            : QStringLiteral("%1 dans %2 sur %3")
                  .arg(counted(gaps.size(), QStringLiteral("écart"), QStringLiteral("écarts")),
                       counted(segments.size(), segment, plural))
                  .arg(counts.segments);
    QStringList passed;
    if (counts.withoutTarget > 0) passed << counted(counts.withoutTarget, segment, plural) + QStringLiteral(" sans traduction");
    if (counts.notToTranslate > 0) {
        passed << counted(counts.notToTranslate, segment, plural) + QStringLiteral(" à ne pas traduire");
    }
    if (!passed.isEmpty()) summary += QStringLiteral(" (%1)").arg(passed.join(QStringLiteral(", ")));
    return summary;
}

QString lineOf(const bilingual::File& file, const termcheck::Gap& gap) {
    QStringList fields{file.segments.at(gap.segment).id, gap.numero, gap.term, gap.expected, termcheck::nameOf(gap.kind)};
    if (!gap.deprecated.isEmpty()) fields.append(gap.deprecated);
    for (QString& field : fields) field = flat(field);
    return fields.join(u'\t');
}

}  // namespace gapreport
