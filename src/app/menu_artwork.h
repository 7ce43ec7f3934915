#pragma once
// The main menu's own pictures: the background with its title, four framed areas and captions, and the
// highlight of an area. They are drawn once when the program is built and compiled into it, so start-up
// only decodes them.
#include <QImage>

// Both are drawn at kArtScale times their stage size (device pixel ratio kArtScale).
constexpr int kArtScale = 2;

QImage drawMenuBackground();
QImage drawMenuHighlight();
