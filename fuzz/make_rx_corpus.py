#!/usr/bin/env python3
"""Writes the seed inputs of the receive-path fuzzer into corpus/rx (see rx_fuzz.h for the layout)."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "rx")


def frame(code, data=b""):
    body = bytes([code, len(data)]) + bytes(data)
    return b"\x02" + body + bytes([sum(body) & 0xFF]) + b"\x03"


def inp(flags, sizes, stream):
    assert len(sizes) < 16
    return bytes([flags | (len(sizes) << 4)]) + bytes(sizes) + stream


STATUS = [0x91, 0x92, 0xA0, 0xA1, 0xA3, 0xA4, 0xA5, 0xA6, 0xA8, 0xA9, 0xAA]
ANY = [0x80, 0x81, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x93, 0x95, 0xB8, 0xB9, 0xBA, 0xBB,
       0xBC, 0xBD, 0xBE, 0xBF, 0xFE]

every_answer = b"".join(
    [frame(c, b"\x00") for c in STATUS] + [frame(c, b"\x01") for c in STATUS]
    + [frame(c, b"\x01\x02") for c in STATUS]
    + [frame(c) for c in ANY] + [frame(c, b"\x10\x20\x30") for c in ANY]
    + [frame(0x82, b"\x01\x02"), frame(0x82, b"\x01"), frame(0x83, bytes(range(6))), frame(0x83, b"\x05"),
       frame(0x8F, b"\x5C"), frame(0x8F), frame(0xA2, bytes(range(0xF0, 0x100))), frame(0xA2, b"\x07"),
       frame(0x94, b"\x00")])
card_reports = b"".join(frame(0x90, bytes(range(0xA1, 0xA1 + n))) for n in range(15))
card_low_marker = frame(0x90, b"\x05\x04\x00\x11\x22\x33\x44")

seeds = {
    "testlink": inp(0, [], frame(0x80)),
    "every_answer_one_piece": inp(0, [], every_answer),
    "every_answer_bytewise": inp(0, [0], every_answer),
    "every_answer_tcp_crosstalk": inp(3, [2, 6, 0, 40], every_answer),
    "card_reports": inp(1, [4, 1], card_reports + card_low_marker),
    "garbage_between": inp(0, [7], b"\xff\x03\x80" + frame(0x81) + b"\x00\x00" + frame(0x80) + b"\x7f"),
    "stx_in_data": inp(0, [1], frame(0x91, b"\x02") + frame(0x23 + 0x80, b"\x03")),
    "bad_checksum_then_good": inp(0, [], b"\x02\x80\x00\x81\x03" + frame(0x81)),
    "lost_byte": inp(2, [3], b"\x02\x80\x00\x03" + frame(0x81) + frame(0x80)),
    "wrong_last_byte": inp(0, [], b"\x02\x80\x00\x80\xff"),
    "len_255": inp(0, [250, 9], frame(0xBA, bytes(range(255)))),
    "truncated_tail": inp(1, [5], frame(0xA1, b"\x04") + frame(0xA2, bytes(16))[:10]),
    "login_refused": inp(0, [], frame(0xA1, b"\x04")),
}

os.makedirs(OUT, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
print(f"{len(seeds)} seeds in {OUT}")
