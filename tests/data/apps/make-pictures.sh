#!/usr/bin/env bash
# Draws the two small pictures the importer tests carry in their exports (ImageMagick): a 4x4 PNG and a
# 4x4 JPEG of flat colours, and prints the PNG in base64 as Paprika keeps a photo in its JSON.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 4x4 xc:'#c0392b' -strip picture.png
convert -size 4x4 xc:'#e67e22' -strip -quality 90 picture.jpg
cp picture.jpg "nextcloud/Pea Soup/full.jpg"
cp picture.jpg tandoor/Chili/image.jpg
cp picture.png mealie/recipes/tomato-salad/images/original.png
base64 -w0 picture.png; echo
