// Another copy of the program at work on the same data file, for the tests
// that need a second process on every system:
//   store_peer lock <data file>                  holds the file's save lock until a line comes in
//   store_peer hold <data file> <ms> <slot> <text>  holds the save lock for ms, then writes the card there
//   store_peer read-and-save <data file> <slot>     prints the card's expression, then whether saving it was refused
//   store_peer save <data file> <copy> <count> [rounds]
//       saves cards 2i + 1 + copy, i < count, expression "copie <copy> fiche <slot> tour <round>",
//       every round over the last
#include <QCoreApplication>
#include <QTextStream>
#include <chrono>
#include <cstdio>
#include <thread>

#include "store/data_file.h"
#include "store/field_text.h"
#include "store/store_error.h"

namespace {

int holdLock(const QString& path) {
    int error = 0;
    auto file = FileSystem::native().open(path, error);
    if (!file) return 2;
    while (file->tryLock() == RandomAccessFile::Lock::heldElsewhere) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::fputs("verrouillé\n", stdout);
    std::fflush(stdout);
    char line[16];
    (void)!std::fgets(line, sizeof line, stdin);
    file->unlock();
    return 0;
}

// Writes the card while it holds the lock, as a save of its own would.
int holdThenWrite(const QString& path, int milliseconds, int slot, const QString& text) {
    int error = 0;
    auto file = FileSystem::native().open(path, error);
    if (!file || file->tryLock() != RandomAccessFile::Lock::taken) return 2;
    std::fputs("verrouillé\n", stdout);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    Module1::FicheRecord fiche = Module1::emptyCard(slot);
    fieldtext::store(fiche.expression, text);
    const auto bytes = Module1::toBytes(fiche);
    const bool written = file->writeAt(std::int64_t(slot - 1) * Module1::kSlotSize, bytes.data(), Module1::kSlotSize) &&
                         file->sync();
    file->unlock();
    return written ? 0 : 1;
}

int readAndSave(const QString& path, int slot) {
    try {
        DataFile file = DataFile::open(path);
        Module1::FicheRecord fiche;
        file.readSlot(slot, fiche);
        std::printf("%s\n", qUtf8Printable(fieldtext::read(fiche.expression)));
        fieldtext::store(fiche.expression, QStringLiteral("par un autre utilisateur"));
        file.writeSlot(slot, fiche);
        std::puts("enregistré");
    } catch (const StoreError& error) {
        std::printf("refusé: %s\n", qUtf8Printable(error.message()));
    }
    return 0;
}

int saveCards(const QString& path, int copy, int count, int rounds) {
    try {
        for (int round = 1; round <= rounds; ++round) {
            for (int i = 0; i < count; ++i) {
                const int slot = 2 * i + 1 + copy;
                Module1::FicheRecord fiche = Module1::emptyCard(slot);
                fieldtext::store(fiche.expression,
                                 QStringLiteral("copie %1 fiche %2 tour %3").arg(copy).arg(slot).arg(round));
                DataFile file = DataFile::open(path);
                file.writeSlot(slot, fiche);
            }
        }
    } catch (const StoreError& error) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(error.message()));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Lexicarium"));
    const QStringList arguments = application.arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("lock")) return holdLock(arguments[2]);
    if (arguments.size() == 6 && arguments[1] == QLatin1String("hold")) {
        return holdThenWrite(arguments[2], arguments[3].toInt(), arguments[4].toInt(), arguments[5]);
    }
    if (arguments.size() == 4 && arguments[1] == QLatin1String("read-and-save")) return readAndSave(arguments[2], arguments[3].toInt());
    if ((arguments.size() == 5 || arguments.size() == 6) && arguments[1] == QLatin1String("save")) {
        return saveCards(arguments[2], arguments[3].toInt(), arguments[4].toInt(),
                         arguments.size() == 6 ? arguments[5].toInt() : 1);
    }
    std::fputs("usage: store_peer lock <file> | hold <file> <ms> <slot> <text> | read-and-save <file> <slot> | "
               "save <file> <copy> <count> [rounds]\n",
               stderr);
    return 2;
}
