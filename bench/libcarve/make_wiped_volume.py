#!/usr/bin/env python3
"""Builds a FAT32 volume image filled with real files of many types (its
free space holding random bytes, as old data would), then wipes its file system (boot sector, allocation tables, root directory) so
only the contents remain. Writes the paths of the files put in, one a line,
to <image>.files.

usage: make_wiped_volume.py <image> <size in MiB> <scratch folder>
"""
import glob
import os
import random
import shutil
import struct
import subprocess
import sys

image, size_mb, scratch = sys.argv[1], int(sys.argv[2]), sys.argv[3]
here = os.path.dirname(os.path.abspath(__file__))
samples_script = os.path.join(here, "..", "..", "tests", "libcarve", "make_samples.py")
os.makedirs(scratch, exist_ok=True)
rng = random.Random(42)
files = []

# The one-of-each samples, three times over with different contents.
for seed in (1, 2, 3):
    folder = os.path.join(scratch, "samples%d" % seed)
    subprocess.run([sys.executable, samples_script, folder, str(seed)], check=True)
    for line in open(os.path.join(folder, "manifest.txt")):
        files.append(os.path.join(folder, line.split()[0]))

# Larger pictures and documents from the real tools.
magick = "/usr/bin/convert"
pictures = os.path.join(scratch, "pictures")
os.makedirs(pictures, exist_ok=True)
for i in range(48):
    ext = ["jpg", "png", "tif", "bmp", "gif", "psd", "jpg", "jpg"][i % 8]
    w, h = rng.randint(200, 1200), rng.randint(150, 900)
    path = os.path.join(pictures, "p%02d.%s" % (i, ext))
    if subprocess.run([magick, "-seed", str(i), "-size", "%dx%d" % (w, h), "plasma:", path],
                      stderr=subprocess.DEVNULL).returncode == 0 and os.path.getsize(path) > 0:
        files.append(path)

# Real files of the system: compressed docs, icons, programs, XML, HTML.
def pick(pattern, count, most):
    found = [p for p in glob.glob(pattern, recursive=True)
             if os.path.isfile(p) and not os.path.islink(p) and 512 < os.path.getsize(p) <= most]
    found.sort()
    rng.shuffle(found)
    return found[:count]

files += pick("/usr/share/doc/**/*.gz", 100, 1 << 20)
files += pick("/usr/share/icons/**/*.png", 60, 1 << 20)
files += pick("/usr/share/icons/**/*.svg", 20, 1 << 20)
files += pick("/usr/share/mime/packages/*.xml", 3, 4 << 20)
files += pick("/usr/share/doc/**/*.html", 20, 1 << 20)
files += pick("/usr/bin/*", 40, 4 << 20)
files += pick("/usr/lib/x86_64-linux-gnu/*.so*", 20, 8 << 20)
files += pick("/usr/lib/python3*/**/*.zip", 3, 8 << 20)

subprocess.run(["mkfs.fat", "-F", "32", "-C", image, str(size_mb * 1024)], check=True,
               stdout=subprocess.DEVNULL)
with open(image, "r+b") as f:
    boot = f.read(512)
    data_start = (struct.unpack_from("<H", boot, 14)[0] + boot[16] * struct.unpack_from("<I", boot, 36)[0]) * 512
    f.seek(data_start + boot[13] * 512)  # after the root directory's cluster
    left = size_mb * (1 << 20) - f.tell()
    junk = random.Random(7)
    while left > 0:
        n = min(left, 1 << 20)
        f.write(junk.randbytes(n))
        left -= n
env = dict(os.environ, MTOOLS_SKIP_CHECK="1")
put = []
for i, path in enumerate(files):
    name = "::/f%04d%s" % (i, os.path.splitext(path)[1][:4])
    if subprocess.run(["mcopy", "-i", image, path, name], env=env, stderr=subprocess.DEVNULL).returncode == 0:
        put.append(path)

# Wipe the file system: everything before the data area, and the root directory.
with open(image, "r+b") as f:
    boot = f.read(512)
    reserved = struct.unpack_from("<H", boot, 14)[0]
    fats = boot[16]
    fat_sectors = struct.unpack_from("<I", boot, 36)[0]
    cluster = boot[13] * 512
    data = (reserved + fats * fat_sectors) * 512
    f.seek(0)
    f.write(b"\0" * (data + cluster))

with open(image + ".files", "w") as out:
    for path in put:
        out.write(path + "\n")
