#include "ui/FocusedValues.h"

#include <QApplication>

#include <algorithm>

namespace vantora::ui {

std::vector<FocusedValues::Offer> &FocusedValues::offers()
{
    static std::vector<Offer> all;
    return all;
}

void FocusedValues::withdraw(const QWidget *provider, const QByteArray &key)
{
    std::erase_if(offers(), [&](const Offer &offer) {
        return !offer.provider || (offer.provider == provider && offer.key == key);
    });
}

const std::any *FocusedValues::find(const QWidget *window, const QByteArray &key)
{
    if (!window)
        return nullptr;
    const auto &all = offers();
    const auto latest = std::find_if(all.rbegin(), all.rend(), [&](const Offer &offer) {
        return offer.provider && offer.key == key && offer.provider->window() == window;
    });
    return latest == all.rend() ? nullptr : &latest->value;
}

const QWidget *FocusedValues::activeWindow()
{
    return QApplication::activeWindow();
}

} // namespace vantora::ui
