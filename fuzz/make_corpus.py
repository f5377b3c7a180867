#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/.

The seeds are small, made here from scratch, and cover each input's main
shapes so that the fuzzer starts from inputs that get past the first checks.
Run again after changing a seed; the files are kept in the tree.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def dump(bank, program, category=3, name=b"Seed Sound", checksum=None, device=0):
    """A 392-byte sound dump with the checksum the instrument computes."""
    b = bytearray(392)
    b[0:5] = bytes([0xF0, 0x3E, 0x13, device, 0x10])
    b[5], b[6] = bank, program
    for i in range(7, 370):
        b[i] = (i * 7) & 0x7F
    b[370:386] = name.ljust(16)[:16]
    b[386] = category
    b[387:390] = b"\x00\x00\x00"
    if checksum is None:
        checksum = (b[4] + sum(b[7:390]) - 0x10) & 0x7F
    b[390] = checksum
    b[391] = 0xF7
    return bytes(b)


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def smf(events):
    track = b"".join(events) + b"\x00\xFF\x2F\x00"
    return b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(track)) + track


def sysex_event(msg, delta=0):
    body = msg[1:]
    return vlq(delta) + b"\xF0" + vlq(len(body)) + body


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    a1, b5, edit = dump(0, 0), dump(1, 4, category=12), dump(0x7F, 0)
    # soundfile: two bytes of start slot, then the file.
    write("soundfile", "one-at-a001", b"\x00\x00" + a1)
    write("soundfile", "two-wrapping", b"\x03\xFF" + a1 + b5)
    write("soundfile", "edit-buffer-record", b"\x00\x10" + a1 + edit)
    write("soundfile", "cut-record", b"\x00\x05" + b5 + a1[:100])
    write("soundfile", "bad-category", b"\x01\x00" + dump(7, 127, category=0x40))

    # midifile: standard, divided, RIFF-wrapped, headerless, plain dumps.
    std = smf([sysex_event(a1), sysex_event(b5, 10)])
    write("midifile", "standard", std)
    divided = smf([vlq(0) + b"\xF0" + vlq(200) + a1[1:201],
                   vlq(5) + b"\xF7" + vlq(191) + a1[201:]])
    write("midifile", "divided", divided)
    riff = b"RIFF" + struct.pack("<I", 12 + len(std)) + b"RMIDdata" + struct.pack("<I", len(std)) + std
    write("midifile", "riff", riff)
    write("midifile", "headerless", vlq(0) + b"\xF0" + vlq(391) + a1[1:])
    write("midifile", "plain-dumps-gm-reset", bytes([0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7]) + a1 + edit)
    write("midifile", "running-status-meta", smf([b"\x00\x90\x3C\x40\x10\x3E\x40", b"\x00\xFF\x03\x04name",
                                                   sysex_event(a1)]))

    # settings: a full file, CRLF, unknown keys and comments, a bad number.
    full = ("[Globals]\nAutoloadfile=/home/user/pads.syx\nSendToEditBuffer=0\nSendToEditBuffer2=1\n"
            "Overwritequestion=1\nToleranceComboBox=0\nToleranceOctave=2\nToleranceKeytrack=0\n"
            "ToleranceOtherKnobs=10\nToleranceSemitoneKnobs=0\nToleranceDetuneKnobs=3\n\n"
            "[Midi]\nDeviceId=0\nMidiInDeviceID=Blofeld In\nMidiOutDeviceID=Blofeld Out\n"
            "MidiInDeviceIDKeyboard=\nMIDIDelay=250\n")
    write("settings", "full", full.encode())
    write("settings", "crlf", full.replace("\n", "\r\n").encode())
    write("settings", "unknown-and-comments",
          b"; kept by hand\n[Globals]\nSendToEditBuffer=yes\nColour=blue\n[Extra]\nx=1\n[Midi]\nDeviceId=127\n")
    write("settings", "bad-number", b"[Midi]\nDeviceId=200\nMIDIDelay=abc\n[Globals]\nToleranceOctave=-3\n")
    write("settings", "empty", b"")
    # Block values: one never closed (keys added behind it were swallowed),
    # and one whose end tag differs only in case (not an end tag to the reader).
    write("settings", "open-block", b"[Globals]\nOverwritequestion=1\n[Midi]\nMidiInDeviceID=<<<END\nIn\nMIDIDelay=9\n")
    write("settings", "open-block-at-end", b"[Midi]\nMidiInDeviceID=<<<END")
    write("settings", "open-block-lone-cr", b"[Globals]\nAutoloadfile=<<<End\na\nEND\nx=1 \r\r\r")
    write("settings", "header-over-lines", b"\r[\r\rGlobals]\nToleranceOctave=x\n[Midi]\nMIDIDelay=5\n")
    write("settings", "nul-byte", b"[Midi]\nMidiDeviceID=l\x00[Globals]\nOverwritequestion=0\n")
    write("settings", "tag-case", b"[Globals]\nAutoloadfile=<<<End\na\nEND\nSendToEditBuffer=1\nEnd\n[Midi]\nMIDIDelay=7\n")

    # schema: masks of different lengths, unknown keys, another section.
    write("schema", "some-masks", b"[Parameters]\nShape=0110\nOctave=000001111\nBalance=1\n")
    write("schema", "unknown-keys", b"[Parameters]\nNoSuchControl=1\nShape=\n[Other]\nkeep=me\n")
    write("schema", "all-zero", b"[Parameters]\nOctave=0000000000000\nKnobOctave=0\n")
    write("schema", "empty", b"")

    # dispatcher: chunk/pause byte, bank byte, then what the port delivers.
    write("dispatcher", "two-replies", b"\x10\x01" + b5 + dump(1, 5))
    write("dispatcher", "edit-buffer-reply", b"\x3F\x05" + edit)
    write("dispatcher", "bad-checksum-and-cut", b"\x07\x00" + dump(0, 1, checksum=0x11) + a1[:300] + b"\x90\x3C\x40")
    write("dispatcher", "realtime-inside", b"\x85\x02" + a1[:50] + b"\xF8\xFE" + a1[50:] + b"\xB0\x07\x64")
    write("dispatcher", "bank-byte-too-big", b"\x40\x00" + dump(9, 0))


if __name__ == "__main__":
    main()
