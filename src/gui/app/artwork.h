#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace harvly {

// The product picture of the cover window and the program icon, drawn rather than shipped.
QPixmap CoverPicture(const QString &title);
QIcon ProgramIcon();
// The program's icon drawn at one size (for the desktop's icon theme).
QImage ProgramIconImage(int size);

} // namespace harvly
