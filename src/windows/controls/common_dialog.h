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
    // Flags value that makes ShowSave ask before replacing a file.
    static constexpr int kOverwritePrompt = 2;

    enum class Kind { save, open, printer };
    struct Request {
        Kind kind;
        QString filter;  // as the dialog offers it
        QString fileName;
        int flags;
    };
    // What the user chose in a file dialog: the file, and which of the
    // filter's pairs was selected, from 1.
    struct Choice {
        Choice(QString name, int index = 1) : fileName(std::move(name)), filterIndex(index) {}
        QString fileName;
        int filterIndex;
    };
    // A test's answer to a dialog: the choice, or nothing for cancel.
    using Answerer = std::function<std::optional<Choice>(const Request&)>;

    explicit CommonDialog(const QString& objectName, QObject* parent = nullptr);

    QString FileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    // "description|pattern" pairs, "|"-separated.
    void setFilter(const QString& filter) { m_filter = filter; }
    // The pair selected when the file dialog was last confirmed, from 1.
    int FilterIndex() const { return m_filterIndex; }
    void setFlags(int flags) { m_flags = flags; }

    // True when the user confirmed a file; the callers of the data-file
    // dialogs look only at FileName.
    bool ShowSave(QWidget* parent);
    bool ShowOpen(QWidget* parent);
    void ShowPrinter(QWidget* parent);

    // The printer every printing of the program uses, as the last set-up left it.
    static QPrinter& sharedPrinter();

    static void setAnswerer(Answerer answerer);
    // The filter in the form the platform's dialogs take.
    static QString nameFilters(const QString& filter);

private:
    bool showFileDialog(QWidget* parent, Kind kind);

    QString m_fileName;
    QString m_filter;
    int m_filterIndex = 1;
    int m_flags = 0;
};
