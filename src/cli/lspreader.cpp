#include "cli/lspreader.h"

#include <QJsonParseError>

namespace {

const QByteArray HeaderName = QByteArrayLiteral("Content-Length:");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Whether "Content-Length: digits CR LF" starts at `at`; nothing when the bytes end before
// that is known.
std::optional<bool> headerLineAt(const QByteArray &bytes, qsizetype at, qsizetype end)
{
    qsizetype i = at + HeaderName.size();
    while (i < end && isBlank(bytes[i]))
        ++i;
    const qsizetype digits = i;
    while (i < end && bytes[i] >= '0' && bytes[i] <= '9')
        ++i;
    const qsizetype digitsEnd = i;
    while (i < end && isBlank(bytes[i]))
        ++i;
    if (i + 2 > end)
        return std::nullopt;
    return digitsEnd > digits && bytes[i] == '\r' && bytes[i + 1] == '\n';
}

} // namespace

void LspReader::append(QByteArrayView bytes)
{
    buffer_.append(bytes);
}

void LspReader::compact()
{
    if (position_ == buffer_.size()) {
        buffer_.clear();
        bodyStart_ -= position_;
        scanFrom_ -= position_;
        position_ = 0;
    } else if (position_ > (1 << 20) && position_ > buffer_.size() / 2) {
        buffer_.remove(0, position_);
        bodyStart_ -= position_;
        scanFrom_ -= position_;
        position_ = 0;
    }
}

std::optional<LspFrame> LspReader::next()
{
    compact();
    if (bodyLength_ < 0)
        return nextHeader();
    if (auto cut = bodyCutShort())
        return cut;
    if (buffer_.size() - bodyStart_ < bodyLength_)
        return std::nullopt;
    const QByteArray body = buffer_.sliced(bodyStart_, bodyLength_);
    position_ = bodyStart_ + bodyLength_;
    bodyLength_ = -1;
    QJsonParseError error;
    LspFrame frame;
    frame.json = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError) {
        frame.kind = LspFrame::Kind::BadJson;
        frame.problem = QStringLiteral("the message is not JSON: %1 at byte %2").arg(error.errorString()).arg(error.offset);
        frame.json = {};
    }
    return frame;
}

// Raw CR LF cannot stand inside a JSON string, nor a header name outside one, so a header
// line within the body means the length promised more than the message held: the next
// message starts there.
std::optional<LspFrame> LspReader::bodyCutShort()
{
    const qsizetype end = std::min<qint64>(buffer_.size(), bodyStart_ + bodyLength_);
    for (qsizetype at = buffer_.indexOf(HeaderName, scanFrom_); at >= 0 && at < end;
         at = buffer_.indexOf(HeaderName, at + 1)) {
        const std::optional<bool> header = headerLineAt(buffer_, at, end);
        if (!header) {
            scanFrom_ = at;
            return std::nullopt;
        }
        if (*header) {
            position_ = at;
            bodyLength_ = -1;
            return LspFrame{LspFrame::Kind::BadHeader, {},
                            QStringLiteral("Content-Length is longer than the message; the next one starts inside it")};
        }
    }
    scanFrom_ = std::max(scanFrom_, end - HeaderName.size() + 1);
    return std::nullopt;
}

std::optional<LspFrame> LspReader::nextHeader()
{
    if (resyncing_) {
        const qsizetype found = buffer_.indexOf(HeaderName, position_);
        if (found < 0) {
            position_ = std::max(position_, buffer_.size() - HeaderName.size() + 1);
            return std::nullopt;
        }
        position_ = found;
        resyncing_ = false;
    }
    const qsizetype searchEnd = std::min(buffer_.size(), position_ + MaxLspHeader + 4);
    const qsizetype blank = QByteArrayView(buffer_).sliced(position_, searchEnd - position_).indexOf("\r\n\r\n");
    const auto bad = [this](const QString &problem) {
        // Skips to the next header, at least one byte on.
        ++position_;
        resyncing_ = true;
        return LspFrame{LspFrame::Kind::BadHeader, {}, problem};
    };
    if (blank < 0) {
        if (searchEnd - position_ < MaxLspHeader + 4)
            return std::nullopt;
        return bad(QStringLiteral("no end of the header in %1 bytes").arg(MaxLspHeader));
    }
    qint64 length = -1;
    const QByteArrayView header = QByteArrayView(buffer_).sliced(position_, blank);
    for (qsizetype start = 0; start <= header.size();) {
        qsizetype stop = header.indexOf("\r\n", start);
        if (stop < 0)
            stop = header.size();
        const QByteArrayView line = header.sliced(start, stop - start);
        start = stop + 2;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return bad(QStringLiteral("a header line without a name: \"%1\"").arg(QString::fromLatin1(line.first(std::min<qsizetype>(line.size(), 80)))));
        if (line.first(colon).trimmed().compare("content-length", Qt::CaseInsensitive) != 0)
            continue;
        bool ok = false;
        const QByteArrayView value = line.sliced(colon + 1).trimmed();
        const qint64 parsed = value.size() <= 12 && !value.isEmpty() && value[0] >= '0' && value[0] <= '9'
                                  ? value.toLongLong(&ok) : -1;
        if (!ok || parsed < 0 || parsed > MaxLspBody || length >= 0)
            return bad(QStringLiteral("a wrong Content-Length: \"%1\"").arg(QString::fromLatin1(value.first(std::min<qsizetype>(value.size(), 80)))));
        length = parsed;
    }
    if (length < 0)
        return bad(QStringLiteral("a header without Content-Length"));
    bodyStart_ = position_ + blank + 4;
    scanFrom_ = bodyStart_;
    bodyLength_ = length;
    return next();
}

QByteArray FrameLspMessage(const QJsonDocument &message)
{
    const QByteArray body = message.toJson(QJsonDocument::Compact);
    return "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}
