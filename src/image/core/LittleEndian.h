#pragma once
#include <QString>
#include <QtGlobal>
#include <bit>
#include <span>

// The device reads its images as packed little-endian bytes. Values are put byte by byte, so
// neither the host's byte order nor its struct layout can leak into an image.
namespace Image {

inline void Put_U16(std::span<quint8> bytes, qsizetype offset, quint16 value)
{
    bytes[offset] = static_cast<quint8>(value);
    bytes[offset + 1] = static_cast<quint8>(value >> 8);
}

inline void Put_U32(std::span<quint8> bytes, qsizetype offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<quint8>(value >> (8 * i));
}

inline quint16 Get_U16(std::span<const quint8> bytes, qsizetype offset)
{
    return static_cast<quint16>(bytes[offset] | bytes[offset + 1] << 8);
}

inline quint32 Get_U32(std::span<const quint8> bytes, qsizetype offset)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | bytes[offset + i];
    return value;
}

// Number of bytes a text takes in an image: one per UTF-16 code unit, then the 0 byte.
inline qsizetype Image_Text_Size(const QString& text) { return text.size() + 1; }

// Writes values one after the other from a start position. It never writes past the end of
// its buffer: a value that does not fit is dropped and Overflowed() turns true.
class TLE_Writer {
public:
    TLE_Writer(std::span<quint8> buffer, qsizetype position)
        : Buffer(buffer), Pos(position) {}

    void U8(quint8 value)
    {
        if (Room(1))
            Buffer[Pos] = value;
        Pos += 1;
    }
    void U16(quint16 value)
    {
        if (Room(2))
            Put_U16(Buffer, Pos, value);
        Pos += 2;
    }
    void U32(quint32 value)
    {
        if (Room(4))
            Put_U32(Buffer, Pos, value);
        Pos += 4;
    }
    void F32(float value) { U32(std::bit_cast<quint32>(value)); }
    // The low 8 bits of each UTF-16 code unit, then a 0 byte.
    void Text(const QString& text)
    {
        if (Room(Image_Text_Size(text))) {
            for (const QChar c : text)
                Buffer[Pos++] = static_cast<quint8>(c.unicode());
            Buffer[Pos++] = 0;
        } else {
            Pos += Image_Text_Size(text);
        }
    }

    qsizetype Position() const { return Pos; }
    bool Overflowed() const { return Overflow; }

private:
    bool Room(qsizetype size)
    {
        if (Pos < 0 || Pos + size > static_cast<qsizetype>(Buffer.size()))
            Overflow = true;
        return !Overflow;
    }

    std::span<quint8> Buffer;
    qsizetype Pos;
    bool Overflow = false;
};

} // namespace Image
