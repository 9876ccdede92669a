#!/usr/bin/env bash
# skinui-render against the fixture skin folder:
#   1. --dump prints the rectangles the layout rules give (render_fixture.dump, checked by hand);
#   2. --size lays the same layout out at another size;
#   3. --png writes a frame of the window's size with the backgrounds painted;
#   4. a layout that does not parse prints the builder's message and location and exits non-zero.
#   skinui_render_test.sh SKINUI_RENDER SOURCE_DIR
set -euo pipefail
render="$1"
src="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/.config" XDG_STATE_HOME="$work/.state" XDG_CACHE_HOME="$work/.cache"
unset DISPLAY WAYLAND_DISPLAY

fail() { echo "FAIL: $*" >&2; exit 1; }

"$render" render_fixture.xml --skin "$src/skin" --dump >"$work/dump.txt" || fail "the dump failed"
diff -u "$src/render_fixture.dump" "$work/dump.txt" || fail "the rectangles differ"

"$render" "$src/skin/render_fixture.xml" --skin "$src/skin" --size 500x200 --dump >"$work/sized.txt" ||
  fail "the sized dump failed"
grep -qx $'0\tVerticalLayout\troot\t1\t0,0,500,200' "$work/sized.txt" || fail "--size was not used"
grep -qx $'1\tControl\tfooter\t1\t10,160,490,190' "$work/sized.txt" || fail "the footer did not follow the size"

"$render" render_fixture.xml --skin "$src/skin" --png "$work/frame.png" || fail "no frame"
python3 - "$work/frame.png" <<'PY' || fail "the frame is wrong"
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
width, height = struct.unpack(">II", data[16:24])
assert (width, height) == (400, 300), (width, height)
# Decode the image (8-bit RGBA or RGB, filter types 0-4) to read a few pixels.
pos, idat, depth, ctype = 8, b"", data[24], data[25]
while pos < len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    if kind == b"IDAT":
        idat += data[pos + 8:pos + 8 + length]
    pos += 12 + length
raw = zlib.decompress(idat)
bpp = 4 if ctype == 6 else 3
stride = width * bpp
rows, prev, i = [], bytearray(stride), 0
for y in range(height):
    f = raw[i]; line = bytearray(raw[i + 1:i + 1 + stride]); i += 1 + stride
    for x in range(stride):
        a = line[x - bpp] if x >= bpp else 0
        b = prev[x]; c = prev[x - bpp] if x >= bpp else 0
        if f == 1: line[x] = (line[x] + a) & 255
        elif f == 2: line[x] = (line[x] + b) & 255
        elif f == 3: line[x] = (line[x] + (a + b) // 2) & 255
        elif f == 4:
            p = a + b - c; pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    rows.append(line); prev = line
def rgb(x, y): return tuple(rows[y][x * bpp:x * bpp + 3])
assert rgb(5, 5) == (0x20, 0x30, 0x40), rgb(5, 5)        # root background in the inset
assert rgb(20, 20) == (0xE0, 0xA0, 0x20), rgb(20, 20)    # logo
assert rgb(340, 270) == (0xC0, 0x30, 0x30), rgb(340, 270)  # the floating badge over the footer
PY

if "$render" broken.xml --skin "$src/skin" --dump >"$work/broken.out" 2>&1; then fail "a broken layout succeeded"; fi
grep -q "error: Expected attribute value" "$work/broken.out" || fail "no builder message: $(cat "$work/broken.out")"
grep -q "^location: 'single'" "$work/broken.out" || fail "no error location: $(cat "$work/broken.out")"
echo "skinui-render test passed"
