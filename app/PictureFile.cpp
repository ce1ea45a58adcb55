#include "app/PictureFile.h"

#include <stdexcept>

#include <QImageWriter>
#include <QSaveFile>

void WritePngFile(const QImage& picture, const QString& fileName) {
    QSaveFile file(fileName);
    const auto failed = [&](const QString& why) {
        return std::runtime_error(QStringLiteral("The picture could not be saved to %1: %2")
                                      .arg(fileName, why)
                                      .toLocal8Bit()
                                      .toStdString());
    };
    if (!file.open(QIODevice::WriteOnly))
        throw failed(file.errorString());
    QImageWriter writer(&file, "png");
    if (!writer.write(picture))
        throw failed(writer.errorString());
    if (!file.commit())
        throw failed(file.errorString());
}
