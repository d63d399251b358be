#include "ui/GaussianBlur.h"

#include <cmath>
#include <vector>

namespace vantora::ui {

namespace {

std::vector<float> gaussianKernel(qreal sigma)
{
    const int radius = static_cast<int>(std::ceil(3 * sigma));
    std::vector<float> kernel(2 * radius + 1);
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        kernel[i + radius] = static_cast<float>(std::exp(-(i * i) / (2 * sigma * sigma)));
        sum += kernel[i + radius];
    }
    for (float &weight : kernel)
        weight /= sum;
    return kernel;
}

// One pass along rows (step 1) or columns (step = width) over a plane of alphas.
void blurPass(const std::vector<float> &in, std::vector<float> &out, int lines, int length, int lineStride,
              int step, const std::vector<float> &kernel)
{
    const int radius = static_cast<int>(kernel.size() / 2);
    for (int line = 0; line < lines; ++line) {
        const int base = line * lineStride;
        for (int i = 0; i < length; ++i) {
            float sum = 0;
            const int from = std::max(0, i - radius);
            const int to = std::min(length - 1, i + radius);
            for (int j = from; j <= to; ++j)
                sum += in[base + j * step] * kernel[j - i + radius];
            out[base + i * step] = sum;
        }
    }
}

} // namespace

void gaussianBlurAlpha(QImage &mask, qreal sigma)
{
    if (sigma <= 0 || mask.isNull())
        return;
    Q_ASSERT(mask.format() == QImage::Format_ARGB32_Premultiplied);
    const int width = mask.width();
    const int height = mask.height();
    std::vector<float> plane(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
        for (int x = 0; x < width; ++x)
            plane[y * width + x] = static_cast<float>(qAlpha(row[x]));
    }
    const auto kernel = gaussianKernel(sigma);
    std::vector<float> scratch(plane.size());
    blurPass(plane, scratch, height, width, width, 1, kernel);
    blurPass(scratch, plane, width, height, 1, width, kernel);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(mask.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgba(0, 0, 0, std::clamp(static_cast<int>(std::lround(plane[y * width + x])), 0, 255));
    }
}

} // namespace vantora::ui
