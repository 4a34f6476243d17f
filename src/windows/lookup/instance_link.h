#pragma once

#include <QObject>
#include <QStringList>
#include <chrono>
#include <memory>
#include <optional>

// One running program per user: a later start hands its command line to the
// first, and ends. A local socket carries it on Unix, a message to a hidden
// window on Windows; one file per system makes the link.
class InstanceLink : public QObject {
    Q_OBJECT
public:
    // How long a later start waits for the running program to take its
    // request: longer than any of its own works keeps it from answering.
    static constexpr std::chrono::milliseconds kAnswerWait{20000};

    // `name` empty: no link, where the user has no place of their own for it.
    explicit InstanceLink(QString name = nameForUser(), std::chrono::milliseconds answerWait = kAnswerWait,
                          QObject* parent = nullptr);
    ~InstanceLink() override;

    // The link's name, the same for every start of this user's, and for no
    // other user's; empty when no place only this user may reach is found.
    static QString nameForUser();

    // The longest request a running program reads, in bytes as carried;
    // a longer one is refused before it is read.
    static constexpr qsizetype kLongestRequest = 64 * 1024;
    // How long a request may take to arrive whole before it is dropped.
    static constexpr std::chrono::milliseconds kRequestWait{3000};

    enum class HandOver {
        taken,        // the running program has the request
        noneRunning,  // no program answers to the name
        unanswered,   // one does, but did not take the request in time
    };
    // Gives the request of these arguments to the program already running.
    HandOver handOver(const QStringList& arguments) const;
    // Takes the requests of later starts from now on; false when another
    // program answers to the name already, or there is no link.
    bool listen();

    // The request as the link carries it: its length, then the arguments.
    static QByteArray packed(const QStringList& arguments);
    // What the bytes received so far make: nothing yet while they may
    // still become a request, the arguments once whole, a refusal for
    // bytes that never will.
    struct Received {
        enum class State { incomplete, refused, whole } state = State::incomplete;
        QStringList arguments;
    };
    static Received received(const QByteArray& bytes);

    // Said by a start whose running program did not take its request.
    static QString unansweredMessage();

signals:
    void requested(const QStringList& arguments);

private:
    struct Listening;
    QString m_name;
    std::chrono::milliseconds m_answerWait;
    std::unique_ptr<Listening> m_listening;
};

// What a start's command line asks of the running program.
struct StartRequest {
    enum class Kind {
        show,             // no --chercher: the program's window in front
        lookUpSelection,  // --chercher alone
        lookUpText,       // --chercher "texte"
    };
    // The most of a text a look-up uses: a selection longer than that is
    // no term, and is cut there before it is handed over.
    static constexpr qsizetype kLongestText = 1000;

    Kind kind = Kind::show;
    QString text;

    // From the arguments, the program's name first.
    static StartRequest from(const QStringList& arguments);
    // The arguments that ask for this, the program's name first.
    QStringList arguments() const;
};
