#pragma once
// Writes a picture as a PNG file under a temporary name beside the target, which it replaces
// only when complete: a failed save never destroys an earlier picture.

#include <QImage>
#include <QString>

// Throws std::runtime_error with the system's reason when the picture cannot be written.
void WritePngFile(const QImage& picture, const QString& fileName);
