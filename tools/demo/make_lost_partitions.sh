#!/usr/bin/env bash
# Makes a demo disk whose partition table is gone: a FAT32 partition with a
# few files at sector 2048 and the NTFS partition of the Windows-made sample
# after it, with sector 0 zeroed. Usage: make_lost_partitions.sh IMAGE NTFS_SAMPLE_GZ
set -euo pipefail
image=$1
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fat_start=2048
fat_sectors=131072
ntfs_start=$((fat_start + fat_sectors + 2048))
ntfs_sectors=518144 # the sample's partition: sectors 128 to 518271
disk_sectors=$((ntfs_start + ntfs_sectors + 2048))

rm -f "$image"
truncate -s $((disk_sectors * 512)) "$image"

# FAT32 as Windows formats it: the partition search knows it by its OEM name.
fat="$work/fat32.img"
truncate -s $((fat_sectors * 512)) "$fat"
mkfs.fat -F 32 -n DEMO "$fat" >/dev/null
for boot in 0 6; do
  printf 'MSDOS5.0' | dd of="$fat" bs=1 seek=$((boot * 512 + 3)) conv=notrunc status=none
done
printf 'Found again.\n' >"$work/readme.txt"
printf 'A partition lost with its table.\n' >"$work/notes.txt"
export MTOOLS_SKIP_CHECK=1
mmd -i "$fat" ::/photos
mcopy -i "$fat" "$work/readme.txt" ::/readme.txt
mcopy -i "$fat" "$work/notes.txt" ::/photos/notes.txt
dd if="$fat" of="$image" bs=512 seek=$fat_start conv=notrunc,sparse status=none

gzip -dc "$sample" >"$work/ntfs.raw"
dd if="$work/ntfs.raw" of="$image" bs=512 skip=128 seek=$ntfs_start count=$ntfs_sectors conv=notrunc,sparse status=none

dd if=/dev/zero of="$image" bs=512 count=1 conv=notrunc status=none
