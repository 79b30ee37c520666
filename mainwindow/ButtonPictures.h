#pragma once
// The small pictures of the main window's tool-bar buttons, drawn in code so
// that they look the same on every machine (no icon theme, no image files).
// Each picture belongs to a button's object name; the same picture serves a
// button wherever a program places it.
#include <QIcon>
#include <QImage>
#include <QString>

namespace pellucor::mainwindow {

// Side of a button picture in logical pixels.
inline constexpr int kButtonPictureSize = 22;

// The picture of the button named `name`, drawn at `scale` times its logical
// size (the image carries `scale` as its device pixel ratio); a null image
// when the button has no picture.
QImage ButtonPictureImage(const QString& name, int scale = 1);

// The same picture as an icon, at single and double resolution; a null icon
// when the button has no picture.
QIcon ButtonPicture(const QString& name);

}  // namespace pellucor::mainwindow
