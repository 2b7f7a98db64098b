#include "platform/ImageList.h"

#include "platform/Canvas.h"

#include <QPainter>

TCustomImageList::TCustomImageList(int width, int height) : m_width(width > 0 ? width : 1), m_height(height > 0 ? height : 1) {}

void TCustomImageList::SetSize(int width, int height) {
    width = width > 0 ? width : 1;
    height = height > 0 ? height : 1;
    if (width == m_width && height == m_height) return;
    m_width = width;
    m_height = height;
    m_images.clear();
}

int TCustomImageList::Add(const QImage& image) {
    QImage img = image.convertToFormat(QImage::Format_ARGB32);
    if (img.isNull()) {
        img = QImage(m_width, m_height, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
    } else if (img.width() != m_width || img.height() != m_height) {
        img = img.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    m_images.push_back(std::move(img));
    return Count() - 1;
}

int TCustomImageList::AddMasked(const QImage& image, TColor mask) {
    QImage img = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ColorToQColor(ColorToRGB(mask)).rgb() & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    return Add(img);
}

void TCustomImageList::Delete(int index) {
    if (ValidIndex(index)) m_images.erase(m_images.begin() + index);
}

void TCustomImageList::Clear() { m_images.clear(); }

QImage TCustomImageList::GetImage(int index) const { return ValidIndex(index) ? m_images[size_t(index)] : QImage(); }

QImage TCustomImageList::Disabled(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            // Light grey shades of the picture's brightness, alpha kept.
            const int grey = 128 + qGray(p) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(p));
        }
    }
    return out;
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (!ValidIndex(index)) return;
    const QImage& img = m_images[size_t(index)];
    canvas.Painter().drawImage(x, y, enabled ? img : Disabled(img));
}
