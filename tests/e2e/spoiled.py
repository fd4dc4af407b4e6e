"""Spoiled picture files of the kinds that crashed or held the platform's picture loaders, whatever the
name they stood under: D3DX tells a picture by its content, not its name."""
import os
import struct


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
    ]
