#!/usr/bin/env bash
# Makes a demo disk with three volumes to recover files from:
#   1. FAT32 with files and folders several levels deep, some deleted;
#   2. the NTFS volume of the Windows-made sample with a folder, a file in
#      it and a file two levels down deleted as Windows deletes them;
#   3. a volume without a file system holding files of several types, for
#      the deep scan.
# Usage: make_recovery_volumes.sh IMAGE NTFS_SAMPLE_GZ
set -euo pipefail
image=$1
sample=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1

fat_start=2048 fat_sectors=131072
ntfs_start=$((fat_start + fat_sectors)) ntfs_sectors=518144
raw_start=$((ntfs_start + ntfs_sectors)) raw_sectors=16384
disk_sectors=$((raw_start + raw_sectors + 2048))

# Files of several types, made by real tools.
convert -size 320x200 plasma:fractal -seed 7 "$work/beach.png" 2>/dev/null ||
  convert -size 320x200 gradient:skyblue-navy "$work/beach.png"
convert -size 240x160 gradient:orange-purple -quality 88 "$work/sunset.jpg"
convert -size 64x64 pattern:checkerboard "$work/icon.gif"
convert -size 120x80 gradient:green-yellow "$work/chart.bmp"
printf 'Quarterly report\n\nSales rose in every region.\n' >"$work/report.txt"
printf 'Milk\nBread\nCoffee\n' >"$work/shopping.txt"
printf 'Dear Anna,\nthe photos are in the Holiday folder.\n' >"$work/letter.txt"
python3 - "$work" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1] + "/notes.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("notes/todo.txt", "Back up the photos.\n" * 40)
    z.writestr("notes/ideas.txt", "A garden by the house.\n" * 25)
PY

rm -f "$image"
truncate -s $((disk_sectors * 512)) "$image"
printf 'label: dos\nstart=%d,size=%d,type=c\nstart=%d,size=%d,type=7\nstart=%d,size=%d,type=da\n' \
  $fat_start $fat_sectors $ntfs_start $ntfs_sectors $raw_start $raw_sectors | sfdisk -q "$image" >/dev/null

# 1. FAT32: a tree, then deletions of files and of a whole folder.
fat="$work/fat.img"
truncate -s $((fat_sectors * 512)) "$fat"
mkfs.fat -F 32 -n PHOTOS "$fat" >/dev/null
m() { "$@" -i "$fat"; }
m mmd ::/Documents ::/Documents/Reports ::/Documents/Reports/2025 ::/Photos ::/Photos/Holiday ::/Photos/Holiday/Beach
m mcopy "$work/report.txt" ::/Documents/Reports/2025/report.txt
m mcopy "$work/letter.txt" ::/Documents/letter.txt
m mcopy "$work/shopping.txt" ::/Documents/shopping.txt
m mcopy "$work/beach.png" ::/Photos/Holiday/Beach/beach.png
m mcopy "$work/sunset.jpg" ::/Photos/Holiday/sunset.jpg
m mcopy "$work/icon.gif" ::/Photos/icon.gif
m mcopy "$work/chart.bmp" ::/Documents/Reports/chart.bmp
m mdel ::/Documents/Reports/2025/report.txt ::/Documents/letter.txt ::/Photos/icon.gif
m mdeltree ::/Photos/Holiday
dd if="$fat" of="$image" bs=512 seek=$fat_start conv=notrunc,sparse status=none

# 2. NTFS: the sample's volume, with test/, test/1.txt and
#    $RECYCLE.BIN/<user>/desktop.ini deleted.
gzip -dc "$sample" >"$work/ntfs.raw"
python3 "$here/delete_ntfs_records.py" "$work/ntfs.raw" 128 43 39 42
dd if="$work/ntfs.raw" of="$image" bs=512 skip=128 seek=$ntfs_start count=$ntfs_sectors conv=notrunc,sparse status=none

# 3. No file system: the files laid at sector starts with junk between.
offset=$((raw_start * 512 + 4096))
for f in beach.png sunset.jpg icon.gif chart.bmp notes.zip; do
  head -c 1536 /dev/urandom | dd of="$image" bs=1 seek=$((offset - 1536)) conv=notrunc status=none
  dd if="$work/$f" of="$image" bs=512 seek=$((offset / 512)) conv=notrunc status=none
  size=$(stat -c %s "$work/$f")
  offset=$(((offset + size + 4096 + 511) / 512 * 512))
done
