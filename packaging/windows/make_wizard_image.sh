#!/usr/bin/env bash
# Draws the picture at the side of the Windows installer's first and last
# pages (164 x 314 pixels, the size NSIS's Modern UI shows): the program's
# icon on its own dark blue. Kept in the repository, as the icon is, since
# the build's packages hold no image tool; remade with ImageMagick by
#     packaging/windows/make_wizard_image.sh
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
icons="$here/../../src/qt_views/resources"
convert -size 164x314 xc:'#1f3a5f' \
    \( "$icons/bladeway-256.png" -resize 128x128 \) -geometry +18+40 -composite \
    -alpha off -colors 64 -type Palette -compress None BMP3:"$here/installer-side.bmp"
