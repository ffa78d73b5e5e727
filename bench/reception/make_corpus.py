#!/usr/bin/env python3
"""Writes the benchmark carousel: COUNT files of 1 KB to 8 MB (log-uniform,
seeded), scaled to about TOTAL_MB in all, into FOLDER."""
import math, os, random, sys

folder, count, total_mb = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
rng = random.Random(20261207)
low, high = 1024, 8 << 20
sizes = [math.exp(rng.uniform(math.log(low), math.log(high))) for _ in range(count)]
scale = total_mb * 1e6 / sum(sizes)
sizes = [max(low, min(high, int(s * scale))) for s in sizes]
os.makedirs(folder, exist_ok=True)
for i, size in enumerate(sizes):
    sub = os.path.join(folder, "d%02d" % (i % 10))
    os.makedirs(sub, exist_ok=True)
    with open(os.path.join(sub, "f%03d.bin" % i), "wb") as f:
        f.write(rng.randbytes(size))
print(sum(sizes))
