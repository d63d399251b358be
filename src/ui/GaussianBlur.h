#pragma once

#include <QImage>

namespace vantora::ui {

// Blurs the alpha channel of an ARGB32_Premultiplied image whose colour is black (a shadow
// mask) with a Gaussian of standard deviation `sigma` device pixels. The image must leave
// room around its shape for the blur to spread into (about 3 σ); nothing spreads past its
// edges. A sigma of 0 or less changes nothing.
void gaussianBlurAlpha(QImage &mask, qreal sigma);

} // namespace vantora::ui
