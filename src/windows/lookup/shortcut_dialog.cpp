#include "windows/lookup/shortcut_dialog.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "windows/controls/modal_run.h"

ShortcutDialog::ShortcutDialog(QWidget* parent, const QKeySequence& current) : QDialog(parent) {
    setObjectName(QStringLiteral("raccourci_recherche"));
    setWindowTitle(QStringLiteral("Raccourci de recherche"));
    auto* label = new QLabel(QStringLiteral("Sélectionnez un mot dans n'importe quel programme et tapez ce raccourci "
                                            "pour le chercher dans le lexicarium. &Nouveau raccourci\u00A0:"),
                             this);
    label->setWordWrap(true);
    m_sequence = new QKeySequenceEdit(current, this);
    m_sequence->setObjectName(QStringLiteral("sequence"));
    m_sequence->setAccessibleName(QStringLiteral("Raccourci"));
    label->setBuddy(m_sequence);
    m_sequence->installEventFilter(this);
    // One combination, not a sequence of them: the edit ends at the first.
    connect(m_sequence, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence& keys) {
        if (keys.count() > 1) m_sequence->setKeySequence(QKeySequence(keys[0]));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Room for the title in full.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) * 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_sequence);
    layout->addWidget(buttons);
}

// The editor records every key it is given; Escape alone, and the access
// key of « Annuler », still leave the dialog as in any other.
bool ShortcutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_sequence || (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers held = key->modifiers() & ~Qt::KeypadModifier;
    const bool escape = key->key() == Qt::Key_Escape && held == Qt::NoModifier;
    const bool cancel = key->key() == Qt::Key_A && held == Qt::AltModifier;
    if (!escape && !cancel) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) reject();
    event->accept();
    return true;
}

std::optional<QKeySequence> ShortcutDialog::choose(QWidget* parent, const QKeySequence& current) {
    ShortcutDialog dialog(parent, current);
    ModalRun::exec(&dialog);
    if (dialog.result() != QDialog::Accepted || dialog.m_sequence->keySequence().isEmpty()) return std::nullopt;
    return dialog.m_sequence->keySequence();
}
