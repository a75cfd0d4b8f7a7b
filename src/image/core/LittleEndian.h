#pragma once
#include <QString>
#include <QtGlobal>
#include <bit>
#include <cstddef>
#include <span>

// The device reads its images as packed little-endian bytes. Values are put byte by byte, so
// neither the host's byte order nor its struct layout can leak into an image.
namespace Image {

// Offsets are Qt sizes, as everywhere in the images; the callers keep them inside the bytes.
inline std::size_t spanIndex(qsizetype offset) { return static_cast<std::size_t>(offset); }

inline void putU16(std::span<quint8> bytes, qsizetype offset, quint16 value)
{
    const std::size_t at = spanIndex(offset);
    bytes[at] = static_cast<quint8>(value);
    bytes[at + 1] = static_cast<quint8>(value >> 8);
}

inline void putU32(std::span<quint8> bytes, qsizetype offset, quint32 value)
{
    const std::size_t at = spanIndex(offset);
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<quint8>(value >> (8 * i));
}

inline quint16 getU16(std::span<const quint8> bytes, qsizetype offset)
{
    const std::size_t at = spanIndex(offset);
    return static_cast<quint16>(bytes[at] | bytes[at + 1] << 8);
}

inline quint32 getU32(std::span<const quint8> bytes, qsizetype offset)
{
    const std::size_t at = spanIndex(offset);
    quint32 value = 0;
    for (std::size_t i = 4; i-- > 0;)
        value = value << 8 | bytes[at + i];
    return value;
}

// Number of bytes a text takes in an image: one per UTF-16 code unit, then the 0 byte.
inline qsizetype imageTextSize(const QString& text) { return text.size() + 1; }

// Writes values one after the other from a start position. It never writes past the end of
// its buffer: a value that does not fit is dropped and Overflowed() turns true.
class LittleEndianWriter {
public:
    LittleEndianWriter(std::span<quint8> target, qsizetype position)
        : buffer(target)
        , pos(position)
    {
    }

    void U8(quint8 value)
    {
        if (room(1))
            buffer[spanIndex(pos)] = value;
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
            std::size_t at = spanIndex(pos);
            for (const QChar c : text)
                buffer[at++] = static_cast<quint8>(c.unicode());
            buffer[at] = 0;
        }
        pos += imageTextSize(text);
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
