#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "support/window_test_kit.h"
#include "windows/controls/modal_run.h"
#include "windows/startup/frm_about.h"
#include "windows/startup/program_file.h"
#include "windows/startup/registry.h"
#include "windows/startup/system_information.h"

namespace {

// A registry of a few keys and values, read-only.
class FakeRegistry final : public Registry {
public:
    struct Value {
        unsigned type;
        QByteArray data;
    };
    QMap<QByteArray, QMap<QByteArray, Value>> keys;
    bool refuseAccess = false;
    QList<Key> closed;
    unsigned accessAsked = 0;

    long RegOpenKeyExA(Key root, const QByteArray& subKey, unsigned, unsigned access, Key& key) override {
        accessAsked = access;
        key = 0;
        if (root != kLocalMachine || !keys.contains(subKey)) return kNotFound;
        if (refuseAccess) return kAccessDenied;
        key = Key(keys.keys().indexOf(subKey) + 100);
        return 0;
    }
    long RegQueryValueExA(Key key, const QByteArray& valueName, unsigned& type, char* data, unsigned& size) override {
        const auto& values = keys[keys.keys().at(int(key - 100))];
        if (!values.contains(valueName)) return kNotFound;
        const Value& value = values[valueName];
        if (unsigned(value.data.size()) > size) return kMoreData;
        std::memcpy(data, value.data.constData(), std::size_t(value.data.size()));
        type = value.type;
        size = unsigned(value.data.size());
        return 0;
    }
    long RegCloseKey(Key key) override {
        closed.append(key);
        return 0;
    }
};

const QByteArray kFirstKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kSecondKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// A copy, at `path`, of a program that leaves a mark beside itself when
// started; returns where the mark will be.
QString copyMarkingProgram(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/marking_program");
#ifdef _WIN32
    program += QStringLiteral(".exe");
#endif
    if (!QFile::copy(program, path)) return {};
    return path + QStringLiteral(".started");
}

}  // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT
private slots:
    // --- GetKeyValue

    void readsValuesByTheirType_data() {
        QTest::addColumn<unsigned>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        QTest::newRow("text with its NUL") << 1u << QByteArray("abcde\0", 6) << true << "abcde";
        QTest::newRow("text without NUL") << 1u << QByteArray("abcde") << true << "abcde";
        QTest::newRow("double word") << 4u << QByteArray("\x01\x0A\x00\x20", 4) << true << "&hold200A1";
        QTest::newRow("another type") << 3u << QByteArray("xyz") << true << "old";
        QTest::newRow("over 1024 bytes") << 1u << QByteArray(1025, 'a') << false << "";
    }
    void readsValuesByTheirType() {
        QFETCH(unsigned, type);
        QFETCH(QByteArray, data);
        QFETCH(bool, found);
        QFETCH(QString, value);
        FakeRegistry registry;
        registry.keys[kFirstKey]["PATH"] = {type, data};
        SystemInformation information(registry);
        QString keyVal = QStringLiteral("old");
        QCOMPARE(information.GetKeyValue(Registry::kLocalMachine, QString::fromLatin1(kFirstKey), "PATH", keyVal), found);
        QCOMPARE(keyVal, value);
        // Read rights only (KEY_READ): no set-value, create-sub-key or create-link right.
        QCOMPARE(registry.accessAsked, 0x20019u);
        QCOMPARE(registry.accessAsked & (0x0002u | 0x0004u | 0x0020u), 0u);
        QCOMPARE(registry.closed.size(), 1);
    }

    // --- the file looked up in the second key's folder

    void onlyOrdinaryFilesCount_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("system");
        QTest::addColumn<bool>("counts");
        QTest::newRow("an ordinary file") << true << false << false << false << true;
        QTest::newRow("no file") << false << false << false << false << false;
        QTest::newRow("a folder") << true << true << false << false << false;
        QTest::newRow("a hidden file") << true << false << true << false << false;
        QTest::newRow("a system file") << true << false << false << true << false;
        QTest::newRow("a hidden system file") << true << false << true << true << false;
    }
    void onlyOrdinaryFilesCount() {
        QFETCH(bool, exists);
        QFETCH(bool, folder);
        QFETCH(bool, hidden);
        QFETCH(bool, system);
        QFETCH(bool, counts);
        QCOMPARE(countsAsFound({exists, folder, hidden, system}), counts);
    }

    void theFileSystemSaysWhatAFileIs() {
        WindowTestKit kit;
        QDir().mkpath(kit.path(QStringLiteral("dossier")));
        for (const char* name : {"programme", ".cache"}) {
            QFile file(kit.path(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(countsAsFound(attributesOf(kit.path(QStringLiteral("programme")))));
        QVERIFY(!countsAsFound(attributesOf(kit.path(QStringLiteral("dossier")))));
        QVERIFY(!countsAsFound(attributesOf(kit.path(QStringLiteral(".cache")))));
        QVERIFY(!countsAsFound(attributesOf(kit.path(QStringLiteral("absent")))));
    }

    void aMissingKeyClosesTheNullHandle() {
        FakeRegistry registry;
        SystemInformation information(registry);
        QString keyVal = QStringLiteral("old");
        QVERIFY(!information.GetKeyValue(Registry::kLocalMachine, QStringLiteral("SOFTWARE\\absent"), "X", keyVal));
        QCOMPARE(keyVal, QString());
        QCOMPARE(registry.closed, QList<Registry::Key>{0});
    }

    void aValueOfSizeZeroFails() {
        FakeRegistry registry;
        registry.keys[kFirstKey]["PATH"] = {1, QByteArray()};
        SystemInformation information(registry);
        QString keyVal;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 information.GetKeyValue(Registry::kLocalMachine, QString::fromLatin1(kFirstKey),
                                                         "PATH", keyVal));
    }

    // --- StartSysInfo

    void theFirstKeyNamesTheProgram_a_pathWithSpacesStartsIt() {
        WindowTestKit kit;
        const QString program = kit.folder() + QStringLiteral("/Program Files/Outils/infos système.exe");
        const QString mark = copyMarkingProgram(program);
        QVERIFY(!mark.isEmpty());
        FakeRegistry registry;
        registry.keys[kFirstKey]["PATH"] = {1, program.toLocal8Bit() + '\0'};
        registry.keys[kSecondKey]["MSINFO"] = {1, QByteArray("/nowhere")};
        QVERIFY(SystemInformation(registry).start());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(mark), 15000);
    }

    void theSecondKeyNamesAFolderThatMustHoldTheProgram() {
        WindowTestKit kit;
        FakeRegistry registry;
        registry.keys[kSecondKey]["MSINFO"] = {1, kit.folder().toLocal8Bit()};
        QVERIFY(!SystemInformation(registry).start());
        const QString mark = copyMarkingProgram(kit.folder() + QStringLiteral("\\MSINFO32.EXE"));
        QVERIFY(!mark.isEmpty());
        QVERIFY(SystemInformation(registry).start());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(mark), 15000);
    }

    void nothingFoundShowsTheMessageAndTheWindowStays() {
        WindowTestKit kit;
        FakeRegistry registry;
        registry.keys[kFirstKey]["PATH"] = {1, QByteArray()};  // size 0: straight to the message
        registry.keys[kSecondKey]["MSINFO"] = {1, QByteArray("/nowhere")};
        frmAbout::setRegistry(&registry);
        frmAbout::showModeless();
        frmAbout* about = frmAbout::current();
        QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
        QCOMPARE(kit.messageTexts(), QStringList{"Les informations système ne sont pas disponibles actuellement"});
        QCOMPARE(kit.messages[0].kind, Alert::Kind::information);
        QCOMPARE(registry.closed.size(), 1);  // the second key was not tried
        QVERIFY(about->isVisible());
        frmAbout::setRegistry(nullptr);
        about->cmdOK_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmAbout::current());
    }

    // --- the window

    void thereIsOneAboutWindowAndEscapeClosesIt() {
        frmAbout::showModeless();
        frmAbout* first = frmAbout::current();
        frmAbout::showModeless();
        QCOMPARE(frmAbout::current(), first);
        QCOMPARE(first->windowTitle(), QStringLiteral("Projet Scriptoria Digitale - A propos de"));
        auto* ok = first->findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QVERIFY(ok->isDefault());
        QCOMPARE(first->focusWidget(), ok);
        QTest::keyClick(first, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmAbout::current());
    }

    void shownModalItReturnsWhenClosed() {
        WindowTestKit kit;
        bool wasModal = false;
        kit.onModal = [&](QWidget* window) {
            wasModal = window->isModal() || window->windowModality() != Qt::NonModal;
            static_cast<frmAbout*>(window)->cmdOK_Click();
        };
        frmAbout::showModal(nullptr);
        QVERIFY(wasModal);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmAbout::current());
    }

    void shownModalItOutlivesBeingMinimised() {
        WindowTestKit kit;
        ModalRun::setHandler({});  // the real modal loop
        bool restoredModal = false;
        QTimer::singleShot(0, [&] {
            frmAbout::current()->showMinimized();
            QTimer::singleShot(50, [&] {
                frmAbout* about = frmAbout::current();
                if (!about) return;  // the loop ended with the minimising
                about->showNormal();
                restoredModal = QApplication::activeModalWidget() == about && about->isVisible();
                about->cmdOK_Click();
            });
        });
        frmAbout::showModal(nullptr);
        QVERIFY(restoredModal);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmAbout::current());
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frm_about.moc"
