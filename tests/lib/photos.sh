# Kamishibai: camera-like photos for the Studio's tests and benchmark (sourced after shell.sh):
# JPEGs with an EXIF block that holds an orientation and a thumbnail, as cameras write them.

# exif_photos: reads lines "IN OUT ORIENTATION [THUMBNAIL]" (paths without blanks) and writes
# each OUT, the JPEG IN with an EXIF block holding the orientation (1 upright, 6 a quarter
# clockwise, ...) and, when given, the JPEG THUMBNAIL. One process does them all, so that a
# thousand photos are made quickly.
exif_photos() {
  python3 -c '
import struct, sys
for line in sys.stdin:
    args = line.split()
    data = open(args[0], "rb").read()
    thumb = open(args[3], "rb").read() if len(args) > 3 else b""
    # IFD0 (the orientation) at 8; IFD1 (where the thumbnail is) at 26; the thumbnail at 56.
    tiff = b"MM\0\x2a\0\0\0\x08" + struct.pack(">HHHIHH", 1, 0x0112, 3, 1, int(args[2]), 0)
    tiff += struct.pack(">I", 26 if thumb else 0)
    if thumb:
        tiff += struct.pack(">HHHII", 2, 0x0201, 4, 1, 56)
        tiff += struct.pack(">HHII", 0x0202, 4, 1, len(thumb)) + b"\0\0\0\0" + thumb
    exif = b"Exif\0\0" + tiff
    segment = b"\xff\xe1" + struct.pack(">H", len(exif) + 2) + exif
    open(args[1], "wb").write(data[:2] + segment + data[2:])
'
}

# camera_photos DIR COUNT WIDTH HEIGHT: COUNT photos photo-0001.jpg ... in DIR, WIDTH x HEIGHT
# with 160-pixel EXIF thumbnails. Every third is stored on its side (orientation 6) as a portrait
# would be. Ten different pictures take turns, so that many photos are made quickly.
camera_photos() {
  local dir=$1 count=$2 width=$3 height=$4 scratch i
  scratch=$(mktemp -d)
  mkdir -p "$dir"
  for i in $(seq 0 9); do
    convert -size "${width}x${height}" "gradient:hsl($((i * 36)),100%,50%)-hsl($((i * 36 + 90)),100%,30%)" \
      -gravity center -pointsize $((height / 4)) -fill white -annotate 0 "$i" \
      -quality 85 "$scratch/$i.jpg"
    convert "$scratch/$i.jpg" -resize 160x160 -quality 70 "$scratch/$i.thumb.jpg"
  done
  for i in $(seq 1 "$count"); do
    echo "$scratch/$((i % 10)).jpg $dir/$(printf 'photo-%04d.jpg' "$i")" \
      "$([ $((i % 3)) = 0 ] && echo 6 || echo 1) $scratch/$((i % 10)).thumb.jpg"
  done | exif_photos
  rm -rf "$scratch"
}
