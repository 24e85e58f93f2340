// The language server's message reader: bytes arrive in pieces of any size, so reading
// them in pieces must give the frames reading them whole gives; and every message read
// comes back unchanged through the server's own framing.
#include "cli/lspreader.h"
#include "fuzzcheck.h"

#include <QList>

namespace {

QList<LspFrame> drain(LspReader &reader)
{
    QList<LspFrame> frames;
    while (std::optional<LspFrame> frame = reader.next())
        frames.append(*frame);
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in{data, size};
    const std::uint8_t pieceSeed = in.byte();
    const QByteArray stream = in.rest();

    LspReader whole;
    whole.append(stream);
    const QList<LspFrame> expected = drain(whole);

    LspReader pieces;
    QList<LspFrame> actual;
    unsigned state = pieceSeed | 1u;
    for (qsizetype at = 0; at < stream.size();) {
        state = state * 1103515245u + 12345u;
        const qsizetype piece = std::min<qsizetype>(stream.size() - at, 1 + (state >> 16) % 97);
        pieces.append(QByteArrayView(stream).sliced(at, piece));
        actual += drain(pieces);
        at += piece;
    }
    FUZZ_CHECK(actual == expected);
    FUZZ_CHECK(pieces.pending() == whole.pending());

    for (const LspFrame &frame : expected) {
        FUZZ_CHECK((frame.kind == LspFrame::Kind::Message) == frame.problem.isEmpty());
        if (frame.kind != LspFrame::Kind::Message)
            continue;
        LspReader again;
        again.append(FrameLspMessage(frame.json));
        const QList<LspFrame> reread = drain(again);
        FUZZ_CHECK(reread.size() == 1 && reread[0].kind == LspFrame::Kind::Message);
        FUZZ_CHECK(reread[0].json.toJson() == frame.json.toJson());
        FUZZ_CHECK(again.pending() == 0);
    }
    return 0;
}
