#include "GifWriter.h"

namespace GifWriter {

namespace {

void appendLittle16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>((value >> 8) & 0xff));
}

// LZW with a minimum code size of 2 that never lets the table grow past 3-bit codes: a clear
// code before every pair of literals keeps decoders from widening the code size.
QByteArray lzwData(const QByteArray& indices) {
    constexpr int ClearCode = 4;
    constexpr int EndCode = 5;
    QByteArray packed;
    quint32 buffer = 0;
    int bits = 0;
    auto put = [&](int code) {
        buffer |= static_cast<quint32>(code) << bits;
        bits += 3;
        while (bits >= 8) {
            packed.append(static_cast<char>(buffer & 0xff));
            buffer >>= 8;
            bits -= 8;
        }
    };
    for (qsizetype i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0)
            put(ClearCode);
        put(indices.at(i) & 0x03);
    }
    put(EndCode);
    if (bits > 0)
        packed.append(static_cast<char>(buffer & 0xff));

    QByteArray blocks;
    blocks.append(char(2)); // minimum code size
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray chunk = packed.mid(at, 255);
        blocks.append(static_cast<char>(chunk.size()));
        blocks.append(chunk);
    }
    blocks.append(char(0));
    return blocks;
}

} // namespace

QByteArray animatedGif(int width, int height, const QList<QByteArray>& frames) {
    QByteArray out("GIF89a");
    appendLittle16(out, width);
    appendLittle16(out, height);
    out.append(char(0x91)); // global table of 4 colours, 2-bit colour resolution
    out.append(char(0));    // background index
    out.append(char(0));    // square pixels
    const unsigned char palette[] = {0, 0, 0, 255, 255, 255, 220, 40, 40, 40, 60, 220};
    out.append(reinterpret_cast<const char*>(palette), sizeof palette);
    // Loop for ever.
    out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
    appendLittle16(out, 0);
    out.append(char(0));
    for (const QByteArray& frame : frames) {
        out.append("\x21\xf9\x04\x04", 4); // graphic control: keep the previous frame
        appendLittle16(out, 10);           // 100 ms
        out.append(char(0));               // no transparent index
        out.append(char(0));
        out.append(char(0x2c)); // image descriptor
        appendLittle16(out, 0);
        appendLittle16(out, 0);
        appendLittle16(out, width);
        appendLittle16(out, height);
        out.append(char(0)); // no local table, not interlaced
        out.append(lzwData(frame));
    }
    out.append(char(0x3b));
    return out;
}

QByteArray twoFrameGif(int width, int height) {
    const int pixels = width * height;
    QByteArray first(pixels, char(2));
    QByteArray second(pixels, char(3));
    for (int i = 0; i < pixels; i += 3)
        second[i] = char(1);
    return animatedGif(width, height, {first, second});
}

} // namespace GifWriter
