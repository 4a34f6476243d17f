#include "windows/common/card_boxes.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "store/field_text.h"
#include "windows/common/fitting.h"
#include "windows/common/look.h"
#include "windows/common/twips.h"

using Module1::Field;

namespace {

struct BoxDesign {
    Field field;
    const char* box;
    const char* label;
    const char* caption;  // its access key takes the keyboard to the box
    int top;
    int width;
    int height;
    int labelHeight;
};

constexpr BoxDesign kDesign[] = {
    {Field::reference, "txtreference", "Label4", "&Référence", 120, 6375, 615, 375},
    {Field::expression, "txtexpression", "Label2", "E&xpression", 840, 6375, 855, 375},
    {Field::traduction, "txttraduction", "Label1", "&Traduction", 1800, 6375, 855, 375},
    {Field::miscellanea, "txtmiscellanea", "Label7", "&Miscellanea", 2760, 7935, 735, 375},
    {Field::dictionnaire, "txtdictionnaire", "Label3", "Entrées texte &source", 3600, 7935, 495, 495},
    {Field::dictionnairecible, "txtdictionnairecible", "Label6", "Entrées texte &cible", 4200, 7935, 495, 495},
    {Field::contexte, "txtcontexte", "Label5", "C&ontexte", 4800, 7935, 2415, 375},
};

// Stored line breaks are CR LF; a box shows each as one line break.
QString forBox(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

}  // namespace

CardBoxes::CardBoxes(QWidget* parent) {
    for (const BoxDesign& design : kDesign) {
        auto* label = new QLabel(QString::fromUtf8(design.caption), parent);
        label->setObjectName(QLatin1String(design.label));
        label->setFont(look::timesNewRoman(9.75));
        label->setWordWrap(true);
        look::setColours(label, look::kDarkBlue, look::kLightOrange);
        twips::place(label, 120, design.top, 1335, design.labelHeight);

        auto* box = new QPlainTextEdit(parent);
        box->setObjectName(QLatin1String(design.box));
        box->setFont(look::msSansSerif(9.75));
        box->setTabChangesFocus(true);
        twips::place(box, 1560, design.top, design.width, design.height);
        fitting::onWholeDevicePixels(box);
        label->setBuddy(box);
        m_boxes[std::size_t(design.field)] = box;
    }
}

QPlainTextEdit* CardBoxes::box(Field field) const { return m_boxes[std::size_t(field)]; }

QString CardBoxes::caption(Field field) {
    for (const BoxDesign& design : kDesign) {
        if (design.field == field) return QString::fromUtf8(design.caption).remove(u'&');
    }
    return {};
}

const std::array<Field, 7>& CardBoxes::shownOrder() {
    static const std::array<Field, 7> order = [] {
        std::array<Field, 7> fields{};
        for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = kDesign[i].field;
        return fields;
    }();
    return order;
}

QString CardBoxes::text(Field field) const {
    // The raw text keeps non-breaking spaces, which plain text would turn into spaces.
    QString text = box(field)->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

void CardBoxes::setText(Field field, const QString& text) { box(field)->setPlainText(text); }

void CardBoxes::show(const Module1::FicheRecord& fiche) {
    for (const BoxDesign& design : kDesign) {
        setText(design.field, forBox(fieldtext::read(Module1::field(fiche, design.field))));
    }
}

void CardBoxes::fill(Module1::FicheRecord& fiche) const {
    for (const BoxDesign& design : kDesign) fieldtext::store(Module1::field(fiche, design.field), text(design.field));
}

void CardBoxes::clear() {
    for (QPlainTextEdit* box : m_boxes) box->clear();
}
