#include "windows/card/field_limits.h"

#include <QLocale>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "store/field_text.h"
#include "windows/common/card_boxes.h"
#include "windows/common/look.h"
#include "windows/common/notice_bar.h"
#include "windows/controls/alert.h"

using Module1::Field;

namespace {

const QLocale& french() {
    static const QLocale locale(QLocale::French, QLocale::France);
    return locale;
}

qsizetype widthOf(Field field) { return qsizetype(Module1::field(Module1::FicheRecord{}, field).size()); }

// "τ, ≤ seront remplacés par ?", or the one letter's.
QString replacedSaying(const fieldtext::Fit& fit) {
    return fit.replaced.size() == 1 ? QStringLiteral("%1 sera remplacé par\u00A0?").arg(fit.replaced.front())
                                    : QStringLiteral("%1 seront remplacés par\u00A0?").arg(fit.replaced.join(QStringLiteral(", ")));
}

// As the status bar says it while the user types.
QString typingNotice(Field field, const fieldtext::Fit& fit) {
    QStringList parts;
    if (fit.firstCut >= 0) {
        parts.append(QStringLiteral("%1 caractères, les %2 premiers seront enregistrés")
                         .arg(french().toString(fit.stored), french().toString(fit.width)));
    }
    if (!fit.replaced.isEmpty()) parts.append(replacedSaying(fit));
    if (parts.isEmpty()) return {};
    return QStringLiteral("%1\u00A0: %2").arg(CardBoxes::caption(field), parts.join(QStringLiteral(" ; ")));
}

// As the question before a save says it.
QString savingNotice(Field field, const fieldtext::Fit& fit) {
    QStringList parts;
    if (fit.firstCut >= 0) {
        const qsizetype over = fit.stored - fit.width;
        parts.append(over == 1 ? QStringLiteral("1 caractère de trop")
                               : QStringLiteral("%1 caractères de trop").arg(french().toString(over)));
    }
    if (!fit.replaced.isEmpty()) parts.append(replacedSaying(fit));
    return QStringLiteral("%1\u00A0: %2").arg(CardBoxes::caption(field), parts.join(QStringLiteral(" ; ")));
}

// A tint of the box's own background, light or dark as the palette is.
QPalette marked(QPalette palette) {
    const bool dark = palette.color(QPalette::Base).lightness() < 128;
    palette.setColor(QPalette::Base, dark ? QColor(100, 30, 30) : QColor(255, 215, 215));
    return palette;
}

}  // namespace

FieldLimitWatch::FieldLimitWatch(QMainWindow* window, const CardBoxes& boxes)
    : QObject(window), m_window(window), m_boxes(boxes) {
    for (const Field field : CardBoxes::shownOrder()) {
        connect(boxes.box(field), &QPlainTextEdit::textChanged, this, [this, field] { check(field); });
    }
}

void FieldLimitWatch::check(Field field) {
    const auto index = std::size_t(field);
    QPlainTextEdit* box = m_boxes.box(field);
    const QString notice = typingNotice(field, fieldtext::fit(m_boxes.text(field), widthOf(field)));
    if (notice == m_notices[index]) return;
    m_notices[index] = notice;
    if (!notice.isEmpty() && !m_designed[index]) {
        m_designed[index] = box->palette();
        box->setPalette(marked(box->palette()));
    } else if (notice.isEmpty() && m_designed[index]) {
        box->setPalette(*m_designed[index]);
        m_designed[index].reset();
    }
    box->setToolTip(notice);
    box->setAccessibleDescription(notice);
    QStringList standing;
    for (const Field each : CardBoxes::shownOrder()) {
        if (!m_notices[std::size_t(each)].isEmpty()) standing.append(m_notices[std::size_t(each)]);
    }
    NoticeBar::of(m_window).set(QStringLiteral("avischamps"), standing.join(QStringLiteral(" \u2014 ")), look::kDarkRed);
}

namespace fieldlimits {

bool confirmSaving(QWidget* window, const CardBoxes& boxes) {
    QStringList lost;
    std::optional<std::pair<Field, qsizetype>> first;
    for (const Field field : CardBoxes::shownOrder()) {
        const fieldtext::Fit fit = fieldtext::fit(boxes.text(field), widthOf(field));
        if (fit.whole()) continue;
        lost.append(savingNotice(field, fit));
        if (!first) first = {field, fit.firstLoss()};
    }
    if (lost.isEmpty()) return true;
    const QString question = QStringLiteral("La fiche ne peut pas être enregistrée telle quelle\u00A0:\n\n%1\n\n"
                                            "Enregistrer quand même, ou annuler pour corriger\u00A0?")
                                 .arg(lost.join(QLatin1Char('\n')));
    if (Alert::question(window, question, QStringLiteral("&Enregistrer quand même"), QStringLiteral("&Annuler"))) return true;
    QPlainTextEdit* box = boxes.box(first->first);
    QTextCursor cursor(box->document());
    cursor.setPosition(int(first->second));
    box->setTextCursor(cursor);
    box->setFocus(Qt::OtherFocusReason);
    return false;
}

}  // namespace fieldlimits
