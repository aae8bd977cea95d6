#!/usr/bin/env python3
"""Writes the seed inputs of the lang, trama, carddata and simframe harnesses into corpus/<name>.
The layouts are those read by the harnesses (see the .h files beside this script)."""
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def put(name, case, data):
    folder = os.path.join(HERE, "corpus", name)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, case), "wb") as f:
        f.write(data)


# --- lang: bytes of a language file ---------------------------------------------------------
for n in range(1, 6):
    src = os.path.join(ROOT, "lang", "MisI0%d.dat" % n)
    if os.path.exists(src):
        with open(src, "rb") as f:
            put("lang", "file%d" % n, f.read())
put("lang", "tilde_continues", b"Espa\xf1ol\r\nFirst~\r\nsecond\r\nthird~fourth\r\n")
put("lang", "tilde_at_end_of_file", b"One\r\nTwo~")
put("lang", "tilde_chain", b"a~\r\n~\r\n~\r\nb\r\nc\r\n")
put("lang", "bare_lf_and_cr", b"one\ntwo\rstill two\r\n\r\n\n")
put("lang", "six_hundred_lines", b"".join(b"line %d\r\n" % i for i in range(600)))
put("lang", "high_bytes", bytes(range(0x80, 0x100)) + b"\r\n" + bytes(range(0x20, 0x80)))
put("lang", "empty_lines", b"\r\n" * 520)

# --- trama: the external-relay frame text -----------------------------------------------------
for case, text in {
    "default": b"&H02400002000AF7&H03",
    "token_at_end": b"AB&H",
    "one_digit_at_end": b"&H1",
    "not_hex": b"&HG1&H1G",
    "lower_h": b"&h41&H41",
    "nested": b"&&HH41&H&H41",
    "long": b"&H02" + b"0123456789" * 5 + b"&H03",
    "only_tokens": b"&H00" * 12,
}.items():
    put("trama", case, text)


# --- carddata: field texts ---------------------------------------------------------------------
def text(s):
    if isinstance(s, str):
        s = s.encode("utf-8")
    return bytes([len(s)]) + s


def fields(inst="0000", old="0000", key="FFFFFFFFFFFF", sector="1", user="000", saldo="500", trele="10",
           node="200", tscan="10", vend="50", unit=1, lst=0, boxes=0, nodes=b"", frame=b"&H02400002000AF7&H03"):
    out = b"".join(text(v) for v in (inst, old, key, sector, user, saldo, trele, node, tscan, vend))
    out += bytes([unit]) if isinstance(unit, int) else b"\x80" + text(unit)
    out += bytes([lst]) if isinstance(lst, int) else b"\x80" + text(lst)
    out += bytes([boxes, len(nodes)]) + nodes + frame
    return out


put("carddata", "defaults", fields())
put("carddata", "installation_1234_user_57", fields(inst="1234", user="57"))
put("carddata", "relay_frame_on", fields(boxes=4))
put("carddata", "all_boxes_nodes", fields(boxes=7, nodes=bytes([0x81, 0xFF, 0, 0x10]) + bytes(28) + b"\x80"))
put("carddata", "master_27_char_code", fields(old="A" * 27))
put("carddata", "master_short_codes", fields(inst="12", old="000"))
put("carddata", "hex_entries", fields(sector="&H0F", user="&HFF", trele="&H10", node="&HFF", vend="1E3"))
put("carddata", "balance_out_of_range", fields(saldo="3000000000"))
put("carddata", "balance_negative_half", fields(saldo="-2.5"))
put("carddata", "user_1000_and_decimal", fields(user="2.5", inst="00AB"))
put("carddata", "accents_and_unknown_drop_downs", fields(inst="é€", unit="nada", lst="otra", boxes=4,
                                                        frame=bytes(range(0x80, 0xA0)) + b"&H7F"))

# --- simframe: reader set-up, then operations ---------------------------------------------------
TL, SU, DT, DP, SEL, HALT, WK, LOGIN, READ, WRITE = range(10)  # index into the harness's request list


def req(i, payload=b"", sane=True):
    return bytes([0x80 | i | (0 if sane else 0x20)]) + payload + b"\x04"  # then 1 ms


def raw(data):
    out = b""
    for i in range(0, len(data), 64):
        chunk = data[i:i + 64]
        out += bytes([len(chunk) - 1]) + chunk + b"\x04"
    return out


def frame(c, data=b""):
    body = bytes([c, len(data)]) + data
    return b"\x02" + body + bytes([sum(body) & 0xFF]) + b"\x03"


def setup(flags, shape=1, card=b"", faults=b""):
    out = bytes([flags, shape])
    if flags & 0x10:
        out += card
    if flags & 0x80:
        out += faults
    return out


CARD_1K = bytes([0, 0x1A, 0x2B, 0x3C, 0x4D, 1, 1])  # uid length 4, the UID, kind 1K, reports ATQA
WAIT = b"\xc5\xff"  # one second passes, then 64 ms
encode = (req(TL) + req(SU) + WAIT + req(SEL) + req(WK, bytes([5]) + b"\xff" * 6) + req(LOGIN, bytes([4, 0, 5]))
          + req(WRITE, bytes([4]) + bytes.fromhex("1000000009FFFFFFFFFFFFFFFFFFFFFF"))
          + req(WRITE, bytes([7]) + bytes.fromhex("FFFFFFFFFFFFFF0780FFFFFFFFFFFFFF"))
          + req(HALT) + req(DT, bytes([1, 0])) + req(DT, bytes([0, 50])) + req(DT, bytes([2, 10])) + WAIT)
read = (req(SEL) + req(LOGIN, bytes([4, 0, 7])) + req(READ, b"\x04") + req(READ, b"\x05") + req(READ, b"\x06")
        + req(HALT) + WAIT)
put("simframe", "encode_instant", setup(0x50, card=CARD_1K) + encode)
put("simframe", "encode_9600", setup(0x51, card=CARD_1K) + encode)
put("simframe", "read_38400", setup(0x55, card=CARD_1K) + read)
put("simframe", "auto_feed_batch", setup(0x68, shape=4) + WAIT + encode + WAIT + encode)
put("simframe", "raw_frames_and_garbage",
    setup(0x50, card=CARD_1K) + raw(b"\x00\x03\xff" + frame(0x11) + frame(0x00)[:3] + frame(0x01) + b"\x02\x11\x40"))
put("simframe", "bad_requests", setup(0x10, card=CARD_1K) + raw(frame(0x11, b"\x00") + frame(0x55) + frame(0x12)[:-1] + b"\x00"))
put("simframe", "wrong_key_and_beyond_card",
    setup(0x10, card=CARD_1K) + req(SEL) + req(LOGIN, bytes([4, 1, 3])) + req(SEL)
    + req(LOGIN, bytes([0xF0, 0, 5]), sane=False) + req(READ, b"\x40", sane=False) + WAIT)
put("simframe", "faults_armed",
    setup(0xD0, card=CARD_1K, faults=bytes([3, 7, 3, 1, 0, 0, 4, 5, 0, 0, 0, 9, 9, 2, 1, 0])) + encode + encode)
put("simframe", "link_drop_and_reset", setup(0x90, card=CARD_1K, faults=bytes([1, 0, 11, 0, 0, 0])) + req(TL)
    + b"\xc2\x00" + encode)
put("simframe", "card_leaves_mid_write",
    setup(0x51, card=CARD_1K) + req(SEL)[:-1] + b"\x28" + req(LOGIN, bytes([4, 0, 5]))[:-1] + b"\x28"
    + bytes([0x80 | WRITE]) + bytes([5]) + b"\x11" * 16 + b"\x6c" + b"\xc0\x00" + WAIT)
