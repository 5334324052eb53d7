#pragma once
// The firmware window's status lamps: three small JPEG pictures kept as resources, decoded
// with libjpeg.

#include <QByteArray>
#include <QImage>

namespace mv53 {

enum class TLamp;

// Decodes JPEG data; a null image when the data are not a JPEG picture.
QImage DecodeJpeg(const QByteArray& data);
// The picture of a lamp (decoded once).
QImage LampImage(TLamp lamp);

}  // namespace mv53
