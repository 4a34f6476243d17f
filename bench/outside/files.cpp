#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

#include "largest_file.h"

// Writes the benchmarks' largest data file and its SQLite twin into the
// folder given, for measurements of the real program.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool copied = QFile::copy(largestfile::dataFile(), folder.filePath(QStringLiteral("lexicarium.dat"))) &&
                        QFile::copy(largestfile::sqliteFile(), folder.filePath(QStringLiteral("lexicarium.sqlite")));
    return copied ? 0 : 1;
}
