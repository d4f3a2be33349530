#pragma once
// The program's pictures, painted at start: the program icon, the image buttons, the toolbar
// images and the two pictures of the scrolling about box.

#include "res/form/ButtonImages.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

inline constexpr QSize kToolbarImageSize{16, 15};
inline constexpr QSize kAboutBackgroundSize{322, 221};
inline constexpr QSize kCreditsSize{300, 2000};

// A handset with a message bubble, at the given square size.
QPixmap ProgramIconPixmap(int size);
QIcon ProgramIcon();

// 32 x 32.
QPixmap ButtonImage(ButtonPicture picture);

// 16 x 15; a blank picture for a command without one.
QPixmap ToolbarImage(int commandId);

QImage AboutBackground();

// The tall picture that scrolls: program name, version and what it does.
QImage CreditsPicture();
