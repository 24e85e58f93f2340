// ReadRegistryString over a backend whose value may change type or size between the
// query for its size and the query for its data, as a live registry's may.
#include "fuzzcheck.h"
#include "gamepath/registryFinder.h"

#include <algorithm>
#include <cstring>

namespace {

class ChangingBackend final : public RegistryBackend
{
public:
    quint32 firstType = 0, secondType = 0;
    QByteArray firstData, secondData;
    bool openFails = false;
    int queries = 0;
    quint32 lastFilled = 0;

    qint32 openKey(quint32, const QByteArray &, RegistryHandle *key) override
    {
        *key = openFails ? 0 : 7;
        return openFails ? RegistryStatus::FileNotFound : RegistryStatus::Success;
    }
    qint32 queryValue(RegistryHandle key, const QByteArray &, quint32 *type, char *data, quint32 *size) override
    {
        if (key != 7)
            return RegistryStatus::InvalidHandle;
        const bool first = queries++ == 0;
        const QByteArray &value = first ? firstData : secondData;
        *type = first ? firstType : secondType;
        if (!data) {
            *size = quint32(value.size());
            return RegistryStatus::Success;
        }
        if (quint32(value.size()) > *size)
            return RegistryStatus::MoreData;
        std::memcpy(data, value.constData(), size_t(value.size()));
        *size = lastFilled = quint32(value.size());
        return RegistryStatus::Success;
    }
    qint32 closeKey(RegistryHandle) override { return RegistryStatus::Success; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in{data, size};
    ChangingBackend backend;
    const std::uint8_t flags = in.byte();
    backend.openFails = flags & 1;
    backend.firstType = (flags >> 1) & 7;
    backend.secondType = (flags & 0x10) ? (flags >> 5) & 7 : backend.firstType;
    backend.firstData = in.take('\xff');
    backend.secondData = (flags & 0x80) ? in.rest() : backend.firstData;

    const QString fallback = QStringLiteral("<default>");
    const QString result = ReadRegistryString(backend, HKEY_LOCAL_MACHINE_ROOT, QStringLiteral("Key"),
                                              QStringLiteral("Value"), fallback);
    if (result == fallback)
        return 0;
    FUZZ_CHECK(!backend.openFails);
    FUZZ_CHECK(backend.firstType == RegistryType::String && backend.secondType == RegistryType::String);
    FUZZ_CHECK(!result.contains(QChar(u'\0')));
    FUZZ_CHECK(result.size() <= RegistryStringLimit || !backend.secondData.contains('\0'));
    // Only text the registry handed over, never filler of the buffer.
    const QString handed = QString::fromLocal8Bit(backend.secondData.left(qsizetype(backend.lastFilled)));
    FUZZ_CHECK(handed.startsWith(result));
    FUZZ_CHECK(result == handed || handed.at(result.size()) == QChar(u'\0'));
    return 0;
}
