#pragma once

#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>

// One running program per user: a later start hands its command line to the
// first, and ends. A local socket carries it on Unix, a message to a hidden
// window on Windows; one file per system makes the link.
class InstanceLink : public QObject {
    Q_OBJECT
public:
    explicit InstanceLink(QString name = nameForUser(), QObject* parent = nullptr);
    ~InstanceLink() override;

    // The link's name, the same for every start of this user's, and for no
    // other user's.
    static QString nameForUser();

    // The longest command line a start may hand over, in bytes as carried.
    static constexpr qsizetype kLongestRequest = 64 * 1024;

    // Gives the arguments to the program already running; false when none
    // took them.
    bool handOver(const QStringList& arguments) const;
    // Takes the arguments of later starts from now on; false when another
    // program answers to the name already.
    bool listen();

    // The arguments as the link carries them, and back.
    static QByteArray packed(const QStringList& arguments);
    static std::optional<QStringList> unpacked(const QByteArray& bytes);

signals:
    void requested(const QStringList& arguments);

private:
    struct Listening;
    QString m_name;
    std::unique_ptr<Listening> m_listening;
};

// What a start's command line asks of the running program.
struct StartRequest {
    enum class Kind {
        show,             // no --chercher: the program's window in front
        lookUpSelection,  // --chercher alone
        lookUpText,       // --chercher "texte"
    };
    Kind kind = Kind::show;
    QString text;

    // From the arguments, the program's name first.
    static StartRequest from(const QStringList& arguments);
};
