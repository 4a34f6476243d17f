#include "windows/edition/number_watch.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>

#include "store/data_file.h"
#include "store/field_text.h"
#include "store/store_error.h"
#include "windows/common/card_number.h"
#include "windows/common/look.h"
#include "windows/common/notice_bar.h"

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

}  // namespace

NumberWatch::NumberWatch(QMainWindow* window, QLineEdit* number, QPlainTextEdit* expression,
                         std::function<QString()> dataFile, std::function<std::int32_t()> cardCount)
    : QObject(window),
      m_window(window),
      m_number(number),
      m_expression(expression),
      m_dataFile(std::move(dataFile)),
      m_cardCount(std::move(cardCount)) {
    connect(number, &QLineEdit::textChanged, this, &NumberWatch::check);
    connect(expression, &QPlainTextEdit::textChanged, this, &NumberWatch::tell);
}

void NumberWatch::check() {
    QString refused;
    const auto number = cardnumber::forSaving(m_number->text(), refused);
    bool whole = false;
    const qlonglong typed = m_number->text().trimmed().toLongLong(&whole);
    m_slot = number ? std::optional<std::int64_t>(number->slot)
                    : whole && typed > 0 ? std::optional<std::int64_t>(typed) : std::nullopt;
    m_savedExpression.reset();
    const QString path = m_dataFile();
    // A file that is not there holds no card, and looking creates none.
    if (number && number->slot <= m_cardCount() && !path.isEmpty() && QFileInfo::exists(path)) {
        try {
            DataFile file = DataFile::open(path);
            if (number->slot <= file.recordCount()) {
                Module1::FicheRecord card;
                file.readSlot(number->slot, card);
                m_savedExpression = fieldtext::read(card.expression);
            }
        } catch (const StoreError&) {
            // The save that follows, if any, says why the file cannot be read.
        }
    }
    tell();
}

void NumberWatch::tell() {
    const std::int32_t count = m_cardCount();
    QString notice;
    if (m_slot && *m_slot > count && count >= Module1::kHighestCardNumber) {
        notice = QStringLiteral("Le fichier est plein\u00A0: %1 fiches").arg(numbered(count));
    } else if (m_slot && *m_slot > count + 2 && *m_slot <= Module1::kHighestCardNumber) {
        notice = QStringLiteral("Les fiches %1 à %2 seront créées vides").arg(numbered(count + 1), numbered(*m_slot - 1));
    } else if (m_slot && *m_slot == count + 2) {
        notice = QStringLiteral("La fiche %1 sera créée vide").arg(numbered(count + 1));
    } else if (m_savedExpression) {
        Module1::FicheRecord typed;  // as the save would store it
        fieldtext::store(typed.expression, m_expression->toPlainText());
        if (fieldtext::read(typed.expression) != *m_savedExpression) {
            notice = QStringLiteral("Remplacera la fiche n°\u00A0%1 (%2)\u00A0; l'historique gardera la fiche remplacée")
                         .arg(numbered(*m_slot), quoted(*m_savedExpression));
        }
    }
    NoticeBar::of(m_window).set(QStringLiteral("avisnumero"), notice, look::kDarkRed);
}
