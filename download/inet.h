#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <exception>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QTimer;

// Why a fetch of the transfer component failed. The reason is a short
// sentence for the user ("the server answered 404 Not Found").
class TransferError : public std::exception
{
public:
    enum class Kind {
        BadUrl,          // not an http or https address
        Busy,            // a fetch is already running
        ConnectFailed,   // no connection, refused, host unknown, network error
        TimedOut,        // the server stayed silent for the whole time-out
        HttpStatus,      // the server answered, but not with success
        TooLarge,        // the document is over the size limit
        RedirectRefused, // the server sent us to another host or another kind of address
        Cancelled,       // the fetch was stopped (window closed, program ending)
        TookTooLong,     // the whole fetch took longer than its bound (a server that drips)
        RedirectLoop,    // more redirects than a fetch follows
        Unreadable,      // a compressed or encoded body that cannot be read
        NotHttp,         // the server's answer was no HTTP at all
        Incomplete,      // the connection ended before the whole document came
    };

    TransferError(Kind kind, QString reason);

    Kind kind() const { return kind_; }
    const QString &reason() const { return reason_; }
    const char *what() const noexcept override { return what_.constData(); }

private:
    Kind kind_;
    QString reason_;
    QByteArray what_;
};

// The download window's Internet transfer component: fetches one document at
// a time over HTTP. OpenURL waits for the whole document while the program
// keeps painting and running its timers, but takes no keyboard or mouse
// input; input that arrives meanwhile is delivered after the fetch.
class Inet : public QObject
{
    Q_OBJECT
public:
    // The largest document taken: a database of ten thousand long items fits many times.
    static constexpr qint64 kMaxDocumentBytes = 32 * 1024 * 1024;
    static constexpr int kDefaultTimeoutMs = 60 * 1000;
    // The longest a whole fetch may take, however steadily the server sends.
    static constexpr int kDefaultOverallTimeoutMs = 10 * 60 * 1000;
    // The most redirects a fetch follows.
    static constexpr int kMaxRedirects = 10;
    // What the reply holds before we take it: the server waits until we do,
    // so memory stays bounded however fast and long it sends.
    static constexpr qint64 kReadBufferBytes = 64 * 1024;

    explicit Inet(QObject *parent = nullptr);
    ~Inet() override;

    // Fetches the document at url and returns it as text, one character per
    // byte in Windows-1252, so the bytes are kept exactly. Throws TransferError.
    QString OpenURL(const QString &url);
    // Operation "CLOSE" closes the connections kept open for the next fetch;
    // other operations are not supported and do nothing.
    void Execute(const QString &url = QString(), const QString &operation = QString());
    // True while a fetch is running.
    bool StillExecuting() const { return reply_ != nullptr; }

    // The time a fetch may wait for the server's next sign of life before it
    // gives up (60 seconds unless changed).
    void setRequestTimeoutMs(int ms) { timeoutMs_ = ms; }
    int requestTimeoutMs() const { return timeoutMs_; }
    // The time a whole fetch may take (10 minutes unless changed).
    void setOverallTimeoutMs(int ms) { overallTimeoutMs_ = ms; }
    int overallTimeoutMs() const { return overallTimeoutMs_; }

    // Stops a running fetch; OpenURL then throws a Cancelled TransferError.
    void cancel();

    // Timer handler: the server stayed silent for the whole time-out.
    void onRequestTimeout();
    // Timer handler: the whole fetch took longer than its bound.
    void onOverallTimeout();

private:
    enum class Stop { None, TimedOut, TookTooLong, TooLarge, Cancelled };
    using ReplyPtr = std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)>;

    // One request, waited for until it ends or is stopped.
    ReplyPtr fetchOnce(const QUrl &url);
    // Where a finished reply sends the download on; nothing when it is no
    // redirect. Throws TransferError for a redirect we do not follow.
    std::optional<QUrl> redirectTarget(QNetworkReply &reply) const;
    void onMetaData();
    void onReadyRead();
    void stopWith(Stop why);
    void noteActivity();
    // The document, or the TransferError that tells why there is none.
    QByteArray takeResult(QNetworkReply &reply);
    // The TransferError for a reply that Qt ended with an error or a server
    // that did not answer with success.
    [[noreturn]] void throwFailureOf(QNetworkReply &reply) const;

    QNetworkAccessManager *manager_ = nullptr;
    QTimer *timeout_ = nullptr;
    QTimer *overallTimeout_ = nullptr;
    QPointer<QNetworkReply> reply_;
    // The address of the running fetch, after the redirects followed so far.
    QUrl currentUrl_;
    int timeoutMs_ = kDefaultTimeoutMs;
    int overallTimeoutMs_ = kDefaultOverallTimeoutMs;
    QByteArray body_;
    // Qt ends a reply that we abort as "operation cancelled", whatever the
    // cause, so the cause is kept here to report it rightly.
    Stop stop_ = Stop::None;
};
