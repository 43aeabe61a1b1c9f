#!/usr/bin/env python3
"""Writes the DirectX fixtures of tests/data/formats/x/ that are not plain text:
binary token files (32- and 64-bit floats) made from text fixtures, and MSZIP
compressed ones. Run from the top of the tree; review the .expected diffs after.
"""
import re
import struct
import zlib

FOLDER = "tests/data/formats/x/"
KEYWORDS = {"WORD": 40, "DWORD": 41, "FLOAT": 42, "DOUBLE": 43, "CHAR": 44, "UCHAR": 45, "SWORD": 46,
            "SDWORD": 47, "VOID": 48, "STRING": 49, "UNICODE": 50, "CSTRING": 51, "array": 52}
PUNCT = {"{": 10, "}": 11, "(": 12, ")": 13, "[": 14, "]": 15, "<": 16, ">": 17, ".": 18, ",": 19, ";": 20}
TOKEN = re.compile(r'\s+|//[^\n]*|#[^\n]*|"[^"]*"|<[^>]*>|[{}\[\]();,]|[^\s{}\[\]();,<>"]+')


def binary_body(text, doubles):
    """Text tokens as binary ones: runs of numbers become integer or float lists."""
    out = bytearray()
    run, run_floats = [], False

    def flush():
        nonlocal run
        if run:
            if run_floats:
                out.extend(struct.pack("<HI", 7, len(run)))
                out.extend(struct.pack("<%d%s" % (len(run), "d" if doubles else "f"), *run))
            else:
                out.extend(struct.pack("<HI", 6, len(run)))
                out.extend(struct.pack("<%dI" % len(run), *run))
        run = []

    for token in TOKEN.findall(text):
        if token.isspace() or token.startswith("//") or token.startswith("#"):
            continue
        if re.fullmatch(r"[-+]?([0-9]+\.?[0-9]*|\.[0-9]+)(e[-+]?[0-9]+)?", token):
            is_float = "." in token or "e" in token
            if run and is_float != run_floats:
                flush()
            run_floats = is_float
            run.append(float(token) if is_float else int(token))
            continue
        if token in (",", ";"):
            continue  # separators carry nothing; one is written after each list and string
        flush()
        if token.startswith('"'):
            data = token[1:-1].encode()
            out.extend(struct.pack("<HI", 2, len(data)) + data + struct.pack("<H", 20))
        elif token.startswith("<"):
            out.extend(struct.pack("<H", 5) + bytes(range(16)))
        elif token == "...":
            out.extend(struct.pack("<HHH", 18, 18, 18))
        elif token in PUNCT:
            out.extend(struct.pack("<H", PUNCT[token]))
        elif token == "template":
            out.extend(struct.pack("<H", 31))
        elif token in KEYWORDS:
            out.extend(struct.pack("<H", KEYWORDS[token]))
        else:
            data = token.encode()
            out.extend(struct.pack("<HI", 1, len(data)) + data)
    flush()
    return bytes(out)


def mszip(header, body, block):
    """Blocks of at most `block` bytes, each a raw deflate stream that may refer
    back into what came before it."""
    out = bytearray(header + struct.pack("<I", len(header) + len(body)))
    for start in range(0, len(body), block):
        piece = body[start:start + block]
        history = body[max(0, start - 32768):start]
        packer = zlib.compressobj(9, zlib.DEFLATED, -15, zdict=history) if history else \
            zlib.compressobj(9, zlib.DEFLATED, -15)
        data = b"CK" + packer.compress(piece) + packer.flush()
        out.extend(struct.pack("<HH", len(piece), len(data)) + data)
    return bytes(out)


def main():
    text = open(FOLDER + "frames-text.x", encoding="ascii").read()
    body = text[16:]
    bin32 = binary_body(body, False)
    bin64 = binary_body(body, True)
    open(FOLDER + "frames-binary32.x", "wb").write(b"xof 0303bin 0032" + bin32)
    open(FOLDER + "frames-binary64.x", "wb").write(b"xof 0302bin 0064" + bin64)
    open(FOLDER + "frames-tzip.x", "wb").write(mszip(b"xof 0303tzip0032", body.encode(), 256))
    open(FOLDER + "frames-bzip64.x", "wb").write(mszip(b"xof 0303bzip0064", bin64, 300))
    # Hostile: a list that says it holds far more than the file; a block that
    # grows past the size the file declares; a cut inside a float list.
    huge = bytearray(bin32)
    at = huge.index(struct.pack("<HI", 6, 1))
    huge[at + 2:at + 6] = struct.pack("<I", 0x7FFFFFFF)
    open(FOLDER + "damaged-binary-list-count.x", "wb").write(b"xof 0303bin 0032" + huge)
    packed = bytearray(mszip(b"xof 0303tzip0032", body.encode(), 4096))
    packed[16:20] = struct.pack("<I", 100)
    open(FOLDER + "damaged-compressed-size.x", "wb").write(packed)
    open(FOLDER + "damaged-binary-cut.x", "wb").write(b"xof 0303bin 0032" + bin32[:len(bin32) // 2])


main()
