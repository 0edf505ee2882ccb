#!/bin/sh
# Regenerates every PNG under resources/ from its SVG source.
# Needs rsvg-convert, from the Debian package librsvg2-bin:
#   apt-get install librsvg2-bin
#   sh resources/render.sh
# The build only uses the PNGs; it never runs this script.
set -eu
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null 2>&1 || {
    echo "render.sh: rsvg-convert not found (apt-get install librsvg2-bin)" >&2
    exit 1
}

render() {  # render SOURCE.svg SIZE TARGET.png
    rsvg-convert -w "$2" -h "$2" -f png -o "$3" "$1"
}

# Toolbar and tree pictures: 16x16 pixel drawings.
for svg in bar/*.svg tree/*.svg; do
    render "$svg" 16 "${svg%.svg}.png"
done

# Drag cursor and the five logo frames: 32x32.
for svg in cursor/*.svg logo/*.svg; do
    render "$svg" 32 "${svg%.svg}.png"
done

# Application and document icons: a pixel drawing for 16 px,
# the large drawing for every other size.
for name in mainicon myicon; do
    render "app/$name-16.svg" 16 "app/$name-16.png"
    for size in 32 48 64 128 256; do
        render "app/$name.svg" "$size" "app/$name-$size.png"
    done
done

echo "render.sh: all PNGs written"
