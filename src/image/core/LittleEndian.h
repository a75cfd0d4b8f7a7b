#pragma once
#include <QString>
#include <QtGlobal>
#include <bit>
#include <span>

// The device reads its images as packed little-endian bytes. Values are put byte by byte, so
// neither the host's byte order nor its struct layout can leak into an image.
namespace Image {

inline void putU16(std::span<quint8> bytes, qsizetype offset, quint16 value)
{
    bytes[offset] = static_cast<quint8>(value);
    bytes[offset + 1] = static_cast<quint8>(value >> 8);
}

inline void putU32(std::span<quint8> bytes, qsizetype offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<quint8>(value >> (8 * i));
}

inline quint16 getU16(std::span<const quint8> bytes, qsizetype offset)
{
    return static_cast<quint16>(bytes[offset] | bytes[offset + 1] << 8);
}

inline quint32 getU32(std::span<const quint8> bytes, qsizetype offset)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | bytes[offset + i];
    return value;
}

// Number of bytes a text takes in an image: one per UTF-16 code unit, then the 0 byte.
inline qsizetype imageTextSize(const QString& text) { return text.size() + 1; }

// Writes values one after the other from a start position. It never writes past the end of
// its buffer: a value that does not fit is dropped and Overflowed() turns true.
class LittleEndianWriter {
public:
    LittleEndianWriter(std::span<quint8> buffer, qsizetype position)
        : buffer(buffer), pos(position) {}

    void U8(quint8 value)
    {
        if (room(1))
            buffer[pos] = value;
        pos += 1;
    }
    void U16(quint16 value)
    {
        if (room(2))
            putU16(buffer, pos, value);
        pos += 2;
    }
    void U32(quint32 value)
    {
        if (room(4))
            putU32(buffer, pos, value);
        pos += 4;
    }
    void F32(float value) { U32(std::bit_cast<quint32>(value)); }
    // The low 8 bits of each UTF-16 code unit, then a 0 byte.
    void text(const QString& text)
    {
        if (room(imageTextSize(text))) {
            for (const QChar c : text)
                buffer[pos++] = static_cast<quint8>(c.unicode());
            buffer[pos++] = 0;
        } else {
            pos += imageTextSize(text);
        }
    }

    qsizetype position() const { return pos; }
    bool overflowed() const { return overflow; }

private:
    bool room(qsizetype size)
    {
        if (pos < 0 || pos + size > static_cast<qsizetype>(buffer.size()))
            overflow = true;
        return !overflow;
    }

    std::span<quint8> buffer;
    qsizetype pos;
    bool overflow = false;
};

} // namespace Image
