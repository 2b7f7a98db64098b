#pragma once
// JPEG pictures through libjpeg-turbo, the program's JPEG codec.
#include <QByteArray>
#include <QImage>

// True when the data begins with a JPEG start-of-image marker.
bool IsJpegData(const QByteArray& data);

// What a decoding came to.
enum class TJpegResult {
    Ok,
    InvalidFormat, // the header could not be read: not a JPEG the codec accepts
    Failed,        // the header was read but the picture could not be decoded
};

// Decodes `data` into `image` (RGBX8888); on failure the image is null.
TJpegResult DecodeJpeg(const QByteArray& data, QImage& image);

// Encodes an image as a baseline JPEG with the encoder's default quality;
// an empty array when the image is null or the encoder fails.
QByteArray EncodeJpeg(const QImage& image);
