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

private:
    QString m_path;
};
