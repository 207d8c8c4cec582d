#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstring>

// Reads little-endian fields from a byte range and never past its end. A read that wants more
// bytes than remain yields zeros (or the bytes that fit) and marks the cursor as overrun, so a
// block that is shorter than its fields produces what fits and nothing outside the range.
class ByteCursor {
public:
    // Longest text taken from a zero-terminated field; the rest of a longer field is skipped.
    static constexpr size_t maxTextLength = 1000;

    ByteCursor(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    size_t position() const { return pos_; }
    size_t remaining() const { return size_ - pos_; }
    bool overrun() const { return overrun_; }

    void skip(size_t n)
    {
        if (n > remaining()) {
            overrun_ = true;
            n = remaining();
        }
        pos_ += n;
    }

    // n bytes in place, or nullptr (cursor at the end, overrun) when fewer remain.
    const uint8_t *take(size_t n)
    {
        if (n > remaining()) {
            overrun_ = true;
            pos_ = size_;
            return nullptr;
        }
        const uint8_t *p = data_ + pos_;
        pos_ += n;
        return p;
    }

    uint16_t u16()
    {
        const uint8_t *p = take(2);
        return p ? static_cast<uint16_t>(p[0] | (p[1] << 8)) : 0;
    }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    uint32_t u32()
    {
        const uint8_t *p = take(4);
        return p ? static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                       (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24)
                 : 0;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }

    // A fixed-width character field; a short range gives the bytes that remain.
    QByteArray fixed(size_t width)
    {
        const size_t n = width <= remaining() ? width : remaining();
        if (n < width)
            overrun_ = true;
        QByteArray out(reinterpret_cast<const char *>(data_ + pos_), static_cast<qsizetype>(n));
        pos_ += n;
        return out;
    }

    // A zero-terminated text. A field without terminator ends at the end of the range. A field
    // longer than maxTextLength keeps its first maxTextLength bytes and is skipped through its
    // zero byte, so the fields after it stay in step.
    QByteArray text()
    {
        if (remaining() == 0) {
            overrun_ = true;
            return QByteArray();
        }
        const uint8_t *start = data_ + pos_;
        const void *zero = std::memchr(start, 0, remaining());
        size_t length;
        if (zero) {
            length = static_cast<size_t>(static_cast<const uint8_t *>(zero) - start);
            pos_ += length + 1;
        } else {
            length = remaining();
            pos_ = size_;
            overrun_ = true;
        }
        const size_t kept = length < maxTextLength ? length : maxTextLength;
        return QByteArray(reinterpret_cast<const char *>(start), static_cast<qsizetype>(kept));
    }

    // True when the range continues with `name` and its zero byte.
    bool startsWithName(const char *name) const
    {
        const size_t n = std::strlen(name) + 1;
        return n <= remaining() && std::memcmp(data_ + pos_, name, n) == 0;
    }

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
    bool overrun_ = false;
};

// Appends little-endian fields to a byte array.
class ByteWriter {
public:
    explicit ByteWriter(QByteArray &out) : out_(out) {}

    void u16(uint16_t v)
    {
        const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
        out_.append(b, 2);
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void u32(uint32_t v)
    {
        const char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
        out_.append(b, 4);
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }

    // Exactly `width` bytes: a shorter value is filled up with '0', a longer one cut.
    void fixed(const QByteArray &value, qsizetype width)
    {
        const qsizetype n = value.size() < width ? value.size() : width;
        out_.append(value.constData(), n);
        for (qsizetype i = n; i < width; ++i)
            out_.append('0');
    }

    // The text's bytes up to any embedded zero byte, then one zero byte.
    void text(const QByteArray &value)
    {
        out_.append(value.constData(), textLength(value));
        out_.append('\0');
    }

    // Bytes a text occupies before its terminator when written.
    static qsizetype textLength(const QByteArray &value)
    {
        const void *zero = std::memchr(value.constData(), 0, static_cast<size_t>(value.size()));
        return zero ? static_cast<const char *>(zero) - value.constData() : value.size();
    }

private:
    QByteArray &out_;
};
