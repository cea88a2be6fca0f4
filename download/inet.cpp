#include "download/inet.h"

#include "app/cp1252.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace {

bool isWebScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QString seconds(int ms)
{
    return ms % 1000 == 0 ? QString::number(ms / 1000) : QString::number(ms / 1000.0, 'f', 1);
}

struct DeleteLater
{
    void operator()(QObject *object) const { object->deleteLater(); }
};

} // namespace

TransferError::TransferError(Kind kind, QString reason)
    : kind_(kind), reason_(std::move(reason)), what_(reason_.toUtf8())
{
}

Inet::Inet(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Inet1"));
    manager_ = new QNetworkAccessManager(this);
    // Our own time-out below replaces Qt's, which would end the reply as
    // merely "cancelled".
    manager_->setTransferTimeout(0);
    timeout_ = new QTimer(this);
    timeout_->setSingleShot(true);
    connect(timeout_, &QTimer::timeout, this, &Inet::onRequestTimeout);
}

Inet::~Inet()
{
    if (reply_)
        reply_->abort();
}

QString Inet::OpenURL(const QString &url)
{
    if (reply_)
        throw TransferError(TransferError::Kind::Busy, QStringLiteral("another download is still running"));
    const QUrl requested(url, QUrl::TolerantMode);
    if (!requested.isValid() || !isWebScheme(requested.scheme()) || requested.host().isEmpty())
        throw TransferError(TransferError::Kind::BadUrl, QStringLiteral("it is not a web address"));

    QNetworkRequest request(requested);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Gearledger/3.0"));

    body_.clear();
    currentUrl_ = requested;
    stop_ = Stop::None;
    stopReason_.clear();
    std::unique_ptr<QNetworkReply, DeleteLater> reply(manager_->get(request));
    reply_ = reply.get();
    connect(reply.get(), &QNetworkReply::metaDataChanged, this, &Inet::onMetaData);
    connect(reply.get(), &QNetworkReply::readyRead, this, &Inet::onReadyRead);
    connect(reply.get(), &QNetworkReply::redirected, this, &Inet::onRedirected);

    QEventLoop loop;
    connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timeout_->start(timeoutMs_);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    timeout_->stop();
    if (!reply->isFinished()) {
        // The program is ending: every event loop was told to leave.
        stopWith(Stop::Cancelled);
    }
    if (stop_ == Stop::None)
        onReadyRead(); // the last bytes
    reply_ = nullptr;
    return cp1252::decode(takeResult(*reply));
}

QByteArray Inet::takeResult(QNetworkReply &reply)
{
    QByteArray body = std::move(body_);
    body_.clear();
    switch (stop_) {
    case Stop::TimedOut:
        throw TransferError(TransferError::Kind::TimedOut,
                            QStringLiteral("the server did not answer within %1 seconds").arg(seconds(timeoutMs_)));
    case Stop::TooLarge:
        throw TransferError(TransferError::Kind::TooLarge,
                            QStringLiteral("the document is larger than %1 MiB").arg(kMaxDocumentBytes >> 20));
    case Stop::RedirectRefused:
        throw TransferError(TransferError::Kind::RedirectRefused,
                            QStringLiteral("the server sent the download on to another host (%1)").arg(stopReason_));
    case Stop::Cancelled:
        throw TransferError(TransferError::Kind::Cancelled, QStringLiteral("the download was cancelled"));
    case Stop::None:
        break;
    }
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        const int code = status.toInt();
        if (code < 200 || code > 299) {
            const QString phrase = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            throw TransferError(TransferError::Kind::HttpStatus,
                                QStringLiteral("the server answered %1 %2").arg(code).arg(phrase).trimmed());
        }
    }
    if (reply.error() != QNetworkReply::NoError)
        throw TransferError(TransferError::Kind::ConnectFailed,
                            QStringLiteral("the server could not be reached (%1)").arg(reply.errorString()));
    return body;
}

void Inet::Execute(const QString &url, const QString &operation)
{
    Q_UNUSED(url);
    if (operation.compare(QLatin1String("CLOSE"), Qt::CaseInsensitive) == 0 && !reply_)
        manager_->clearConnectionCache();
}

void Inet::cancel()
{
    stopWith(Stop::Cancelled);
}

void Inet::onRequestTimeout()
{
    stopWith(Stop::TimedOut);
}

void Inet::onMetaData()
{
    noteActivity();
    if (!reply_)
        return;
    // A document announced as too large is refused before its body comes.
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > kMaxDocumentBytes)
        stopWith(Stop::TooLarge);
}

void Inet::onReadyRead()
{
    noteActivity();
    if (!reply_ || stop_ != Stop::None)
        return;
    // Count what really arrives: a chunked answer announces no length, and an
    // abort from the progress signal would not stop the body.
    const qint64 room = kMaxDocumentBytes - body_.size();
    const qint64 available = reply_->bytesAvailable();
    if (available > room) {
        stopWith(Stop::TooLarge);
        return;
    }
    body_ += reply_->read(available);
}

void Inet::onRedirected(const QUrl &target)
{
    noteActivity();
    if (!reply_)
        return;
    // The reply's own URL may already be the target here: compare with the
    // address last requested.
    const QUrl &from = currentUrl_;
    const bool sameHost = target.host().compare(from.host(), Qt::CaseInsensitive) == 0;
    const bool downgrade = from.scheme() == QLatin1String("https") && target.scheme() != QLatin1String("https");
    if (!sameHost || !isWebScheme(target.scheme()) || downgrade) {
        stopWith(Stop::RedirectRefused, target.host().isEmpty() ? target.toString() : target.host());
        return;
    }
    body_.clear();
    currentUrl_ = target;
    emit reply_->redirectAllowed();
}

void Inet::stopWith(Stop why, const QString &reason)
{
    if (!reply_ || stop_ != Stop::None)
        return;
    stop_ = why;
    stopReason_ = reason;
    timeout_->stop();
    reply_->abort();
}

void Inet::noteActivity()
{
    if (timeout_->isActive())
        timeout_->start(timeoutMs_);
}
