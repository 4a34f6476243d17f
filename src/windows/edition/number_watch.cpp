#include "windows/edition/number_watch.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>

#include "store/data_file.h"
#include "store/field_text.h"
#include "store/store_error.h"
#include "windows/common/card_boxes.h"
#include "windows/common/card_number.h"
#include "windows/common/look.h"
#include "windows/common/notice_bar.h"
#include "windows/controls/alert.h"

using Module1::Field;

namespace {

// The longest expression a notice quotes.
constexpr qsizetype kQuoted = 40;

QString quoted(const QString& expression) {
    QString text = expression.simplified();
    if (text.size() > kQuoted) text = text.left(kQuoted - 1).trimmed() + u'…';
    return text.isEmpty() ? QStringLiteral("sans expression") : QStringLiteral("expression\u00A0: %1").arg(text);
}

// Card numbers as every window writes them, with no separator.
QString numbered(std::int64_t number) { return QString::number(number); }

// A field's text as the file holds it.
QString onFile(const Module1::FicheRecord& card, Field field) { return fieldtext::read(Module1::field(card, field)); }

bool sameCard(const Module1::FicheRecord& a, const Module1::FicheRecord& b) {
    for (const Field field : CardBoxes::shownOrder()) {
        if (onFile(a, field) != onFile(b, field)) return false;
    }
    return true;
}

}  // namespace

NumberWatch::NumberWatch(QMainWindow* window, QLineEdit* number, const CardBoxes& boxes,
                         std::function<QString()> dataFile, std::function<std::int32_t()> cardCount)
    : QObject(window),
      m_window(window),
      m_number(number),
      m_boxes(boxes),
      m_dataFile(std::move(dataFile)),
      m_cardCount(std::move(cardCount)) {
    connect(number, &QLineEdit::textChanged, this, &NumberWatch::check);
    for (const Field field : CardBoxes::shownOrder()) {
        connect(boxes.box(field), &QPlainTextEdit::textChanged, this, &NumberWatch::tell);
    }
}

void NumberWatch::check() {
    QString refused;
    const auto number = cardnumber::forSaving(m_number->text(), refused);
    bool whole = false;
    const qlonglong typed = m_number->text().trimmed().toLongLong(&whole);
    const std::optional<std::int64_t> slot = number ? std::optional<std::int64_t>(number->slot)
                                             : whole && typed > 0 ? std::optional<std::int64_t>(typed)
                                                                  : std::nullopt;
    std::optional<Module1::FicheRecord> saved;
    const QString path = m_dataFile();
    // A file that is not there holds no card, and looking creates none.
    if (number && number->slot <= m_cardCount() && !path.isEmpty() && QFileInfo::exists(path)) {
        try {
            DataFile file = DataFile::open(path);
            if (number->slot <= file.recordCount()) {
                Module1::FicheRecord card;
                file.readSlot(number->slot, card);
                saved = card;
            }
        } catch (const StoreError&) {
            // The save that follows, if any, says why the file cannot be read.
        }
    }
    // What the boxes showed of the same card still counts as seen.
    const bool sameAsBefore = slot == m_slot && saved.has_value() == m_saved.has_value() &&
                              (!saved || sameCard(*saved, *m_saved));
    if (!sameAsBefore) m_seen.fill(false);
    m_slot = slot;
    m_saved = saved;
    tell();
}

QStringList NumberWatch::unseenReplaced() const {
    QStringList fields;
    if (!m_saved) return fields;
    Module1::FicheRecord typed;  // as the save would store it, every character kept
    for (const Field field : CardBoxes::shownOrder()) {
        fieldtext::store(Module1::field(typed, field), m_boxes.text(field));
        const QString stored = onFile(*m_saved, field);
        if (stored.isEmpty() || m_seen[std::size_t(field)] || onFile(typed, field) == stored) continue;
        fields.append(CardBoxes::caption(field));
    }
    return fields;
}

void NumberWatch::tell() {
    // A field the boxes show as the file holds it has been seen, typed or shown.
    if (m_saved) {
        for (const Field field : CardBoxes::shownOrder()) {
            Module1::FicheRecord typed;
            fieldtext::store(Module1::field(typed, field), m_boxes.text(field));
            if (onFile(typed, field) == onFile(*m_saved, field)) m_seen[std::size_t(field)] = true;
        }
    }
    const std::int32_t count = m_cardCount();
    QString notice;
    if (m_slot && *m_slot > count && count >= Module1::kHighestCardNumber) {
        notice = QStringLiteral("Le fichier est plein\u00A0: %1 fiches").arg(numbered(count));
    } else if (m_slot && *m_slot > count + 2 && *m_slot <= Module1::kHighestCardNumber) {
        notice = QStringLiteral("Les fiches %1 à %2 seront créées vides").arg(numbered(count + 1), numbered(*m_slot - 1));
    } else if (m_slot && *m_slot == count + 2) {
        notice = QStringLiteral("La fiche %1 sera créée vide").arg(numbered(count + 1));
    } else if (!unseenReplaced().isEmpty()) {
        notice = QStringLiteral("Remplacera la fiche n°\u00A0%1 (%2)\u00A0; l'historique gardera la fiche remplacée")
                     .arg(numbered(*m_slot), quoted(onFile(*m_saved, Field::expression)));
    }
    NoticeBar::of(m_window).set(QStringLiteral("avisnumero"), notice, look::kDarkRed);
}

bool NumberWatch::confirmSaving(QWidget* parent) {
    check();
    const QStringList fields = unseenReplaced();
    if (fields.isEmpty()) return true;
    const QString named = fields.size() == 1
                              ? QStringLiteral("son champ «\u00A0%1\u00A0»").arg(fields.front())
                              : QStringLiteral("ses champs «\u00A0%1\u00A0» et «\u00A0%2\u00A0»")
                                    .arg(fields.mid(0, fields.size() - 1).join(QStringLiteral("\u00A0», «\u00A0")),
                                         fields.back());
    return Alert::question(parent,
                           QStringLiteral("La fiche n°\u00A0%1 existe déjà (%2). L'enregistrer ici remplacera %3, "
                                          "que cette fenêtre n'a pas montrés\u00A0; l'historique gardera la fiche "
                                          "remplacée.\n\nRemplacer la fiche n°\u00A0%1\u00A0?")
                               .arg(numbered(*m_slot), quoted(onFile(*m_saved, Field::expression)), named),
                           QStringLiteral("&Remplacer"), QStringLiteral("&Annuler"));
}
