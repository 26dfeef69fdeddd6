#!/usr/bin/env python3
"""Writes the code-page vectors that tests/text/CodePageTest.cpp reads.

They come from Python's own codecs, an engine independent of ICU, so that the tests check our
converters against a second decoder without needing Python at run time. Python's gbk codec knows
the standard GBK area only: the euro at 0x80, 0xFF and the user-defined area are checked by hand
in the test.

Run from this folder: python3 gen_codepage_vectors.py
"""

def gbk_pairs():
    lines = []
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            if trail == 0x7F:
                continue
            raw = bytes([lead, trail])
            try:
                text = raw.decode("gbk")
            except UnicodeDecodeError:
                continue
            if len(text) != 1:
                continue
            back = text.encode("gbk")
            lines.append(f"{lead:02X}{trail:02X} {ord(text):04X} {back.hex().upper()}")
    return lines


UTF8_CASES = [
    b"\x80", b"\xbf", b"\xc0\x80", b"\xc1\xbf", b"\xc2", b"\xc2\x41", b"\xe4\xb8", b"\xe4\xb8\x41",
    b"\xe0\x80\x80", b"\xed\xa0\x80", b"\xed\xbf\xbf", b"\xf0\x9f\x98", b"\xf0\x80\x80\x80",
    b"\xf4\x90\x80\x80", b"\xf5\x80\x80\x80", b"\xfe", b"\xff", b"a\xffb", b"\xe4\xb8\xad\xe4",
    b"\xf0\x9f\x98\x80", b"\xf8\x88\x80\x80\x80", b"\xc3\xa9\x80\xc3", b"\xe2\x82\xac\xe2\x82",
]


def utf8_cases():
    lines = []
    for raw in UTF8_CASES:
        text = raw.decode("utf-8", errors="replace")
        units = text.encode("utf-16-le")
        words = [units[i] | units[i + 1] << 8 for i in range(0, len(units), 2)]
        lines.append(raw.hex().upper() + " " + " ".join(f"{w:04X}" for w in words))
    return lines


def main():
    with open("gbk_pairs.txt", "w") as out:
        out.write("# GBK pair, code point, Python's gbk encoding of that code point\n")
        out.write("\n".join(gbk_pairs()) + "\n")
    with open("utf8_invalid.txt", "w") as out:
        out.write("# UTF-8 bytes, then the UTF-16 units of Python's decoding with errors='replace'\n")
        out.write("\n".join(utf8_cases()) + "\n")


if __name__ == "__main__":
    main()
