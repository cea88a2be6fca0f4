#include "transfer/transfer_service.h"

#include "base/version.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace transfer {
namespace {

bool isWebScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QString seconds(int ms)
{
    return ms % 1000 == 0 ? QString::number(ms / 1000) : QString::number(ms / 1000.0, 'f', 1);
}

// "10 minutes", "1 minute", "90 seconds", "0.3 seconds".
QString duration(int ms)
{
    if (ms >= 60000 && ms % 60000 == 0)
        return ms == 60000 ? QStringLiteral("1 minute") : QStringLiteral("%1 minutes").arg(ms / 60000);
    return QStringLiteral("%1 seconds").arg(seconds(ms));
}

// The content encodings that Qt takes off a body by itself (the ones it asks
// for); a body in any other encoding reaches us as it was sent.
bool qtDecodes(const QByteArray &encoding)
{
    static const QByteArray kDecoded[] = {"gzip", "x-gzip", "deflate", "br", "zstd"};
    return std::find(std::begin(kDecoded), std::end(kDecoded), encoding) != std::end(kDecoded);
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

TransferService::TransferService(QObject *parent) : QObject(parent)
{
    timeout_ = new QTimer(this);
    timeout_->setSingleShot(true);
    connect(timeout_, &QTimer::timeout, this, [this] { stopWith(Stop::TimedOut); });
    overallTimeout_ = new QTimer(this);
    overallTimeout_->setSingleShot(true);
    connect(overallTimeout_, &QTimer::timeout, this, [this] { stopWith(Stop::TookTooLong); });
}

TransferService::~TransferService()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

QNetworkAccessManager *TransferService::manager()
{
    if (!manager_) {
        manager_ = new QNetworkAccessManager(this);
        // Our own time-out replaces Qt's, which would end the reply as
        // merely "cancelled".
        manager_->setTransferTimeout(0);
    }
    return manager_;
}

void TransferService::fetch(const QString &url)
{
    if (busy_) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                emit failed({TransferError::Kind::Busy, QStringLiteral("another download is still running")});
            },
            Qt::QueuedConnection);
        return;
    }
    busy_ = true;
    stop_ = Stop::None;
    redirects_ = 0;
    const QUrl requested(url, QUrl::TolerantMode);
    if (!requested.isValid() || !isWebScheme(requested.scheme()) || requested.host().isEmpty()) {
        end(TransferError{TransferError::Kind::BadUrl, QStringLiteral("it is not a web address")});
        return;
    }
    timeout_->start(timeoutMs_);
    overallTimeout_->start(overallTimeoutMs_);
    request(requested);
}

void TransferService::request(const QUrl &url)
{
    // Redirects are followed here rather than by Qt, whose following of
    // checked redirects ends a chain of more than two as "status 100".
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Gearledger/") + base::kProgramVersion);

    body_.clear();
    currentUrl_ = url;
    reply_ = manager()->get(request);
    reply_->setReadBufferSize(kReadBufferBytes);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &TransferService::onMetaData);
    connect(reply_, &QNetworkReply::readyRead, this, &TransferService::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &TransferService::onReplyFinished);
}

void TransferService::onReplyFinished()
{
    if (!reply_)
        return;
    QNetworkReply &reply = *reply_;
    if (stop_ == Stop::None)
        onReadyRead(); // the last bytes
    if (stop_ == Stop::None) {
        std::optional<TransferError> refused;
        const std::optional<QUrl> target = redirectTarget(reply, &refused);
        if (refused)
            return end(refused);
        if (target && redirects_ == kMaxRedirects)
            return end(TransferError{TransferError::Kind::RedirectLoop,
                                     QStringLiteral("the server sent the download on more than %1 times (a redirect "
                                                    "loop)")
                                         .arg(kMaxRedirects)});
        if (target) {
            ++redirects_;
            reply_->disconnect(this);
            reply_->deleteLater();
            request(*target);
            return;
        }
    }
    end(failureOf(reply));
}

void TransferService::end(std::optional<TransferError> error)
{
    timeout_->stop();
    overallTimeout_->stop();
    if (reply_) {
        reply_->disconnect(this);
        reply_->deleteLater();
        reply_ = nullptr;
    }
    QByteArray document = std::move(body_);
    body_.clear();
    QMetaObject::invokeMethod(
        this,
        [this, error = std::move(error), document = std::move(document)] {
            busy_ = false;
            // A cancel after the reply had ended still cancels.
            if (stop_ == Stop::Cancelled)
                emit failed({TransferError::Kind::Cancelled, QStringLiteral("the download was cancelled")});
            else if (error)
                emit failed(*error);
            else
                emit finished(document);
        },
        Qt::QueuedConnection);
}

std::optional<QUrl> TransferService::redirectTarget(QNetworkReply &reply, std::optional<TransferError> *refused) const
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray location = reply.rawHeader("Location");
    if (reply.error() != QNetworkReply::NoError || !isRedirect(status) || location.isEmpty())
        return std::nullopt;
    const QUrl target = currentUrl_.resolved(QUrl::fromEncoded(location));
    const QString to = target.toString(QUrl::RemoveUserInfo);
    const auto refuse = [refused](const QString &where) {
        *refused = TransferError{TransferError::Kind::RedirectRefused,
                                 QStringLiteral("the server sent the download on %1").arg(where)};
        return std::nullopt;
    };
    if (!target.isValid() || !isWebScheme(target.scheme()))
        return refuse(QStringLiteral("to an address that is not a web address (%1)").arg(to));
    if (currentUrl_.scheme() == QLatin1String("https") && target.scheme() != QLatin1String("https"))
        return refuse(QStringLiteral("from a secure address to an insecure one (%1)").arg(to));
    if (target.host().compare(currentUrl_.host(), Qt::CaseInsensitive) != 0)
        return refuse(QStringLiteral("to another host (%1)").arg(target.host()));
    return target;
}

std::optional<TransferError> TransferService::failureOf(QNetworkReply &reply) const
{
    switch (stop_) {
    case Stop::TimedOut:
        return TransferError{TransferError::Kind::TimedOut,
                             QStringLiteral("the server did not answer within %1 seconds").arg(seconds(timeoutMs_))};
    case Stop::TookTooLong:
        return TransferError{TransferError::Kind::TookTooLong,
                             QStringLiteral("the server sent the document too slowly: it was not complete after %1")
                                 .arg(duration(overallTimeoutMs_))};
    case Stop::TooLarge:
        return TransferError{TransferError::Kind::TooLarge,
                             QStringLiteral("the document is larger than %1 MiB").arg(kMaxDocumentBytes >> 20)};
    case Stop::Cancelled:
        return TransferError{TransferError::Kind::Cancelled, QStringLiteral("the download was cancelled")};
    case Stop::None:
        break;
    }
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool success = status.isValid() && status.toInt() >= 200 && status.toInt() <= 299;
    if (reply.error() != QNetworkReply::NoError || !success)
        return replyFailure(reply);
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity" && !qtDecodes(encoding))
        return TransferError{TransferError::Kind::Unreadable,
                             QStringLiteral("the server sent the document encoded as \"%1\", which cannot be read")
                                 .arg(QString::fromLatin1(encoding))};
    return std::nullopt;
}

TransferError TransferService::replyFailure(QNetworkReply &reply) const
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply.error();
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed();
    if (error == QNetworkReply::UnknownContentError && !encoding.isEmpty())
        return {TransferError::Kind::Unreadable,
                QStringLiteral("the server sent the document compressed (%1) in a form that cannot be read")
                    .arg(QString::fromLatin1(encoding))};
    if (!status.isValid() && (error == QNetworkReply::RemoteHostClosedError || error == QNetworkReply::ProtocolFailure))
        return {TransferError::Kind::NotHttp, QStringLiteral("the server did not answer in HTTP")};
    if (status.isValid()) {
        const int code = status.toInt();
        if (code < 200 || code > 299) {
            const QString phrase = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            return {TransferError::Kind::HttpStatus,
                    QStringLiteral("the server answered %1 %2").arg(code).arg(phrase).trimmed()};
        }
        if (error == QNetworkReply::RemoteHostClosedError)
            return {TransferError::Kind::Incomplete,
                    QStringLiteral("the connection ended before the whole document had come")};
    }
    return {TransferError::Kind::ConnectFailed,
            QStringLiteral("the server could not be reached (%1)").arg(reply.errorString())};
}

void TransferService::closeConnections()
{
    if (!busy_ && manager_)
        manager_->clearConnectionCache();
}

void TransferService::cancel()
{
    stopWith(Stop::Cancelled);
}

void TransferService::onMetaData()
{
    noteActivity();
    if (!reply_)
        return;
    // A document announced as too large is refused before its body comes.
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > kMaxDocumentBytes)
        stopWith(Stop::TooLarge);
}

void TransferService::onReadyRead()
{
    noteActivity();
    if (!reply_ || stop_ != Stop::None)
        return;
    // Count what really arrives: a chunked answer announces no length, and an
    // abort from the progress signal would not stop the body. The reply holds
    // at most kReadBufferBytes, so the server cannot send faster than this.
    const qint64 available = reply_->bytesAvailable();
    if (available > kMaxDocumentBytes - body_.size()) {
        stopWith(Stop::TooLarge);
        return;
    }
    const qsizetype had = body_.size();
    body_.resize(had + available);
    const qint64 got = reply_->read(body_.data() + had, available);
    body_.resize(had + qMax<qint64>(got, 0));
}

void TransferService::stopWith(Stop why)
{
    if (!busy_ || stop_ != Stop::None)
        return;
    stop_ = why;
    timeout_->stop();
    overallTimeout_->stop();
    if (reply_)
        reply_->abort();
}

void TransferService::noteActivity()
{
    if (timeout_->isActive())
        timeout_->start(timeoutMs_);
}

} // namespace transfer
