#!/bin/sh
# Regenerates every PNG under resources/ from its SVG source, at 1x and for screens scaled by
# 1.5, 2 and 3 (NAME@1.5x.png, NAME@2x.png, NAME@3x.png beside NAME.png), and lists every
# picture in resources.qrc. Every SVG found is rendered, so a new picture needs nothing but
# its SVG and a run of this script.
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

# A picture drawn for SIZE pixels, at 1x and at every scale the program loads.
render_scaled() {  # render_scaled SOURCE.svg SIZE
    base="${1%.svg}"
    render "$1" "$2" "$base.png"
    render "$1" $(($2 * 3 / 2)) "$base@1.5x.png"
    render "$1" $(($2 * 2)) "$base@2x.png"
    render "$1" $(($2 * 3)) "$base@3x.png"
}

# Toolbar and tree pictures: 16x16 pixel drawings.
for svg in bar/*.svg tree/*.svg; do
    render_scaled "$svg" 16
done

# Drag cursor and the five logo frames: 32x32.
for svg in cursor/*.svg logo/*.svg; do
    render_scaled "$svg" 32
done

# Application and document icons: a pixel drawing for 16 px, the large drawing for every
# other size. The sizes cover the 16 and 32 pixel icons at every scale.
for name in mainicon myicon; do
    render "app/$name-16.svg" 16 "app/$name-16.png"
    for size in 24 32 48 64 96 128 256; do
        render "app/$name.svg" "$size" "app/$name-$size.png"
    done
done

# The resource list: every PNG, by its path.
{
    echo '<!DOCTYPE RCC>'
    echo '<RCC version="1.0">'
    echo '  <qresource prefix="/">'
    for png in $(find bar tree app cursor logo -name '*.png' | LC_ALL=C sort); do
        echo "    <file alias=\"$png\">$png</file>"
    done
    echo '  </qresource>'
    echo '</RCC>'
} >resources.qrc

echo "render.sh: all PNGs written, resources.qrc lists them"
