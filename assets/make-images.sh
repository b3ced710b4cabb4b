#!/bin/sh
# Makes every icon and picture that Larderon loads from the drawings kept beside them.
#
#   assets/make-images.sh
#
# The sources are hand-written SVG files (assets/src/ and assets/icons/larderon.svg). The output is
# committed, so building the program never needs the tools used here: rsvg-convert (librsvg),
# ImageMagick's convert and icotool (icoutils). Output is byte-for-byte reproducible: no dates,
# times or other metadata are written into the files.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
cd "$here"

for tool in rsvg-convert convert icotool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "make-images.sh: $tool is missing" >&2; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Options that keep ImageMagick from writing timestamps or comments into a file.
clean="-strip -define png:exclude-chunks=date,time,tEXt,zTXt,iTXt +set date:create +set date:modify"

# render SVG WIDTH HEIGHT OUT: draw an SVG at the given pixel size into a 32-bit RGBA PNG.
render() {
    rsvg-convert -w "$2" -h "$3" "$1" -o "$tmp/render.png"
    # shellcheck disable=SC2086
    convert "$tmp/render.png" $clean PNG32:"$4"
}

# small_source NAME DIR: the 16-pixel drawing of a menu icon if there is one, else the main drawing.
small_source() {
    if [ -f "$2/$1-16.svg" ]; then echo "$2/$1-16.svg"; else echo "$2/$1.svg"; fi
}

# Main menu: eleven 32 x 32 icons, in the order of the main menu's image list.
for name in setup ingredients recipes shopping exit help about credits find import plan; do
    render "src/mainmenu/$name.svg" 32 32 "icons/mainmenu/$name.png"
done

# Menu bar icons: one .ico per icon name, each holding a 16 x 16 and a 32 x 32 image.
for name in New Save Main Print Exit Calendar; do
    render "$(small_source "$name" src/menu)" 16 16 "$tmp/$name-16.png"
    render "src/menu/$name.svg" 32 32 "$tmp/$name-32.png"
    icotool -c -o "images/$name.ico" "$tmp/$name-16.png" "$tmp/$name-32.png"
done

# The calendar picture on the shopping list screen is the menu's calendar icon at 32 x 32.
render src/menu/Calendar.svg 32 32 pictures/calendar.png

# Program icon: PNG sizes for the desktop entry and window icon, and one .ico with four sizes
# (the 256-pixel image is stored as PNG inside the .ico, as usual for that size).
for size in 48 128 256; do
    render icons/larderon.svg "$size" "$size" "icons/larderon-$size.png"
done
render "$(small_source larderon icons)" 16 16 "$tmp/larderon-16.png"
render icons/larderon.svg 32 32 "$tmp/larderon-32.png"
icotool -c -o icons/larderon.ico "$tmp/larderon-16.png" "$tmp/larderon-32.png" \
    icons/larderon-48.png -r icons/larderon-256.png

# Error icon: 48 x 48 in the 16 colours of the classic VGA palette (no dithering), each pixel fully
# transparent or fully opaque, stored as a 4-bit palette PNG.
# shellcheck disable=SC2086
convert -size 1x1 \
    xc:'#000000' xc:'#800000' xc:'#008000' xc:'#808000' xc:'#000080' xc:'#800080' xc:'#008080' \
    xc:'#c0c0c0' xc:'#808080' xc:'#ff0000' xc:'#00ff00' xc:'#ffff00' xc:'#0000ff' xc:'#ff00ff' \
    xc:'#00ffff' xc:'#ffffff' +append $clean "$tmp/vga16.png"
rsvg-convert -w 48 -h 48 src/pictures/error.svg -o "$tmp/error.png"
# shellcheck disable=SC2086
convert "$tmp/error.png" -alpha off -dither None -remap "$tmp/vga16.png" \
    \( "$tmp/error.png" -alpha extract -threshold 50% \) -alpha off -compose CopyOpacity -composite \
    -define png:bit-depth=4 -define png:color-type=3 $clean PNG8:pictures/error.png

# Splash screen title picture: 346 x 259, GIF.
rsvg-convert -w 346 -h 259 src/pictures/splash.svg -o "$tmp/splash.png"
# shellcheck disable=SC2086
convert "$tmp/splash.png" -background white -alpha remove -alpha off -dither FloydSteinberg \
    -colors 256 $clean pictures/splash.gif

# About screen picture: 148 x 115, JPEG.
rsvg-convert -w 148 -h 115 src/pictures/about.svg -o "$tmp/about.png"
# shellcheck disable=SC2086
convert "$tmp/about.png" -background white -alpha remove -alpha off -quality 92 \
    -sampling-factor 1x1 $clean pictures/about.jpg

# Credits screen picture: 96 x 96, PNG with transparency.
render src/pictures/credits.svg 96 96 pictures/credits.png

echo "make-images.sh: all pictures and icons are up to date"
