#pragma once
// The program's own icon: a key blade under a milling cutter, for its
// windows and the About box. Drawn in resources/bladeway.svg; the PNG sizes
// are made from it with ImageMagick
// (convert -background none bladeway.svg -resize NxN PNG32:bladeway-N.png).
#include <QIcon>

namespace bladeway {

QIcon ProgramIcon();

}  // namespace bladeway
