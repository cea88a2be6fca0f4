#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QTimer;

namespace transfer {

// Why a fetch failed. The reason is a short sentence for the user ("the
// server answered 404 Not Found").
struct TransferError
{
    enum class Kind {
        BadUrl,          // not an http or https address
        Busy,            // a fetch is already running
        ConnectFailed,   // no connection, refused, host unknown, network error
        TimedOut,        // the server stayed silent for the whole time-out
        HttpStatus,      // the server answered, but not with success
        TooLarge,        // the document is over the size limit
        RedirectRefused, // the server sent us to another host or another kind of address
        Cancelled,       // the fetch was stopped
        TookTooLong,     // the whole fetch took longer than its bound (a server that drips)
        RedirectLoop,    // more redirects than a fetch follows
        Unreadable,      // a compressed or encoded body that cannot be read
        NotHttp,         // the server's answer was no HTTP at all
        Incomplete,      // the connection ended before the whole document came
    };

    Kind kind = Kind::BadUrl;
    QString reason;
};

// Fetches one document at a time over HTTP, in the background. fetch() starts
// a fetch; its end is signalled once, from the event loop (never from within
// the call that started or stopped it): finished with the document, every
// byte as the server sent it, or failed with the reason. Redirects are
// followed up to kMaxRedirects times, only to the same host; a document over
// kMaxDocumentBytes is refused however it is sent, and at most
// kReadBufferBytes of an answer wait to be taken, so memory stays bounded.
class TransferService : public QObject
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

    explicit TransferService(QObject *parent = nullptr);
    ~TransferService() override;

    // Starts fetching the document at url. A fetch that cannot start (not a
    // web address, or another fetch still running, which goes on) fails too.
    void fetch(const QString &url);
    // True from fetch() until its end is signalled.
    bool busy() const { return busy_; }
    // Stops the running fetch: failed, Cancelled, follows.
    void cancel();
    // Closes the connections kept open for the next fetch (not while busy).
    void closeConnections();

    // The time a fetch may wait for the server's next sign of life before it
    // gives up (60 seconds unless changed).
    void setRequestTimeoutMs(int ms) { timeoutMs_ = ms; }
    int requestTimeoutMs() const { return timeoutMs_; }
    // The time a whole fetch may take (10 minutes unless changed).
    void setOverallTimeoutMs(int ms) { overallTimeoutMs_ = ms; }
    int overallTimeoutMs() const { return overallTimeoutMs_; }

signals:
    void finished(const QByteArray &document);
    void failed(const transfer::TransferError &error);

private:
    enum class Stop { None, TimedOut, TookTooLong, TooLarge, Cancelled };

    QNetworkAccessManager *manager();
    // Sends one request of the running fetch.
    void request(const QUrl &url);
    void onMetaData();
    void onReadyRead();
    void onReplyFinished();
    void stopWith(Stop why);
    void noteActivity();
    // Where a finished reply sends the fetch on; nothing when it is no
    // redirect. *refused is set for a redirect that is not followed.
    std::optional<QUrl> redirectTarget(QNetworkReply &reply, std::optional<TransferError> *refused) const;
    // Why a finished reply gives no document; nothing when it gives one.
    std::optional<TransferError> failureOf(QNetworkReply &reply) const;
    // Why a reply that Qt ended with an error or a server that did not answer
    // with success gives no document.
    TransferError replyFailure(QNetworkReply &reply) const;
    // Ends the running fetch: the signal follows from the event loop.
    void end(std::optional<TransferError> error);

    QNetworkAccessManager *manager_ = nullptr;
    QTimer *timeout_ = nullptr;
    QTimer *overallTimeout_ = nullptr;
    QPointer<QNetworkReply> reply_;
    bool busy_ = false;
    // The address of the running request, after the redirects followed so far.
    QUrl currentUrl_;
    int redirects_ = 0;
    int timeoutMs_ = kDefaultTimeoutMs;
    int overallTimeoutMs_ = kDefaultOverallTimeoutMs;
    QByteArray body_;
    // Qt ends a reply that we abort as "operation cancelled", whatever the
    // cause, so the cause is kept here to report it rightly.
    Stop stop_ = Stop::None;
};

} // namespace transfer
