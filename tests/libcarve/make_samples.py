#!/usr/bin/env python3
"""Writes one small real file per carved type into a folder, and a manifest
line "<file> <extension>" for each. Files come from real tools where the
machine has them (ImageMagick, gzip, bzip2, xz, zip, g++) and are built by
hand after their format otherwise. A tool that is missing leaves its files out.

usage: make_samples.py <folder> [seed]
"""
import io
import os
import random
import shutil
import sqlite3
import struct
import subprocess
import sys
import wave
import zipfile
import zlib

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
seed = int(sys.argv[2]) if len(sys.argv) > 2 else 1234
rng = random.Random(seed)
manifest = []


def noise(n):
    return bytes(rng.getrandbits(8) for _ in range(n))


def text_blob(n):
    words = ["carve", "sector", "volume", "cluster", "record", "lost", "found", "zorvane"]
    s = []
    while sum(len(w) + 1 for w in s) < n:
        s.append(rng.choice(words))
    return (" ".join(s)).encode()[:n]


def add(name, data, ext):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
    manifest.append((name, ext))


def tool(*cmd, stdin=None):
    if shutil.which(cmd[0]) is None:
        return None
    r = subprocess.run(cmd, input=stdin, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return r.stdout if r.returncode == 0 else None


def from_tool(name, ext, *cmd):
    path = os.path.join(out, name)
    if shutil.which(cmd[0]) is None:
        return
    done = subprocess.run([c.replace("@", path) for c in cmd], stderr=subprocess.DEVNULL).returncode == 0
    if done and os.path.getsize(path) > 0:
        manifest.append((name, ext))
    elif os.path.exists(path):
        os.remove(path)


# ImageMagick images: baseline and progressive JPEG, PNG, GIF (still and
# animated), BMP (two header versions), TIFF (plain and LZW), ICO, PSD, PDF.
magick = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"
from_tool("photo.jpg", "jpg", magick, "-seed", str(seed), "-size", "96x64", "plasma:fractal", "-quality", "85", "@")
from_tool("progressive.jpg", "jpg", magick, "-size", "80x60", "gradient:red-blue", "-interlace", "Plane", "@")
from_tool("picture.png", "png", magick, "-size", "70x50", "plasma:", "@")
from_tool("still.gif", "gif", magick, "-size", "40x30", "plasma:", "@")
from_tool("anim.gif", "gif", magick, "-delay", "10", "-size", "20x20", "xc:red", "xc:blue", "xc:green", "@")
from_tool("v5.bmp", "bmp", magick, "-size", "33x17", "gradient:", "-type", "TrueColor", "@")
from_tool("v3.bmp", "bmp", magick, "-size", "31x9", "plasma:", "BMP3:@")
from_tool("plain.tif", "tif", magick, "-size", "40x30", "plasma:", "@")
from_tool("lzw.tif", "tif", magick, "-size", "50x20", "gradient:", "-compress", "lzw", "@")
from_tool("icon.ico", "ico", magick, "-size", "32x32", "plasma:", "-define", "icon:auto-resize=32,16", "@")
from_tool("layers.psd", "psd", magick, "-size", "40x30", "plasma:", "@")

# PDF from Ghostscript, and one with an incremental update: two "%%EOF".
ps = os.path.join(out, "page.ps")
open(ps, "w").write("%!PS\n/Helvetica findfont 20 scalefont setfont 72 720 moveto (Zorvane) show showpage\n")
from_tool("page.pdf", "pdf", "gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pdfwrite", "-sOutputFile=@", ps)
os.remove(ps)


def pdf_with_update():
    objects = [b"<< /Type /Catalog /Pages 2 0 R >>", b"<< /Type /Pages /Kids [] /Count 0 >>"]
    body = b"%PDF-1.4\n"
    offsets = []
    for i, o in enumerate(objects):
        offsets.append(len(body))
        body += b"%d 0 obj\n" % (i + 1) + o + b"\nendobj\n"
    xref = len(body)
    body += b"xref\n0 3\n0000000000 65535 f \n" + b"".join(b"%010d 00000 n \n" % o for o in offsets)
    body += b"trailer\n<< /Size 3 /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % xref
    update = len(body)
    body += b"2 0 obj\n<< /Type /Pages /Kids [] /Count 0 /Updated true >>\nendobj\n"
    xref2 = len(body)
    body += b"xref\n2 1\n%010d 00000 n \n" % update
    body += b"trailer\n<< /Size 3 /Root 1 0 R /Prev %d >>\nstartxref\n%d\n%%%%EOF\n" % (xref, xref2)
    return body


add("updated.pdf", pdf_with_update(), "pdf")

# A JPEG whose EXIF segment holds a whole thumbnail JPEG that starts on a
# sector boundary inside it: only the outer file is a file.
photo = os.path.join(out, "photo.jpg")
if os.path.exists(photo):
    outer = open(photo, "rb").read()
    thumb = tool(magick, "-size", "16x16", "xc:blue", "jpg:-")
    if thumb:
        prefix = b"Exif\0\0"
        pad = 512 - 2 - 4 - len(prefix)  # SOI, APP1 marker and length
        payload = prefix + b"\0" * pad + thumb
        app1 = b"\xFF\xE1" + struct.pack(">H", len(payload) + 2) + payload
        add("thumbnail.jpg", outer[:2] + app1 + outer[2:], "jpg")

# A multi-picture JPEG: an MPF index in APP2 points at a second image that
# follows the first one's end.
if os.path.exists(photo):
    second = tool(magick, "-size", "24x16", "xc:green", "jpg:-")
    if second:
        def mpf_app2(first_size):
            entries = struct.pack(">IIIHH", 0x20030000, first_size, 0, 0, 0)
            entries += struct.pack(">IIIHH", 0, len(second), max(0, first_size - mpf_base), 0, 0)
            tiff = b"MM\0*" + struct.pack(">I", 8) + struct.pack(">H", 2)
            tiff += struct.pack(">HHII", 0xB000, 7, 4, 0x30313030)
            tiff += struct.pack(">HHII", 0xB002, 7, len(entries), 8 + 2 + 24 + 4)
            tiff += struct.pack(">I", 0) + entries
            data = b"MPF\0" + tiff
            return b"\xFF\xE2" + struct.pack(">H", len(data) + 2) + data
        mpf_base = 2 + 4 + 4  # SOI, APP2 marker and length, "MPF\0"
        first_size = len(outer) + len(mpf_app2(0))
        add("multi.jpg", outer[:2] + mpf_app2(first_size) + outer[2:] + second, "jpg")

# Archives.
content = text_blob(6000) + noise(3000)
for name, ext, cmd in [("data.gz", "gz", ["gzip", "-9", "-c"]), ("data.bz2", "bz2", ["bzip2", "-c"]),
                       ("data.xz", "xz", ["xz", "-c"])]:
    data = tool(*cmd, stdin=content)
    if data:
        add(name, data, ext)
gz_a, gz_b = tool("gzip", "-c", stdin=b"first member\n"), tool("gzip", "-c", stdin=text_blob(3000))
if gz_a and gz_b:
    add("members.gz", gz_a + gz_b, "gz")
# Every kind of deflate block: fixed codes, Huffman only, runs.
for strategy, label in [(zlib.Z_FIXED, "fixed"), (zlib.Z_HUFFMAN_ONLY, "huffman"), (zlib.Z_RLE, "rle")]:
    packer = zlib.compressobj(6, zlib.DEFLATED, 31, 8, strategy)
    add("%s.gz" % label, packer.compress(text_blob(20000) + bytes(3000)) + packer.flush(), "gz")
stored = tool("gzip", "-1", "-c", stdin=noise(70000))  # incompressible: stored blocks
if stored:
    add("stored.gz", stored, "gz")


def zip_of(entries, first_stored=None):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as z:
        if first_stored:
            z.writestr(zipfile.ZipInfo(first_stored[0]), first_stored[1], compress_type=zipfile.ZIP_STORED)
        for name, data in entries:
            z.writestr(name, data)
    return buffer.getvalue()


tree = os.path.join(out, "tree")
os.makedirs(tree, exist_ok=True)
open(os.path.join(tree, "notes.txt"), "wb").write(text_blob(4000))
if shutil.which("zip"):
    subprocess.run(["zip", "-q", "-r", os.path.join(out, "tool.zip"), "notes.txt"], cwd=tree)
    manifest.append(("tool.zip", "zip"))
    # Written to a pipe, zip cannot seek back: sizes follow each entry's data.
    streamed = subprocess.run(["zip", "-q", "-", "notes.txt"], cwd=tree, stdout=subprocess.PIPE).stdout
    if streamed:
        add("streamed.zip", streamed, "zip")
ct = b'<?xml version="1.0"?><Types/>'
add("letter.docx", zip_of([("[Content_Types].xml", ct), ("word/document.xml", text_blob(900))]), "docx")
add("sheet.xlsx", zip_of([("[Content_Types].xml", ct), ("xl/workbook.xml", text_blob(700))]), "xlsx")
add("slides.pptx", zip_of([("[Content_Types].xml", ct), ("ppt/presentation.xml", text_blob(800))]), "pptx")
for ext, mime in [("odt", "text"), ("ods", "spreadsheet"), ("odp", "presentation")]:
    add("office." + ext, zip_of([("content.xml", text_blob(600))],
                                ("mimetype", b"application/vnd.oasis.opendocument." + mime.encode())), ext)
add("book.epub", zip_of([("OEBPS/ch1.xhtml", text_blob(900))], ("mimetype", b"application/epub+zip")), "epub")
add("lib.jar", zip_of([("META-INF/MANIFEST.MF", b"Manifest-Version: 1.0\n"), ("a/B.class", noise(500))]), "jar")
add("app.apk", zip_of([("AndroidManifest.xml", noise(300)), ("classes.dex", noise(800))]), "apk")
add("plain.zip", zip_of([("a.txt", text_blob(2000)), ("b.bin", noise(1500))]), "zip")
# A zip stored whole inside another: its own end record must not end the outer one.
add("nested.zip", zip_of([("z.txt", text_blob(300))], ("inner.zip", zip_of([("i.txt", text_blob(500))]))), "zip")


def crc(data):
    return zlib.crc32(data) & 0xFFFFFFFF


# 7z: signature header pointing at a checksummed next header after packed data.
packed = noise(777)
next_header = bytes([0x01, 0x04, 0x06, 0x00, 0x01, 0x09]) + noise(40) + bytes([0x00, 0x00])
start = struct.pack("<QQI", len(packed), len(next_header), crc(next_header))
add("archive.7z", b"7z\xBC\xAF\x27\x1C\x00\x04" + struct.pack("<I", crc(start)) + start + packed + next_header, "7z")


def vint(n):
    b = bytearray()
    while True:
        c = n & 0x7F
        n >>= 7
        b.append(c | (0x80 if n else 0))
        if not n:
            return bytes(b)


def rar5_block(body, data=b""):
    h = vint(len(body)) + body
    return struct.pack("<I", crc(h)) + h + data


file_data = noise(1234)
rar5 = (b"Rar!\x1A\x07\x01\x00" + rar5_block(vint(1) + vint(0) + vint(0)) +
        rar5_block(vint(2) + vint(2) + vint(len(file_data)) + vint(0) + vint(len(file_data)) + vint(0x20) +
                   vint(0) + vint(0) + vint(5) + b"a.bin", file_data) +
        rar5_block(vint(5) + vint(0) + vint(0)))
add("new.rar", rar5, "rar")


def rar4_block(kind, flags, rest, data=b""):
    body = struct.pack("<BHH", kind, flags, 7 + len(rest)) + rest
    return struct.pack("<H", crc(body) & 0xFFFF) + body + data


name = b"old.txt"
payload = noise(900)
rar4 = (b"Rar!\x1A\x07\x00" + rar4_block(0x73, 0, b"\0" * 6) +
        rar4_block(0x74, 0x8000, struct.pack("<IIBIIBBHI", len(payload), len(payload), 2, 0, 0, 29, 0x30,
                                             len(name), 0x20) + name, payload) +
        rar4_block(0x7B, 0x4000, b""))
add("old.rar", rar4, "rar")

# OLE2 compound files, 512-byte sectors: FAT, directory, then one stream.
def ole(stream_name, stream_size):
    sectors = (stream_size + 511) // 512
    fat = [0xFFFFFFFD, 0xFFFFFFFE] + [3 + i for i in range(sectors - 1)] + [0xFFFFFFFE]
    fat += [0xFFFFFFFF] * (128 - len(fat))
    header = bytearray(512)
    header[0:8] = bytes.fromhex("D0CF11E0A1B11AE1")
    struct.pack_into("<HHHHH", header, 0x18, 0x3E, 3, 0xFFFE, 9, 6)
    struct.pack_into("<IIIIIIII", header, 0x2C, 1, 1, 0, 0x1000, 0xFFFFFFFE, 0, 0xFFFFFFFE, 0)
    struct.pack_into("<I", header, 0x4C, 0)
    for i in range(1, 109):
        struct.pack_into("<I", header, 0x4C + 4 * i, 0xFFFFFFFF)

    def entry(name, kind, start, size, child=0xFFFFFFFF):
        e = bytearray(128)
        n = (name + "\0").encode("utf-16-le")
        e[0:len(n)] = n
        struct.pack_into("<HBB", e, 64, len(n), kind, 1)
        struct.pack_into("<III", e, 68, 0xFFFFFFFF, 0xFFFFFFFF, child)
        struct.pack_into("<IQ", e, 116, start, size)
        return bytes(e)
    directory = entry("Root Entry", 5, 0xFFFFFFFE, 0, 1) + entry(stream_name, 2, 2, stream_size)
    directory += b"\0" * (512 - len(directory))
    body = noise(stream_size) + b"\0" * (sectors * 512 - stream_size)
    return bytes(header) + struct.pack("<128I", *fat) + directory + body


add("report.doc", ole("WordDocument", 5000), "doc")
add("table.xls", ole("Workbook", 4200), "xls")
add("deck.ppt", ole("PowerPoint Document", 4700), "ppt")

# SQLite through Python's module.
db = os.path.join(out, "store.sqlite")
con = sqlite3.connect(db)
con.execute("create table t(a integer, b text)")
con.executemany("insert into t values(?, ?)", [(i, "row %d" % i * 20) for i in range(300)])
con.commit()
con.close()
manifest.append(("store.sqlite", "sqlite"))

# ELF from the compiler.
src = os.path.join(out, "prog.c")
open(src, "w").write("int main(void) { return 0; }\n")
if shutil.which("gcc") and subprocess.run(["gcc", "-O0", "-o", os.path.join(out, "prog.elf"), src]).returncode == 0:
    manifest.append(("prog.elf", "elf"))
    if subprocess.run(["strip", "-o", os.path.join(out, "stripped.elf"), os.path.join(out, "prog.elf")]).returncode == 0:
        manifest.append(("stripped.elf", "elf"))
os.remove(src)


# PE32: two sections, and a DLL with a certificate table after them.
def pe(dll, certificate):
    image = bytearray(0x800)
    image[0:2] = b"MZ"
    struct.pack_into("<I", image, 0x3C, 0x80)
    image[0x80:0x84] = b"PE\0\0"
    struct.pack_into("<HHIIIHH", image, 0x84, 0x14C, 2, 0, 0, 0, 224, 0x2102 if dll else 0x0102)
    opt = 0x98
    struct.pack_into("<H", image, opt, 0x10B)
    struct.pack_into("<I", image, opt + 60, 0x200)
    struct.pack_into("<I", image, opt + 92, 16)
    if certificate:
        struct.pack_into("<II", image, opt + 96 + 32, 0x800, 0x100)
    table = opt + 224
    for i, (raw, size) in enumerate([(0x200, 0x200), (0x400, 0x400)]):
        s = table + 40 * i
        image[s:s + 8] = [b".text\0\0\0", b".data\0\0\0"][i]
        struct.pack_into("<IIII", image, s + 8, size, 0x1000 * (i + 1), size, raw)
    image[0x200:0x800] = noise(0x600)
    return bytes(image) + (noise(0x100) if certificate else b"")


add("tool.exe", pe(False, False), "exe")
add("signed.dll", pe(True, True), "dll")

# Audio and video.
wav = io.BytesIO()
with wave.open(wav, "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(8000)
    w.writeframes(noise(4001 * 2))
add("sound.wav", wav.getvalue(), "wav")


def chunk(cid, data):
    return cid + struct.pack("<I", len(data)) + data + (b"\0" if len(data) & 1 else b"")


hdrl = b"hdrl" + chunk(b"avih", noise(56)) + b"LIST" + struct.pack("<I", 4 + 8 + 56) + b"strl" + chunk(b"strh", noise(56))
avi_body = b"AVI " + b"LIST" + struct.pack("<I", len(hdrl)) + hdrl
movi = b"movi" + chunk(b"00dc", noise(3001)) + chunk(b"00dc", noise(2000))
avi_body += b"LIST" + struct.pack("<I", len(movi)) + movi
add("clip.avi", b"RIFF" + struct.pack("<I", len(avi_body)) + avi_body, "avi")


def mp3_frames(count):
    frames = b""
    for i in range(count):
        pad = i % 3 == 0
        frames += bytes([0xFF, 0xFB, 0x90 | (2 if pad else 0), 0x64]) + noise(417 + (1 if pad else 0) - 4)
    return frames


id3 = b"ID3\x03\x00\x00" + bytes([0, 0, 0, 30]) + b"TIT2" + struct.pack(">I", 5) + b"\0\0" + b"\0Song" + b"\0" * 15
add("tagged.mp3", id3 + mp3_frames(12) + b"TAG" + b"t" * 125, "mp3")
add("bare.mp3", mp3_frames(30), "mp3")


def ogg_crc(data):
    c = 0
    for b in data:
        c ^= b << 24
        for _ in range(8):
            c = ((c << 1) ^ 0x04C11DB7) & 0xFFFFFFFF if c & 0x80000000 else (c << 1) & 0xFFFFFFFF
    return c


def ogg_page(kind, serial, seq, data):
    segs = []
    n = len(data)
    while n >= 255:
        segs.append(255)
        n -= 255
    segs.append(n)
    head = b"OggS\0" + bytes([kind]) + struct.pack("<qIII", seq * 1000, serial, seq, 0) + bytes([len(segs)]) + bytes(segs)
    page = bytearray(head + data)
    struct.pack_into("<I", page, 22, ogg_crc(page))
    return bytes(page)


add("voice.ogg", ogg_page(2, 77, 0, b"\x01vorbis" + noise(23)) + ogg_page(0, 77, 1, noise(3000)) +
    ogg_page(4, 77, 2, noise(1200)), "ogg")


def crc8(data):
    c = 0
    for b in data:
        c ^= b
        for _ in range(8):
            c = ((c << 1) ^ 0x07) & 0xFF if c & 0x80 else (c << 1) & 0xFF
    return c


def crc16(data):
    c = 0
    for b in data:
        c ^= b << 8
        for _ in range(8):
            c = ((c << 1) ^ 0x8005) & 0xFFFF if c & 0x8000 else (c << 1) & 0xFFFF
    return c


def flac_frame(number, samples):
    # Mono, 16-bit, 8 kHz code 4? use code 0 (from streaminfo), blocksize from an 8-bit field.
    head = bytes([0xFF, 0xF8, 0x60, 0x08, number]) + bytes([samples - 1])
    head += bytes([crc8(head)])
    body = head + bytes([0x02]) + noise(2 * samples)  # verbatim subframe
    return body + struct.pack(">H", crc16(body))


frames = [flac_frame(i, 200) for i in range(6)] + [flac_frame(6, 73)]
total = 6 * 200 + 73
info = struct.pack(">HH", 200, 200) + struct.pack(">I", min(map(len, frames)))[1:] + \
    struct.pack(">I", max(map(len, frames)))[1:] + struct.pack(">Q", (8000 << 44) | (0 << 41) | (15 << 36) | total) + noise(16)
add("tone.flac", b"fLaC" + bytes([0x80, 0, 0, 34]) + info + b"".join(frames), "flac")


def box(kind, data):
    return struct.pack(">I", 8 + len(data)) + kind + data


for name, brand, ext in [("movie.mp4", b"isom", "mp4"), ("song.m4a", b"M4A ", "m4a"), ("phone.3gp", b"3gp4", "3gp"),
                         ("camera.mov", b"qt  ", "mov")]:
    add(name, box(b"ftyp", brand + b"\0\0\0\0" + brand + b"mp41") + box(b"free", b"") +
        box(b"mdat", noise(4000)) + box(b"moov", box(b"mvhd", noise(100)) + box(b"trak", noise(300))), ext)


def ebml_size(n, width=0):
    for length in range(1, 9):
        if n < (1 << (7 * length)) - 1:
            if width and length < width:
                continue
            return ((1 << (7 * length)) | n).to_bytes(length, "big")


def element(eid, data):
    return eid + ebml_size(len(data)) + data


def ebml_head(doc):
    return element(b"\x1A\x45\xDF\xA3", element(b"\x42\x86", b"\x01") + element(b"\x42\x82", doc) +
                   element(b"\x42\x87", b"\x04"))


cluster = element(b"\x1F\x43\xB6\x75", element(b"\xE7", b"\x00") + element(b"\xA3", noise(2500)))
segment_body = element(b"\x15\x49\xA9\x66", noise(40)) + element(b"\x16\x54\xAE\x6B", noise(60)) + cluster
add("video.mkv", ebml_head(b"matroska") + element(b"\x18\x53\x80\x67", segment_body), "mkv")
add("live.webm", ebml_head(b"webm") + b"\x18\x53\x80\x67\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF" + segment_body, "webm")


def pack_header():
    return b"\0\0\1\xBA" + bytes([0x44, 0, 4, 0, 4, 1, 1, 0x89, 0xC3, 0xF8])


def pes(sid, data):
    return b"\0\0\1" + bytes([sid]) + struct.pack(">H", len(data)) + data


mpg = b""
for i in range(4):
    mpg += pack_header() + pes(0xE0, noise(1500)) + pes(0xC0, noise(400))
add("film.mpg", mpg + b"\0\0\1\xB9", "mpg")

# Text formats.
add("page.html", b"<!DOCTYPE html>\n<html><head><title>t</title></head><body>" + text_blob(3000) +
    b"</body></HTML>\n", "html")
add("data.xml", b'<?xml version="1.0" encoding="UTF-8"?>\n<!-- c -->\n<!DOCTYPE r [<!ENTITY a "b">]>\n<root a="x>y">'
    b"<item/><![CDATA[<not a tag>]]>" + text_blob(2000) + b"<i>v</i></root>\n", "xml")
add("drawing.svg", b'<?xml version="1.0"?>\n<svg xmlns="http://www.w3.org/2000/svg"><rect width="1"/></svg>\n', "svg")
add("memo.rtf", b"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello \\{brace\\} " + text_blob(1500) +
    b"{\\*\\blip\\bin4 }}}}}\\par}\r\n", "rtf")

with open(os.path.join(out, "manifest.txt"), "w") as f:
    for name, ext in manifest:
        f.write("%s %s\n" % (name, ext))
