#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

// The file and printer dialogs of a window. Cancelling simply returns:
// FileName keeps the value it had.
class CommonDialog : public QObject {
    Q_OBJECT
public:
    // Flags value that makes ShowPrinter the print set-up dialog.
    static constexpr int kPrintSetup = 64;

    enum class Kind { save, open, printer };
    struct Request {
        Kind kind;
        QString filter;  // as the dialog offers it
        QString fileName;
        int flags;
    };
    // A test's answer to a dialog: the file name chosen, or nothing for cancel.
    using Answerer = std::function<std::optional<QString>(const Request&)>;

    explicit CommonDialog(const QString& objectName, QObject* parent = nullptr);

    QString FileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    // "description|pattern" pairs, "|"-separated.
    void setFilter(const QString& filter) { m_filter = filter; }
    void setFlags(int flags) { m_flags = flags; }

    void ShowSave(QWidget* parent);
    void ShowOpen(QWidget* parent);
    void ShowPrinter(QWidget* parent);

    // The printer every printing of the program uses, as the last set-up left it.
    static QPrinter& sharedPrinter();

    static void setAnswerer(Answerer answerer);
    // The filter in the form the platform's dialogs take.
    static QString nameFilters(const QString& filter);

private:
    void showFileDialog(QWidget* parent, Kind kind);

    QString m_fileName;
    QString m_filter;
    int m_flags = 0;
};
