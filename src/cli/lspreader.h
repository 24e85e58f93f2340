#pragma once
// The Language Server Protocol's framing: "Content-Length: N" headers, a blank line, then
// N bytes of JSON. Reads from bytes as they arrive, in any pieces, and finds its way back
// to the next message after a broken one.
#include <QByteArray>
#include <QByteArrayView>
#include <QJsonDocument>
#include <QString>

#include <optional>

struct LspFrame
{
    enum class Kind { Message, BadHeader, BadJson };
    Kind kind = Kind::Message;
    QJsonDocument json;   // a Message: any JSON, an object or not
    QString problem;      // the others: what was wrong

    bool operator==(const LspFrame &) const = default;
};

// A body longer than any message the server takes: a document at the checks' size limit
// holds 32 MB, escaped in JSON.
inline constexpr qint64 MaxLspBody = 256 * 1024 * 1024;
// A header block longer than this is garbage, not a header still arriving.
inline constexpr qsizetype MaxLspHeader = 4096;

class LspReader
{
public:
    void append(QByteArrayView bytes);
    // The next whole message or problem; nothing until more bytes arrive.
    std::optional<LspFrame> next();
    // Bytes held for a message still arriving.
    qsizetype pending() const { return buffer_.size() - position_; }

private:
    std::optional<LspFrame> nextHeader();
    std::optional<LspFrame> bodyCutShort();
    void compact();

    QByteArray buffer_;
    qsizetype position_ = 0;
    bool resyncing_ = false;
    qint64 bodyLength_ = -1;   // after a header: the body's length
    qsizetype bodyStart_ = 0;
    qsizetype scanFrom_ = 0;   // where the look for a header inside the body goes on
};

// The bytes that carry one message.
QByteArray FrameLspMessage(const QJsonDocument &message);
