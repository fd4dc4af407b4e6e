"""Spoiled picture files of the kinds that crashed or held the platform's picture loaders, whatever the
name they stood under: D3DX tells a picture by its content, not its name."""
import io
import os
import struct
import zlib

from PIL import Image


def _palette_bitmap(width, height, rle=False):
    """An 8-bit BMP of a 6 x 4 picture whose headers claim width x height: raw rows, or RLE8 runs."""
    rows = b"".join((b"\x06\x01\x00\x00" if rle else b"\x01" * 6 + b"\x00\x00") for _ in range(4))
    pixels = rows + (b"\x00\x01" if rle else b"")
    palette = b"".join(struct.pack("<I", c) for c in (0x000000, 0xFF0000, 0x00FF00, 0x0000FF))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1 if rle else 0, len(pixels), 2835, 2835, 4, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels


def _patch(data, at, fmt, *values):
    return data[:at] + struct.pack(fmt, *values) + data[at + struct.calcsize(fmt):]


def _hidden_frame_jpeg(jpeg):
    """The JPEG with its frame header claiming 60000 x 60000, behind FF 00 (no marker, which the decoder
    passes over) and a "length" that lands a loose reader on a 16 x 16 frame header inside an APP1
    segment after it."""
    at = jpeg.index(b"\xFF\xC0")
    end = at + 2 + struct.unpack(">H", jpeg[at + 2:at + 4])[0]
    truth = _patch(jpeg[at:end], 5, ">HH", 60000, 60000)
    decoy = _patch(jpeg[at:end], 5, ">HH", 16, 16)
    app1 = b"\xFF\xE1" + struct.pack(">H", 2 + len(decoy)) + decoy
    return jpeg[:at] + b"\xFF\x00" + struct.pack(">H", 2 + len(truth) + 4) + truth + app1 + jpeg[end:]


def _palette_dds():
    """A DDS of one 8-bit palette index, without a palette."""
    header = struct.pack("<7I44x8I5I", 124, 0x1007, 1, 1, 1, 0, 0, 32, 0x20, 0, 8, 0, 0, 0, 0, 0x1000, 0, 0, 0, 0)
    return b"DDS " + header + b"\x01"


def _many_scans_jpeg(scans):
    """A progressive grey 4096 x 4096 JPEG whose last scan is written `scans` times over: the decoder
    passes over every block at each."""
    out = io.BytesIO()
    Image.new("L", (4096, 4096), 128).save(out, "JPEG", progressive=True)
    jpeg = out.getvalue()
    last = jpeg.rindex(b"\xFF\xDA")
    return jpeg[:last] + jpeg[last:-2] * scans + b"\xFF\xD9"


def _zeros(mebibytes):
    """A zlib stream of `mebibytes` MiB of zeros: a flushed block that copies a mebibyte from a window of
    zeros, repeated."""
    compressor = zlib.compressobj(9)
    mebibyte = bytes(1 << 20)
    first = compressor.compress(mebibyte) + compressor.flush(zlib.Z_SYNC_FLUSH)
    block = compressor.compress(mebibyte) + compressor.flush(zlib.Z_SYNC_FLUSH)
    end = compressor.flush(zlib.Z_FINISH)[:-4]
    adler = ((mebibytes << 20) % 65521) << 16 | 1  # over zeros the first sum stays 1, the second counts
    return first + block * (mebibytes - 1) + end + struct.pack(">I", adler)


def _chunk(kind, data):
    """A PNG chunk: its length, type, data and CRC."""
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def _png(image_data, chunks=b""):
    """A 16 x 16 8-bit grey PNG with the given zlib stream as its image data, `chunks` before it."""
    header = struct.pack(">IIBBBBB", 16, 16, 8, 0, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + chunks + _chunk(b"IDAT", image_data)
            + _chunk(b"IEND", b""))


def _text_ending_at_its_keyword(size=4096):
    """A 1 x 1 grey PNG of `size` bytes whose last chunk, with no IEND after it, is a zTXt ending at its
    keyword's terminator, with no room for the method byte and the stream. The keyword is one whose
    chunk's CRC, from its second byte, opens a zlib stream that asks for more, past the file's end."""
    header = struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0)
    picture = b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(b"\x00\x00"))
    n = 0
    while True:
        text = _chunk(b"zTXt", b"Commento %d\x00" % n)
        method, flags, block = text[-3], text[-2], text[-1]
        if (method & 0x0F == 8 and method >> 4 <= 7 and (method * 256 + flags) % 31 == 0 and not flags & 0x20
                and (block >> 1) & 3 != 3):
            break
        n += 1
    padding = size - len(picture) - len(text) - 12
    return picture + _chunk(b"tEXt", b"Commento\x00" + b"x" * (padding - 9)) + text


def _large_frame_gif(width=65535, height=16384):
    """A GIF of one frame of colour 0 whose LZW codes grow a run a code to the full table, then repeat
    the longest: the decoder fills width x height bytes before the loader refuses the format."""
    out = bytearray()
    pending, pending_bits = 0, 0

    def put(code, bits):
        nonlocal pending, pending_bits
        pending |= code << pending_bits
        pending_bits += bits
        while pending_bits >= 8:
            out.append(pending & 0xFF)
            pending >>= 8
            pending_bits -= 8

    put(4, 3)  # clear: two bits a pixel make 4 the clear code and 5 the end
    put(0, 3)
    pixels = 1
    for code in range(6, 4096):
        put(code, max(3, code.bit_length()))
        pixels += code - 4
    while pixels < width * height:
        put(4094, 12)  # the decoder redefines 4095 once the table is full
        pixels += 4090
    put(5, 12)
    if pending_bits:
        out.append(pending)
    blocks = b"".join(bytes([len(out[i:i + 255])]) + out[i:i + 255] for i in range(0, len(out), 255))
    return (b"GIF89a" + struct.pack("<HH", width, height) + b"\x80\x00\x00\x00\x00\x00\xff\xff\xff"
            + b"," + struct.pack("<HHHH", 0, 0, width, height) + b"\x00\x02" + blocks + b"\x00;")


def _text_chunk(mebibytes):
    return _chunk(b"zTXt", b"Commento\x00\x00" + _zeros(mebibytes))


def kinds(game_dir):
    """(what, bytes) for each kind, made from the game's own pictures under game_dir."""
    def read(*path):
        with open(os.path.join(game_dir, *path), "rb") as f:
            return f.read()

    cursor = read("Immagini", "Mouse", "cursore.bmp")
    volume = read("Data", "Textures", "rumore.dds")
    png = read("Immagini", "Slider", "slider.png")
    jpeg = read("Immagini", "GUI", "HELP.jpg")
    frame = jpeg.index(b"\xFF\xC0")  # the frame header: length, precision, height, width
    return [
        ("palette BMP 0x7FFFFFFF wide", _palette_bitmap(0x7FFFFFFF, 4)),
        ("BMP cut short", cursor[:len(cursor) // 2]),
        ("BMP with its pixels past the file", _patch(cursor, 10, "<I", len(cursor) + 16)),
        ("BMP 60000 x 60000", _palette_bitmap(60000, 60000)),
        ("RLE8 BMP 16384 x 16384", _palette_bitmap(16384, 16384, rle=True)),
        ("PNG 60000 x 60000", _patch(png, 16, ">II", 60000, 60000)),
        ("JPEG 60000 x 60000", _patch(jpeg, frame + 5, ">HH", 60000, 60000)),
        ("headerless palette bitmap 0x7FFFFFFF wide", _palette_bitmap(0x7FFFFFFF, 4)[14:]),
        ("DDS volume 65536 x 65536 x 65536", _patch(_patch(volume, 12, "<II", 65536, 65536), 24, "<I", 65536)),
        ("DDS with 0xFFFFFFFF mipmap levels", _patch(volume, 28, "<I", 0xFFFFFFFF)),
        ("TGA 32768 x 32768", struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, 32768, 32768, 32, 0)
         + b"\x40" * 64),
        ("JPEG hiding a frame header of 60000 x 60000 behind FF 00", _hidden_frame_jpeg(jpeg)),
        ("DDS of palette indices without a palette", _palette_dds()),
        ("progressive JPEG 4096 x 4096 with 1000 scans", _many_scans_jpeg(1000)),
        ("PNG whose four texts inflate to 1 GiB", _png(zlib.compress(bytes(16 * 17)), _text_chunk(256) * 4)),
        ("PNG whose image data runs on to 1 GiB", _png(_zeros(1024))),
        # The DDS volume in DXT blocks that crashes the volume loader is left out: no screen loads a
        # volume, and the other loaders read it soundly.
        ("BMP of 32-bit bit fields with red in the low byte",
         b"BM" + struct.pack("<IIIIiiHHIIiiII3I", 74, 0, 66, 40, 1, 2, 1, 32, 3, 8, 2835, 2835, 0, 0,
                             0xFF, 0xFF00, 0xFF0000) + bytes(8)),
        ("PNG whose last text chunk ends at its keyword's terminator", _text_ending_at_its_keyword()),
        ("GIF of one 65535 x 16384 frame", _large_frame_gif()),
    ]
