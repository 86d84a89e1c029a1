#!/usr/bin/env python3
"""Writes a result file of COUNT frames whose frame k reads (k mod 65536) in
both halves, as a capture of the counter pattern would: usage
make_counter_frames.py FILE COUNT."""
import struct
import sys

path, count = sys.argv[1], int(sys.argv[2])
period = b"".join(struct.pack("<I", k * 0x10001) for k in range(65536))
with open(path, "wb") as out:
    whole, rest = divmod(count, 65536)
    for _ in range(whole):
        out.write(period)
    out.write(period[: rest * 4])
