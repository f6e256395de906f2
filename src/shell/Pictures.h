#pragma once

#include <QPixmap>

// The program's own pictures, drawn rather than shipped: the start-up backdrop and the logo.
namespace Pictures {
QPixmap Backdrop();
QPixmap Logo();
} // namespace Pictures
