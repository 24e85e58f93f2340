// BuildMusicChanger gives 23 + n lines, fewer track lines only after a stop, and the file
// image is refused exactly when a line holds a character Windows-1252 lacks.
#include "codec/cp1252.h"
#include "fuzzcheck.h"
#include "musicchanger/musicchanger.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in{data, size};
    const int stopAfter = in.byte();
    const QString next = QString::fromUtf8(in.take());
    const QString back = QString::fromUtf8(in.take());
    QList<MusicTrack> tracks;
    while (in.size > 0 && tracks.size() < 200) {
        const QString caption = QString::fromUtf8(in.take());
        tracks.append({caption, QString::fromUtf8(in.take())});
    }
    const qsizetype n = tracks.size();

    int asked = 0;
    const bool stops = stopAfter != 0 && stopAfter <= n;
    const QStringList lines = BuildMusicChanger(tracks, next, back, [&] { return ++asked == stopAfter; });
    if (n == 0) {
        FUZZ_CHECK(lines.isEmpty());
        return 0;
    }
    FUZZ_CHECK(lines.size() == 23 + (stops ? stopAfter : n));
    FUZZ_CHECK(asked == (stops ? stopAfter : n));
    const QStringList plain = BuildMusicChanger(tracks, next, back);
    FUZZ_CHECK(plain.size() == 23 + n);
    // A stopped script is the full one without the tracks after the stop.
    if (stops) {
        QStringList shortened = plain;
        shortened.remove(10 + stopAfter, n - stopAfter);
        FUZZ_CHECK(shortened == lines);
    }

    const MusicChangerBytes image = EncodeMusicChanger(plain);
    if (image.ok) {
        FUZZ_CHECK(cp1252::decode(image.bytes) == plain.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    } else {
        FUZZ_CHECK(image.bytes.isEmpty());
        FUZZ_CHECK(image.line >= 0 && image.line < plain.size());
        FUZZ_CHECK(!image.unencodable.isEmpty() && plain.at(image.line).contains(image.unencodable));
        for (qsizetype l = 0; l < image.line; ++l)
            FUZZ_CHECK(FirstNonWindows1252(plain.at(l)).isEmpty());
    }
    return 0;
}
