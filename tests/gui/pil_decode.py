#!/usr/bin/python3
# Decodes PNG files with Pillow, the second decoder the toolkit's reader is
# compared with. Reads one path per line from the list file and writes, per
# path, a little-endian record to the output file:
#   int32 width, int32 height, int32 channels (3 or 4; -1 on failure),
#   then width * height * channels bytes of pixels, rows top to bottom.
import struct
import sys

from PIL import Image


def main():
    list_path, out_path = sys.argv[1], sys.argv[2]
    with open(list_path, encoding="utf-8") as listing, open(out_path, "wb") as out:
        for line in listing:
            path = line.rstrip("\n")
            if not path:
                continue
            try:
                with Image.open(path) as image:
                    image.load()
                    if image.mode not in ("RGB", "RGBA"):
                        raise ValueError("mode " + image.mode)
                    data = image.tobytes()
                    channels = 4 if image.mode == "RGBA" else 3
                    out.write(struct.pack("<iii", image.width, image.height, channels))
                    out.write(data)
            except Exception:  # noqa: BLE001 - any failure is reported as a record
                out.write(struct.pack("<iii", 0, 0, -1))


if __name__ == "__main__":
    main()
