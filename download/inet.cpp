#include "download/inet.h"

#include "base/version.h"
#include "storage/windows1252.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>
#include <iterator>
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

void deleteReplyLater(QNetworkReply *reply)
{
    reply->deleteLater();
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

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
    overallTimeout_ = new QTimer(this);
    overallTimeout_->setSingleShot(true);
    connect(overallTimeout_, &QTimer::timeout, this, &Inet::onOverallTimeout);
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

    stop_ = Stop::None;
    timeout_->start(timeoutMs_);
    overallTimeout_->start(overallTimeoutMs_);
    struct StopTimers
    {
        Inet *inet;
        ~StopTimers()
        {
            inet->timeout_->stop();
            inet->overallTimeout_->stop();
        }
    } stopTimers{this};
    // Redirects are followed here rather than by Qt, whose following of
    // checked redirects ends a chain of more than two as "status 100".
    QUrl next = requested;
    for (int redirects = 0;; ++redirects) {
        ReplyPtr reply = fetchOnce(next);
        const std::optional<QUrl> target = stop_ == Stop::None ? redirectTarget(*reply) : std::nullopt;
        if (!target)
            return storage::decodeWindows1252(takeResult(*reply));
        if (redirects == kMaxRedirects)
            throw TransferError(TransferError::Kind::RedirectLoop,
                                QStringLiteral("the server sent the download on more than %1 times (a redirect loop)")
                                    .arg(kMaxRedirects));
        next = *target;
    }
}

Inet::ReplyPtr Inet::fetchOnce(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Gearledger/") + base::kProgramVersion);

    body_.clear();
    currentUrl_ = url;
    ReplyPtr reply(manager_->get(request), &deleteReplyLater);
    reply_ = reply.get();
    reply->setReadBufferSize(kReadBufferBytes);
    connect(reply.get(), &QNetworkReply::metaDataChanged, this, &Inet::onMetaData);
    connect(reply.get(), &QNetworkReply::readyRead, this, &Inet::onReadyRead);

    QEventLoop loop;
    connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!reply->isFinished()) {
        // The program is ending: every event loop was told to leave.
        stopWith(Stop::Cancelled);
    }
    if (stop_ == Stop::None)
        onReadyRead(); // the last bytes
    reply_ = nullptr;
    return reply;
}

std::optional<QUrl> Inet::redirectTarget(QNetworkReply &reply) const
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray location = reply.rawHeader("Location");
    if (reply.error() != QNetworkReply::NoError || !isRedirect(status) || location.isEmpty())
        return std::nullopt;
    const QUrl target = currentUrl_.resolved(QUrl::fromEncoded(location));
    const QString to = target.toString(QUrl::RemoveUserInfo);
    const auto refused = [](const QString &where) {
        return TransferError(TransferError::Kind::RedirectRefused,
                             QStringLiteral("the server sent the download on %1").arg(where));
    };
    if (!target.isValid() || !isWebScheme(target.scheme()))
        throw refused(QStringLiteral("to an address that is not a web address (%1)").arg(to));
    if (currentUrl_.scheme() == QLatin1String("https") && target.scheme() != QLatin1String("https"))
        throw refused(QStringLiteral("from a secure address to an insecure one (%1)").arg(to));
    if (target.host().compare(currentUrl_.host(), Qt::CaseInsensitive) != 0)
        throw refused(QStringLiteral("to another host (%1)").arg(target.host()));
    return target;
}

QByteArray Inet::takeResult(QNetworkReply &reply)
{
    QByteArray body = std::move(body_);
    body_.clear();
    switch (stop_) {
    case Stop::TimedOut:
        throw TransferError(TransferError::Kind::TimedOut,
                            QStringLiteral("the server did not answer within %1 seconds").arg(seconds(timeoutMs_)));
    case Stop::TookTooLong:
        throw TransferError(TransferError::Kind::TookTooLong,
                            QStringLiteral("the server sent the document too slowly: it was not complete after %1")
                                .arg(duration(overallTimeoutMs_)));
    case Stop::TooLarge:
        throw TransferError(TransferError::Kind::TooLarge,
                            QStringLiteral("the document is larger than %1 MiB").arg(kMaxDocumentBytes >> 20));
    case Stop::Cancelled:
        throw TransferError(TransferError::Kind::Cancelled, QStringLiteral("the download was cancelled"));
    case Stop::None:
        break;
    }
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool success = status.isValid() && status.toInt() >= 200 && status.toInt() <= 299;
    if (reply.error() != QNetworkReply::NoError || !success)
        throwFailureOf(reply);
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity" && !qtDecodes(encoding))
        throw TransferError(TransferError::Kind::Unreadable,
                            QStringLiteral("the server sent the document encoded as \"%1\", which cannot be read")
                                .arg(QString::fromLatin1(encoding)));
    return body;
}

void Inet::throwFailureOf(QNetworkReply &reply) const
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply.error();
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed();
    if (error == QNetworkReply::UnknownContentError && !encoding.isEmpty())
        throw TransferError(TransferError::Kind::Unreadable,
                            QStringLiteral("the server sent the document compressed (%1) in a form that cannot be read")
                                .arg(QString::fromLatin1(encoding)));
    if (!status.isValid() && (error == QNetworkReply::RemoteHostClosedError || error == QNetworkReply::ProtocolFailure))
        throw TransferError(TransferError::Kind::NotHttp, QStringLiteral("the server did not answer in HTTP"));
    if (status.isValid()) {
        const int code = status.toInt();
        if (code < 200 || code > 299) {
            const QString phrase = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            throw TransferError(TransferError::Kind::HttpStatus,
                                QStringLiteral("the server answered %1 %2").arg(code).arg(phrase).trimmed());
        }
        if (error == QNetworkReply::RemoteHostClosedError)
            throw TransferError(TransferError::Kind::Incomplete,
                                QStringLiteral("the connection ended before the whole document had come"));
    }
    throw TransferError(TransferError::Kind::ConnectFailed,
                        QStringLiteral("the server could not be reached (%1)").arg(reply.errorString()));
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

void Inet::onOverallTimeout()
{
    stopWith(Stop::TookTooLong);
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

void Inet::stopWith(Stop why)
{
    if (!reply_ || stop_ != Stop::None)
        return;
    stop_ = why;
    timeout_->stop();
    overallTimeout_->stop();
    reply_->abort();
}

void Inet::noteActivity()
{
    if (timeout_->isActive())
        timeout_->start(timeoutMs_);
}
