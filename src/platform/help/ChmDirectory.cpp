#include "platform/help/ChmDirectory.h"

#include <QIODevice>
#include <QtEndian>

#include <chm_lib.h>

#include <optional>

#include <strings.h>

namespace help {

namespace {

// Sizes fixed by the format. The file header of version 3 adds the content offset to version 2's.
constexpr quint64 kFileHeaderV2 = 0x58;
constexpr quint64 kFileHeaderV3 = 0x60;
constexpr quint64 kDirectoryHeader = 0x54;
constexpr quint32 kListingHeader = 0x14;
constexpr quint32 kIndexHeader = 0x08;
constexpr quint64 kControlData = 0x18;
constexpr quint64 kResetTable = 0x28;
// LZX decompresses in frames of 32 KiB; the control data counts its sizes in them.
constexpr quint64 kFrame = 0x8000;
constexpr quint32 kMaxWindowFrames = 64; // a 2 MiB window
constexpr quint64 kMax32 = 0xFFFFFFFF;

const QByteArray kStorage = QByteArrayLiteral("::DataSpace/Storage/MSCompressed/");
const QByteArray kControlDataPath = kStorage + QByteArrayLiteral("ControlData");
const QByteArray kResetTablePath = kStorage
    + QByteArrayLiteral(
        "Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");

quint32 u32(QByteArrayView b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.data() + at);
}

qint32 i32(QByteArrayView b, qsizetype at)
{
    return qFromLittleEndian<qint32>(b.data() + at);
}

quint64 u64(QByteArrayView b, qsizetype at)
{
    return qFromLittleEndian<quint64>(b.data() + at);
}

QByteArray readAt(QIODevice& file, quint64 offset, quint64 length)
{
    return file.seek(qint64(offset)) ? file.read(qint64(length)) : QByteArray();
}

struct Entry
{
    QByteArray name;
    quint64 section = 0;
    quint64 offset = 0;
    quint64 length = 0;
};

// Reads the entries of one chunk, never past its used part; ok() turns false at the first
// field that does not fit.
class EntryReader
{
public:
    EntryReader(QByteArrayView chunk, qsizetype begin, qsizetype end)
        : m_chunk(chunk)
        , m_at(begin)
        , m_end(end)
    {
    }

    bool more() const { return m_ok && m_at < m_end; }
    bool ok() const { return m_ok; }

    /// A number of 7 bits a byte, most significant first, the high bit set on all but the last.
    quint64 number()
    {
        quint64 value = 0;
        while (m_ok) {
            if (m_at >= m_end || (value >> 57) != 0) {
                m_ok = false;
                break;
            }
            const auto byte = static_cast<uchar>(m_chunk[m_at++]);
            value = value << 7 | (byte & 0x7f);
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        return 0;
    }

    QByteArray name()
    {
        const quint64 length = number();
        // chmlib copies a name into a buffer of CHM_MAX_PATHLEN characters.
        if (!m_ok || length > CHM_MAX_PATHLEN || qsizetype(length) > m_end - m_at) {
            m_ok = false;
            return {};
        }
        const QByteArray name = m_chunk.sliced(m_at, qsizetype(length)).toByteArray();
        m_at += qsizetype(length);
        return name;
    }

private:
    QByteArrayView m_chunk;
    qsizetype m_at;
    qsizetype m_end;
    bool m_ok = true;
};

// The used part of a chunk starts after its header and ends before its free space.
bool usedPart(QByteArrayView chunk, const char* signature, quint32 header, qsizetype* end)
{
    if (!chunk.startsWith(signature)) {
        return false;
    }
    const quint32 free = u32(chunk, 4);
    *end = chunk.size() - qsizetype(free);
    return free <= chunk.size() - header;
}

bool readListing(QByteArrayView chunk, QList<Entry>* entries)
{
    qsizetype end = 0;
    if (!usedPart(chunk, "PMGL", kListingHeader, &end)) {
        return false;
    }
    EntryReader r(chunk, kListingHeader, end);
    while (r.more()) {
        Entry e;
        e.name = r.name();
        e.section = r.number();
        e.offset = r.number();
        e.length = r.number();
        entries->append(e);
    }
    return r.ok();
}

bool readIndex(QByteArrayView chunk, quint32 chunks, QList<qint32>* children)
{
    qsizetype end = 0;
    if (!usedPart(chunk, "PMGI", kIndexHeader, &end)) {
        return false;
    }
    EntryReader r(chunk, kIndexHeader, end);
    while (r.more()) {
        r.name();
        const quint64 child = r.number();
        if (child >= chunks) {
            return false;
        }
        children->append(qint32(child));
    }
    return r.ok();
}

// The LZX parameters: a window of 32 KiB to 2 MiB, and a reset interval that holds at least
// one half window. chmlib divides by the number of half windows between resets times the
// windows per reset, in 32 bits, so that product must be neither 0 nor wrap to 0.
bool soundControlData(QByteArrayView c)
{
    const quint64 reset = u32(c, 12);
    const quint32 window = u32(c, 16);
    const quint64 windowsPerReset = u32(c, 20);
    if (c.sliced(4, 4) != "LZXC" || u32(c, 8) != 2 || window == 0 || window > kMaxWindowFrames
        || (window & (window - 1)) != 0 || reset * kFrame > kMax32) {
        return false;
    }
    const quint64 halfWindows = reset * 2 / window;
    return halfWindows != 0 && windowsPerReset != 0 && halfWindows <= kMax32 / windowsPerReset;
}

} // namespace

ChmDirectory::Verdict ChmDirectory::read(QIODevice& file)
{
    m_paths.clear();
    QStringList paths;
    const auto size = quint64(file.size());
    const QByteArray head = readAt(file, 0, kFileHeaderV3);
    if (!head.startsWith("ITSF")) {
        return Verdict::NotCompiledHelp;
    }
    if (quint64(head.size()) < kFileHeaderV2) {
        return Verdict::Damaged;
    }
    const quint32 version = u32(head, 4);
    const quint64 headerSize = version == 3 ? kFileHeaderV3 : kFileHeaderV2;
    const quint64 dirOffset = u64(head, 0x48);
    const quint64 dirSize = u64(head, 0x50);
    if ((version != 2 && version != 3) || quint64(head.size()) < headerSize
        || u32(head, 8) < headerSize || u32(head, 8) > size || dirOffset > size
        || dirSize > size - dirOffset || dirSize < kDirectoryHeader) {
        return Verdict::Damaged;
    }
    // Objects of the uncompressed section are stored from here on.
    const quint64 contentOffset = version == 3 ? u64(head, 0x58) : dirOffset + dirSize;
    const QByteArray dir = readAt(file, dirOffset, dirSize);
    if (contentOffset > size || quint64(dir.size()) != dirSize || !dir.startsWith("ITSP")
        || u32(dir, 4) != 1) {
        return Verdict::Damaged;
    }
    const quint32 dirHeader = u32(dir, 8);
    const quint32 chunkSize = u32(dir, 0x10);
    const qint32 root = i32(dir, 0x1c);
    const qint32 first = i32(dir, 0x20);
    const qint32 last = i32(dir, 0x24);
    const quint32 chunks = u32(dir, 0x2c);
    auto isChunk = [&](qint32 n) { return n >= 0 && quint32(n) < chunks; };
    if (dirHeader < kDirectoryHeader || chunkSize < kListingHeader || chunks == 0
        || dirHeader + quint64(chunks) * chunkSize > dirSize || (root != -1 && !isChunk(root))
        || !isChunk(first) || !isChunk(last)) {
        return Verdict::Damaged;
    }
    auto chunk = [&](qint32 n) {
        return QByteArrayView(dir).sliced(qsizetype(dirHeader + quint64(n) * chunkSize),
            qsizetype(chunkSize));
    };

    // chmlib finds an object by descending the index from its root chunk (the first listing
    // chunk when there is no index). Every chunk it can reach must be well formed and reached
    // once only, or the descent could go round for ever.
    QList<Entry> entries;
    QList<bool> reached(chunks, false);
    for (QList<qint32> pending{root != -1 ? root : first}; !pending.isEmpty();) {
        const qint32 n = pending.takeLast();
        if (reached[n]) {
            return Verdict::Damaged;
        }
        reached[n] = true;
        if (!(chunk(n).startsWith("PMGI") ? readIndex(chunk(n), chunks, &pending)
                                          : readListing(chunk(n), &entries))) {
            return Verdict::Damaged;
        }
    }
    // The listing chunks are chained from the first one on; the chain must end.
    QList<bool> listed(chunks, false);
    for (qint32 n = first; n != -1; n = i32(chunk(n), 0x10)) {
        QList<Entry> here;
        if (!isChunk(n) || listed[n] || !readListing(chunk(n), &here)) {
            return Verdict::Damaged;
        }
        listed[n] = true;
        for (const Entry& e : here) {
            paths.append(QString::fromUtf8(e.name));
        }
        if (!reached[n]) {
            entries += here;
        }
    }

    // The start of an uncompressed object, at least `length` bytes of it. chmlib takes an
    // entry for the name it looks up when the two compare equal ignoring letter case, the
    // entry's name read up to its first NUL: every entry it could take is the one checked, and
    // a name that two entries answer to is damage.
    auto object = [&](const char* name, quint64 length) -> std::optional<QByteArray> {
        const Entry* e = nullptr;
        for (const Entry& entry : entries) {
            if (::strcasecmp(entry.name.constData(), name) == 0) { // stops at a NUL as chmlib
                if (e != nullptr) {
                    return QByteArray();
                }
                e = &entry;
            }
        }
        if (e == nullptr) {
            return std::nullopt;
        }
        const quint64 room = size - contentOffset;
        if (e->section != 0 || e->offset > room || e->length > room - e->offset
            || e->length < length) {
            return QByteArray();
        }
        return readAt(file, contentOffset + e->offset, length);
    };
    const auto control = object(kControlDataPath.constData(), kControlData);
    const auto resetTable = object(kResetTablePath.constData(), kResetTable);
    if ((control && (quint64(control->size()) != kControlData || !soundControlData(*control)))
        || (resetTable
            && (quint64(resetTable->size()) != kResetTable || u64(*resetTable, 0x20) != kFrame))) {
        return Verdict::Damaged;
    }
    m_paths = paths;
    return Verdict::Sound;
}

} // namespace help
