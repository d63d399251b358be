#include "panel/FooterPowerMotion.h"

#include <QCoreApplication>

namespace vantora {

QString rawValue(FooterPowerMotion motion)
{
    switch (motion) {
    case FooterPowerMotion::original:
        return QStringLiteral("Original");
    case FooterPowerMotion::quick:
        return QStringLiteral("Quick");
    case FooterPowerMotion::softSpring:
        return QStringLiteral("Soft spring");
    case FooterPowerMotion::momentum:
        return QStringLiteral("Momentum");
    }
    Q_UNREACHABLE();
}

std::optional<FooterPowerMotion> footerPowerMotionFromRawValue(QStringView text)
{
    for (const FooterPowerMotion motion : allFooterPowerMotions) {
        if (text == rawValue(motion))
            return motion;
    }
    return std::nullopt;
}

QString description(FooterPowerMotion motion)
{
    switch (motion) {
    case FooterPowerMotion::original:
        return QCoreApplication::translate("FooterPowerMotion", "The original 240 ms ease in and out.");
    case FooterPowerMotion::quick:
        return QCoreApplication::translate("FooterPowerMotion", "Fast arrival with almost no rebound.");
    case FooterPowerMotion::softSpring:
        return QCoreApplication::translate("FooterPowerMotion", "A quick arrival and a small, soft overshoot.");
    case FooterPowerMotion::momentum:
        return QCoreApplication::translate("FooterPowerMotion", "More speed and a visible spring back into place.");
    }
    Q_UNREACHABLE();
}

ui::Animation showAnimation(FooterPowerMotion motion)
{
    switch (motion) {
    case FooterPowerMotion::original:
        return ui::Animation::easeInOut(0.24);
    case FooterPowerMotion::quick:
        return ui::Animation::spring(0.2, 0.95);
    case FooterPowerMotion::softSpring:
        return ui::Animation::spring(0.26, 0.78);
    case FooterPowerMotion::momentum:
        return ui::Animation::spring(0.28, 0.62);
    }
    Q_UNREACHABLE();
}

ui::Animation hideAnimation(FooterPowerMotion motion)
{
    return motion == FooterPowerMotion::original ? ui::Animation::easeInOut(0.24) : ui::Animation::easeOut(0.14);
}

qreal slideOffset(FooterPowerMotion motion)
{
    return motion == FooterPowerMotion::momentum ? 140 : 120;
}

ui::Animation footerPowerAnimation(FooterPowerMotion motion, bool showing, bool reduceMotion)
{
    if (reduceMotion)
        return ui::Animation::none();
    return showing ? showAnimation(motion) : hideAnimation(motion);
}

} // namespace vantora
