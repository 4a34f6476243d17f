#include "windows/main/copies_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "store/data_file.h"
#include "store/store_error.h"
#include "windows/controls/alert.h"
#include "windows/controls/busy_cursor.h"
#include "windows/controls/modal_run.h"

namespace {

const QLocale& french() {
    static const QLocale locale(QLocale::French, QLocale::France);
    return locale;
}

QString dateOf(const QDateTime& moment) { return french().toString(moment, QStringLiteral("dddd d MMMM yyyy à HH:mm:ss")); }

QString sizeOf(std::int64_t bytes) {
    if (bytes < 1024 * 1024) return QStringLiteral("%1\u00A0Ko").arg(french().toString(double(bytes) / 1024, 'f', 1));
    return QStringLiteral("%1\u00A0Mo").arg(french().toString(double(bytes) / (1024 * 1024), 'f', 1));
}

QString cardsOf(std::int32_t count) {
    return QStringLiteral("%1 fiche%2").arg(french().toString(count), count > 1 ? QStringLiteral("s") : QString());
}

QString lineOf(const dailycopies::Copy& copy) {
    if (copy.damaged) {
        return QStringLiteral("%1 \u2014 %2 \u2014 copie abîmée, ne peut pas être rétablie")
            .arg(dateOf(copy.made), sizeOf(copy.compressed));
    }
    return QStringLiteral("%1 \u2014 %2 \u2014 %3").arg(dateOf(copy.made), sizeOf(copy.compressed), cardsOf(copy.cardCount));
}

}  // namespace

CopiesDialog::CopiesDialog(QWidget* parent, std::vector<dailycopies::Copy> copies, const QString& whyNone)
    : QDialog(parent), m_copies(std::move(copies)) {
    setObjectName(QStringLiteral("copies_liste"));
    setWindowTitle(QStringLiteral("Copies du fichier de données"));
    m_liste = new QListWidget(this);
    m_liste->setObjectName(QStringLiteral("liste"));
    m_liste->setAccessibleName(QStringLiteral("Copies"));
    for (const auto& copy : m_copies) m_liste->addItem(lineOf(copy));
    auto* caption = new QLabel(QStringLiteral("&Copies, de la plus récente à la plus ancienne\u00A0:"), this);
    caption->setBuddy(m_liste);
    auto* none = new QLabel(whyNone.isEmpty() ? QStringLiteral("Aucune copie de ce fichier de données n'a encore été faite.")
                                              : whyNone,
                            this);
    none->setObjectName(QStringLiteral("aucune"));
    none->setWordWrap(true);
    none->setVisible(m_copies.empty());

    auto* buttons = new QDialogButtonBox(this);
    m_retablir = buttons->addButton(QStringLiteral("&Rétablir"), QDialogButtonBox::AcceptRole);
    m_retablir->setObjectName(QStringLiteral("Retablir"));
    auto* fermer = buttons->addButton(QStringLiteral("&Fermer"), QDialogButtonBox::RejectRole);
    fermer->setObjectName(QStringLiteral("Fermer"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_liste, &QListWidget::currentRowChanged, this, [this](int row) {
        m_retablir->setEnabled(row >= 0 && !m_copies[std::size_t(row)].damaged);
    });
    m_retablir->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_liste);
    layout->addWidget(none);
    layout->addWidget(buttons);
    resize(560, 380);
    if (!m_copies.empty()) m_liste->setCurrentRow(0);
}

const dailycopies::Copy* CopiesDialog::chosen() const {
    const int row = m_liste->currentRow();
    if (result() != QDialog::Accepted || row < 0 || row >= int(m_copies.size()) || m_copies[std::size_t(row)].damaged) {
        return nullptr;
    }
    return &m_copies[std::size_t(row)];
}

void CopiesDialog::showFor(QWidget* parent, const QString& dataFile) {
    CopiesDialog dialog(parent, dailycopies::list(FileSystem::current(), dataFile),
                        dailycopies::foreignCopies(FileSystem::current(), dataFile));
    ModalRun::exec(&dialog);
    const dailycopies::Copy* copy = dialog.chosen();
    if (!copy) return;
    const QFileInfo current(dataFile);
    if (!Alert::question(parent, QStringLiteral("Le fichier de données, tel qu'il est depuis le %1 (%2), va être "
                                                "remplacé par sa copie du %3 (%4). Il sera d'abord gardé parmi les "
                                                "copies. Continuer\u00A0?")
                                     .arg(dateOf(current.lastModified()), cardsOf(recordCountFor(current.size())),
                                          dateOf(copy->made), cardsOf(copy->cardCount)))) {
        return;
    }
    const QString failure = busyWhile(parent, [&] {
        try {
            dailycopies::restore(dataFile, *copy);
        } catch (const StoreError& error) {
            return error.message();
        }
        return QString();
    });
    if (!failure.isEmpty()) {
        Alert::error(parent, failure);
        return;
    }
    Alert::showStoreNotices();
    Alert::information(parent, QStringLiteral("Le fichier de données a été rétabli tel qu'il était le %1.").arg(dateOf(copy->made)));
}
