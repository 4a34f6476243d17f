// Started by the About window's tests in place of the system information
// program: it leaves a mark beside itself, its own file name followed by
// ".started", and stops. A real program, so that every system runs it.
#include <QCoreApplication>
#include <QFile>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QFile mark(QCoreApplication::applicationFilePath() + QStringLiteral(".started"));
    return mark.open(QIODevice::WriteOnly) ? 0 : 1;
}
