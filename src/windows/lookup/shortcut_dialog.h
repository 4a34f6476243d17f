#pragma once

#include <QDialog>
#include <optional>

class QKeySequenceEdit;

// « Raccourci de recherche »: the keys that look a term up from any program.
class ShortcutDialog : public QDialog {
    Q_OBJECT
public:
    ShortcutDialog(QWidget* parent, const QKeySequence& current);

    // The shortcut chosen, none when cancelled or left empty.
    static std::optional<QKeySequence> choose(QWidget* parent, const QKeySequence& current);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QKeySequenceEdit* m_sequence;
};
