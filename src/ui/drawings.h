#pragma once
// The window's own pictures, drawn with QPainter at start-up so that nothing
// but our code is needed to show them.
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace zelk {

enum class TCommandIcon { New, Save, Copy, Delete };

// The program's logo, 173 by 30.
QPixmap DrawLogo();
// The grey 280 by 210 picture shown until a target picture replaces it: a
// crossed-out camera with "no image" in Russian and English.
QImage DrawNoImagePicture();
// The 16 by 16 icons of the four command buttons.
QIcon DrawCommandIcon(TCommandIcon which);
// The picture of the start button, 24 by 24.
QPixmap DrawStartPicture();
// The window's icon, the same drawing as the installed
// dist/linux/org.zelk.Zelk.svg, at the sizes desktops ask for.
QIcon DrawAppIcon();

}  // namespace zelk
