#include "trace/SorEditing.h"

#include "trace/ByteCursor.h"
#include "trace/AtomicWrite.h"
#include "trace/InfoTexts.h"
#include "trace/SorBlocks.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <cstring>
#include <vector>

Q_LOGGING_CATEGORY(lcSorEdit, "lumidor.sor.edit")

namespace {

constexpr qsizetype maxFieldBytes = 255;
// UTF-8 texts of 250 bytes or more do not read back whole.
constexpr qsizetype maxUtf8Bytes = 249;

struct Block {
    QByteArray name;
    size_t entrySizeAt = 0; // offset of the entry's size field in the Map
    size_t offset = 0;      // of the block in the file
    size_t size = 0;
};

// The directory as the reader sees it; false when the bytes are not a SOR container whose
// block sizes add up to the file length.
bool readDirectory(const QByteArray &bytes, std::vector<Block> &blocks)
{
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
    ByteCursor c(data, static_cast<size_t>(bytes.size()));
    if (!c.startsWithName("Map"))
        return false;
    c.skip(4);
    c.u16(); // revision
    const uint32_t mapSize = c.u32();
    const uint16_t count = c.u16();
    if (c.overrun())
        return false;
    uint64_t offset = mapSize;
    for (int i = 1; i < count; ++i) {
        Block b;
        b.name = c.text();
        c.u16(); // revision
        b.entrySizeAt = c.position();
        b.size = c.u32();
        if (c.overrun())
            return false;
        b.offset = static_cast<size_t>(offset);
        offset += b.size;
        blocks.push_back(b);
    }
    return c.position() <= mapSize && offset == static_cast<uint64_t>(bytes.size());
}

// A directory name selects a block type when it is a leading part of the type's name, tried
// in the reader's order; GenParams comes first, so the empty name selects it too.
bool selectsGenParams(const QByteArray &name) { return QByteArrayLiteral("GenParams").startsWith(name); }
bool selectsChecksum(const QByteArray &name)
{
    return !name.isEmpty() &&
           (QByteArrayLiteral("Cksum").startsWith(name) || QByteArrayLiteral("CKsum").startsWith(name));
}

// Text bytes up to any zero byte: a zero would end the field early.
QByteArray fieldBytes(QByteArray encoded)
{
    const qsizetype zero = encoded.indexOf('\0');
    if (zero >= 0)
        encoded.truncate(zero);
    return encoded;
}

// Where the edited fields of a GenParams block lie; false when the block ends before the
// operator's zero byte.
struct GenParamsLayout {
    size_t cableIdAt = 0;     // first byte of the cable ID
    size_t fiberTypeAt = 0;   // the int16 after the fibre ID's zero byte
    size_t operatorAt = 0;    // first byte of the operator
    size_t operatorEnd = 0;   // one past the operator's zero byte
};

bool locateFields(const uint8_t *block, size_t size, GenParamsLayout &at)
{
    ByteCursor c(block, size);
    if (c.startsWithName("GenParams"))
        c.skip(10);
    c.fixed(2); // language code
    at.cableIdAt = c.position();
    c.text();
    c.text(); // fibre ID
    at.fiberTypeAt = c.position();
    c.i16();
    c.i16(); // nominal wavelength
    c.text(); // originating location
    c.text(); // terminating location
    c.text(); // cable code
    c.fixed(2); // current data flag
    c.i32(); // user offset
    c.i32(); // user offset distance
    at.operatorAt = c.position();
    c.text();
    at.operatorEnd = c.position();
    return !c.overrun();
}

// CRC-16 with polynomial 0x1021, no reflection, no final xor, over the first `length` bytes.
uint16_t crc16(const QByteArray &bytes, size_t length, uint16_t initial)
{
    uint16_t crc = initial;
    for (size_t i = 0; i < length; ++i) {
        crc ^= static_cast<uint16_t>(static_cast<uint8_t>(bytes[static_cast<qsizetype>(i)]) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021) : static_cast<uint16_t>(crc << 1);
    }
    return crc;
}

// How a file's checksum was formed, when it is one of the usual ones: initial value 0xFFFF or 0,
// over every byte before the value or over every byte before the checksum block.
struct ChecksumRule {
    bool found = false;
    uint16_t initial = 0;
    bool wholePrefix = true;
};

ChecksumRule findChecksumRule(const QByteArray &bytes, size_t blockAt, size_t valueAt)
{
    const uint16_t stored = static_cast<uint16_t>(static_cast<uint8_t>(bytes[static_cast<qsizetype>(valueAt)]) |
                                                  (static_cast<uint8_t>(bytes[static_cast<qsizetype>(valueAt) + 1]) << 8));
    for (const uint16_t initial : {uint16_t(0xFFFF), uint16_t(0)}) {
        if (crc16(bytes, valueAt, initial) == stored)
            return {true, initial, true};
        if (crc16(bytes, blockAt, initial) == stored)
            return {true, initial, false};
    }
    return {};
}

void putU32(QByteArray &bytes, size_t at, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        bytes[static_cast<qsizetype>(at) + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

// An issue-1 file has no fibre-type field to edit in place: the edited blocks are written out
// as an issue-2 file that keeps every other block.
int rewriteIssue1(const QByteArray &in, const QString &cableId, const QString &fiberId, int fiberType,
                  const QString &operatorName, QByteArray &out)
{
    const auto *data = reinterpret_cast<const uint8_t *>(in.constData());
    const auto length = static_cast<size_t>(in.size());
    SorBlocks parsed;
    if (parseSorBytes(data, length, parsed) != SorResult::Done) {
        qCWarning(lcSorEdit) << "not an acceptable SOR file";
        return SorResult::NotSor;
    }
    // As for issue 2: without a GenParams block there is no fibre information to edit.
    const bool hasGenParams = std::any_of(parsed.map.entries.begin(), parsed.map.entries.end(),
                                          [](const SorMapEntry &e) { return selectsGenParams(e.name); });
    if (!hasGenParams) {
        qCWarning(lcSorEdit) << "no GenParams block";
        return SorResult::NotSor;
    }
    GenParams &g = parsed.genParams;
    g.cableId = fieldBytes(infotexts::toLocal8Bit(cableId, maxFieldBytes));
    g.fiberId = fieldBytes(infotexts::toLocal8Bit(fiberId, maxFieldBytes));
    g.fiberType = static_cast<int16_t>(fiberType);
    g.operatorName = fieldBytes(infotexts::toUtf8(operatorName, maxUtf8Bytes));
    QByteArray upgraded = upgradeIssue1ToIssue2(data, length, parsed);
    if (upgraded.isEmpty())
        return SorResult::NotSor;
    out = std::move(upgraded);
    return SorResult::Done;
}

} // namespace

int sorFileIssue(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(4);
    return sorLayoutIssue(reinterpret_cast<const uint8_t *>(head.constData()), static_cast<size_t>(head.size()));
}

int rewriteFibreInfoBytes(const QByteArray &in, const QString &cableId, const QString &fiberId, int fiberType,
                          const QString &operatorName, QByteArray &out)
{
    std::vector<Block> blocks;
    SorBlocks parsed;
    const auto *data = reinterpret_cast<const uint8_t *>(in.constData());
    if (sorLayoutIssue(data, static_cast<size_t>(in.size())) == 1)
        return rewriteIssue1(in, cableId, fiberId, fiberType, operatorName, out);
    if (!readDirectory(in, blocks) || parseSorBytes(data, static_cast<size_t>(in.size()), parsed) != SorResult::Done) {
        qCWarning(lcSorEdit) << "not an acceptable SOR file";
        return SorResult::NotSor;
    }

    // The reader takes the last GenParams block when there are several; that one is edited.
    int gen = -1;
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (selectsGenParams(blocks[i].name))
            gen = static_cast<int>(i);
    }
    GenParamsLayout at;
    if (gen < 0 || !locateFields(data + blocks[gen].offset, blocks[gen].size, at)) {
        qCWarning(lcSorEdit) << "no complete GenParams block";
        return SorResult::NotSor;
    }

    const Block &g = blocks[gen];
    const QByteArray original = in.mid(static_cast<qsizetype>(g.offset), static_cast<qsizetype>(g.size));
    const auto part = [&](size_t from, size_t to) {
        return original.mid(static_cast<qsizetype>(from), static_cast<qsizetype>(to - from));
    };
    QByteArray edited = part(0, at.cableIdAt);
    edited += fieldBytes(infotexts::toLocal8Bit(cableId, maxFieldBytes));
    edited += '\0';
    edited += fieldBytes(infotexts::toLocal8Bit(fiberId, maxFieldBytes));
    edited += '\0';
    const auto type = static_cast<uint16_t>(static_cast<int16_t>(fiberType));
    edited += static_cast<char>(type & 0xFF);
    edited += static_cast<char>(type >> 8);
    edited += part(at.fiberTypeAt + 2, at.operatorAt);
    edited += fieldBytes(infotexts::toUtf8(operatorName, maxUtf8Bytes));
    edited += '\0';
    edited += part(at.operatorEnd, g.size);

    QByteArray result = in.left(static_cast<qsizetype>(g.offset));
    result += edited;
    result += in.mid(static_cast<qsizetype>(g.offset + g.size));
    putU32(result, g.entrySizeAt, static_cast<uint32_t>(edited.size()));

    // A checksum that held before must hold after; a foreign or stale one is kept as found.
    for (size_t i = blocks.size(); i-- > 0;) {
        if (!selectsChecksum(blocks[i].name) || blocks[i].size < 8)
            continue;
        const size_t valueAt = blocks[i].offset + 6;
        const ChecksumRule rule = findChecksumRule(in, blocks[i].offset, valueAt);
        if (rule.found) {
            const qsizetype shift = i > static_cast<size_t>(gen) ? edited.size() - static_cast<qsizetype>(g.size) : 0;
            const size_t newValueAt = static_cast<size_t>(static_cast<qsizetype>(valueAt) + shift);
            const size_t covered = rule.wholePrefix ? newValueAt : newValueAt - 6;
            const uint16_t crc = crc16(result, covered, rule.initial);
            result[static_cast<qsizetype>(newValueAt)] = static_cast<char>(crc & 0xFF);
            result[static_cast<qsizetype>(newValueAt) + 1] = static_cast<char>(crc >> 8);
        }
        break;
    }
    out = result;
    return SorResult::Done;
}

int rewriteFibreInfo(const QString &path, const QString &cableId, const QString &fiberId, int fiberType,
                     const QString &operatorName)
{
    if (path.isEmpty())
        return SorResult::CannotOpen;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSorEdit) << "cannot open" << path << file.errorString();
        return SorResult::CannotOpen;
    }
    const QByteArray in = file.readAll();
    const bool readOk = file.error() == QFileDevice::NoError;
    file.close();
    if (!readOk)
        return SorResult::CannotOpen;

    QByteArray out;
    const int parsed = rewriteFibreInfoBytes(in, cableId, fiberId, fiberType, operatorName, out);
    if (parsed != SorResult::Done)
        return parsed;

    // The replacement is atomic and would succeed on a read-only file in a writable folder;
    // a file the user may not write stays as it is.
    if (!QFileInfo(path).isWritable()) {
        qCWarning(lcSorEdit) << "file is read-only" << path;
        return SorResult::CannotCreate;
    }
    return writeFileAtomically(path, out, lcSorEdit());
}
