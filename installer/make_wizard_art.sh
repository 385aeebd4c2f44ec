#!/usr/bin/env bash
# Draws installer/wizard.bmp, the picture on the installer's welcome and
# finish pages (164x314, 24-bit), from the About window's logo: the quill
# with its tally strokes, and the pointer trail. Needs ImageMagick (setup.sh
# installs it). The result is committed, so packaging does not need it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
logo=$here/ui/res/logo.png
convert -size 164x314 gradient:'#ffffff-#e8eef8' \
  \( "$logo" -crop 80x80+18+22 +repage -transparent white -scale 150% \) -geometry +22+50 -composite \
  \( "$logo" -crop 150x45+160+135 +repage -transparent white -fuzz 3% -transparent '#f4f7fd' \) -geometry +8+200 -composite \
  -type truecolor BMP3:"$here/installer/wizard.bmp"
echo "wrote installer/wizard.bmp"
