#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <functional>

#include "windows/controls/french_dialogs.h"

namespace {

// Installed before the French, so asked only for what it lacks.
class Unanswered : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation, int) const override {
        if (source && *source) texts.insert(QStringLiteral("%1: %2 (%3)").arg(context, source, disambiguation));
        return {};
    }
    mutable QSet<QString> texts;
};

// Shows a dialog, lets its views fill, reads every cell as a view would,
// and shuts whatever dialog it opened in turn.
void lookThrough(QDialog& dialog) {
    dialog.show();
    QTest::qWait(200);
    for (auto* view : dialog.findChildren<QAbstractItemView*>()) {
        const QAbstractItemModel* model = view->model();
        if (!model) continue;
        for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
            model->headerData(column, Qt::Horizontal);
            for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
                const QModelIndex cell = model->index(row, column, view->rootIndex());
                model->data(cell);
                model->data(cell, Qt::ToolTipRole);
            }
        }
    }
    dialog.grab();
}

}  // namespace

class TestFrenchDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QCoreApplication::installTranslator(&m_unanswered);
        frenchdialogs::install();
    }

    void everyTextOfTheStandardDialogsIsFrench_data() {
        QTest::addColumn<std::function<void(const QString& folder)>>("open");
        QTest::newRow("file dialogs, detailed") << std::function<void(const QString&)>([](const QString& folder) {
            for (auto mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
                QFileDialog dialog(nullptr, QString(), folder, QStringLiteral("Fichiers de données (*.DAT)"));
                dialog.setOption(QFileDialog::DontUseNativeDialog);
                dialog.setAcceptMode(mode);
                dialog.setViewMode(QFileDialog::Detail);
                lookThrough(dialog);
            }
        });
        QTest::newRow("printing, with the printer's properties") << std::function<void(const QString&)>([](const QString&) {
            QPrinter printer;
            QPrintDialog dialog(&printer);
            dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
            lookThrough(dialog);
            if (auto* properties = dialog.findChild<QPushButton*>(QStringLiteral("properties"))) {
                QTimer::singleShot(300, [] {
                    if (auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                        shown->grab();
                        shown->reject();
                    }
                });
                properties->click();
            }
        });
        QTest::newRow("message box, progress") << std::function<void(const QString&)>([](const QString&) {
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Lexicarium"), QStringLiteral("?"),
                            QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            lookThrough(box);
            QProgressDialog progress(QStringLiteral("Importation"), QStringLiteral("Annuler"), 0, 10);
            lookThrough(progress);
        });
        QTest::newRow("text boxes' menus") << std::function<void(const QString&)>([](const QString&) {
            QLineEdit line;
            delete line.createStandardContextMenu();
            QPlainTextEdit box;
            delete box.createStandardContextMenu();
        });
    }
    void everyTextOfTheStandardDialogsIsFrench() {
        QFETCH(std::function<void(const QString&)>, open);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("glossaires")));
        QFile file(folder.filePath(QStringLiteral("lexicarium.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        m_unanswered.texts.clear();
        open(folder.path());
        QStringList english(m_unanswered.texts.begin(), m_unanswered.texts.end());
        english.sort();
        QVERIFY2(english.isEmpty(), qPrintable(english.join('\n')));
    }

private:
    Unanswered m_unanswered;
};

QTEST_MAIN(TestFrenchDialogs)
#include "tst_french_dialogs.moc"
