#pragma once

#include <QIcon>
#include <QPixmap>

namespace harvly {

// The product picture of the cover window and the program icon, drawn rather than shipped.
QPixmap CoverPicture(const QString &title);
QIcon ProgramIcon();

} // namespace harvly
