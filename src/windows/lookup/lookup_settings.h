#pragma once

#include <QKeySequence>
#include <QString>

// The look-up's shortcut, kept in an INI file of the user's, Ctrl+Alt+F
// until another is chosen.
class LookupSettings {
public:
    explicit LookupSettings(QString iniPath = defaultPath());
    // "lexicarium.ini" in the user's application-data folder.
    static QString defaultPath();

    QKeySequence shortcut() const;
    void setShortcut(const QKeySequence& shortcut);

    // Why the shortcut could not be taken, as last told the user; empty once
    // it was taken again.
    QString toldRefusal() const;
    void setToldRefusal(const QString& refusal);

private:
    QString m_path;
};
